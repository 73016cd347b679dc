// Conversions between the caller's 0xAARRGGBB pixels and the two back-buffer formats the
// engine reads and writes. Free of Direct3D, so the host tests cover R5G6B5 too: the bench's
// back buffer is always X8R8G8B8.
#pragma once

#include <cstdint>

namespace KYR {

// Values are the D3DFORMAT codes.
enum class BackBufferFormat : int32_t { kX8R8G8B8 = 22, kR5G6B5 = 23 };

// The surface's pixel as 0xAARRGGBB; alpha is always 0xFF (neither format stores one).
inline uint32_t PixelFromX8R8G8B8(uint32_t v) { return v | 0xFF000000u; }
inline uint32_t PixelFromR5G6B5(uint16_t v) {
    const uint32_t r = (v >> 11) & 0x1F, g = (v >> 5) & 0x3F, b = v & 0x1F;
    return 0xFF000000u | r << 19 | g << 10 | b << 3;
}

// The caller's pixel in the surface's format (channels cut to their top bits).
inline uint32_t PixelToX8R8G8B8(uint32_t argb) { return argb | 0xFF000000u; }
inline uint16_t PixelToR5G6B5(uint32_t argb) {
    const uint32_t r = (argb >> 16) & 0xFF, g = (argb >> 8) & 0xFF, b = argb & 0xFF;
    return static_cast<uint16_t>((r >> 3) << 11 | (g >> 2) << 5 | (b >> 3));
}

// One row of width pixels, between a locked surface row and the caller's buffer.
void ReadBackBufferRow(BackBufferFormat format, const void* surfaceRow, uint32_t* dest,
                       uint32_t width);
void WriteBackBufferRow(BackBufferFormat format, const uint32_t* src, void* surfaceRow,
                        uint32_t width);

}  // namespace KYR
