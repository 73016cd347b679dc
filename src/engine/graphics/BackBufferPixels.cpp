#include "engine/graphics/BackBufferPixels.h"

#include <cstring>

namespace KYR {

// Surface rows are only byte-aligned as far as the caller's pitch goes, so pixels are copied
// in and out with memcpy rather than read through cast pointers.
void ReadBackBufferRow(BackBufferFormat format, const void* surfaceRow, uint32_t* dest,
                       uint32_t width) {
    const auto* bytes = static_cast<const unsigned char*>(surfaceRow);
    for (uint32_t x = 0; x < width; ++x) {
        if (format == BackBufferFormat::kR5G6B5) {
            uint16_t v;
            std::memcpy(&v, bytes + 2 * x, sizeof(v));
            dest[x] = PixelFromR5G6B5(v);
        } else {
            uint32_t v;
            std::memcpy(&v, bytes + 4 * x, sizeof(v));
            dest[x] = PixelFromX8R8G8B8(v);
        }
    }
}

void WriteBackBufferRow(BackBufferFormat format, const uint32_t* src, void* surfaceRow,
                        uint32_t width) {
    auto* bytes = static_cast<unsigned char*>(surfaceRow);
    for (uint32_t x = 0; x < width; ++x) {
        if (format == BackBufferFormat::kR5G6B5) {
            const uint16_t v = PixelToR5G6B5(src[x]);
            std::memcpy(bytes + 2 * x, &v, sizeof(v));
        } else {
            const uint32_t v = PixelToX8R8G8B8(src[x]);
            std::memcpy(bytes + 4 * x, &v, sizeof(v));
        }
    }
}

}  // namespace KYR
