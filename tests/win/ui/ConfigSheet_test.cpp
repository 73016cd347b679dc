// The sheet's replacement window procedure: which clicks save, which end the run, and what
// the sheet itself still gets to see.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "../settings/TempGameFolder.h"
#include "engine/core/MessageBox.h"
#include "settings/GOption.h"
#include "ui/ConfigSheet.h"

namespace {

// Stands in for the sheet's own procedure: records the commands passed on to it.
std::vector<WPARAM> forwarded;
LRESULT CALLBACK RecordingSheetProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_COMMAND || m == WM_SYSCOMMAND) forwarded.push_back(w);
    return DefWindowProcA(h, m, w, l);
}

bool TakeQuit() {
    MSG msg;
    return PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;
}

TEST(SheetWndProc, OnlyClicksSaveOrEndTheRun) {
    struct Row {
        const char* what;
        UINT message;
        WPARAM wParam;
        bool saves, quits;
    } rows[] = {
        {"OK clicked", WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), true, true},
        {"OK with a notification", WM_COMMAND, MAKEWPARAM(IDOK, BN_DOUBLECLICKED), false, false},
        {"Apply clicked", WM_COMMAND, kApplyButtonId, true, false},
        {"Apply with a notification", WM_COMMAND, MAKEWPARAM(kApplyButtonId, 1), false, false},
        {"Cancel", WM_COMMAND, IDCANCEL, false, true},
        {"close box", WM_SYSCOMMAND, SC_CLOSE | 2, false, true},
        {"another command", WM_COMMAND, 1001, false, false},
    };
    TempGameFolder folder;
    CGOption option(folder.Dir());
    option.previousSheetProc_ = RecordingSheetProc;
    HWND window = CreateWindowA("STATIC", "sheet", 0, 0, 0, 10, 10, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        DeleteFileA(folder.Path("Game.ini").c_str());
        TakeQuit();
        forwarded.clear();
        SheetWndProc(window, r.message, r.wParam, 0);
        EXPECT_EQ(folder.Has("Game.ini"), r.saves);
        EXPECT_EQ(TakeQuit(), r.quits);
        EXPECT_EQ(forwarded, std::vector<WPARAM>{r.wParam}) << "the sheet still does its part";
    }
    DestroyWindow(window);
}

// A save that does not reach Game.ini: OK and Apply say so in one box on the sheet and keep
// the sheet as it was (open, Apply enabled, the pages not told), so the player's choices are
// still there to be saved again or dropped with Cancel.
TEST(SheetWndProc, ASaveThatFailsIsSaidOnceAndKeepsTheSheet) {
    TempGameFolder blocked;
    ASSERT_TRUE(blocked.BlockWithFolder("Game.ini"));
    const std::string path = blocked.Path("Game.ini");  // the temporary folder's: ASCII
    struct Row {
        const char* what;
        std::string directory;
        std::vector<std::wstring> said;  // parts of the text, wide as shown
    } rows[] = {
        // Shown wide, so a system whose code page is not Shift-JIS reads it too.
        {"a folder the program cannot name", "",
         {L"設定を保存できませんでした。\nゲームのフォルダーの名前に"}},
        {"a folder named Game.ini in the file's place", blocked.Dir(),
         {L"書き込めません。\n\n" + std::wstring(path.begin(), path.end()) + L"\n\n",
          L"Program Files", L"管理者として実行"}},
    };
    HWND window = CreateWindowA("STATIC", "sheet", 0, 0, 0, 10, 10, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        CGOption option(r.directory);
        option.previousSheetProc_ = RecordingSheetProc;
        option.generalPageInitialised_ = true;
        for (WPARAM click : {static_cast<WPARAM>(IDOK), kApplyButtonId}) {
            std::vector<std::wstring> boxes;
            KYR::WideMessageBoxHook previous = KYR::SetWideMessageBoxHook(
                [&](HWND owner, const wchar_t* text, const wchar_t* caption, UINT type) {
                    EXPECT_EQ(owner, window);
                    EXPECT_EQ(type & MB_ICONMASK, static_cast<UINT>(MB_ICONERROR));
                    EXPECT_STREQ(caption, L"エラー");
                    boxes.push_back(text);
                    return IDOK;
                });
            TakeQuit();
            forwarded.clear();
            SheetWndProc(window, WM_COMMAND, click, 0);
            KYR::SetWideMessageBoxHook(previous);
            ASSERT_EQ(boxes.size(), 1u) << click;
            for (const std::wstring& part : r.said)
                EXPECT_NE(boxes[0].find(part), std::wstring::npos) << click << ": " << part;
            EXPECT_FALSE(TakeQuit()) << click;
            EXPECT_TRUE(forwarded.empty()) << click;
        }
        // Cancel still ends the run.
        forwarded.clear();
        SheetWndProc(window, WM_COMMAND, IDCANCEL, 0);
        EXPECT_TRUE(TakeQuit());
    }
    DestroyWindow(window);
}

}  // namespace
