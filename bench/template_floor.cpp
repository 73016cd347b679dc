// The fair floor for the start-up benchmark: a bare modeless PropertySheetA over the tool's
// own four dialog templates (102 to 105, the same manifest, the same tab titles and header
// flags), with pages that do nothing and no engine. What GameConfig.exe takes beyond this is
// its own work: the engine interfaces, the settings model, the first page's loading.
#include <windows.h>

#include <commctrl.h>
#include <prsht.h>

#include "resources/resource.h"

namespace {

INT_PTR CALLBACK IdlePage(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

LRESULT CALLBACK QuitOnClose(HWND h, UINT m, WPARAM w, LPARAM l, UINT_PTR, DWORD_PTR) {
    if (m == WM_SYSCOMMAND && (w & 0xFFF0) == SC_CLOSE) PostQuitMessage(0);
    return DefSubclassProc(h, m, w, l);
}

PROPSHEETPAGEA Page(int dialog, const char* title) {
    PROPSHEETPAGEA page = {};
    page.dwSize = sizeof(page);
    page.dwFlags = PSP_USETITLE;
    page.hInstance = GetModuleHandleA(nullptr);
    page.pszTemplate = MAKEINTRESOURCEA(dialog);
    page.pszTitle = title;
    page.pfnDlgProc = IdlePage;
    return page;
}

}  // namespace

int main() {
    OutputDebugStringA("start");  // marks for the timeline, as the tool's (StartupMark.h)
    InitCommonControls();
    PROPSHEETPAGEA pages[] = {
        Page(IDD_GENERAL, "総合"),
        Page(IDD_KEYCONFIG, "キー設定(1P)"),
        Page(IDD_HARDWARE, "ハードウェア情報"),
        Page(IDD_LINK, "Twitter"),
    };
    PROPSHEETHEADERA header = {};
    header.dwSize = sizeof(header);
    header.dwFlags = PSH_MODELESS | PSH_PROPSHEETPAGE | PSH_NOCONTEXTHELP;
    header.hInstance = GetModuleHandleA(nullptr);
    header.pszCaption = "template floor";
    header.nPages = sizeof(pages) / sizeof(pages[0]);
    header.ppsp = pages;
    HWND sheet = reinterpret_cast<HWND>(PropertySheetA(&header));
    if (!sheet || sheet == reinterpret_cast<HWND>(-1)) return 1;
    OutputDebugStringA("sheet created");
    SetWindowSubclass(sheet, QuitOnClose, 1, 0);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (IsDialogMessageA(sheet, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
