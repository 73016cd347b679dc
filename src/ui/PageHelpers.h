// What the sheet and its pages share: the first step of every page (centring the sheet once),
// the page-changed notice, white read-only fields, the guard around every page procedure, and
// the binding fields' capture test that the sheet's loop asks. The sheet host and the pages
// include this file and never each other's, so no page depends on the sheet that hosts it.
#pragma once

#include <windows.h>

#include "settings/GOption.h"

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

// One of the 64 binding fields of the key pages.
bool IsBindingField(const CGOption& option, HWND window);

// A key message that the sheet's loop keeps from the dialog manager and the default window
// procedure while a binding field has the focus, because the capture step binds that key:
// - Tab's key-down, which would move the focus before the next capture step polls, so Tab
//   would be bound to the field after the one the player chose (the capture step moves the
//   focus on by itself, as for every key);
// - Page Up's and Page Down's, which with Ctrl held would change the sheet's page;
// - every system key message (key-down, key-up, character), which come only for Alt, F10
//   and keys pressed while Alt is down: the default procedure would put the sheet into menu
//   mode (the next key beeps, Enter opens the system menu), and Alt+A would press Apply
//   through its mnemonic.
bool IsKeyToCapture(const CGOption& option, const MSG& msg);
