#include "engine/graphics/BMPLoader.h"

#include <squish.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

namespace KYR {
namespace {

constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kOpaque = 0xFF000000u;

uint32_t Le32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}
uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

bool IsSupportedDepth(uint32_t bits) {
    return bits == 1 || bits == 2 || bits == 4 || bits == 8 || bits == 24 || bits == 32;
}

// Reads up to `bytes` at `offset`; the bytes delivered. Past the end of the stream (and at
// offsets the 32-bit stream cannot address) nothing is.
uint32_t ReadAt(IDataStream* stream, uint64_t offset, void* buffer, uint32_t bytes) {
    if (offset >= stream->GetSize()) return 0;
    if (stream->GetPosition() != offset)
        stream->Seek(static_cast<int32_t>(static_cast<uint32_t>(offset)), kSeekBegin);
    return stream->Read(buffer, 1, bytes);
}

// libsquish takes bytes red, green, blue, alpha: 0xAABBGGRR as a little-endian uint32.
inline uint32_t SwapRedBlue(uint32_t p) {
    return (p & 0xFF00FF00u) | (p >> 16 & 0xFFu) | (p & 0xFFu) << 16;
}

// The first `count` pixels of a row from its file bytes (all of which arrived).
void ConvertRow(const uint8_t* in, uint32_t* out, uint32_t count, uint32_t bits,
                const uint32_t* palette) {
    switch (bits) {
    case 32:
        for (uint32_t x = 0; x < count; ++x, in += 4)
            out[x] = Le32(in);  // B, G, R, A: already 0xAARRGGBB
        break;
    case 24:
        for (uint32_t x = 0; x < count; ++x, in += 3)
            out[x] = kOpaque | static_cast<uint32_t>(in[2]) << 16 |
                     static_cast<uint32_t>(in[1]) << 8 | in[0];
        break;
    case 8:
        for (uint32_t x = 0; x < count; ++x) out[x] = palette[in[x]];
        break;
    default: {  // 1, 2, 4: the most significant bits hold the leftmost pixel
        const uint32_t perByte = 8 / bits;
        const uint32_t mask = (1u << bits) - 1;
        for (uint32_t x = 0; x < count; ++x) {
            const uint32_t shift = 8 - bits * (x % perByte + 1);
            out[x] = palette[in[x / perByte] >> shift & mask];
        }
        break;
    }
    }
}

}  // namespace

uint32_t CBMPLoader::GetImageWidth() {
    return open_ && width_ > 0 ? static_cast<uint32_t>(width_) : 0;
}

uint32_t CBMPLoader::GetImageHeight() {
    if (!open_) return 0;
    // The magnitude as unsigned: negating INT_MIN in int32 would overflow.
    const uint32_t h = static_cast<uint32_t>(height_);
    return height_ < 0 ? 0u - h : h;
}

bool CBMPLoader::Open(IDataStream* stream) {
    if (open_ || !stream) return false;
    stream_ = RefPtr<IDataStream>::AddRefOf(stream);
    uint8_t file[kFileHeaderSize] = {};
    stream->Read(file, 1, kFileHeaderSize);
    if (file[0] != 'B' || file[1] != 'M') {
        stream_.Reset();
        return false;
    }
    // Fields a short file lacks stay 0: such an image decodes to nothing.
    uint8_t info[kInfoHeaderSize] = {};
    stream->Read(info, 1, kInfoHeaderSize);
    pixelOffset_ = Le32(file + 10);
    headerSize_ = Le32(info + 0);
    width_ = static_cast<int32_t>(Le32(info + 4));
    height_ = static_cast<int32_t>(Le32(info + 8));
    bitCount_ = Le16(info + 14);
    colorsUsed_ = Le32(info + 32);
    open_ = true;
    return true;
}

void CBMPLoader::Close() {
    if (!open_) return;
    stream_->Seek(0, kSeekBegin);
    stream_.Reset();
    open_ = false;
}

