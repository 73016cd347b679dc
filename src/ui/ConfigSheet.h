// The property sheet host: the sheet's replacement window procedure and the first step every
// page takes on WM_INITDIALOG. CGOption::RunConfigSheet (ConfigSheet.cpp) builds the sheet.
#pragma once

#include <windows.h>

#include "settings/GOption.h"

// The Apply button's command id in a property sheet.
constexpr WPARAM kApplyButtonId = 0x3021;

LRESULT CALLBACK SheetWndProc(HWND sheet, UINT message, WPARAM wParam, LPARAM lParam);

// On the first call only: records the sheet (the page's parent), gives it the program's icon
// and centres it on the screen.
void CenterSheetOnce(HWND page);

// Read-only edit fields ask for their colours with WM_CTLCOLORSTATIC; these are drawn black on
// white like writable ones. Returns the brush the page's procedure must return.
INT_PTR PaintWhiteField(HDC dc);

// Sends the page-changed notice that enables the sheet's Apply button.
void NotifyPageChanged(HWND page);

// Runs a page procedure's handling of one message with the settings model: 0 when the model
// is gone (the sheet outlives it by the teardown) and 0 for anything thrown, since nothing
// may unwind through user32.
template <class Handler>
INT_PTR HandlePageMessage(Handler handler) {
    CGOption* option = CGOption::GetInstance();
    if (!option) return 0;
    try {
        return handler(*option);
    } catch (...) {
        return 0;
    }
}
