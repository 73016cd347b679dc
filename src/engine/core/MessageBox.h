// Every message box of the program goes through here, so tests can watch them instead of
// leaving a box open under Wine.
#pragma once

#include <windows.h>

#include <functional>

namespace KYR {

using MessageBoxHook = std::function<int(HWND owner, const char* text, const char* caption,
                                         UINT type)>;
using WideMessageBoxHook = std::function<int(HWND owner, const wchar_t* text,
                                             const wchar_t* caption, UINT type)>;

// MessageBoxA, or the installed hook.
int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT type);

// MessageBoxW, or the installed wide hook: for a text that the ANSI code page may not spell
// (a path), or that must read right on a system whose code page is not Shift-JIS.
int ShowMessageBoxW(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type);

// Install a hook (an empty one restores the system's box) and return the previous one.
MessageBoxHook SetMessageBoxHook(MessageBoxHook hook);
WideMessageBoxHook SetWideMessageBoxHook(WideMessageBoxHook hook);

}  // namespace KYR