void CBMPLoader::Decode(void* destination, uint32_t width, uint32_t height, bool compress) {
    if (!open_ || !destination || !IsSupportedDepth(bitCount_)) return;
    if (width == 0 || height == 0) return;
    const uint64_t pixelCount = static_cast<uint64_t>(width) * height;
    if (pixelCount * 4 > kMaxPixelBytes) return;
    const uint32_t bits = bitCount_;
    IDataStream* stream = stream_.Get();

    uint32_t palette[256];
    std::fill(palette, palette + 256, kOpaque);
    uint64_t rowsAt = pixelOffset_;
    if (bits <= 8) {
        const uint32_t stored = colorsUsed_ == 0 ? 1u << bits : colorsUsed_;
        const uint32_t entries = std::min(stored, 1u << bits);
        uint8_t raw[256 * 4];
        const uint64_t at = uint64_t{kFileHeaderSize} + std::max(headerSize_, kInfoHeaderSize);
        const uint32_t got = ReadAt(stream, at, raw, entries * 4) / 4;
        for (uint32_t i = 0; i < got; ++i)
            palette[i] = kOpaque | static_cast<uint32_t>(raw[i * 4 + 2]) << 16 |
                         static_cast<uint32_t>(raw[i * 4 + 1]) << 8 | raw[i * 4];
        // Palette images are read with their rows right after the palette. Writers that
        // leave a gap say so in bfOffBits, which is kept when it points past the palette and
        // into the file; an offset into the palette or past the end is a writer's slip.
        const uint64_t paletteEnd = at + uint64_t{stored} * 4;
        if (pixelOffset_ < paletteEnd || pixelOffset_ >= stream->GetSize()) rowsAt = paletteEnd;
    }

    // Compression needs the whole image first; plain output goes straight to the caller's
    // memory one row at a time, which saves a copy of the image.
    std::unique_ptr<uint32_t[]> work;
    uint8_t* out = static_cast<uint8_t*>(destination);
    if (compress) {
        work.reset(new (std::nothrow) uint32_t[pixelCount]);
        if (!work) return;
        out = reinterpret_cast<uint8_t*>(work.get());
    }

    const uint32_t imageWidth = GetImageWidth();
    const uint32_t imageHeight = GetImageHeight();
    const bool topDown = height_ < 0;
    const uint32_t columns = std::min(imageWidth, width);
    const uint32_t rows = std::min(imageHeight, height);
    const uint64_t stride = (static_cast<uint64_t>(imageWidth) * bits + 31) / 32 * 4;
    // Only the bytes of the columns that fit are read; columns <= width keeps this small.
    const uint32_t rowBytes = static_cast<uint32_t>((uint64_t{columns} * bits + 7) / 8);
    std::unique_ptr<uint8_t[]> fileRow(new (std::nothrow) uint8_t[rowBytes + 1]);
    std::unique_ptr<uint32_t[]> row(new (std::nothrow) uint32_t[width]);
    if (!fileRow || !row) return;
    const size_t rowOut = size_t{width} * 4;

    // File rows in file order, so a file stream reads forwards. Bottom-up, the destination's
    // rows 0 .. rows-1 are the file's last `rows` rows, last first.
    const uint32_t firstFileRow = topDown ? 0 : imageHeight - rows;
    for (uint32_t i = 0; i < rows; ++i) {
        const uint32_t fileRowIndex = firstFileRow + i;
        const uint32_t y = topDown ? fileRowIndex : imageHeight - 1 - fileRowIndex;
        const uint32_t got = ReadAt(stream, rowsAt + stride * fileRowIndex, fileRow.get(),
                                    rowBytes);
        const uint32_t complete = static_cast<uint32_t>(uint64_t{got} * 8 / bits);
        const uint32_t decoded = std::min(columns, complete);
        ConvertRow(fileRow.get(), row.get(), decoded, bits, palette);
        std::fill(row.get() + decoded, row.get() + width, 0u);
        if (compress)
            for (uint32_t x = 0; x < decoded; ++x) row[x] = SwapRedBlue(row[x]);
        std::memcpy(out + rowOut * y, row.get(), rowOut);
    }
    for (uint32_t y = rows; y < height; ++y) std::memset(out + rowOut * y, 0, rowOut);

    if (compress)
        squish::CompressImage(out, static_cast<int>(width), static_cast<int>(height),
                              destination, squish::kDxt5 | squish::kColourRangeFit);
}

}  // namespace KYR
