// The key configuration page: sixteen read-only fields, one per game button. While a field
// has the focus, a 32 ms timer polls the input reader and binds the first key or joystick
// control that goes down, then moves the focus to the next field.
#pragma once

#include <windows.h>

// The page parameter points to the player row (0 to 3) the page edits.
INT_PTR CALLBACK KeyConfigPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

class CGOption;
namespace KYR {
class CInput;
}

// One of the 64 binding fields of the key pages.
bool IsBindingField(const CGOption& option, HWND window);

// A key-down that the sheet's loop must keep from the dialog manager: Tab, while a binding
// field has the focus. Left to the dialog manager it would move the focus before the next
// capture step polls, and Tab would be bound to the field after the one the player chose;
// the capture step moves the focus on by itself, as for every key.
bool IsKeyToCapture(const CGOption& option, const MSG& msg);

// One capture step: true when a binding changed. Reads nothing unless a binding field has
// the focus.
bool CaptureBinding(CGOption& option, KYR::CInput& input);

constexpr UINT_PTR kCaptureTimerId = 276;
constexpr UINT kCaptureTimerPeriodMs = 32;
