// The game's main-window object as the application object holds it. The configuration tool
// never creates one (its property sheet takes that place), but the engine's teardown and the
// input reader's focus fallback reach it through CKYRHelp.
#pragma once

#include <windows.h>

namespace KYR {

class IMainWindow {
public:
    virtual bool Create(HINSTANCE instance, int width, int height) = 0;
    // Second operation: the window handle (borrowed), null before Create.
    virtual HWND GetHandle() const = 0;
    virtual void Show(int showCommand) = 0;
    virtual bool ProcessMessages() = 0;
    virtual void SetTitle(const char* title) = 0;
    // Sixth operation: called by the application object's teardown before dropping it.
    virtual void Destroy() = 0;
    virtual ~IMainWindow() = default;
};

}  // namespace KYR
