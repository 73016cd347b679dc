#include "ui/LinkPage.h"

#include <windows.h>

#include <prsht.h>

#include <vector>

#include "engine/core/LazyDll.h"
#include "engine/core/MessageBox.h"
#include "resources/link_resource.h"
#include "settings/GOption.h"
#include "ui/BusyButton.h"
#include "ui/PageHelpers.h"
#include "ui/SaveFailure.h"
#include "web/FormReply.h"
#include "web/HttpRequest.h"
#include "web/OAuthHeader.h"
#include "web/StoredKey.h"
#include "web/StoredKeyFile.h"

using namespace KYR;

namespace {

const char kApiHost[] = "https://api.twitter.com";
const char kRequestTokenPath[] = "/oauth/request_token";
const char kAuthorizePath[] = "/oauth/authorize";
const char kAccessTokenPath[] = "/oauth/access_token";

const char kLinkText[] = "Twitterと連動";
const char kUnlinkText[] = "連動を解除する";
const char kLinkedText[] = "Twitterと連動しています";
const char kNotLinkedText[] = "Twitterと連動していません";

// Colours of the second status line (the model's linkColour).
enum LinkColour : int32_t { kBlack = 0, kRed = 1, kBlue = 2 };

// The page's service is kept in the page window's user slot from WM_INITDIALOG on.
const LinkService& Service(HWND page) {
    static const LinkService real{kApiHost, nullptr};
    const auto* given = reinterpret_cast<const LinkService*>(GetWindowLongPtrA(page, DWLP_USER));
    return given ? *given : real;
}

void KeepService(HWND page, LPARAM initParam) {
    const auto* entry = reinterpret_cast<const PROPSHEETPAGEA*>(initParam);
    SetWindowLongPtrA(page, DWLP_USER, entry ? entry->lParam : 0);
}

// The page's fields live in the settings model; these are their names there.
struct LinkFields {
    std::string& applicationKey;
    std::string& applicationSecret;
    std::string& accessToken;
    std::string& accessSecret;
    std::string& requestToken;
    std::string& requestSecret;
    int32_t& linkColour;

