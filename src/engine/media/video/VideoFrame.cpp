#include "engine/media/video/VideoFrame.h"

#include <cstring>

namespace KYR {
namespace {

constexpr size_t kWidthAt = 52, kHeightAt = 56, kBitCountAt = 62, kClrUsedAt = 80;
constexpr uint32_t kMaxSide = 16384;

uint32_t ReadU32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

uint32_t BitsOf(VideoPixelFormat format) {
    switch (format) {
        case VideoPixelFormat::kRgb32: return 32;
        case VideoPixelFormat::kRgb24: return 24;
        case VideoPixelFormat::kRgb8: return 8;
        default: return 0;
    }
}

uint32_t Opaque(uint32_t r, uint32_t g, uint32_t b) { return 0xFF000000u | r << 16 | g << 8 | b; }

}  // namespace

bool ParseVideoFormat(const uint8_t* block, size_t size, VideoPixelFormat format,
                      VideoFrameLayout* layout, uint32_t* palette) {
    const uint32_t bits = BitsOf(format);
    if (!block || !layout || bits == 0 || size < kVideoInfoHeaderSize) return false;
    if (format == VideoPixelFormat::kRgb8 && !palette) return false;
    const int32_t width = static_cast<int32_t>(ReadU32(block + kWidthAt));
    const int32_t height = static_cast<int32_t>(ReadU32(block + kHeightAt));
    const uint32_t bitCount = static_cast<uint32_t>(block[kBitCountAt]) |
                              static_cast<uint32_t>(block[kBitCountAt + 1]) << 8;
    // Some filters leave biBitCount 0 and let the subtype speak; any other value must agree.
    if (bitCount != 0 && bitCount != bits) return false;
    if (width <= 0 || height == 0 || height == INT32_MIN) return false;
    const uint32_t h = static_cast<uint32_t>(height < 0 ? -height : height);
    if (static_cast<uint32_t>(width) > kMaxSide || h > kMaxSide) return false;

    VideoFrameLayout out;
    out.format = format;
    out.width = static_cast<uint32_t>(width);
    out.height = h;
    out.topDown = height < 0;
    out.stride = (out.width * (bits / 8) + 3) & ~3u;
    if (format == VideoPixelFormat::kRgb8) {
        std::memset(palette, 0, kMaxPaletteEntries * sizeof(uint32_t));
        size_t count = ReadU32(block + kClrUsedAt);
        if (count == 0 || count > kMaxPaletteEntries) count = kMaxPaletteEntries;
        const size_t present = (size - kVideoInfoHeaderSize) / 4;
        if (count > present) count = present;
        std::memcpy(palette, block + kVideoInfoHeaderSize, count * 4);
    }
    *layout = out;
    return true;
}

size_t VideoFrameBytes(const VideoFrameLayout& layout) {
    return static_cast<size_t>(layout.stride) * layout.height;
}

bool ConvertVideoFrame(const VideoFrameLayout& layout, const uint32_t* palette,
                       const uint8_t* frame, size_t frameSize, uint8_t* dst, size_t pitch,
                       uint32_t dstWidth, uint32_t dstHeight) {
    const uint32_t bits = BitsOf(layout.format);
    if (bits == 0 || !frame || !dst || layout.stride < layout.width * (bits / 8)) return false;
    if (layout.format == VideoPixelFormat::kRgb8 && !palette) return false;
    if (frameSize < VideoFrameBytes(layout)) return false;
    const uint32_t width = layout.width < dstWidth ? layout.width : dstWidth;
    const uint32_t height = layout.height < dstHeight ? layout.height : dstHeight;
    if (pitch < static_cast<size_t>(width) * 4) return false;

    for (uint32_t y = 0; y < height; ++y) {
        // Texture row y shows picture row y from the top.
        const uint32_t sourceRow = layout.topDown ? y : layout.height - 1 - y;
        const uint8_t* src = frame + static_cast<size_t>(sourceRow) * layout.stride;
        auto* out = reinterpret_cast<uint32_t*>(dst + static_cast<size_t>(y) * pitch);
        switch (layout.format) {
            case VideoPixelFormat::kRgb32:
                std::memcpy(out, src, static_cast<size_t>(width) * 4);
                break;
            case VideoPixelFormat::kRgb24:
                for (uint32_t x = 0; x < width; ++x, src += 3)
                    out[x] = Opaque(src[2], src[1], src[0]);  // DIB bytes are blue, green, red
                break;
            case VideoPixelFormat::kRgb8:
                for (uint32_t x = 0; x < width; ++x) {
                    // RGBQUAD: blue, green, red, reserved; the reserved byte is not alpha.
                    const uint32_t entry = palette[src[x]];
                    out[x] = 0xFF000000u | (entry & 0x00FFFFFFu);
                }
                break;
            default:
                return false;
        }
    }
    return true;
}

}  // namespace KYR
