#include "ui/ConfigSheet.h"

#include <windows.h>

#include <commctrl.h>
#include <prsht.h>

#include "resources/resource.h"

namespace {

// An empty page template in memory: the sheet's pages join it as they are built.
struct BlankPage {
    DLGTEMPLATE header;
    WORD menu, windowClass, title;
};

INT_PTR CALLBACK BlankPageProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

}  // namespace

void RunConfigSheet() {
    InitCommonControls();
    static BlankPage blank = {{WS_CHILD | DS_CONTROL, 0, 0, 0, 0, 239, 117}, 0, 0, 0};
    PROPSHEETPAGEA page = {};
    page.dwSize = sizeof(page);
    page.dwFlags = PSP_DLGINDIRECT | PSP_USETITLE;
    page.pResource = &blank.header;
    page.pszTitle = "総合";
    page.pfnDlgProc = BlankPageProc;

    PROPSHEETHEADERA header = {};
    header.dwSize = sizeof(header);
    header.dwFlags = PSH_MODELESS | PSH_USEICONID | PSH_PROPSHEETPAGE;
    header.hInstance = GetModuleHandleA(nullptr);
    header.pszIcon = MAKEINTRESOURCEA(IDI_SHEET);
    header.pszCaption = "ゲームの設定";
    header.nPages = 1;
    header.ppsp = &page;
    HWND sheet = reinterpret_cast<HWND>(PropertySheetA(&header));
    if (!sheet || sheet == reinterpret_cast<HWND>(-1)) return;

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (!PropSheet_IsDialogMessage(sheet, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        // A modeless sheet is not destroyed by its buttons: it only stops having a page.
        if (!PropSheet_GetCurrentPageHwnd(sheet)) {
            DestroyWindow(sheet);
            break;
        }
    }
}
