// Decoding of DIJOYSTATE2 records into the 32 joystick control flags.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "input/JoystickControls.h"

namespace {

using KYR::JoystickState2;

// A centred stick with no hat direction and no button.
JoystickState2 Idle() {
    JoystickState2 s;
    std::memset(&s, 0, sizeof(s));
    for (uint32_t& pov : s.rgdwPOV) pov = 0xFFFFFFFF;
    return s;
}

// The indices of the flags that are set, as a bit mask.
uint32_t Down(const JoystickState2& s) {
    int32_t flags[32];
    std::memset(flags, 0x5A, sizeof(flags));  // stale garbage must be overwritten
    KYR::DecodeJoystickControls(s, flags);
    uint32_t mask = 0;
    for (int i = 0; i < 32; ++i) {
        EXPECT_TRUE(flags[i] == 0 || flags[i] == 1) << i;
        if (flags[i]) mask |= 1u << i;
    }
    return mask;
}

TEST(JoystickControls, AxesCountOnlyBeyondHalfDeflection) {
    struct Axis {
        int32_t JoystickState2::*field;
        int negative;  // control for the negative direction; positive is the next one
    } axes[] = {
        {&JoystickState2::lY, 0},  {&JoystickState2::lX, 2},  {&JoystickState2::lZ, 4},
        {&JoystickState2::lRy, 6}, {&JoystickState2::lRx, 8}, {&JoystickState2::lRz, 10},
    };
    struct Value {
        int32_t value;
        bool negativeDown, positiveDown;
    } values[] = {
        {-1000, true, false}, {-501, true, false}, {-500, false, false}, {0, false, false},
        {500, false, false},  {501, false, true},  {1000, false, true},
    };
    for (const Axis& axis : axes) {
        for (const Value& v : values) {
            JoystickState2 s = Idle();
            s.*(axis.field) = v.value;
            const uint32_t expected = (v.negativeDown ? 1u << axis.negative : 0u) |
                                      (v.positiveDown ? 1u << (axis.negative + 1) : 0u);
            EXPECT_EQ(Down(s), expected) << "control " << axis.negative << " value " << v.value;
        }
    }
}

TEST(JoystickControls, OnlyTheEightHatAnglesCount) {
    constexpr uint32_t U = 1u << 12, D = 1u << 13, L = 1u << 14, R = 1u << 15;
    struct Row {
        uint32_t pov;
        uint32_t down;
    } rows[] = {
        {0, U},         {4500, U | R},  {9000, R},    {13500, D | R}, {18000, D},
        {22500, D | L}, {27000, L},     {31500, U | L},
        {4000, 0},       // between two angles
        {0xFFFFFFFF, 0}, // centred
        {0xFFFF, 0},     // the low word alone of a centred value
        {36000, 0},
    };
    for (const Row& row : rows) {
        JoystickState2 s = Idle();
        s.rgdwPOV[0] = row.pov;
        EXPECT_EQ(Down(s), row.down) << row.pov;
    }
    JoystickState2 s = Idle();
    s.rgdwPOV[1] = 0;  // only the first hat is read
    EXPECT_EQ(Down(s), 0u);
}

TEST(JoystickControls, ButtonsUseBitSeven) {
    for (int k = 0; k < 16; ++k) {
        JoystickState2 s = Idle();
        s.rgbButtons[k] = 0x80;
        EXPECT_EQ(Down(s), 1u << (16 + k)) << "button " << k + 1;
        s.rgbButtons[k] = 0x7F;  // any other bit is not a press
        EXPECT_EQ(Down(s), 0u) << "button " << k + 1;
    }
    JoystickState2 s = Idle();
    s.rgbButtons[16] = 0x80;  // button 17 has no control
    EXPECT_EQ(Down(s), 0u);
}

}  // namespace
