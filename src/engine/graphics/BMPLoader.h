// CBMPLoader: the engine's Windows BMP decoder (1, 2, 4, 8, 24 and 32 bits per pixel, rows
// bottom-up or top-down), plain or compressed to DXT5 with libsquish.
//
// Whatever the headers say, it reads only what the stream holds and writes only the
// destination it is given:
// - the destination clips the image (columns and rows past it are not read);
// - a negative height is a top-down image, decoded upright;
// - a palette larger than 2^bits entries is read only that far; entries the file lacks are
//   opaque black;
// - the palette starts after the information header's own size (40 bytes or more); the rows
//   of 24 and 32 bits start at bfOffBits, those of palette images right after the palette,
//   or at bfOffBits where that lies in the file past the palette;
// - a destination of more than 256 MiB of pixels is refused, and nothing is written;
// - bytes a truncated file lacks decode as 0, like the pixels outside the image.
// The compression field is not examined: run-length and bit-field files decode as raw rows.
#pragma once

#include <cstdint>

#include "engine/core/RefPtr.h"
#include "engine/graphics/IGraphicsPlugin.h"

namespace KYR {

class CBMPLoader : public RefCounted<IGraphicsPlugin> {
public:
    CBMPLoader() = default;
    ~CBMPLoader() override { Close(); }

    uint32_t GetImageWidth() override;
    uint32_t GetImageHeight() override;
    uint32_t GetBitCount() override { return open_ ? bitCount_ : 0; }
    // False for a null stream, a second Open, or a stream that does not start with "BM".
    bool Open(IDataStream* stream) override;
    // Does nothing when not open, for a null destination or an unsupported bit count (16
    // among them).
    void Decode(void* destination, uint32_t width, uint32_t height, bool compress) override;
    // Rewinds the stream and lets it go.
    void Close() override;

    // The largest destination Decode accepts, in bytes of 32-bit pixels.
    static constexpr uint64_t kMaxPixelBytes = 256ull << 20;

private:
    bool open_ = false;
    RefPtr<IDataStream> stream_;
    uint32_t pixelOffset_ = 0;  // bfOffBits
    uint32_t headerSize_ = 0;   // biSize
    int32_t width_ = 0;         // biWidth
    int32_t height_ = 0;        // biHeight; negative for top-down rows
    uint16_t bitCount_ = 0;     // biBitCount
    uint32_t colorsUsed_ = 0;   // biClrUsed
};

}  // namespace KYR
