// Turns one extended joystick state record into the reader's 32 control flags. The record
// mirrors DirectInput's DIJOYSTATE2 field for field (272 bytes; the Windows build checks the
// layout against the SDK's), so the decoding builds and is tested without <windows.h>.
#pragma once

#include <cstdint>

#include "input/KeyBinding.h"

namespace KYR {

struct JoystickState2 {
    int32_t lX, lY, lZ;
    int32_t lRx, lRy, lRz;
    int32_t rglSlider[2];
    uint32_t rgdwPOV[4];  // hundredths of a degree clockwise from up; 0xFFFFFFFF = centred
    uint8_t rgbButtons[128];
    int32_t lVX, lVY, lVZ, lVRx, lVRy, lVRz;
    int32_t rglVSlider[2];
    int32_t lAX, lAY, lAZ, lARx, lARy, lARz;
    int32_t rglASlider[2];
    int32_t lFX, lFY, lFZ, lFRx, lFRy, lFRz;
    int32_t rglFSlider[2];
};
static_assert(sizeof(JoystickState2) == 272, "DIJOYSTATE2 is 272 bytes");

// Axes are set to -1000..1000 when the device is opened; a direction is down only beyond
// half deflection, so exactly +-500 is still up.
constexpr int32_t kAxisThreshold = 500;

// Writes flags[0..31] as 0 or 1: the axis directions, the first hat's four directions (only
// the eight exact 45-degree angles count) and bit 7 of the first sixteen buttons.
void DecodeJoystickControls(const JoystickState2& state, int32_t (&flags)[kJoystickControlCount]);

}  // namespace KYR
