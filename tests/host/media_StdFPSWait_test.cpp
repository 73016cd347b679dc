#include <gtest/gtest.h>

#include "engine/media/std/StdFPSWait.h"

namespace {

using KYR::CStdFPSWait;

uint32_t g_now = 0;
uint32_t FakeClock() { return g_now; }

// A caller that sleeps exactly what it is told: the steps themselves.
TEST(StdFPSWait, SixtyPerSecondAlternatesSixteenAndSeventeen) {
    for (uint32_t start : {1000u, 0xFFFFFFF0u}) {  // the second wraps within the six frames
        g_now = start;
        CStdFPSWait pacer(FakeClock);
        ASSERT_EQ(pacer.Start(60), start);
        uint32_t steps[6];
        for (uint32_t& step : steps) {
            step = pacer.Wait();
            g_now += step;
            EXPECT_FALSE(pacer.IsLate());
        }
        const uint32_t expected[6] = {16, 17, 16, 17, 17, 16};
        for (int i = 0; i < 6; ++i) EXPECT_EQ(steps[i], expected[i]) << start << " frame " << i;
    }
}

TEST(StdFPSWait, StartStopRules) {
    g_now = 500;
    CStdFPSWait pacer(FakeClock);
    EXPECT_EQ(pacer.Wait(), 0u) << "inactive";
    EXPECT_EQ(pacer.Start(0), 0u);
    EXPECT_EQ(pacer.Wait(), 0u);
    EXPECT_EQ(pacer.Start(30), 500u);
    EXPECT_EQ(pacer.Start(60), 0u) << "already active";
    EXPECT_EQ(pacer.Wait(), 33u);
    pacer.Stop();
    EXPECT_EQ(pacer.Wait(), 0u);
    g_now = 900;
    EXPECT_EQ(pacer.Start(60), 900u);
    EXPECT_EQ(pacer.Wait(), 16u) << "the fraction starts afresh";
}

// At 60 per second the first frame's step is 16 ms; the caller arrives step + lag after start.
TEST(StdFPSWait, LagSetsLateOrIsDropped) {
    struct Row {
        uint32_t lag;
        bool late;
        uint32_t nextWait;  // the following Wait at the same moment (its step is 17)
    } rows[] = {
        {0, false, 17},
        {40, false, 0},   // under three steps (48)
        {50, true, 0},
        {239, true, 0},
        {240, false, 17},  // 4 x 60 ms or more: the backlog is dropped
        {100000, false, 17},
        {0x80000000u, false, 17},  // past half the clock's range: late, not early
    };
    for (const Row& row : rows) {
        g_now = 7;
        CStdFPSWait pacer(FakeClock);
        pacer.Start(60);
        g_now += 16 + row.lag;
        EXPECT_EQ(pacer.Wait(), 0u) << row.lag;
        EXPECT_EQ(pacer.IsLate(), row.late) << row.lag;
        EXPECT_EQ(pacer.Wait(), row.nextWait) << row.lag;
    }
}

TEST(StdFPSWait, AnEarlyCallerWaitsLongerInsteadOfLosingTheFrame) {
    g_now = 1000;
    CStdFPSWait pacer(FakeClock);
    pacer.Start(60);
    EXPECT_EQ(pacer.Wait(), 16u);  // the frame is due at 1016
    g_now = 1015;                  // back one millisecond before that
    EXPECT_EQ(pacer.Wait(), 18u);  // to 1016, then the 17 ms step
    EXPECT_FALSE(pacer.IsLate());
}

TEST(StdFPSWait, LateAcrossTheClockWrapIsWorkedOff) {
    g_now = 0xFFFFFFF0u;
    CStdFPSWait pacer(FakeClock);
    pacer.Start(60);
    g_now = 0xFFFFFFF0u + 16 + 50;  // wraps to a small number, 50 ms behind
    EXPECT_EQ(pacer.Wait(), 0u);
    EXPECT_TRUE(pacer.IsLate());
    // At the same moment: lags of 33, 17 and 0 ms, none of them three frames, then a full step.
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(pacer.Wait(), 0u) << i;
        EXPECT_FALSE(pacer.IsLate()) << i;
    }
    EXPECT_EQ(pacer.Wait(), 17u);
}

}  // namespace
