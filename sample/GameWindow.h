// The game's one window. Windowed, its client area is the game's picture scaled by the
// player's screen size; full screen, it is a borderless window covering the screen (the
// engine's device is always windowed, so full screen is a matter of the window's size).
#pragma once

#include <windows.h>

class GameWindow {
public:
    GameWindow() = default;
    ~GameWindow();
    GameWindow(const GameWindow&) = delete;
    GameWindow& operator=(const GameWindow&) = delete;

    // Makes the window hidden; false when it cannot be made.
    bool Create(HINSTANCE instance, int clientWidth, int clientHeight, bool fullScreen);
    // Shows it in front, once everything the first frame needs is ready.
    void Show();
    HWND Handle() const { return hwnd_; }
    // Dispatches what the thread has queued; false once the player has closed the window.
    bool PumpMessages();
    bool IsForeground() const { return GetForegroundWindow() == hwnd_; }

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

    HINSTANCE instance_ = nullptr;
    HWND hwnd_ = nullptr;
    bool closed_ = false;
};
