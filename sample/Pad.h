// Player 1's pad: the keyboard and up to four joysticks through the engine's input interface,
// read once a frame and turned into the sixteen buttons by the player's bindings.
#pragma once

#include <windows.h>

#include <dinput.h>

#include <cstdint>
#include <vector>

#include "Own.h"
#include "Settings.h"
#include "input/IKYRDI.h"

class Pad {
public:
    // Opens the keyboard and every attached joystick (at most four). False without a keyboard.
    bool Open(KYR::IKYRDI* input, HINSTANCE instance, const Binding (&bindings)[kButtonCount]);
    // The devices are opened in background mode and report keys typed into other windows
    // too: while the game is not in front, everything reads as up.
    void Poll(bool foreground);

    bool Down(int button) const { return (down_ >> button) & 1; }
    bool Pressed(int button) const { return ((down_ & ~previous_) >> button) & 1; }
    bool KeyDown(int scanCode) const { return (keys_[scanCode] & 0x80) != 0; }

private:
    bool BindingDown(const Binding& b) const;

    Own<KYR::IDIInput> keyboard_;
    std::vector<Own<KYR::IDIInput>> joysticks_;  // device numbers 1 to 4 in this order
    Binding bindings_[kButtonCount];
    uint8_t keys_[256] = {};
    DIJOYSTATE2 sticks_[4] = {};
    uint32_t down_ = 0;
    uint32_t previous_ = 0;
};

// Whether joystick control `control` is down in `state`: 0-11 the negative and positive
// directions of Y, X, Z, Ry, Rx, Rz beyond half deflection (axes run -1000 to 1000), 12-15
// the first hat's up, down, left, right, 16-31 buttons 1 to 16.
bool JoystickControlDown(const DIJOYSTATE2& state, int control);
