// What a button's binding becomes when loaded: the stored text, or the built-in default.
#include <gtest/gtest.h>

#include <string>

#include "input/BindingDefaults.h"
#include "input/BindingText.h"

namespace {

TEST(BindingDefaults, StoredTextIsKeptVerbatimUnlessUnusable) {
    struct Row {
        const char* stored;
        int player, button;
        const char* text;
        const char* display;
    } rows[] = {
        {"0,0xC8", 1, 0, "0,0xC8", "Key: ↑"},
        {"2;1b", 1, 4, "2;1b", "Joy2: 12"},     // kept as found, not re-formatted
        {"abc", 1, 0, "1,0x00", "Joy1: ↑"},     // unreadable: default
        {"", 1, 0, "1,0x00", "Joy1: ↑"},        // present but empty: default
        {nullptr, 2, 15, "2,0x1B", "Joy2: 12"},
        {"7,0x05", 3, 1, "7,0x05", "Joy7: ZINC"},
        {" ", 4, 5, "4,0x11", "Joy4: 2"},
    };
    for (const Row& row : rows) {
        const KYR::LoadedBinding loaded = KYR::ResolveStoredBinding(row.stored, row.player, row.button);
        EXPECT_EQ(loaded.text, row.text) << (row.stored ? row.stored : "(null)");
        EXPECT_EQ(KYR::BindingDisplayText(loaded.binding), row.display);
    }
}

TEST(BindingDefaults, OutOfRangeLoadsAsUnbound) {
    struct Row {
        int player, button;
    } rows[] = {{0, 0}, {5, 0}, {1, 16}, {1, -1}, {-1, 3}};
    for (const Row& row : rows) {
        const KYR::LoadedBinding loaded =
            KYR::ResolveStoredBinding("0,0x2C", row.player, row.button);
        EXPECT_EQ(loaded.text, "") << row.player << "/" << row.button;
        EXPECT_EQ(loaded.binding, KYR::kUnboundBinding) << row.player << "/" << row.button;
        EXPECT_FALSE(KYR::IsReadableBinding(loaded.binding.device, loaded.binding.code));
    }
}

// Player n defaults to joystick n: the four stick directions, then buttons 1 to 12.
TEST(BindingDefaults, PlayerNDefaultsToJoystickN) {
    const int expectedCodes[16] = {0, 1, 2, 3, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27};
    for (int player = 1; player <= 4; ++player) {
        for (int button = 0; button < 16; ++button) {
            const char* text = KYR::DefaultBindingText(player, button);
            ASSERT_NE(text, nullptr);
            KYR::KeyBinding b;
            ASSERT_TRUE(KYR::ParseBindingValue(text, &b)) << text;
            EXPECT_EQ(b, (KYR::KeyBinding{player, expectedCodes[button]})) << text;
            EXPECT_EQ(KYR::FormatBindingValue(b), text) << "written exactly in the stored form";
        }
    }
    EXPECT_EQ(KYR::DefaultBindingText(0, 0), nullptr);
    EXPECT_EQ(KYR::DefaultBindingText(5, 0), nullptr);
    EXPECT_EQ(KYR::DefaultBindingText(1, 16), nullptr);
    EXPECT_EQ(KYR::DefaultBindingText(1, -1), nullptr);
}

TEST(BindingDefaults, IniNames) {
    const char* keys[16] = {"UP",   "DOWN", "LEFT", "RIGHT", "BTN1", "BTN2",  "BTN3",  "BTN4",
                            "BTN5", "BTN6", "BTN7", "BTN8",  "BTN9", "BTN10", "BTN11", "BTN12"};
    for (int b = 0; b < 16; ++b) EXPECT_STREQ(KYR::BindingIniKey(b), keys[b]);
    EXPECT_EQ(KYR::BindingIniKey(16), nullptr);
    EXPECT_EQ(KYR::KeyConfigSection(1), "KeyConfig1");
    EXPECT_EQ(KYR::KeyConfigSection(4), "KeyConfig4");
}

}  // namespace
