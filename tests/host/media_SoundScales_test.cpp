#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

#include "engine/media/sound/SoundScales.h"

namespace {

using namespace KYR;

TEST(SoundScales, VolumeAndPanEdges) {
    struct Row {
        int32_t in, volume, pan;
    } rows[] = {
        {0, -10000, 0},
        {50, -2499, 2499},  // single-precision square, truncated: one short of 2500
        {99, -1, 9800},   // 99^2 one short as well
        {100, 0, 10000},
        {30, -4899, 899},   // 70^2 and 30^2 both come out one short
        {-30, -10000, -899},
        {-100, -10000, -10000},
        {-1, -10000, -1},
        {101, 0, 10000},
        {-101, -10000, -10000},
        {INT_MIN, -10000, -10000},
        {INT_MAX, 0, 10000},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(VolumeToMillibels(r.in), r.volume) << r.in;
        EXPECT_EQ(PanToMillibels(r.in), r.pan) << r.in;
    }
}

// Every setting: the millibels lie within one below the exact square, and reading them back
// gives the volume set, and a pan of the same sign at most one smaller in magnitude.
TEST(SoundScales, EverySettingReadsBack) {
    for (int32_t v = 0; v <= 100; ++v) {
        const int32_t exact = (100 - v) * (100 - v);
        const int32_t mb = VolumeToMillibels(v);
        EXPECT_TRUE(-mb == exact || -mb == exact - 1) << v << " gave " << mb;
        EXPECT_EQ(VolumeFromMillibels(mb), v) << v;
    }
    for (int32_t p = -100; p <= 100; ++p) {
        const int32_t mb = PanToMillibels(p);
        const int32_t exact = p * p;
        EXPECT_TRUE((p < 0 ? -mb : mb) == exact || (p < 0 ? -mb : mb) == exact - 1) << p;
        const int32_t back = PanFromMillibels(mb);
        if (p > 0) EXPECT_TRUE(back == p || back == p - 1) << p << " read " << back;
        if (p < 0) EXPECT_TRUE(back == p || back == p + 1) << p << " read " << back;
        if (p == 0) EXPECT_EQ(back, 0);
    }
}

TEST(SoundScales, ReadingOutOfRangeMillibels) {
    struct Row {
        int32_t millibels, volume, pan;
    } rows[] = {
        {1, 100, 1},        // above full volume: full volume
        {20000, 100, 100},
        {INT_MIN, 0, -100},  // below silence, and no negation overflow
    };
    for (const Row& r : rows) {
        EXPECT_EQ(VolumeFromMillibels(r.millibels), r.volume) << r.millibels;
        EXPECT_EQ(PanFromMillibels(r.millibels), r.pan) << r.millibels;
    }
}

TEST(SoundScales, FrequencyPercent) {
    struct Row {
        int32_t percent;
        uint32_t rate, hz;
    } rows[] = {
        {100, 44100, 44100},
        {50, 44100, 22050},
        {200, 22050, 44100},
        {33, 8000, 2640},
        {35, 44100, 15435},   // exact, not 15434.999 truncated
        {0, 44100, 0},        // DirectSound's "original rate"
        {-5, 44100, 0},       // never a wrapped huge rate
        {INT_MAX, 4000000000u, UINT32_MAX},
    };
    for (const Row& r : rows)
        EXPECT_EQ(FrequencyFromPercent(r.percent, r.rate), r.hz) << r.percent << " of " << r.rate;

    EXPECT_EQ(PercentFromFrequency(22050, 44100), 50);
    EXPECT_EQ(PercentFromFrequency(44100, 0), 0);
    EXPECT_EQ(PercentFromFrequency(UINT32_MAX, 1), INT32_MAX);
    // Round trip at common rates: exactly the percentage set where every percentage of the
    // rate is whole hertz, else one less where the rate truncated.
    for (uint32_t rate : {8000u, 11025u, 22050u, 44100u, 48000u}) {
        for (int32_t p = 1; p <= 400; ++p) {
            const int32_t back = PercentFromFrequency(FrequencyFromPercent(p, rate), rate);
            EXPECT_TRUE(back == p || (rate % 100 != 0 && back == p - 1))
                << p << "% of " << rate << " read " << back;
        }
    }
}

}  // namespace
