// CStdFileStream: IDataStream over a whole file or over a caller's memory block.
#pragma once

#include <cstdint>
#include <memory>

#include "engine/media/std/FileSource.h"
#include "engine/media/std/IStdFileStream.h"

namespace KYR {

class CStdFileStream : public RefCounted<IStdFileStream> {
public:
    CStdFileStream() = default;
    ~CStdFileStream() override { Close(); }

    bool IsEnd() override { return position_ == size_; }
    uint32_t GetSize() override { return size_; }
    uint32_t GetPosition() override { return position_; }
    void Seek(int32_t offset, int32_t origin) override;
    uint32_t Read(void* buffer, uint32_t elementSize, uint32_t count) override;
    bool OpenMemory(const void* block, uint32_t size) override;
    bool OpenFile(const char* path) override;
    void Close() override;

    // OpenFile past the path: takes over an open source. False (and the source is dropped)
    // when the stream is already open or the file is 4 GiB or larger, which the 32-bit
    // size and position cannot describe.
    bool OpenSource(std::unique_ptr<FileSource> source);

private:
    bool open_ = false;
    bool inMemory_ = false;
    const uint8_t* memory_ = nullptr;  // borrowed from the caller of OpenMemory
    std::unique_ptr<FileSource> file_;
    uint32_t size_ = 0;
    uint32_t position_ = 0;
};

}  // namespace KYR
