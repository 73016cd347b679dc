// Helpers of the input tests: a visible top-level window that can be put in front, and a
// message pump (Wine delivers SendInput and foreground changes through the queue).
#pragma once

#include <windows.h>

namespace input_test {

class FrontWindow {
public:
    explicit FrontWindow(const char* caption)
        : hwnd_(CreateWindowExA(0, "STATIC", caption, WS_POPUP | WS_VISIBLE, 10, 10, 200, 100,
                                nullptr, nullptr, GetModuleHandleA(nullptr), nullptr)) {}
    ~FrontWindow() {
        if (hwnd_) DestroyWindow(hwnd_);
    }
    FrontWindow(const FrontWindow&) = delete;
    FrontWindow& operator=(const FrontWindow&) = delete;

    HWND Get() const { return hwnd_; }
    // True once the system reports this window as the foreground window.
    bool BringToFront() const;

private:
    HWND hwnd_;
};

void PumpMessages();

inline void PumpMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

inline bool FrontWindow::BringToFront() const {
    for (int attempt = 0; attempt < 500; ++attempt) {
        SetForegroundWindow(hwnd_);
        PumpMessages();
        if (GetForegroundWindow() == hwnd_) return true;
        Sleep(10);
    }
    return false;
}

}  // namespace input_test
