// The texture renderer takes its format block and frames from whatever filters the movie
// went through. Any block must parse or be refused, and a parsed format must convert any
// frame bytes into a texture of any size without reading or writing out of bounds.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "engine/media/video/VideoFrame.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4) return 0;
    const auto format = static_cast<KYR::VideoPixelFormat>(1 + data[0] % 3);
    const uint32_t dstWidth = data[1] % 40, dstHeight = data[2] % 40;
    const size_t blockSize = data[3] * 8u < size - 4 ? data[3] * 8u : size - 4;
    // Exact-size copies, so ASan catches a read one byte past either piece.
    const std::vector<uint8_t> block(data + 4, data + 4 + blockSize);
    const std::vector<uint8_t> frame(data + 4 + blockSize, data + size);
    KYR::VideoFrameLayout layout;
    uint32_t palette[KYR::kMaxPaletteEntries];
    if (!KYR::ParseVideoFormat(block.data(), block.size(), format, &layout, palette)) return 0;
    if (layout.width == 0 || layout.height == 0 || layout.stride % 4 != 0) std::abort();
    const size_t pitch = dstWidth * 4u + (data[1] & 4u);
    std::vector<uint8_t> texture(pitch * dstHeight + 1);
    const bool ok = KYR::ConvertVideoFrame(layout, palette, frame.data(), frame.size(),
                                           texture.data(), pitch, dstWidth, dstHeight);
    if (ok != (frame.size() >= KYR::VideoFrameBytes(layout))) std::abort();
    return 0;
}
