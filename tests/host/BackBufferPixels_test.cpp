#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "engine/graphics/BackBufferPixels.h"

namespace {

using namespace KYR;

TEST(BackBufferPixels, SinglePixels) {
    struct Row {
        uint16_t r5g6b5;
        uint32_t read;
    } reads[] = {
        {0xFFFF, 0xFFF8FCF8},  // low bits of each channel stay zero
        {0x0000, 0xFF000000},
        {0xF800, 0xFFF80000},
        {0x07E0, 0xFF00FC00},
        {0x001F, 0xFF0000F8},
        {0x0821, 0xFF080408},  // the lowest step of each channel
    };
    for (const Row& r : reads) EXPECT_EQ(PixelFromR5G6B5(r.r5g6b5), r.read) << r.r5g6b5;

    struct Write {
        uint32_t argb;
        uint16_t r5g6b5;
    } writes[] = {
        {0xFFFFFFFF, 0xFFFF}, {0x00FFFFFF, 0xFFFF},  // alpha is dropped
        {0xFF070307, 0x0000},                        // below one step
        {0xFF804020, 0x8204}, {0x12F8FCF8, 0xFFFF},
    };
    for (const Write& w : writes) EXPECT_EQ(PixelToR5G6B5(w.argb), w.r5g6b5) << w.argb;

    EXPECT_EQ(PixelFromX8R8G8B8(0x00123456), 0xFF123456u);
    EXPECT_EQ(PixelToX8R8G8B8(0x7F123456), 0xFF123456u);
}

// Every 565 value survives a read and a write: the read keeps each channel's bits on top.
TEST(BackBufferPixels, EveryR5G6B5ValueRoundTrips) {
    for (uint32_t v = 0; v <= 0xFFFF; ++v)
        ASSERT_EQ(PixelToR5G6B5(PixelFromR5G6B5(static_cast<uint16_t>(v))), v);
}

// Rows go through memcpy-sized steps, from an odd address too (a pitch is not a promise of
// alignment); the pixels either side are left alone.
TEST(BackBufferPixels, RowsConvertEveryPixelAndNothingElse) {
    const uint32_t src[3] = {0x00F80000, 0x8000FC00, 0xFF0800F8};  // exact in 565
    struct Case {
        BackBufferFormat format;
        size_t bytesPerPixel;
    } cases[] = {{BackBufferFormat::kX8R8G8B8, 4}, {BackBufferFormat::kR5G6B5, 2}};
    for (const Case& c : cases) {
        std::vector<unsigned char> row(1 + 3 * c.bytesPerPixel + 1, 0xAB);
        WriteBackBufferRow(c.format, src, row.data() + 1, 3);
        EXPECT_EQ(row.front(), 0xAB);
        EXPECT_EQ(row.back(), 0xAB);
        uint32_t back[4] = {0, 0, 0, 0x5A5A5A5A};
        ReadBackBufferRow(c.format, row.data() + 1, back, 3);
        EXPECT_EQ(back[3], 0x5A5A5A5Au);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(back[i], src[i] | 0xFF000000u) << static_cast<int>(c.format) << " " << i;
    }
}

}  // namespace
