// Binding values as stored in the INI files and as shown on the key page.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "input/BindingText.h"
#include "input/KeyNames.h"

namespace {

using KYR::KeyBinding;

TEST(BindingText, ReadsStoredValues) {
    struct Row {
        const char* text;
        bool valid;
        int device, code;
        const char* display;
    } rows[] = {
        {"0,0xC8", true, 0, 0xC8, "Key: ↑"},
        {"2;1b", true, 2, 0x1B, "Joy2: 12"},         // any separator, prefix optional
        {"1,0x10", true, 1, 0x10, "Joy1: 1"},
        {"0,0x3A", true, 0, 0x3A, "Key: "},          // caps lock has no name
        {"7,0x05", true, 7, 0x05, "Joy7: ZINC"},     // accepted; the reader never reports it
        {"0,0x1FF", true, 0, 0x1FF, "Key: "},        // beyond the key table
        {"3,0x20", true, 3, 0x20, "Joy3: "},         // beyond the control table
        {"-3;ff", true, -3, 0xFF, "Joy-3: "},
        {"1,-1", true, 1, -1, "Joy1: "},             // negative code must not index names
        {"0,-0x2C", true, 0, -0x2C, "Key: "},
        {"  4 ,\t 0X0a trailing", true, 4, 0x0A, "Joy4: ZDEC(R)"},
        {"0 x 2c", true, 0, 0x2C, "Key: Z"},          // blank then the separator
        {"0,,2c", false, 0, 0, nullptr},             // exactly one separator
        {"0,0xg", true, 0, 0, "Key: "},              // "0x" without digits reads the 0
        {"1,0x", true, 1, 0, "Joy1: ↑"},
        {"+1,+1", true, 1, 1, "Joy1: ↓"},
        {"99999999999,0x1", true, INT_MAX, 1, nullptr},  // saturates
        {"0,0x1FFFFFFFF", true, 0, -1, "Key: "},        // 32-bit wrap, as %x stores it
        {"abc", false, 0, 0, nullptr},
        {"", false, 0, 0, nullptr},
        {"   ", false, 0, 0, nullptr},
        {"1", false, 0, 0, nullptr},                 // no separator
        {"1,", false, 0, 0, nullptr},                // no code
        {"1,zz", false, 0, 0, nullptr},
        {"-,1", false, 0, 0, nullptr},
        {"1,-", false, 0, 0, nullptr},
    };
    for (const Row& row : rows) {
        KeyBinding b{42, 42};
        ASSERT_EQ(KYR::ParseBindingValue(row.text, &b), row.valid) << row.text;
        if (!row.valid) {
            EXPECT_EQ(b, (KeyBinding{42, 42})) << row.text << ": untouched on failure";
            continue;
        }
        EXPECT_EQ(b.device, row.device) << row.text;
        EXPECT_EQ(b.code, row.code) << row.text;
        if (row.display) EXPECT_EQ(KYR::BindingDisplayText(b), row.display) << row.text;
    }
    KeyBinding b;
    EXPECT_FALSE(KYR::ParseBindingValue(nullptr, &b));
}

TEST(BindingText, WritesTwoUpperCaseDigitsAtLeast) {
    struct Row {
        KeyBinding binding;
        const char* text;
    } rows[] = {
        {{0, 0x0E}, "0,0x0E"},  // a captured backspace
        {{0, 0xC8}, "0,0xC8"},
        {{1, 0x10}, "1,0x10"},
        {{4, 0x1B}, "4,0x1B"},
        {{0, 0x1FF}, "0,0x1FF"},
        {{-3, -1}, "-3,0xFFFFFFFF"},
    };
    for (const Row& row : rows) EXPECT_EQ(KYR::FormatBindingValue(row.binding), row.text);
}

// Every key that has a name and every joystick control: written, read back, shown.
TEST(BindingText, EveryNamedBindingRoundTrips) {
    int named = 0;
    for (int code = 0; code < 256; ++code) {
        if (*KYR::KeyName(code) == '\0') continue;
        ++named;
        const KeyBinding written{0, code};
        KeyBinding read{-1, -1};
        ASSERT_TRUE(KYR::ParseBindingValue(KYR::FormatBindingValue(written).c_str(), &read));
        EXPECT_EQ(read, written) << code;
        EXPECT_EQ(KYR::BindingDisplayText(read), std::string("Key: ") + KYR::KeyName(code));
    }
    EXPECT_EQ(named, 116);
    for (int device = 1; device <= 4; ++device) {
        for (int control = 0; control < 32; ++control) {
            const KeyBinding written{device, control};
            KeyBinding read{-1, -1};
            ASSERT_TRUE(KYR::ParseBindingValue(KYR::FormatBindingValue(written).c_str(), &read));
            EXPECT_EQ(read, written);
            EXPECT_EQ(KYR::BindingDisplayText(read),
                      "Joy" + std::to_string(device) + ": " + KYR::JoystickControlName(control));
        }
    }
}

}  // namespace
