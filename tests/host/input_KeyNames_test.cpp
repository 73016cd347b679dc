// The key name table: the named codes with their quirks, the unnamed ones, the joystick part.
#include <gtest/gtest.h>

#include <string>

#include "input/KeyNames.h"

namespace {

TEST(KeyNames, NamesByScanCode) {
    struct Row {
        int code;
        const char* name;
    } rows[] = {
        {0x01, "ESC"}, {0x0E, "BS"}, {0x1C, "Return"},
        {0x2B, "\\"}, {0x7D, "\\"},  // one backslash each
        {0x1B, "]"}, {0x29, "]"},    // two keys, one glyph
        {0x28, ":"}, {0x92, ":"},
        {0x79, "変換"}, {0x7B, "無変換"}, {0xC8, "↑"}, {0xD0, "↓"}, {0xCB, "←"}, {0xCD, "→"},
        {0x4E, "+"}, {0x8D, "=(Num)"}, {0xB3, "."}, {0xB5, "/"}, {0xDD, "Menu"},
        // unnamed: null, caps lock, kana, kanji, a media key, the last code
        {0x00, ""}, {0x3A, ""}, {0x70, ""}, {0x94, ""}, {0xA2, ""}, {0xFF, ""},
        // outside the table
        {-1, ""}, {256, ""}, {0x7FFFFFFF, ""},
    };
    for (const Row& row : rows) EXPECT_STREQ(KYR::KeyName(row.code), row.name) << row.code;
    EXPECT_EQ(std::string(KYR::KeyName(0x2B)).size(), 1u);
}

TEST(KeyNames, JoystickControlsFollowTheKeysInTheCombinedTable) {
    struct Row {
        int control;
        const char* name;
    } rows[] = {
        {0, "↑"}, {3, "→"}, {4, "ZDEC"}, {5, "ZINC"}, {6, "↑(R)"}, {11, "ZINC(R)"},
        {12, "↑(POV)"}, {15, "→(POV)"}, {16, "1"}, {27, "12"}, {31, "16"},
        {32, ""}, {-1, ""},
    };
    for (const Row& row : rows) {
        EXPECT_STREQ(KYR::JoystickControlName(row.control), row.name) << row.control;
        if (row.control >= 0 && row.control < 32)
            EXPECT_STREQ(KYR::KeyNameTableEntry(KYR::kJoystickNameBase + row.control), row.name);
    }
    for (int code = 0; code < 256; ++code)
        EXPECT_STREQ(KYR::KeyNameTableEntry(code), KYR::KeyName(code));
    EXPECT_STREQ(KYR::KeyNameTableEntry(KYR::kKeyNameTableSize), "");
    EXPECT_STREQ(KYR::KeyNameTableEntry(-5), "");
}

}  // namespace
