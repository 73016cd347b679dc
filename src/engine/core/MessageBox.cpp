#include "engine/core/MessageBox.h"

#include <utility>

namespace KYR {
namespace {
MessageBoxHook& Hook() {
    static MessageBoxHook hook;
    return hook;
}
}  // namespace

int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT type) {
    if (Hook()) return Hook()(owner, text, caption, type);
    return MessageBoxA(owner, text, caption, type);
}

MessageBoxHook SetMessageBoxHook(MessageBoxHook hook) {
    return std::exchange(Hook(), std::move(hook));
}

}  // namespace KYR
