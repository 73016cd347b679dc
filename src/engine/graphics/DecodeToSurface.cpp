#include "engine/graphics/DecodeToSurface.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <new>

namespace KYR {

size_t PackedRowBytes(uint32_t width, bool compressed) {
    return compressed ? (size_t{width} + 3) / 4 * 16 : size_t{width} * 4;
}

uint32_t PackedRows(uint32_t height, bool compressed) {
    return compressed ? static_cast<uint32_t>((uint64_t{height} + 3) / 4) : height;
}

bool DecodeToSurface(IStdGraphicsLoader& loader, void* bits, size_t pitch, uint32_t width,
                     uint32_t height, bool compressed) {
    if (!bits || loader.GetImageWidth() == 0 || loader.GetImageHeight() == 0) return false;
    const size_t rowBytes = PackedRowBytes(width, compressed);
    if (pitch < rowBytes) return false;
    if (pitch == rowBytes) {
        loader.Decode(bits, width, height, compressed);
        return true;
    }
    const uint32_t rows = PackedRows(height, compressed);
    if (rows > SIZE_MAX / rowBytes) return false;
    std::unique_ptr<uint8_t[]> packed(new (std::nothrow) uint8_t[rowBytes * rows]);
    if (!packed) return false;
    // The decoder leaves alone what it does not write (a bit count it cannot read), and so
    // must the copy: start from the surface's own rows.
    auto* surface = static_cast<uint8_t*>(bits);
    for (uint32_t r = 0; r < rows; ++r)
        std::memcpy(packed.get() + r * rowBytes, surface + r * pitch, rowBytes);
    loader.Decode(packed.get(), width, height, compressed);
    for (uint32_t r = 0; r < rows; ++r)
        std::memcpy(surface + r * pitch, packed.get() + r * rowBytes, rowBytes);
    return true;
}

}  // namespace KYR
