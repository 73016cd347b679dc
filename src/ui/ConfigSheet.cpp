#include "ui/ConfigSheet.h"

#include <commctrl.h>
#include <prsht.h>

#include <boost/shared_ptr.hpp>

#include "engine/core/MessageBox.h"
#include "engine/core/StartupMark.h"
#include "input/Input.h"
#include "resources/resource.h"
#include "settings/GOption.h"
#include "ui/AfterFirstPaint.h"
#include "ui/GeneralPage.h"
#include "ui/HardwarePage.h"
#include "ui/KeyConfigPage.h"
#include "ui/LinkPage.h"
#include "ui/PageHelpers.h"
#include "ui/SaveFailure.h"

using namespace KYR;

namespace {

PROPSHEETPAGEA PageEntry(int dialog, const char* title, DLGPROC proc, LPARAM param = 0) {
    PROPSHEETPAGEA page = {};
    page.dwSize = sizeof(page);
    page.dwFlags = PSP_USETITLE;
    page.hInstance = GetModuleHandleA(nullptr);
    page.pszTemplate = MAKEINTRESOURCEA(dialog);
    page.pszTitle = title;
    page.pfnDlgProc = proc;
    page.lParam = param;
    return page;
}

bool IsEnterOrEscape(const MSG& msg) {
    return msg.message == WM_KEYDOWN && (msg.wParam == VK_RETURN || msg.wParam == VK_ESCAPE);
}

}  // namespace

LRESULT CALLBACK SheetWndProc(HWND sheet, UINT message, WPARAM wParam, LPARAM lParam) {
    CGOption* option = CGOption::GetInstance();
    // The sheet outlives the settings model by the teardown (it goes with the process).
    if (!option || !option->previousSheetProc_) return DefWindowProcA(sheet, message, wParam, lParam);
    try {
        // Another page is about to be shown, and it may read the input reader. The player's
        // own clicks and keys have run the pending start-up work already; these cover pages
        // chosen by another program.
        if (message == PSM_SETCURSEL || message == PSM_SETCURSELID ||
            (message == WM_NOTIFY && lParam &&
             reinterpret_cast<const NMHDR*>(lParam)->code == TCN_SELCHANGING))
            AfterFirstPaint::RunPending();
        // The whole wParam is compared: only a click (notification 0) counts.
        if (message == WM_COMMAND) {
            if (wParam == IDOK || wParam == kApplyButtonId) {
                // A save that did not reach Game.ini keeps the click from the sheet too: OK
                // does not close it and Apply stays enabled, so the player who was told can
                // clear the way and press again, or choose Cancel.
                if (!option->SaveSettings()) {
                    if (option->GameIni().HasPlace())
                        ShowSaveFailure(sheet, option->GameIni());
                    else
                        ShowNoPlaceToSave(sheet);
                    return 0;
                }
                if (wParam == IDOK) PostQuitMessage(0);
            } else if (wParam == IDCANCEL) {
                PostQuitMessage(0);
            }
        } else if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_CLOSE) {
            PostQuitMessage(0);
        }
    } catch (...) {
        // Nothing may unwind through user32; the sheet's own handling still runs below.
    }
    // The sheet still does its own OK, Apply and Cancel work (notifying pages, greying Apply).
    return CallWindowProcA(option->previousSheetProc_, sheet, message, wParam, lParam);
}

bool CGOption::RunConfigSheet(IKYRD3D* graphics, IKYRWin* window, IKYRDI* inputInterface) {
    InitCommonControls();
    MarkStartup("common controls");

    static const int kPlayerOneRow = 0;
    // The hardware page reads these only in its WM_INITDIALOG, which comes when its tab is
    // first shown, from the loop below.
    const HardwarePageInterfaces hardware = {graphics, window};
    PROPSHEETPAGEA pages[] = {
        PageEntry(IDD_GENERAL, "総合", GeneralPageProc),
        PageEntry(IDD_KEYCONFIG, "キー設定(1P)", KeyConfigPageProc,
                  reinterpret_cast<LPARAM>(&kPlayerOneRow)),
        PageEntry(IDD_HARDWARE, "ハードウェア情報", HardwarePageProc,
                  reinterpret_cast<LPARAM>(&hardware)),
        PageEntry(IDD_LINK, "Twitter", LinkPageProc),
    };
    PROPSHEETHEADERA header = {};
    header.dwSize = sizeof(header);
    header.dwFlags = PSH_MODELESS | PSH_PROPSHEETPAGE | PSH_NOCONTEXTHELP;  // 0x2000408
    header.hwndParent = nullptr;
    header.hInstance = GetModuleHandleA(nullptr);
    header.pszCaption = "ゲームの設定";
    header.nPages = sizeof(pages) / sizeof(pages[0]);
    header.nStartPage = 0;
    header.ppsp = pages;
    HWND sheet = reinterpret_cast<HWND>(PropertySheetA(&header));
    // Without a sheet nothing would ever post WM_QUIT: end the run instead of waiting.
    if (!sheet || sheet == reinterpret_cast<HWND>(-1)) return false;
    MarkStartup("sheet created");

    // Subclassed before the reader is made: the error box below has no owner, so the sheet
    // stays usable behind it, and an OK or Cancel pressed meanwhile must already save and
    // end the run rather than leave a loop with no window.
    previousSheetProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(sheet, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SheetWndProc)));

    // The key page's reader, opened once the first page has painted: DirectInput's device
    // enumeration is the longest step of the start, and only the other pages read input.
    // Without DirectInput the sheet still runs; the key page then captures nothing.
    boost::shared_ptr<CInput> input(new CInput);
    AfterFirstPaint openInput([&] {
        if (!input->Initialize(inputInterface, sheet, header.hInstance))
            ShowMessageBox(nullptr, "DirectInputの初期化に失敗しました。\n", "エラー",
                           MB_OK | MB_ICONERROR);
        MarkStartup("DirectInput");
    });

    MSG msg;
    while (openInput.Get(&msg) > 0) {
        // Enter and Escape never press OK or Cancel: the key page binds those keys.
        if (IsEnterOrEscape(msg)) continue;
        if (IsKeyToCapture(*this, msg)) continue;
        // The sheet's own dialog message handling: Ctrl+Tab and Ctrl+Page Down change pages
        // before the dialog manager gets the rest.
        if (sheet && PropSheet_IsDialogMessage(sheet, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return true;
}
