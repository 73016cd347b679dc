#include <gtest/gtest.h>

#include <cstdint>

#include "engine/graphics/TextureSize.h"

namespace {

using KYR::AllocatedTextureSide;

TEST(TextureSize, RoundsUpUnderEitherRule) {
    struct Row {
        uint32_t requested, max;
        uint32_t pow2, multipleOf4;  // 0: refused
    } rows[] = {
        {1, 16384, 4, 4},            // never below 4
        {4, 16384, 4, 4},
        {5, 16384, 8, 8},
        {12, 16384, 16, 12},
        {30, 16384, 32, 32},
        {100, 16384, 128, 100},
        {480, 16384, 512, 480},
        {640, 16384, 1024, 640},
        {1025, 16384, 2048, 1028},
        {16384, 16384, 16384, 16384},
        {16383, 16384, 16384, 16384},
        {1100, 2048, 2048, 1100},
        {1100, 1100, 0, 1100},       // rounds past the maximum under one rule only
        {1101, 1102, 0, 0},          // 1104 is past it too
        {16385, 16384, 0, 0},        // above the maximum before rounding
        {0x80000001u, 0xFFFFFFFFu, 0, 0x80000004u},  // 2^32 does not fit
        {0xFFFFFFFEu, 0xFFFFFFFFu, 0, 0},            // a multiple of 4 would wrap to 0
        {0xFFFFFFFFu, 0xFFFFFFFFu, 0, 0},
        {0x80000001u, 16384, 0, 0},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(AllocatedTextureSide(r.requested, false, r.max), r.pow2)
            << r.requested << " max " << r.max;
        EXPECT_EQ(AllocatedTextureSide(r.requested, true, r.max), r.multipleOf4)
            << r.requested << " max " << r.max;
    }
}

// Whatever is granted covers the request, stays within the maximum and keeps its rule.
TEST(TextureSize, GrantedSidesCoverTheRequest) {
    for (uint32_t requested = 1; requested <= 5000; requested += 7) {
        const uint32_t p = AllocatedTextureSide(requested, false, 4096);
        const uint32_t m = AllocatedTextureSide(requested, true, 4096);
        if (requested > 4096) {
            EXPECT_EQ(p, 0u);
            EXPECT_EQ(m, 0u);
            continue;
        }
        EXPECT_GE(p, requested);
        EXPECT_EQ(p & (p - 1), 0u) << requested;
        EXPECT_LT(p / 2, requested < 4 ? 4 : requested);
        EXPECT_GE(m, requested);
        EXPECT_EQ(m % 4, 0u);
        EXPECT_LT(m - requested, 4u + (requested < 4 ? 3 : 0));
    }
}

}  // namespace
