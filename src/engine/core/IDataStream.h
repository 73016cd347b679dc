// The engine's byte stream (images, sound and media read through it). It sits in the core
// because the graphics loader and every media room read it.
#pragma once

#include <cstdint>

#include "engine/core/IKYRInterface.h"

namespace KYR {

enum SeekOrigin : int32_t {
    kSeekBegin = 0,
    kSeekCurrent = 1,
    kSeekEnd = 2,  // the offset counts back from the end
};

class IDataStream : public IKYRInterface {
public:
    virtual bool IsEnd() = 0;
    virtual uint32_t GetSize() = 0;
    virtual uint32_t GetPosition() = 0;
    // Positions past the size (also those "before" the start, seen as unsigned) end at the size.
    virtual void Seek(int32_t offset, int32_t origin) = 0;
    // Whole elements read; a short last element is copied but not counted.
    virtual uint32_t Read(void* buffer, uint32_t elementSize, uint32_t count) = 0;

protected:
    // No destructor slot here: a game's table has OpenMemory right after Read (slot 8), and a
    // virtual destructor would take two entries under MinGW and push it to 10. Streams are
    // destroyed by their last Release, never deleted through this base.
    ~IDataStream() = default;
};

}  // namespace KYR