    bool Linked() const { return !accessToken.empty() && !accessSecret.empty(); }
    bool WaitingForPin() const {
        return !Linked() && !requestToken.empty() && !requestSecret.empty();
    }
    void ForgetTokens() {
        requestToken.clear();
        requestSecret.clear();
        accessToken.clear();
        accessSecret.clear();
    }
};

LinkFields Fields(CGOption& o) {
    return {o.webKeys_[0], o.webKeys_[1], o.webKeys_[2], o.webKeys_[3],
            o.webKeys_[4], o.webKeys_[5], o.linkState_};
}

void SetText(HWND page, int id, const char* text) { SetDlgItemTextA(page, id, text); }

// The colour of the status line changes without its text always doing so: repaint the page,
// erasing it, since the line is drawn on a transparent background.
void Repaint(HWND page) {
    InvalidateRect(GetParent(page), nullptr, FALSE);
    RedrawWindow(page, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void ShowLinked(HWND page, LinkFields& f) {
    SetText(page, IDC_LINK_STATUS, "");
    SetText(page, IDC_LINK_STATE, kLinkedText);
    SetText(page, IDC_LINK_BUTTON, kUnlinkText);
    f.linkColour = kBlue;
}

// The unlinked state's texts, with the given state text and colour.
void ShowUnlinked(HWND page, CGOption& o, const char* stateText, LinkColour colour) {
    SetText(page, IDC_LINK_STATUS, "");
    SetText(page, IDC_LINK_STATE, stateText);
    SetText(page, IDC_LINK_BUTTON, kLinkText);
    EnableWindow(GetDlgItem(page, IDC_LINK_PIN), FALSE);
    Fields(o).linkColour = colour;
    Repaint(page);
}

// Back to the unlinked state: everything is forgotten and the stored link removed, so the
// next click starts again from the request token. Only reached from states in which Game.ini
// holds no link (the page would show it linked otherwise), so what the page shows is right
// even when the empty value does not reach the file.
void ResetLink(HWND page, CGOption& o, const char* stateText, LinkColour colour) {
    ShowUnlinked(page, o, stateText, colour);
    Fields(o).ForgetTokens();
    SaveAccessKey(o);
}

// After a failed step.
void ShowError(HWND page, CGOption& o, const char* text) { ResetLink(page, o, text, kRed); }

void SayNotStored(HWND page, const CGOption& o) { ShowSaveFailure(GetParent(page), o.GameIni()); }

bool OpenBrowser(const LinkService& service, const std::string& url) {
    if (service.openBrowser) return service.openBrowser(url);
    // shell32 is bound here, on first use: loading it at start costs the tool time under Wine
    // and only this step needs it.
    using ShellExecuteFn = HINSTANCE(WINAPI*)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);
    static LazyModule shell32("shell32.dll");
    static const auto shellExecute = reinterpret_cast<ShellExecuteFn>(
        reinterpret_cast<void*>(shell32.Proc("ShellExecuteA")));
    if (!shellExecute) return false;
    // Values above 32 mean success; the rest are error codes (no program for the address).
    const HINSTANCE result =
        shellExecute(nullptr, "open", url.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

// Without a browser the player can still open the page by hand, on this machine or another:
// the address goes into a box, which copies its whole text with Ctrl+C.
void ShowAddressToCopy(HWND page, const std::string& url) {
    const std::string text =
        "ブラウザーを開けませんでした。\n"
        "次のアドレスをブラウザーで開いて、表示されるPINを入力してください。\n"
        "(Ctrl+Cでこのメッセージをコピーできます)\n\n" +
        url;
    ShowMessageBox(GetParent(page), text.c_str(), "Twitter", MB_OK | MB_ICONINFORMATION);
}

bool RequestTokenStep(HWND page, CGOption& o) {
    LinkFields f = Fields(o);
    const LinkService& service = Service(page);
    const std::string url = service.apiBase + kRequestTokenPath;
    // The callback is required at this step (RFC 5849 section 2.1); "oob" asks the service
    // for the PIN flow, the only one a program without a web server of its own can take.
    const OAuthParams callback = {{"oauth_callback", "oob"}};
    const std::string header =
        MakeOAuthHeader(url, &callback, f.applicationKey, f.applicationSecret, "", "");
    const OAuthParams reply = ParseFormReply(PostRequest(url, header));
    f.requestToken = reply.count("oauth_token") ? reply.at("oauth_token") : "";
    f.requestSecret = reply.count("oauth_token_secret") ? reply.at("oauth_token_secret") : "";
    if (f.requestToken.empty() || f.requestSecret.empty()) return false;

    const std::string authorize =
        service.apiBase + kAuthorizePath + "?oauth_token=" + f.requestToken;
    if (!OpenBrowser(service, authorize)) ShowAddressToCopy(page, authorize);
    SetText(page, IDC_LINK_STATUS, "Twitter認証後に表示される");
    SetText(page, IDC_LINK_STATE, "PIN Codeを入力してください");
    SetText(page, IDC_LINK_BUTTON, "入力");
    EnableWindow(GetDlgItem(page, IDC_LINK_PIN), TRUE);
    f.linkColour = kBlack;
    Repaint(page);
    return true;
}

bool AccessTokenStep(HWND page, CGOption& o) {
    LinkFields f = Fields(o);
    std::vector<char> typed(kMaxKeyText + 1);
    GetDlgItemTextA(page, IDC_LINK_PIN, typed.data(), static_cast<int>(typed.size()));
    const std::string pin = typed.data();
    SetText(page, IDC_LINK_PIN, "");

    // The verifier is a protocol parameter: it travels in the header with the others, signed
    // as typed and percent-encoded there, so pasted text cannot add fields of its own. A
    // copy in the body as well would put oauth_ parameters in two places, which a strict
    // service refuses (RFC 5849 section 3.5).
    const OAuthParams extra = {{"oauth_verifier", pin}};
    const std::string url = Service(page).apiBase + kAccessTokenPath;
    const std::string header = MakeOAuthHeader(url, &extra, f.applicationKey,
                                               f.applicationSecret, f.requestToken,
                                               f.requestSecret);
    const OAuthParams reply = ParseFormReply(PostRequest(url, header));
    f.accessToken = reply.count("oauth_token") ? reply.at("oauth_token") : "";
    f.accessSecret = reply.count("oauth_token_secret") ? reply.at("oauth_token_secret") : "";
    if (f.accessToken.empty() || f.accessSecret.empty()) return false;

    // The game knows of the link only through Game.ini: a token that did not reach it is no
    // link, and the page must not say otherwise.
    if (!SaveAccessKey(o)) {
        f.ForgetTokens();
        ShowUnlinked(page, o, kNotLinkedText, kRed);
        SayNotStored(page, o);
        return true;
    }
    ShowLinked(page, f);
    EnableWindow(GetDlgItem(page, IDC_LINK_PIN), FALSE);
    Repaint(page);
    return true;
}

// The link is gone only once Game.ini no longer holds it: when the empty value does not reach
// the file, the page stays linked, tokens kept, and the next click tries again.
void Unlink(HWND page, CGOption& o) {
    LinkFields f = Fields(o);
    const std::string token = f.accessToken, secret = f.accessSecret;
    f.ForgetTokens();
    if (!SaveAccessKey(o)) {
        f.accessToken = token;
        f.accessSecret = secret;
        SayNotStored(page, o);
        return;
    }
    ShowUnlinked(page, o, kNotLinkedText, kBlack);
}

// The button's meaning follows from the fields at each click.
void ButtonClicked(HWND page, CGOption& o) {
    LinkFields f = Fields(o);
    if (f.Linked()) {
        Unlink(page, o);
        return;
    }
    // A step that throws (no random bytes for the nonce, no memory) fails like a bad reply.
    const bool waiting = f.WaitingForPin();
    BusyButton busy(GetDlgItem(page, IDC_LINK_BUTTON));
    bool ok = false;
    try {
        ok = waiting ? AccessTokenStep(page, o) : RequestTokenStep(page, o);
    } catch (...) {
        ok = false;
    }
    if (!ok) ShowError(page, o, waiting ? "AccessToken取得エラー" : "RequestToken取得エラー");
}

void InitLinkPage(HWND page, CGOption& o) {
    CenterSheetOnce(page);
    LoadLinkKeys(o);
    LinkFields f = Fields(o);
    if (f.applicationKey.empty() || f.applicationSecret.empty()) {
        SetText(page, IDC_LINK_STATUS, "このアプリケーションは");
        SetText(page, IDC_LINK_STATE, "Twitterと連動できません");
        EnableWindow(GetDlgItem(page, IDC_LINK_BUTTON), FALSE);
        f.linkColour = kRed;
    }
    if (f.Linked()) ShowLinked(page, f);
    o.linkPageInitialised_ = true;
}

INT_PTR StateColours(CGOption& o, HDC dc, HWND control) {
    switch (GetDlgCtrlID(control)) {
    case IDC_LINK_PIN:
        // Disabled, the edit is drawn as a static; keep it looking like an entry field.
        SetTextColor(dc, RGB(0, 0, 0));
        SetBkColor(dc, RGB(255, 255, 255));
        return reinterpret_cast<INT_PTR>(GetStockObject(WHITE_BRUSH));
    case IDC_LINK_STATE: {
        static const COLORREF kColours[] = {RGB(0, 0, 0), RGB(255, 0, 0), RGB(0, 0, 255)};
        const int32_t colour = Fields(o).linkColour;
        SetTextColor(dc, colour >= kBlack && colour <= kBlue ? kColours[colour] : kColours[0]);
        SetBkMode(dc, TRANSPARENT);
        return reinterpret_cast<INT_PTR>(GetStockObject(NULL_BRUSH));
    }
    default:
        return 0;
    }
}

}  // namespace

void LoadLinkKeys(CGOption& option) {
    LinkFields f = Fields(option);
    const KeyPair application =
        SplitKeyPair(LoadStoredKey(option.SystemIni().Path(), "ApplicationKey"));
    f.applicationKey = application.key;
    f.applicationSecret = application.secret;
    const KeyPair access = SplitKeyPair(LoadStoredKey(option.GameIni().Path(), "AccessKey"));
    f.accessToken = access.key;
    f.accessSecret = access.secret;
}

bool SaveAccessKey(CGOption& option) {
    LinkFields f = Fields(option);
    return SaveStoredKey(option.GameIni().Path(), "AccessKey",
                         JoinKeyPair(f.accessToken, f.accessSecret));
}

INT_PTR CALLBACK LinkPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    return HandlePageMessage([&](CGOption& o) -> INT_PTR {
        switch (message) {
        case WM_INITDIALOG:
            KeepService(page, lParam);
            InitLinkPage(page, o);
            return 0;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDC_LINK_BUTTON && HIWORD(wParam) == BN_CLICKED)
                ButtonClicked(page, o);
            return 0;
        case WM_CTLCOLORSTATIC:
            return StateColours(o, reinterpret_cast<HDC>(wParam),
                                reinterpret_cast<HWND>(lParam));
        case WM_DESTROY:
            return 0;
        default:
            return 0;
        }
    });
}
