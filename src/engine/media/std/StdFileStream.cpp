#include "engine/media/std/StdFileStream.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace KYR {

void CStdFileStream::Seek(int32_t offset, int32_t origin) {
    if (!open_) return;
    // Unsigned arithmetic on purpose: it wraps instead of overflowing, and a position that
    // wrapped "before the start" is larger than the size and so ends at the size.
    const uint32_t delta = static_cast<uint32_t>(offset);
    uint32_t target;
    switch (origin) {
    case kSeekBegin: target = delta; break;
    case kSeekCurrent: target = position_ + delta; break;
    case kSeekEnd: target = size_ - delta; break;
    default: return;
    }
    position_ = std::min(target, size_);
    if (file_) file_->SeekTo(position_);
}

uint32_t CStdFileStream::Read(void* buffer, uint32_t elementSize, uint32_t count) {
    if (!open_ || position_ == size_ || elementSize == 0 || count == 0 || !buffer) return 0;
    // Taking whole elements until the end and then the remainder amounts to one span of
    // min(asked, left) bytes; the product is formed in 64 bits so it cannot wrap.
    const uint64_t asked = static_cast<uint64_t>(elementSize) * count;
    const uint32_t take = static_cast<uint32_t>(std::min<uint64_t>(asked, size_ - position_));
    uint32_t got;
    if (inMemory_) {
        std::memcpy(buffer, memory_ + position_, take);
        got = take;
    } else {
        // A short or failed read is counted as what it delivered, so the position keeps
        // matching the system's file pointer and no missing byte is reported as data.
        got = std::min(file_->Read(buffer, take), take);
    }
    position_ += got;
    return got / elementSize;
}

bool CStdFileStream::OpenMemory(const void* block, uint32_t size) {
    if (open_ || !block || size == 0) return false;
    open_ = true;
    inMemory_ = true;
    memory_ = static_cast<const uint8_t*>(block);
    size_ = size;
    position_ = 0;
    return true;
}

bool CStdFileStream::OpenFile(const char* path) {
    if (open_ || !path) return false;
    return OpenSource(OpenFileSource(path));
}

bool CStdFileStream::OpenSource(std::unique_ptr<FileSource> source) {
    if (open_ || !source) return false;
    const uint64_t size = source->Size();
    if (size > UINT32_MAX) return false;
    file_ = std::move(source);
    open_ = true;
    inMemory_ = false;
    memory_ = nullptr;
    size_ = static_cast<uint32_t>(size);
    position_ = 0;
    return true;
}

void CStdFileStream::Close() {
    if (!open_) return;
    file_.reset();
    memory_ = nullptr;
    size_ = 0;
    position_ = 0;
    inMemory_ = false;
    open_ = false;
}

}  // namespace KYR
