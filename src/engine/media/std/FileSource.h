// The one platform seam of CStdFileStream: reading an open file. The Windows tree opens it
// with CreateFileA (FileSourceWin.cpp); the host tree has a POSIX stand-in so the stream's
// bookkeeping runs under the sanitizers; tests pass sources of their own.
#pragma once

#include <cstdint>
#include <memory>

namespace KYR {

class FileSource {
public:
    virtual ~FileSource() = default;
    // The file's full size, even past 4 GiB (the stream refuses those).
    virtual uint64_t Size() = 0;
    // Moves the file pointer to an offset from the start; false when the system refuses.
    virtual bool SeekTo(uint32_t offset) = 0;
    // Bytes actually delivered: fewer than asked at the end of the file or on a read error.
    virtual uint32_t Read(void* buffer, uint32_t bytes) = 0;
};

// Opens an existing file for reading, shared with other readers; null when it cannot.
std::unique_ptr<FileSource> OpenFileSource(const char* path);

}  // namespace KYR
