// The link page on its real dialog 105 inside a stand-in sheet, against the loopback OAuth
// service: the whole PIN flow through the page's own code, its failures, the stored keys
// and the colours.
#include <windows.h>

#include <prsht.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "../settings/TempGameFolder.h"
#include "LoopbackService.h"
#include "engine/core/MessageBox.h"
#include "resources/link_resource.h"
#include "resources/resource.h"
#include "settings/GOption.h"
#include "ui/LinkPage.h"
#include "web/FormReply.h"
#include "web/HttpRequest.h"
#include "web/OAuthHeader.h"
#include "web/StoredKey.h"
#include "web/StoredKeyFile.h"

namespace {

using namespace KYR;

const std::string kApplicationText =
    std::string(loopback::kConsumerKey) + "&" + loopback::kConsumerSecret;

std::string TwitterSection(const char* key, const std::string& value) {
    return "[Twitter]\r\n" + std::string(key) + "=" + value + "\r\n";
}

class LinkPageTest : public testing::Test {
protected:
    void SetUp() override {
        service_ = {loopback::Get().Base(), [this](const std::string& url) {
                        browsed_.push_back(url);
                        if (whileBrowsing_) whileBrowsing_();
                        return browserOpens_;
                    }};
        WNDCLASSA wc = {};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "KyrLinkTestSheet";
        RegisterClassA(&wc);
        sheet_ = CreateWindowA("KyrLinkTestSheet", "sheet", WS_OVERLAPPEDWINDOW, 0, 0, 500, 400,
                               nullptr, nullptr, wc.hInstance, nullptr);
    }
    void TearDown() override {
        ClosePage();
        DestroyWindow(sheet_);
    }
    // Opens the page as the sheet would, on a fresh settings model.
    void OpenPage() {
        ClosePage();
        option_.reset(new CGOption(folder_.Dir()));
        entry_.dwSize = sizeof(entry_);
        entry_.lParam = reinterpret_cast<LPARAM>(&service_);
        page_ = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_LINK), sheet_,
                                   LinkPageProc, reinterpret_cast<LPARAM>(&entry_));
        ASSERT_NE(page_, nullptr);
    }
    void ClosePage() {
        if (page_) DestroyWindow(page_);
        page_ = nullptr;
        option_.reset();
    }
    void PointAt(const std::string& base) { service_.apiBase = base; }
    std::string Text(int id) {
        char text[512] = {};
        GetDlgItemTextA(page_, id, text, sizeof(text));
        return text;
    }
    bool Enabled(int id) { return IsWindowEnabled(GetDlgItem(page_, id)) != FALSE; }
    void Click() { SendMessageA(GetDlgItem(page_, IDC_LINK_BUTTON), BM_CLICK, 0, 0); }
    // What the page shows: both lines, the button, whether the PIN entry and button are on.
    std::string Shown() {
        return Text(IDC_LINK_STATUS) + "|" + Text(IDC_LINK_STATE) + "|" + Text(IDC_LINK_BUTTON) +
               "|pin " + (Enabled(IDC_LINK_PIN) ? "on" : "off") + "|button " +
               (Enabled(IDC_LINK_BUTTON) ? "on" : "off") + "|colour " +
               std::to_string(option_->linkState_);
    }
    // The PIN the service shows on the authorisation page the browser was sent to.
    std::string PinFromBrowser() {
        EXPECT_EQ(browsed_.size(), 1u);
        return browsed_.empty() ? "" : loopback::HttpGet(browsed_.back());
    }
    void TypePin(const std::string& pin) { SetDlgItemTextA(page_, IDC_LINK_PIN, pin.c_str()); }
    std::string LastOutcome() { return loopback::HttpGet(loopback::Get().Base() + "/last"); }
    bool AllTokensEmpty() {
        for (int i = 2; i < 6; ++i)
            if (!option_->webKeys_[i].empty()) return false;
        return true;
    }

    TempGameFolder folder_;
    std::unique_ptr<CGOption> option_;
    HWND sheet_ = nullptr;
    HWND page_ = nullptr;
    LinkService service_;  // the page's parameter: the loopback service, the browser caught
    PROPSHEETPAGEA entry_ = {};
    std::vector<std::string> browsed_;
    bool browserOpens_ = true;
    std::function<void()> whileBrowsing_;  // runs inside the request-token step
};

