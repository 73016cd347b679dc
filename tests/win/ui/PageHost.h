// Hosts one real page template in a stand-in sheet window that counts the page-changed
// notices, with a settings model over a temporary game folder.
#pragma once

#include <windows.h>

#include <commctrl.h>
#include <prsht.h>

#include <gtest/gtest.h>

#include <memory>

#include "../settings/TempGameFolder.h"
#include "engine/core/MessageBox.h"
#include "settings/GOption.h"

class PageHost : public testing::Test {
protected:
    static int changedNotices;

    static LRESULT CALLBACK FakeSheetProc(HWND h, UINT m, WPARAM w, LPARAM l) {
        if (m == PSM_CHANGED) ++changedNotices;
        return DefWindowProcA(h, m, w, l);
    }

    // Creates the page from its template; `param` is what the page entry's lParam holds.
    void OpenPage(int dialog, DLGPROC proc, LPARAM param = 0) {
        previousHook_ = KYR::SetMessageBoxHook({});
        KYR::SetMessageBoxHook(previousHook_);
        option_.reset(new CGOption(folder_.Dir()));
        WNDCLASSA wc = {};
        wc.lpfnWndProc = FakeSheetProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "KyrFakeSheet";
        RegisterClassA(&wc);
        sheet_ = CreateWindowA("KyrFakeSheet", "sheet", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                               500, 400, nullptr, nullptr, wc.hInstance, nullptr);
        entry_.dwSize = sizeof(entry_);
        entry_.lParam = param;
        page_ = CreateDialogParamA(wc.hInstance, MAKEINTRESOURCEA(dialog), sheet_, proc,
                                   reinterpret_cast<LPARAM>(&entry_));
        ASSERT_NE(page_, nullptr) << "CreateDialogParam failed: " << GetLastError();
        changedNotices = 0;
    }
    void TearDown() override {
        if (page_) DestroyWindow(page_);
        if (sheet_) DestroyWindow(sheet_);
        KYR::SetMessageBoxHook(previousHook_);
    }
    HWND Item(int id) const { return GetDlgItem(page_, id); }

    TempGameFolder folder_;
    std::unique_ptr<CGOption> option_;
    HWND sheet_ = nullptr;
    HWND page_ = nullptr;
    PROPSHEETPAGEA entry_ = {};
    KYR::MessageBoxHook previousHook_;
};

inline int PageHost::changedNotices = 0;
