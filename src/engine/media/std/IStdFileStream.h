// The standard services' stream over a file or a memory block (kIdStdFileStream).
#pragma once

#include <cstdint>

#include "engine/core/IDataStream.h"

namespace KYR {

class IStdFileStream : public IDataStream {
public:
    // The block is read in place: the caller keeps it alive until Close.
    virtual bool OpenMemory(const void* block, uint32_t size) = 0;
    virtual bool OpenFile(const char* path) = 0;  // ANSI path
    virtual void Close() = 0;
    virtual ~IStdFileStream() = default;  // slot 11
};

}  // namespace KYR
