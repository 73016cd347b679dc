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

// One capture step: true when a binding changed. Reads nothing unless a binding field has
// the focus.
bool CaptureBinding(CGOption& option, KYR::CInput& input);

constexpr UINT_PTR kCaptureTimerId = 276;
constexpr UINT kCaptureTimerPeriodMs = 32;
