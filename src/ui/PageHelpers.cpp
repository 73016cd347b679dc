#include "ui/PageHelpers.h"

#include <commctrl.h>
#include <prsht.h>

#include "resources/resource.h"

INT_PTR PaintWhiteField(HDC dc) {
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, RGB(255, 255, 255));
    return reinterpret_cast<INT_PTR>(GetStockObject(WHITE_BRUSH));
}

void NotifyPageChanged(HWND page) {
    SendMessageA(GetParent(page), PSM_CHANGED, reinterpret_cast<WPARAM>(page), 0);
}

void CenterSheetOnce(HWND page) {
    CGOption* option = CGOption::GetInstance();
    if (!option || option->sheetCentred_) return;
    HWND sheet = GetParent(page);
    option->sheet_ = sheet;

    HICON icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_SHEET));
    SendMessageA(sheet, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessageA(sheet, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));

    RECT client;
    GetClientRect(sheet, &client);
    const int outerWidth = client.right + GetSystemMetrics(SM_CXEDGE) +
                           GetSystemMetrics(SM_CXDLGFRAME) + GetSystemMetrics(SM_CXBORDER);
    const int outerHeight = client.bottom + GetSystemMetrics(SM_CYEDGE) +
                            GetSystemMetrics(SM_CYDLGFRAME) + GetSystemMetrics(SM_CYBORDER) +
                            GetSystemMetrics(SM_CYCAPTION);
    const int x = GetSystemMetrics(SM_CXSCREEN) / 2 - outerWidth / 2;
    const int y = GetSystemMetrics(SM_CYSCREEN) / 2 - outerHeight / 2;
    SetWindowPos(sheet, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    option->sheetCentred_ = true;
}

bool IsBindingField(const CGOption& o, HWND window) {
    if (!window) return false;
    for (int b = 0; b < CGOption::kButtons; ++b)
        for (int r = 0; r < CGOption::kPlayers; ++r)
            if (o.bindingFields_[b][r] == window) return true;
    return false;
}

bool IsKeyToCapture(const CGOption& o, const MSG& msg) {
    const bool sheetKey = msg.message == WM_KEYDOWN &&
                          (msg.wParam == VK_TAB || msg.wParam == VK_PRIOR || msg.wParam == VK_NEXT);
    const bool systemKey = msg.message == WM_SYSKEYDOWN || msg.message == WM_SYSKEYUP ||
                           msg.message == WM_SYSCHAR || msg.message == WM_SYSDEADCHAR;
    return (sheetKey || systemKey) && IsBindingField(o, msg.hwnd);
}