const std::string kUnlinked = "|Twitterと連動していません|Twitterと連動|pin off|button on|colour 0";
const std::string kWaiting =
    "Twitter認証後に表示される|PIN Codeを入力してください|入力|pin on|button on|colour 0";
const std::string kLinked = "|Twitterと連動しています|連動を解除する|pin off|button on|colour 2";

TEST_F(LinkPageTest, TheWholeFlowLinksAndUnlinks) {
    folder_.Write("System.ini", TwitterSection("ApplicationKey", MakeStoredKey(kApplicationText)));
    OpenPage();
    EXPECT_EQ(Shown(), kUnlinked);

    Click();
    ASSERT_EQ(Shown(), kWaiting);
    ASSERT_EQ(browsed_.size(), 1u);
    const std::string authorize = loopback::Get().Base() + "/oauth/authorize?oauth_token=";
    EXPECT_EQ(browsed_[0].substr(0, authorize.size()), authorize);
    EXPECT_EQ(browsed_[0].substr(authorize.size()), option_->webKeys_[4]);

    TypePin(PinFromBrowser());
    Click();
    ASSERT_EQ(Shown(), kLinked);
    EXPECT_EQ(Text(IDC_LINK_PIN), "");
    EXPECT_EQ(LastOutcome(), "access token issued");

    // What Game.ini now holds is a pair the service accepts for the account.
    const KeyPair stored = SplitKeyPair(LoadStoredKey(folder_.Path("Game.ini"), "AccessKey"));
    EXPECT_NE(stored.key, option_->webKeys_[4]) << "the access token, not the request token";
    const std::string resource = loopback::Get().Base() + "/1.1/account/verify_credentials.json";
    EXPECT_EQ(PostRequest(resource, MakeOAuthHeader(resource, nullptr, loopback::kConsumerKey,
                                                    loopback::kConsumerSecret, stored.key,
                                                    stored.secret)),
              "screen_name=kyr_player");

    // Reopened, the page reads the link back.
    OpenPage();
    EXPECT_EQ(Shown(), kLinked);
    Click();
    EXPECT_EQ(Shown(), kUnlinked);
    EXPECT_TRUE(AllTokensEmpty());
    EXPECT_EQ(folder_.Read("Game.ini"), TwitterSection("AccessKey", ""));
}

TEST_F(LinkPageTest, FailedStepsShowTheErrorAndStoreNoLink) {
    folder_.Write("System.ini", TwitterSection("ApplicationKey", MakeStoredKey(kApplicationText)));
    const std::string closed = "http://127.0.0.1:" + std::to_string(loopback::Get().closedPort);
    const std::string requestError = "|RequestToken取得エラー|Twitterと連動|pin off|button on|colour 1";
    const std::string accessError = "|AccessToken取得エラー|Twitterと連動|pin off|button on|colour 1";
    struct Row {
        const char* what;
        std::string base;     // where the page sends its requests
        bool secondStep;      // fail at the access token, after a good request token
        std::string pin;      // typed, after the real PIN when `appendToPin`
        bool appendToPin;
        std::string shown;
        std::string outcome;  // the service's verdict on the last token request, "" to skip
    } rows[] = {
        {"a dead network", closed, false, "", false, requestError, ""},
        // Taken and never answered (a proxy or captive portal that hangs): the time-out ends
        // it, about 15 s in.
        {"a service that never answers", loopback::Get().Base() + "/silent", false, "", false,
         requestError, ""},
        {"a reply that is not a form", loopback::Get().Base() + "/fault", false, "", false,
         requestError, ""},
        {"an empty PIN", loopback::Get().Base(), true, "", false, accessError,
         "refused: Missing verifier."},
        {"a wrong PIN", loopback::Get().Base(), true, "~", true, accessError,
         "refused: invalid verifier"},
        // Pasted text stays inside the PIN: encoded in the header, it adds no field.
        {"a pasted field", loopback::Get().Base(), true, "&oauth_token=evil", true, accessError,
         "refused: Invalid verifier format."},
        {"blanks and a plus", loopback::Get().Base(), true, " +1=%", true, accessError,
         "refused: Invalid verifier format."},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        folder_.Write("Game.ini", TwitterSection("AccessKey", "stale"));
        browsed_.clear();
        PointAt(r.base);
        OpenPage();
        const DWORD start = GetTickCount();
        Click();
        EXPECT_LT(GetTickCount() - start, 25000u) << "the sheet is given back in time";
        if (r.secondStep) {
            ASSERT_EQ(Shown(), kWaiting);
            std::string pin = r.appendToPin ? PinFromBrowser() + r.pin : r.pin;
            // "~": the real PIN with its last digit changed.
            if (r.pin == "~") {
                pin.pop_back();
                pin.back() = pin.back() == '9' ? '0' : static_cast<char>(pin.back() + 1);
            }
            TypePin(pin);
            Click();
            EXPECT_EQ(LastOutcome(), r.outcome);
        }
        EXPECT_EQ(Shown(), r.shown);
        EXPECT_TRUE(AllTokensEmpty());
        EXPECT_EQ(folder_.Read("Game.ini"), TwitterSection("AccessKey", ""));
    }
    // After an error the next click starts again with a request token.
    PointAt(loopback::Get().Base());
    browsed_.clear();
    Click();
    EXPECT_EQ(Shown(), kWaiting);
}

