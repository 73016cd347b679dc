// The host tree's stand-ins for the two platform seams of the standard services, so the
// stream and the pacer build and run natively under the sanitizers.
#include <cstdio>

#include <chrono>

#include "engine/media/std/FileSource.h"
#include "engine/media/std/SystemClock.h"

namespace KYR {
namespace {

class StdioFileSource : public FileSource {
public:
    explicit StdioFileSource(std::FILE* file) : file_(file) {}
    ~StdioFileSource() override { std::fclose(file_); }

    uint64_t Size() override {
        if (std::fseek(file_, 0, SEEK_END) != 0) return UINT64_MAX;
        const long size = std::ftell(file_);
        std::fseek(file_, 0, SEEK_SET);
        return size < 0 ? UINT64_MAX : static_cast<uint64_t>(size);
    }
    bool SeekTo(uint32_t offset) override {
        return std::fseek(file_, static_cast<long>(offset), SEEK_SET) == 0;
    }
    uint32_t Read(void* buffer, uint32_t bytes) override {
        return static_cast<uint32_t>(std::fread(buffer, 1, bytes, file_));
    }

private:
    std::FILE* file_;
};

}  // namespace

std::unique_ptr<FileSource> OpenFileSource(const char* path) {
    std::FILE* file = std::fopen(path, "rb");
    if (!file) return nullptr;
    return std::unique_ptr<FileSource>(new StdioFileSource(file));
}

uint32_t SystemMilliseconds() {
    using namespace std::chrono;
    return static_cast<uint32_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

}  // namespace KYR
