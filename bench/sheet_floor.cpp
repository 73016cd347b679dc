// The second floor of the start-up benchmark: the smallest modeless property sheet (one empty
// page, the same comctl32 and message loop) that Wine can show. It lacks the controls of the
// tool's pages, so the ratio against it measures those as well; template_floor.exe is the
// fair one.
#include <windows.h>

#include <commctrl.h>
#include <prsht.h>

namespace {
// An empty page in the same dialog font as the tool's pages (the font lookup is part of the
// cost of showing any page under Wine).
struct EmptyPage {
    DLGTEMPLATE header;
    WORD menu, windowClass, title;
    WORD pointSize;
    WCHAR face[13];
};
INT_PTR CALLBACK PageProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }
LRESULT CALLBACK QuitOnClose(HWND h, UINT m, WPARAM w, LPARAM l, UINT_PTR, DWORD_PTR) {
    if (m == WM_SYSCOMMAND && (w & 0xFFF0) == SC_CLOSE) PostQuitMessage(0);
    return DefSubclassProc(h, m, w, l);
}
}  // namespace

int main() {
    InitCommonControls();
    static EmptyPage empty = {{WS_CHILD | DS_CONTROL | DS_SETFONT, 0, 0, 0, 0, 239, 117},
                              0, 0, 0, 9, L"MS UI Gothic"};
    PROPSHEETPAGEA page = {};
    page.dwSize = sizeof(page);
    page.dwFlags = PSP_DLGINDIRECT | PSP_USETITLE;
    page.pResource = &empty.header;
    page.pszTitle = "page";
    page.pfnDlgProc = PageProc;
    PROPSHEETHEADERA header = {};
    header.dwSize = sizeof(header);
    header.dwFlags = PSH_MODELESS | PSH_PROPSHEETPAGE | PSH_NOCONTEXTHELP;
    header.pszCaption = "floor sheet";
    header.nPages = 1;
    header.ppsp = &page;
    HWND sheet = reinterpret_cast<HWND>(PropertySheetA(&header));
    if (!sheet) return 1;
    SetWindowSubclass(sheet, QuitOnClose, 1, 0);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (IsDialogMessageA(sheet, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
