// The media streams' pure helpers: type names as callers write them, and the streaming
// player's clock folding positions back into the loop.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "engine/media/graph/MediaTypeName.h"
#include "engine/media/sound/SoundScales.h"
#include "engine/media/stream/StreamClock.h"

namespace {

using namespace KYR;

TEST(MediaTypeName, LowerCasingKeepsShiftJisCharacters) {
    struct Row {
        const char* in;
        std::string out;
    } rows[] = {
        {"MID", "mid"},
        {"WaVe", "wave"},
        {"mp3", "mp3"},
        {nullptr, ""},
        // "ソ" is 0x83 0x5C and "ア" 0x83 0x41: the trail bytes must not change ('A' is 0x41).
        {"\x83\x41MP3", "\x83\x41mp3"},
        {"X\x83\x5CY", "x\x83\x5Cy"},
        // A lead byte at the very end has no trail: it is kept, nothing is read past it.
        {"AB\x83", "ab\x83"},
        // Half-width katakana (0xA1-0xDF) are single bytes; the letter after one still lowers.
        {"\xB1Q", "\xB1q"},
    };
    for (const Row& r : rows) EXPECT_EQ(LowerTypeName(r.in), r.out) << (r.in ? r.in : "null");
}

TEST(MediaTypeName, PlayerChoice) {
    struct Row {
        const char* name;
        bool hasReader;
        bool directShow;
    } rows[] = {
        {"MID", false, true},  {"midi", false, true}, {"Mp3", false, true},
        {"wave", false, false}, {"WAV", false, false}, {"ogg", false, false},
        {"mid", true, false},  // a caller's reader always streams through DirectSound
        {"mp3", true, false},  {"", false, false},      {nullptr, false, false},
        {"mid ", false, false},  // exact names only
    };
    for (const Row& r : rows)
        EXPECT_EQ(UsesDirectShow(r.name, r.hasReader), r.directShow)
            << (r.name ? r.name : "null") << " reader " << r.hasReader;
    EXPECT_EQ(KindOfTypeName("wav"), MediaKind::kWave);
    EXPECT_EQ(KindOfTypeName("MID"), MediaKind::kOther);  // callers lower-case first
}

TEST(StreamClock, FoldsPositionsIntoTheLoop) {
    struct Row {
        uint64_t played;
        uint32_t cursor, length;
        bool looping;
        uint32_t loop, expected;
    } rows[] = {
        {10000, 2500, 10000, true, 2000, 4500},  // one pass of 10 s, 2.5 s into the next
        {0, 9999, 10000, true, 2000, 9999},       // below the length: as it is
        {0, 10000, 10000, true, 2000, 2000},      // exactly the end is the loop start
        {20000, 0, 10000, true, 2000, 4000},      // two laps of the 8 s loop taken off
        {10000, 2500, 10000, false, 2000, 10000},  // not looping: stays at the end
        {10000, 2500, 10000, true, 10000, 10000},  // loop at the end: plays once
        {10000, 2500, 10000, true, 0, 2500},
        // A day of looping a 3 s loop: folded in one step, no overflow.
        {86400000ull, 0, 5000, true, 2000, 2000 + (86400000ull - 2000) % 3000},
    };
    for (const Row& r : rows)
        EXPECT_EQ(FoldPosition(r.played, r.cursor, r.length, r.looping, r.loop), r.expected)
            << r.played << "+" << r.cursor;
}

TEST(StreamClock, BytesToMs) {
    EXPECT_EQ(BytesToMs(1764000, 176400), 10000u);
    EXPECT_EQ(BytesToMs(176399, 176400), 999u);  // truncated
    EXPECT_EQ(BytesToMs(5, 0), 0u);
    EXPECT_EQ(BytesToMs(0xFFFFFFFFull, 8000), 536870911u);  // no 32-bit overflow in * 1000
}

// Speeds go to DirectShow as fractional rates and come back as the same percentage.
TEST(StreamSpeed, RatesAreFractionalAndReadBack) {
    struct Row {
        int32_t percent;
        double rate;
    } rows[] = {{150, 1.5}, {100, 1.0}, {29, 0.29}, {1, 0.01}, {250, 2.5}, {0, 0.0}, {-50, 0.0}};
    for (const Row& r : rows) {
        EXPECT_DOUBLE_EQ(RateFromPercent(r.percent), r.rate) << r.percent;
        EXPECT_EQ(PercentFromRate(RateFromPercent(r.percent)), r.percent > 0 ? r.percent : 0)
            << r.percent;
    }
    for (int32_t p = 1; p <= 1000; ++p) EXPECT_EQ(PercentFromRate(RateFromPercent(p)), p);
    EXPECT_EQ(PercentFromRate(-1.0), 0);
    EXPECT_EQ(PercentFromRate(1e300), INT32_MAX);
}

}  // namespace
