#include "engine/media/video/VideoFrameStore.h"

#include <algorithm>
#include <cstring>

namespace KYR {

void VideoFrameStore::SetFormat(const VideoFrameLayout& layout, const uint32_t* palette) {
    layout_ = layout;
    std::memcpy(palette_, palette, sizeof(palette_));
    pixels_.assign(size_t{layout.width} * layout.height, 0xFF000000u);
    ++formats_;
}

bool VideoFrameStore::Store(const uint8_t* frame, size_t size) {
    if (pixels_.empty()) return false;
    if (!ConvertVideoFrame(layout_, palette_, frame, size,
                           reinterpret_cast<uint8_t*>(pixels_.data()), size_t{layout_.width} * 4,
                           layout_.width, layout_.height))
        return false;
    ++frames_;
    return true;
}

void VideoFrameStore::CopyTo(uint8_t* dst, size_t pitch, uint32_t dstWidth,
                             uint32_t dstHeight) const {
    const uint32_t width = std::min(layout_.width, dstWidth);
    const uint32_t height = std::min(layout_.height, dstHeight);
    if (pitch < size_t{width} * 4) return;
    for (uint32_t y = 0; y < height; ++y)
        std::memcpy(dst + y * pitch, pixels_.data() + size_t{y} * layout_.width,
                    size_t{width} * 4);
}

}  // namespace KYR
