// The property sheet host: the sheet's replacement window procedure and the first step every
// page takes on WM_INITDIALOG. CGOption::RunConfigSheet (ConfigSheet.cpp) builds the sheet.
#pragma once

#include <windows.h>

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
