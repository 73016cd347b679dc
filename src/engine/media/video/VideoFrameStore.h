// VideoFrameStore: the newest frame of a movie, converted to A8R8G8B8 rows in system memory.
// The texture renderer's streaming thread stores each frame here as it becomes due, and the
// game's own thread copies the newest one into the texture when it asks for it, so the
// streaming thread never waits for the device lock a game holds through its scenes. No
// Windows API (host-tested); the owner serialises the calls.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/media/video/VideoFrame.h"

namespace KYR {

class VideoFrameStore {
public:
    // A new format: what was stored of the old one goes. `palette` has kMaxPaletteEntries.
    void SetFormat(const VideoFrameLayout& layout, const uint32_t* palette);
    // Converts one frame of the current format; false, keeping the last frame, when it is
    // shorter than the format says or there is no format.
    bool Store(const uint8_t* frame, size_t size);

    const VideoFrameLayout& Layout() const { return layout_; }
    // Moves on with every SetFormat and every stored frame, so a copy can tell it is stale.
    uint32_t FormatCount() const { return formats_; }
    uint64_t FrameCount() const { return frames_; }
    // Copies the newest frame into rows at `pitch` bytes, min(width, dstWidth) by
    // min(height, dstHeight) pixels; before the first frame, black.
    void CopyTo(uint8_t* dst, size_t pitch, uint32_t dstWidth, uint32_t dstHeight) const;

private:
    VideoFrameLayout layout_;
    uint32_t palette_[kMaxPaletteEntries] = {};
    std::vector<uint32_t> pixels_;  // width x height, top row first
    uint32_t formats_ = 0;
    uint64_t frames_ = 0;
};

}  // namespace KYR