// A link that does not reach Game.ini is no link for the game: the page says what the file
// holds, and one box on the sheet says why. A folder in Game.ini's place refuses the new link;
// a handle that shares nothing (another program's lock) keeps a stored link from being removed.
TEST_F(LinkPageTest, AStoreThatFailsIsSaidAndThePageShowsWhatTheFileHolds) {
    folder_.Write("System.ini", TwitterSection("ApplicationKey", MakeStoredKey(kApplicationText)));
    const std::string linkedValue = MakeStoredKey("1234-token&tokensecret");
    struct Row {
        const char* what;
        bool linkedBefore;   // Game.ini holds a link (then locked), else a folder stands there
        std::string shown;   // after the click that could not be stored
    } rows[] = {
        {"the new link cannot be stored", false,
         "|Twitterと連動していません|Twitterと連動|pin off|button on|colour 1"},
        {"the unlink cannot be stored", true, kLinked},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        DeleteFileA(folder_.Path("Game.ini").c_str());
        RemoveDirectoryA(folder_.Path("Game.ini").c_str());
        browsed_.clear();
        if (r.linkedBefore)
            folder_.Write("Game.ini", TwitterSection("AccessKey", linkedValue));
        else
            ASSERT_TRUE(folder_.BlockWithFolder("Game.ini"));
        OpenPage();
        if (!r.linkedBefore) {
            Click();
            ASSERT_EQ(Shown(), kWaiting);
            TypePin(PinFromBrowser());
        }
        HANDLE lock = r.linkedBefore ? CreateFileA(folder_.Path("Game.ini").c_str(), GENERIC_READ,
                                                   0, nullptr, OPEN_EXISTING, 0, nullptr)
                                     : INVALID_HANDLE_VALUE;
        std::vector<std::wstring> boxes;
        KYR::WideMessageBoxHook previous = KYR::SetWideMessageBoxHook(
            [&](HWND owner, const wchar_t* text, const wchar_t*, UINT) {
                EXPECT_EQ(owner, sheet_);
                boxes.push_back(text);
                return IDOK;
            });
        Click();
        KYR::SetWideMessageBoxHook(previous);
        if (lock != INVALID_HANDLE_VALUE) CloseHandle(lock);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_NE(boxes[0].find(L"Game.ini"), std::wstring::npos);
        EXPECT_EQ(Shown(), r.shown);
        EXPECT_EQ(option_->webKeys_[2].empty(), !r.linkedBefore) << "tokens as the file holds";
        if (r.linkedBefore) {
            EXPECT_EQ(folder_.Read("Game.ini"), TwitterSection("AccessKey", linkedValue));
            // Once the lock is gone, the next click removes the link.
            Click();
            EXPECT_EQ(Shown(), kUnlinked);
            EXPECT_EQ(folder_.Read("Game.ini"), TwitterSection("AccessKey", ""));
        }
    }
}

