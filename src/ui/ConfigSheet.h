// The property sheet host: the sheet's replacement window procedure. CGOption::RunConfigSheet
// (ConfigSheet.cpp) builds the sheet over the four pages and runs the program's message loop.
#pragma once

#include <windows.h>

// The Apply button's command id in a property sheet.
constexpr WPARAM kApplyButtonId = 0x3021;

LRESULT CALLBACK SheetWndProc(HWND sheet, UINT message, WPARAM wParam, LPARAM lParam);
