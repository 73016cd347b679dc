// The [General] value rules: every text lands on an allowed value, and what is written reads
// back as itself.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "settings/GeneralValues.h"

namespace {

using namespace KYR::settings;

TEST(GeneralValues, YesNoKeys) {
    struct Row {
        const char* text;
        bool emptyValue;
        bool expected;
    } rows[] = {
        {"YES", false, true},   {"yes", false, true},  {"yEs", false, true},
        {"1", false, false},    {"true", false, false}, {"yes ", false, false},  // exact
        {"", false, false},     // FullScreen / ShowFPS present but empty
        {"", true, true},       // ShowMenu present but empty
        {"No", true, false},    {"ｙｅｓ", false, false},  // full-width letters are not ASCII
    };
    for (const Row& r : rows)
        EXPECT_EQ(ReadYesNo(r.text, r.emptyValue), r.expected) << '"' << r.text << '"';
    EXPECT_STREQ(WriteYesNo(true), "Yes");
    EXPECT_STREQ(WriteYesNo(false), "No");
}

TEST(GeneralValues, CacheSizes) {
    struct Row {
        const char* text;
        int32_t vram;
        int32_t file;
    } rows[] = {
        {"0", 0, 128},      {"512", 512, 512}, {"256", 256, 256}, {"128", 256, 128},
        {"1024", 256, 128}, {"64", 256, 128},  {"", 0, 256},      {"abc", 256, 128},
        {" 512", 256, 128}, {"0512", 256, 128}, {"-0", 256, 128},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(ReadMaxVRAMCacheSize(r.text), r.vram) << '"' << r.text << '"';
        EXPECT_EQ(ReadMaxFileCacheSize(r.text), r.file) << '"' << r.text << '"';
    }
}

TEST(GeneralValues, ScreenSize) {
    struct Row {
        const char* text;
        int32_t expected;
    } rows[] = {
        {"0", 0}, {"1", 1}, {"4", 4}, {"5", 0}, {"7", 0}, {"-1", 0}, {"abc", 0}, {"", 0},
        {" 3", 3}, {"+2", 2}, {"2abc", 2}, {"99999999999999999999", 0}, {"-99999999999", 0},
    };
    for (const Row& r : rows) EXPECT_EQ(ReadScreenSize(r.text), r.expected) << r.text;
}

TEST(GeneralValues, LowerAsciiLeavesShiftJisTrailBytesAlone) {
    // 0x83 0x41 is katakana "ア" in Shift-JIS: its trail byte 'A' is no letter.
    EXPECT_EQ(LowerAscii("\x83\x41YES"), "\x83\x41yes");
    EXPECT_EQ(LowerAscii("AbC\x82\x60Z"), "abc\x82\x60z");
    EXPECT_EQ(LowerAscii("\x83"), "\x83");  // a lead byte at the very end
}

TEST(GeneralValues, ListEntriesMapBothWays) {
    for (int32_t v : {0, 256, 512}) EXPECT_EQ(VRAMCacheSizeFromEntry(VRAMCacheSizeToEntry(v)), v);
    for (int32_t v : {128, 256, 512}) EXPECT_EQ(FileCacheSizeFromEntry(FileCacheSizeToEntry(v)), v);
    for (int32_t v = 0; v <= 4; ++v) EXPECT_EQ(ScreenSizeFromEntry(ScreenSizeToEntry(v)), v);
    EXPECT_EQ(ScreenSizeFromEntry(-1), 0);  // a list with no selection
}

// Any text read from a file lands on an allowed value, and writing that value back and
// reading it again gives the same value.
TEST(GeneralValues, RandomTextsLandOnAllowedValuesAndRoundTrip) {
    std::mt19937 rng(20261208);
    const std::string alphabet = "0123456789-+ abcxyzYESNOyesno\x81\x82\x83\x41\xe0\t";
    for (int i = 0; i < 20000; ++i) {
        std::string text;
        const int len = static_cast<int>(rng() % 8);
        for (int k = 0; k < len; ++k) text += alphabet[rng() % alphabet.size()];

        const int32_t vram = ReadMaxVRAMCacheSize(text);
        ASSERT_TRUE(vram == 0 || vram == 256 || vram == 512) << text;
        EXPECT_EQ(ReadMaxVRAMCacheSize(WriteDecimal(vram)), vram);

        const int32_t file = ReadMaxFileCacheSize(text);
        ASSERT_TRUE(file == 128 || file == 256 || file == 512) << text;
        EXPECT_EQ(ReadMaxFileCacheSize(WriteDecimal(file)), file);

        const int32_t screen = ReadScreenSize(text);
        ASSERT_TRUE(screen >= 0 && screen <= 4) << text;
        EXPECT_EQ(ReadScreenSize(WriteDecimal(screen)), screen);

        for (bool emptyValue : {false, true}) {
            const bool b = ReadYesNo(text, emptyValue);
            EXPECT_EQ(ReadYesNo(WriteYesNo(b), emptyValue), b);
        }
    }
}

}  // namespace
