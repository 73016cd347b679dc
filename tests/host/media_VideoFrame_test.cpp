#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "engine/media/video/VideoFrame.h"

namespace {

using namespace KYR;

std::vector<uint8_t> Header(int32_t width, int32_t height, uint16_t bits, uint32_t used,
                            size_t paletteEntries = 0) {
    std::vector<uint8_t> b(kVideoInfoHeaderSize + paletteEntries * 4);
    std::memcpy(&b[52], &width, 4);
    std::memcpy(&b[56], &height, 4);
    std::memcpy(&b[62], &bits, 2);
    std::memcpy(&b[80], &used, 4);
    for (size_t i = 0; i < paletteEntries; ++i) {
        const uint32_t entry = 0xAA000000u | static_cast<uint32_t>(i * 0x010203u);
        std::memcpy(&b[kVideoInfoHeaderSize + i * 4], &entry, 4);
    }
    return b;
}

TEST(VideoFrame, FormatChecks) {
    struct Row {
        const char* what;
        std::vector<uint8_t> block;
        VideoPixelFormat format;
        bool ok;
        uint32_t stride;
    } rows[] = {
        {"24-bit width 3 reads 12-byte rows", Header(3, 2, 24, 0), VideoPixelFormat::kRgb24, true,
         12},
        {"32-bit", Header(5, 2, 32, 0), VideoPixelFormat::kRgb32, true, 20},
        {"8-bit width 5 pads to 8", Header(5, 2, 8, 0, 256), VideoPixelFormat::kRgb8, true, 8},
        {"block one byte short", std::vector<uint8_t>(kVideoInfoHeaderSize - 1),
         VideoPixelFormat::kRgb24, false, 0},
        {"zero width", Header(0, 2, 24, 0), VideoPixelFormat::kRgb24, false, 0},
        {"zero height", Header(2, 0, 24, 0), VideoPixelFormat::kRgb24, false, 0},
        {"negative width", Header(-2, 2, 24, 0), VideoPixelFormat::kRgb24, false, 0},
        {"bit count contradicts subtype", Header(2, 2, 16, 0), VideoPixelFormat::kRgb24, false, 0},
        {"wider than any texture", Header(70000, 2, 32, 0), VideoPixelFormat::kRgb32, false, 0},
        {"no format", Header(2, 2, 24, 0), VideoPixelFormat::kNone, false, 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        VideoFrameLayout layout;
        uint32_t palette[kMaxPaletteEntries];
        EXPECT_EQ(ParseVideoFormat(r.block.data(), r.block.size(), r.format, &layout, palette),
                  r.ok);
        if (r.ok) EXPECT_EQ(layout.stride, r.stride);
    }
}

TEST(VideoFrame, PaletteIsClampedToTheCountAndTheBytesPresent) {
    struct Row {
        const char* what;
        uint32_t used;
        size_t present;
        size_t expected;  // entries copied
    } rows[] = {
        {"used 0 takes 256", 0, 256, 256},
        {"used 16", 16, 256, 16},
        {"used past 256 takes 256", 1000, 300, 256},
        {"fewer entries present than used", 200, 10, 10},
        {"used 0, none present", 0, 0, 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        const std::vector<uint8_t> block = Header(4, 1, 8, r.used, r.present);
        VideoFrameLayout layout;
        uint32_t palette[kMaxPaletteEntries];
        std::memset(palette, 0x5A, sizeof(palette));
        ASSERT_TRUE(ParseVideoFormat(block.data(), block.size(), VideoPixelFormat::kRgb8,
                                     &layout, palette));
        for (size_t i = 0; i < kMaxPaletteEntries; ++i) {
            const uint32_t want =
                i < r.expected ? 0xAA000000u | static_cast<uint32_t>(i * 0x010203u) : 0;
            ASSERT_EQ(palette[i], want) << i;
        }
    }
}

// A 3x2 bottom-up frame lands with its rows flipped; a top-down one (negative height) does not.
TEST(VideoFrame, ConvertsEachFormatTopRowFirst) {
    uint32_t palette[kMaxPaletteEntries] = {};
    palette[1] = 0x77102030u;  // the reserved byte never becomes alpha
    palette[2] = 0x00405060u;
    struct Row {
        const char* what;
        VideoPixelFormat format;
        int32_t height;
        std::vector<uint8_t> frame;
        std::vector<uint32_t> expected;  // 3x2, top row first
    } rows[] = {
        {"rgb24 bottom-up", VideoPixelFormat::kRgb24, 2,
         {1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 0, 11, 12, 13, 14, 15, 16, 17, 18, 19, 0, 0, 0},
         {0xFF0D0C0B, 0xFF100F0E, 0xFF131211, 0xFF030201, 0xFF060504, 0xFF090807}},
        {"rgb24 top-down", VideoPixelFormat::kRgb24, -2,
         {1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 0, 11, 12, 13, 14, 15, 16, 17, 18, 19, 0, 0, 0},
         {0xFF030201, 0xFF060504, 0xFF090807, 0xFF0D0C0B, 0xFF100F0E, 0xFF131211}},
        {"rgb32 copied unchanged", VideoPixelFormat::kRgb32, 2,
         {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24},
         {0x100F0E0D, 0x14131211, 0x18171615, 0x04030201, 0x08070605, 0x0C0B0A09}},
        {"rgb8 through the palette", VideoPixelFormat::kRgb8, 2, {1, 2, 0, 9, 2, 1, 1, 9},
         {0xFF405060, 0xFF102030, 0xFF102030, 0xFF102030, 0xFF405060, 0xFF000000}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        const uint16_t bits = r.format == VideoPixelFormat::kRgb32 ? 32
                              : r.format == VideoPixelFormat::kRgb24 ? 24 : 8;
        const std::vector<uint8_t> block = Header(3, r.height, bits, 0);
        VideoFrameLayout layout;
        uint32_t scratch[kMaxPaletteEntries];
        ASSERT_TRUE(ParseVideoFormat(block.data(), block.size(), r.format, &layout, scratch));
        // The pitch is wider than the picture: the padding must stay untouched.
        std::vector<uint32_t> texture(5 * 2, 0xDEADBEEF);
        ASSERT_TRUE(ConvertVideoFrame(layout, palette, r.frame.data(), r.frame.size(),
                                      reinterpret_cast<uint8_t*>(texture.data()), 5 * 4, 5, 2));
        for (uint32_t y = 0; y < 2; ++y)
            for (uint32_t x = 0; x < 5; ++x)
                EXPECT_EQ(texture[y * 5 + x], x < 3 ? r.expected[y * 3 + x] : 0xDEADBEEFu)
                    << x << "," << y;
    }
}

TEST(VideoFrame, RefusesShortFramesAndStaysInsideTheTexture) {
    const VideoFrameLayout layout{VideoPixelFormat::kRgb24, 3, 2, false, 12};
    std::vector<uint8_t> frame(24, 0x40);
    std::vector<uint32_t> texture(4, 0);
    // One byte short of stride x height: dropped, nothing written.
    EXPECT_FALSE(ConvertVideoFrame(layout, nullptr, frame.data(), 23,
                                   reinterpret_cast<uint8_t*>(texture.data()), 8, 2, 2));
    EXPECT_EQ(texture, std::vector<uint32_t>(4, 0));
    // A texture smaller than the frame gets only what fits (ASan sees any write past it).
    EXPECT_TRUE(ConvertVideoFrame(layout, nullptr, frame.data(), frame.size(),
                                  reinterpret_cast<uint8_t*>(texture.data()), 8, 2, 2));
    EXPECT_EQ(texture, std::vector<uint32_t>(4, 0xFF404040u));
    // A pitch too narrow for the pixels is refused.
    EXPECT_FALSE(ConvertVideoFrame(layout, nullptr, frame.data(), frame.size(),
                                   reinterpret_cast<uint8_t*>(texture.data()), 4, 2, 2));
}

}  // namespace