// While a step runs the button is off under the wait cursor; what the player clicked or typed
// meanwhile is dropped, so a double click does not ask for the access token with an empty PIN.
// Other messages stay queued.
TEST_F(LinkPageTest, ClicksAndKeysMadeWhileAStepRunsAreDropped) {
    folder_.Write("System.ini", TwitterSection("ApplicationKey", MakeStoredKey(kApplicationText)));
    OpenPage();
    HWND button = GetDlgItem(page_, IDC_LINK_BUTTON);
    SetFocus(button);
    bool enabledMeanwhile = true;
    HCURSOR cursorMeanwhile = nullptr;
    whileBrowsing_ = [&] {
        enabledMeanwhile = IsWindowEnabled(button) != FALSE;
        cursorMeanwhile = GetCursor();
        PostMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        PostMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        PostMessageA(button, WM_KEYDOWN, VK_SPACE, 0);
        PostMessageA(sheet_, WM_NCLBUTTONDOWN, HTCLOSE, 0);
        PostMessageA(page_, WM_APP, 0, 0);
    };
    Click();
    whileBrowsing_ = nullptr;
    EXPECT_FALSE(enabledMeanwhile);
    EXPECT_EQ(cursorMeanwhile, LoadCursorA(nullptr, IDC_WAIT));
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_NOREMOVE));
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_NOREMOVE));
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_NCMOUSEMOVE, WM_NCXBUTTONDBLCLK, PM_NOREMOVE));
    EXPECT_TRUE(PeekMessageA(&msg, page_, WM_APP, WM_APP, PM_REMOVE));
    EXPECT_EQ(Shown(), kWaiting);
    EXPECT_TRUE(IsWindowEnabled(button));
    EXPECT_EQ(GetFocus(), button);
    EXPECT_NE(GetCursor(), LoadCursorA(nullptr, IDC_WAIT));
}

// Without a browser the authorisation address is shown in a box on the sheet, whose text the
// player can copy; the page waits for the PIN as ever.
TEST_F(LinkPageTest, WithoutABrowserTheAddressIsShownToCopy) {
    folder_.Write("System.ini", TwitterSection("ApplicationKey", MakeStoredKey(kApplicationText)));
    OpenPage();
    browserOpens_ = false;
    std::vector<std::string> boxes;
    KYR::MessageBoxHook previous =
        KYR::SetMessageBoxHook([&](HWND owner, const char* text, const char* caption, UINT) {
            EXPECT_EQ(owner, sheet_);
            EXPECT_STREQ(caption, "Twitter");
            boxes.push_back(text);
            return IDOK;
        });
    Click();
    KYR::SetMessageBoxHook(previous);
    ASSERT_EQ(browsed_.size(), 1u);
    ASSERT_EQ(boxes.size(), 1u);
    const size_t at = boxes[0].rfind("\n" + browsed_[0]);
    EXPECT_EQ(at + 1 + browsed_[0].size(), boxes[0].size()) << "the address on a line of its own";
    EXPECT_EQ(Shown(), kWaiting);
    TypePin(PinFromBrowser());
    Click();
    EXPECT_EQ(Shown(), kLinked);
}

TEST_F(LinkPageTest, ClosingWhileWaitingForThePinKeepsTheStoredLink) {
    folder_.Write("System.ini", TwitterSection("ApplicationKey", MakeStoredKey(kApplicationText)));
    folder_.Write("Game.ini", TwitterSection("AccessKey", ""));
    OpenPage();
    Click();
    ASSERT_EQ(Shown(), kWaiting);
    ClosePage();
    EXPECT_EQ(folder_.Read("Game.ini"), TwitterSection("AccessKey", ""));
    OpenPage();
    EXPECT_EQ(Shown(), kUnlinked);
}

TEST_F(LinkPageTest, InitialStatesFromTheStoredKeys) {
    const std::string stored = MakeStoredKey("tok&sec");
    struct Row {
        const char* what;
        std::string system;  // System.ini content
        std::string game;    // Game.ini content
        std::string shown;
    } rows[] = {
        {"no application key", "", "",
         "このアプリケーションは|Twitterと連動できません|Twitterと連動|pin off|button off|colour 1"},
        {"an empty one", TwitterSection("ApplicationKey", ""), "",
         "このアプリケーションは|Twitterと連動できません|Twitterと連動|pin off|button off|colour 1"},
        {"a key without secret", TwitterSection("ApplicationKey", MakeStoredKey("onlykey")), "",
         "このアプリケーションは|Twitterと連動できません|Twitterと連動|pin off|button off|colour 1"},
        // Linked texts in blue, but the button stays off.
        {"no application key, linked", "", TwitterSection("AccessKey", stored),
         "|Twitterと連動しています|連動を解除する|pin off|button off|colour 2"},
        {"a plain application key", TwitterSection("ApplicationKey", "key&secret"), "", kUnlinked},
        {"linked", TwitterSection("ApplicationKey", "key&secret"),
         TwitterSection("AccessKey", stored), kLinked},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        folder_.Write("System.ini", r.system);
        folder_.Write("Game.ini", r.game);
        OpenPage();
        EXPECT_EQ(Shown(), r.shown);
        EXPECT_TRUE(option_->linkPageInitialised_);
    }
}

