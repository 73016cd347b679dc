#include <gtest/gtest.h>

#include <cmath>

#include "engine/core/SineTable.h"

namespace {

using KYR::kSineTableSize;

TEST(SineTable, FilledWithOneTurnOfSine) {
    KYR::FillSineTable();
    const float* t = KYR::SineTable();
    // Quarter turns land exactly on table entries.
    EXPECT_EQ(t[0], 0.0f);
    EXPECT_FLOAT_EQ(t[16384], 1.0f);
    EXPECT_EQ(t[32768], -8.742278e-08f);  // sin of the single-precision pi
    EXPECT_FLOAT_EQ(t[49152], -1.0f);
    for (std::size_t i = 0; i < kSineTableSize; i += 97) {
        // Half a turn on flips the sign; the value matches the library within float rounding.
        EXPECT_NEAR(t[i], -t[(i + 32768) % kSineTableSize], 1e-6) << i;
        EXPECT_NEAR(t[i], std::sin(i * 2.0 * 3.14159265358979323846 / kSineTableSize), 2e-7) << i;
    }
    // The last entry is one step short of a full turn, not a repeat of entry 0.
    EXPECT_LT(t[kSineTableSize - 1], 0.0f);
}

}  // namespace
