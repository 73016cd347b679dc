// The frames the texture video renderer takes from DirectShow, without the Windows API: the
// checks on a connection's VIDEOINFOHEADER and palette, and the conversion of one frame into
// A8R8G8B8 texture rows. Everything here reads data that came from a movie file through
// other filters, so every length is checked against the bytes actually present.
#pragma once

#include <cstddef>
#include <cstdint>

namespace KYR {

enum class VideoPixelFormat { kNone, kRgb32, kRgb24, kRgb8 };

// VIDEOINFOHEADER: two RECTs, bit rate, error rate and frame time (48 bytes), then the
// BITMAPINFOHEADER (40 bytes). An 8-bit format's colour table follows it.
constexpr size_t kVideoInfoHeaderSize = 88;
constexpr size_t kMaxPaletteEntries = 256;

struct VideoFrameLayout {
    VideoPixelFormat format = VideoPixelFormat::kNone;
    uint32_t width = 0;
    uint32_t height = 0;
    bool topDown = false;  // a negative biHeight: row 0 is the top of the picture
    uint32_t stride = 0;   // bytes per source row, padded to a multiple of 4
};

// The layout a format block describes for `format`, or false: a block shorter than the
// header, a zero width or height, a width or height past 16384 (beyond any texture), or
// a bit count that contradicts the format. For kRgb8, `palette` (256 entries) receives the
// colour table: the used-colour count (0 meaning 256), clamped to 256 and to the whole
// entries present after the header; the rest is cleared.
bool ParseVideoFormat(const uint8_t* block, size_t size, VideoPixelFormat format,
                      VideoFrameLayout* layout, uint32_t* palette);

// The bytes one frame takes: stride x height.
size_t VideoFrameBytes(const VideoFrameLayout& layout);

// Writes the frame into A8R8G8B8 rows at `pitch` bytes, top row first: a bottom-up source's
// row 0 goes to the last row. Only min(width, dstWidth) x min(height, dstHeight) pixels are
// written. False, and nothing written, when the frame is shorter than VideoFrameBytes or
// the pitch cannot hold the pixels written.
bool ConvertVideoFrame(const VideoFrameLayout& layout, const uint32_t* palette,
                       const uint8_t* frame, size_t frameSize, uint8_t* dst, size_t pitch,
                       uint32_t dstWidth, uint32_t dstHeight);

}  // namespace KYR
