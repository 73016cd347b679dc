#include "engine/core/MessageBox.h"

#include <utility>

namespace KYR {
namespace {
MessageBoxHook& Hook() {
    static MessageBoxHook hook;
    return hook;
}
WideMessageBoxHook& WideHook() {
    static WideMessageBoxHook hook;
    return hook;
}
}  // namespace

int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT type) {
    if (Hook()) return Hook()(owner, text, caption, type);
    return MessageBoxA(owner, text, caption, type);
}

int ShowMessageBoxW(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type) {
    if (WideHook()) return WideHook()(owner, text, caption, type);
    return MessageBoxW(owner, text, caption, type);
}

MessageBoxHook SetMessageBoxHook(MessageBoxHook hook) {
    return std::exchange(Hook(), std::move(hook));
}

WideMessageBoxHook SetWideMessageBoxHook(WideMessageBoxHook hook) {
    return std::exchange(WideHook(), std::move(hook));
}

}  // namespace KYR
