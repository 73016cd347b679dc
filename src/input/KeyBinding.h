// One binding of a game button to a keyboard key or a joystick control, the game's button
// order and the joystick control numbering the device reader reports.
#pragma once

#include <cstdint>

namespace KYR {

struct KeyBinding {
    int32_t device = 0;  // 0 = keyboard, 1 to 4 = joystick 1 to 4
    int32_t code = 0;    // keyboard: DirectInput scan code; joystick: control index
};

inline bool operator==(const KeyBinding& a, const KeyBinding& b) {
    return a.device == b.device && a.code == b.code;
}

// Buttons in the game's order: up, down, left, right, A, B, X, Y, L1, L2, R1, R2, S, P, C1, C2.
constexpr int kButtonCount = 16;
// Players 1 to 4 have bindings; the reader's tables keep a row 0 that is never computed.
constexpr int kPlayerCount = 4;
constexpr int kPlayerRows = kPlayerCount + 1;
// Device 0 is the keyboard; at most four joysticks follow it.
constexpr int kMaxJoysticks = 4;
constexpr int kDeviceRows = kMaxJoysticks + 1;

constexpr int kScanCodeCount = 256;
// Joystick controls: 0-11 the two directions of Y, X, Z, Ry, Rx, Rz (in that order, negative
// first), 12-15 the first hat's up/down/left/right, 16-31 buttons 1 to 16.
constexpr int kJoystickControlCount = 32;
constexpr int kFirstHatControl = 12;
constexpr int kFirstButtonControl = 16;

// A binding the reader can resolve: a keyboard scan code, or a control of joystick 1 to 4.
inline bool IsReadableBinding(int device, int code) {
    if (device == 0) return code >= 0 && code < kScanCodeCount;
    return device >= 1 && device <= kMaxJoysticks && code >= 0 && code < kJoystickControlCount;
}

}  // namespace KYR
