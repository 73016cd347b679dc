// Every message box of the program goes through here, so tests can watch them instead of
// leaving a box open under Wine.
#pragma once

#include <windows.h>

#include <functional>

namespace KYR {

using MessageBoxHook = std::function<int(HWND owner, const char* text, const char* caption,
                                         UINT type)>;

// MessageBoxA, or the installed hook.
int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT type);

// Installs a hook (an empty one restores MessageBoxA) and returns the previous one.
MessageBoxHook SetMessageBoxHook(MessageBoxHook hook);

}  // namespace KYR
