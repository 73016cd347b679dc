// FileSource over a Win32 file handle.
#include <windows.h>

#include "engine/core/ScopedHandle.h"
#include "engine/media/std/FileSource.h"

namespace KYR {
namespace {

class WinFileSource : public FileSource {
public:
    explicit WinFileSource(HANDLE file) : file_(file) {}

    uint64_t Size() override {
        LARGE_INTEGER size;
        if (!GetFileSizeEx(file_.Get(), &size)) return UINT64_MAX;  // refused by the stream
        return static_cast<uint64_t>(size.QuadPart);
    }

    bool SeekTo(uint32_t offset) override {
        LARGE_INTEGER to;
        to.QuadPart = offset;
        return SetFilePointerEx(file_.Get(), to, nullptr, FILE_BEGIN) != 0;
    }

    uint32_t Read(void* buffer, uint32_t bytes) override {
        DWORD got = 0;
        if (!ReadFile(file_.Get(), buffer, bytes, &got, nullptr)) return 0;
        return got;
    }

private:
    ScopedHandle file_;
};

}  // namespace

std::unique_ptr<FileSource> OpenFileSource(const char* path) {
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return nullptr;
    return std::unique_ptr<FileSource>(new WinFileSource(file));
}

}  // namespace KYR
