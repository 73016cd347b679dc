#include "input/JoystickControls.h"

namespace KYR {
namespace {

struct HatDirections {
    uint32_t angle;
    int32_t up, down, left, right;
};

// A hat between two of these angles (some drivers report 4000 for a sloppy diagonal) or
// centred counts as no direction at all.
constexpr HatDirections kHatAngles[] = {
    {0, 1, 0, 0, 0},     {4500, 1, 0, 0, 1},  {9000, 0, 0, 0, 1},  {13500, 0, 1, 0, 1},
    {18000, 0, 1, 0, 0}, {22500, 0, 1, 1, 0}, {27000, 0, 0, 1, 0}, {31500, 1, 0, 1, 0},
};

void SetAxisPair(int32_t value, int32_t* negative, int32_t* positive) {
    *negative = value < -kAxisThreshold ? 1 : 0;
    *positive = value > kAxisThreshold ? 1 : 0;
}

}  // namespace

void DecodeJoystickControls(const JoystickState2& s, int32_t (&flags)[kJoystickControlCount]) {
    // Pairs in control order: Y (up first), X, Z, then the rotations Ry, Rx, Rz.
    SetAxisPair(s.lY, &flags[0], &flags[1]);
    SetAxisPair(s.lX, &flags[2], &flags[3]);
    SetAxisPair(s.lZ, &flags[4], &flags[5]);
    SetAxisPair(s.lRy, &flags[6], &flags[7]);
    SetAxisPair(s.lRx, &flags[8], &flags[9]);
    SetAxisPair(s.lRz, &flags[10], &flags[11]);

    int32_t* hat = &flags[kFirstHatControl];
    hat[0] = hat[1] = hat[2] = hat[3] = 0;
    for (const HatDirections& h : kHatAngles) {
        if (s.rgdwPOV[0] != h.angle) continue;
        hat[0] = h.up;
        hat[1] = h.down;
        hat[2] = h.left;
        hat[3] = h.right;
        break;
    }

    for (int k = 0; k < kJoystickControlCount - kFirstButtonControl; ++k)
        flags[kFirstButtonControl + k] = (s.rgbButtons[k] & 0x80) ? 1 : 0;
}

}  // namespace KYR
