#include <gtest/gtest.h>

#include "engine/core/KYRWin.h"
#include "engine/core/RefPtr.h"
#include "engine/core/ScopedHandle.h"

namespace {

using namespace KYR;

LONG WeightOf(HFONT font) {
    LOGFONTA lf = {};
    GetObjectA(font, sizeof(lf), &lf);
    return lf.lfWeight;
}

TEST(KYRWin, FontWeightIndexMapsToWeights) {
    RefPtr<CKYRWin> win(new CKYRWin);
    struct Row {
        unsigned index;
        LONG weight;
    } rows[] = {
        {0, 300}, {1, 400}, {2, 500}, {3, 600}, {4, 700}, {5, 800}, {6, 900},
        {7, 300},                        // past the table
        {static_cast<unsigned>(-1), 300},  // -1 read as unsigned
    };
    for (const Row& row : rows) {
        ScopedFont font(win->CreateFontHandle("VL Gothic", 0, 12, row.index, false, false, false));
        ASSERT_TRUE(font) << row.index;
        EXPECT_EQ(WeightOf(font.get()), row.weight) << row.index;
    }
}

TEST(KYRWin, FontCarriesTheRequestedShape) {
    RefPtr<CKYRWin> win(new CKYRWin);
    EXPECT_EQ(win->CreateFontHandle("VL Gothic", 0, 0, 1, false, false, false), nullptr);
    ScopedFont font(win->CreateFontHandle("VL Gothic", 6, 12, 1, true, true, true));
    ASSERT_TRUE(font);
    LOGFONTA lf = {};
    GetObjectA(font.get(), sizeof(lf), &lf);
    EXPECT_EQ(lf.lfHeight, 12);
    EXPECT_EQ(lf.lfWidth, 6);
    EXPECT_TRUE(lf.lfItalic && lf.lfUnderline && lf.lfStrikeOut);
    EXPECT_EQ(lf.lfQuality, PROOF_QUALITY);
}

TEST(KYRWin, AnUnknownFaceReusesThePreviousRecord) {
    RefPtr<CKYRWin> win(new CKYRWin);
    ScopedFont known(win->CreateFontHandle("VL Gothic", 0, 20, 4, false, false, false));
    ScopedFont unknown(win->CreateFontHandle("No Such Face Anywhere", 0, 20, 4, false, false,
                                             false));
    ASSERT_TRUE(unknown);
    LOGFONTA a = {}, b = {};
    GetObjectA(known.get(), sizeof(a), &a);
    GetObjectA(unknown.get(), sizeof(b), &b);
    EXPECT_STREQ(a.lfFaceName, b.lfFaceName);
}

TEST(KYRWin, DesktopDCIsHeldUntilReleased) {
    RefPtr<CKYRWin> win(new CKYRWin);
    EXPECT_EQ(win->ReleaseDesktopDC(), 0);  // none held
    HDC first = win->GetDesktopDC();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(win->GetDesktopDC(), first);
    EXPECT_EQ(win->ReleaseDesktopDC(), 1);
    EXPECT_EQ(win->ReleaseDesktopDC(), 0);
}

TEST(KYRWin, RunAndWait) {
    RefPtr<CKYRWin> win(new CKYRWin);
    char missing[] = "no-such-program-anywhere.exe";
    const DWORD before = GetTickCount();
    EXPECT_FALSE(win->RunAndWait(missing));
    EXPECT_LT(GetTickCount() - before, 10000u);  // no wait for what never started

    // A program that takes a moment: RunAndWait returns only after it has ended.
    char marker[MAX_PATH];
    GetTempPathA(MAX_PATH, marker);
    strcat(marker, "kyr_runandwait.txt");
    DeleteFileA(marker);
    std::string cmd = std::string("cmd.exe /c ping -n 2 127.0.0.1 >nul & echo done> \"") +
                      marker + "\"";
    std::vector<char> line(cmd.begin(), cmd.end());
    line.push_back('\0');
    EXPECT_TRUE(win->RunAndWait(line.data()));
    EXPECT_NE(GetFileAttributesA(marker), INVALID_FILE_ATTRIBUTES);
    DeleteFileA(marker);
}

int seen = 0;
LRESULT CALLBACK CountAppMessages(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_APP) ++seen;
    return DefWindowProcA(h, m, w, l);
}

TEST(KYRWin, PumpMessagesForZeroStillDispatchesOneMessage) {
    RefPtr<CKYRWin> win(new CKYRWin);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = CountAppMessages;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "KyrPumpTest";
    RegisterClassA(&wc);
    HWND wnd = CreateWindowA("KyrPumpTest", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                             wc.hInstance, nullptr);
    ASSERT_NE(wnd, nullptr);
    PostMessageA(wnd, WM_APP, 0, 0);
    PostMessageA(wnd, WM_APP, 0, 0);
    win->PumpMessagesFor(0);
    EXPECT_EQ(seen, 1);
    win->PumpMessagesFor(0);
    EXPECT_EQ(seen, 2);
    // WM_QUIT taken here is dispatched like any other message; the pump returns normally.
    PostQuitMessage(0);
    win->PumpMessagesFor(0);
    EXPECT_EQ(seen, 2);
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    // A longer span keeps taking messages until one arrives after the time has run out.
    const DWORD before = GetTickCount();
    SetTimer(wnd, 1, 10, nullptr);
    win->PumpMessagesFor(100);
    KillTimer(wnd, 1);
    EXPECT_GE(GetTickCount() - before, 90u);
    DestroyWindow(wnd);
}

}  // namespace
