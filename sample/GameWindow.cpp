#include "GameWindow.h"

namespace {

const char kClassName[] = "KYRSampleWindow";
const char kCaption[] = "KYR Sample";

}  // namespace

GameWindow::~GameWindow() {
    if (hwnd_) DestroyWindow(hwnd_);
    if (instance_) UnregisterClassA(kClassName, instance_);
}

bool GameWindow::Create(HINSTANCE instance, int clientWidth, int clientHeight,
                        bool fullScreen) {
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = &GameWindow::Proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.lpszClassName = kClassName;
    if (!RegisterClassExA(&wc)) return false;
    instance_ = instance;

    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    DWORD style = WS_POPUP;
    RECT r = {0, 0, screenWidth, screenHeight};
    if (!fullScreen) {
        style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
        r = {0, 0, clientWidth, clientHeight};
        AdjustWindowRect(&r, style, FALSE);
        OffsetRect(&r, (screenWidth - (r.right - r.left)) / 2 - r.left,
                   (screenHeight - (r.bottom - r.top)) / 2 - r.top);
    }
    hwnd_ = CreateWindowExA(0, kClassName, kCaption, style, r.left, r.top, r.right - r.left,
                            r.bottom - r.top, nullptr, nullptr, instance, this);
    return hwnd_ != nullptr;
}

void GameWindow::Show() {
    ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
}

bool GameWindow::PumpMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) closed_ = true;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return !closed_;
}

LRESULT CALLBACK GameWindow::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lp);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<GameWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    switch (msg) {
    case WM_CLOSE:
        // The close box ends the game's loop; the window goes with the game's objects, after
        // the device that draws into it.
        if (self) self->closed_ = true;
        return 0;
    case WM_ERASEBKGND:
        return 1;  // the device paints every pixel; GDI's erase would flicker under it
    default:
        return DefWindowProcA(hwnd, msg, wp, lp);
    }
}