TEST_F(LinkPageTest, StoredKeysAreReadConvertedAndWritten) {
    const std::string text4096 = "tok&" + std::string(4092, 's');
    struct Row {
        const char* what;
        std::string value;        // AccessKey in Game.ini
        std::string token, secret;
        std::string valueAfter;   // in the file after reading
    } rows[] = {
        {"stored", "a355PXN+Y2llbw==", "key", "secret", "a355PXN+Y2llbw=="},
        {"plain, converted", "key&secret", "key", "secret", "a355PXN+Y2llbw=="},
        {"odd length", "dHRrPXN+Yxs=", "tok", "sec", "dHRrPXN+Yxs="},
        {"no ampersand", MakeStoredKey("token"), "", "", MakeStoredKey("token")},
        // 5464 characters: a 4098-byte read buffer would cut them and scramble them again.
        {"4096 bytes stored", MakeStoredKey(text4096), "tok", std::string(4092, 's'),
         MakeStoredKey(text4096)},
        {"5000 bytes plain, cut", "tok&" + std::string(4996, 's'), "tok",
         std::string(4092, 's'), MakeStoredKey(text4096)},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        folder_.Write("Game.ini", TwitterSection("AccessKey", r.value));
        CGOption option(folder_.Dir());
        LoadLinkKeys(option);
        EXPECT_EQ(option.webKeys_[2], r.token);
        EXPECT_TRUE(option.webKeys_[3] == r.secret) << option.webKeys_[3].size();
        EXPECT_TRUE(folder_.Read("Game.ini") == TwitterSection("AccessKey", r.valueAfter));
        // Saving writes the same stored form back (or the empty value without a pair).
        SaveAccessKey(option);
        EXPECT_TRUE(folder_.Read("Game.ini") ==
                    TwitterSection("AccessKey", r.token.empty() ? "" : r.valueAfter));
    }
    // The application key is converted in System.ini the same way.
    folder_.Write("System.ini", TwitterSection("ApplicationKey", "key&secret"));
    CGOption option(folder_.Dir());
    LoadLinkKeys(option);
    EXPECT_EQ(option.webKeys_[0] + "|" + option.webKeys_[1], "key|secret");
    EXPECT_EQ(folder_.Read("System.ini"), TwitterSection("ApplicationKey", "a355PXN+Y2llbw=="));
}

TEST_F(LinkPageTest, StatusLineColours) {
    OpenPage();
    HDC dc = CreateCompatibleDC(nullptr);
    auto colour = [&](int id, COLORREF* text, int* mode, COLORREF* background) {
        SetTextColor(dc, RGB(1, 2, 3));
        SetBkColor(dc, RGB(4, 5, 6));
        SetBkMode(dc, OPAQUE);
        const INT_PTR brush = SendMessageA(page_, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                           reinterpret_cast<LPARAM>(GetDlgItem(page_, id)));
        *text = GetTextColor(dc);
        *mode = GetBkMode(dc);
        *background = GetBkColor(dc);
        return brush;
    };
    struct Row {
        int32_t linkColour;
        COLORREF text;
    } rows[] = {{0, RGB(0, 0, 0)}, {1, RGB(255, 0, 0)}, {2, RGB(0, 0, 255)}};
    COLORREF text, background;
    int mode;
    for (const Row& r : rows) {
        option_->linkState_ = r.linkColour;
        EXPECT_EQ(colour(IDC_LINK_STATE, &text, &mode, &background),
                  reinterpret_cast<INT_PTR>(GetStockObject(NULL_BRUSH)));
        EXPECT_EQ(text, r.text) << r.linkColour;
        EXPECT_EQ(mode, TRANSPARENT);
    }
    EXPECT_EQ(colour(IDC_LINK_PIN, &text, &mode, &background),
              reinterpret_cast<INT_PTR>(GetStockObject(WHITE_BRUSH)));
    EXPECT_EQ(text, RGB(0, 0, 0));
    EXPECT_EQ(background, RGB(255, 255, 255));
    // The first line keeps the dialog's default colours, whatever the state.
    option_->linkState_ = 1;
    EXPECT_NE(colour(IDC_LINK_STATUS, &text, &mode, &background),
              reinterpret_cast<INT_PTR>(GetStockObject(NULL_BRUSH)));
    EXPECT_EQ(text, GetSysColor(COLOR_WINDOWTEXT));
    DeleteDC(dc);
}

}  // namespace
