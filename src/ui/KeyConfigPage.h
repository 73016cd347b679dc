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

// A binding field has gained the focus (`input` may be null before the reader exists).
// Every control already down is latched without being bound, so only a new press binds:
// pad triggers rest at full deflection, pedals and throttles at an end, and a key may still
// be held from the click or Tab that brought the focus.
void BindingFieldFocused(CGOption& option, KYR::CInput* input);

constexpr UINT_PTR kCaptureTimerId = 276;
constexpr UINT kCaptureTimerPeriodMs = 32;
