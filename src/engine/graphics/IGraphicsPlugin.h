// An image decoder behind the standard graphics loader. Decode writes 32-bit pixels, rows top
// to bottom, `width` pixels per row with no padding (0xAARRGGBB, the memory order of
// D3DFMT_A8R8G8B8), pixels outside the image 0; or, with compress, the DXT5 blocks of that
// image: ((width + 3) / 4) x ((height + 3) / 4) blocks of 16 bytes.
#pragma once

#include <cstdint>

#include "engine/core/IDataStream.h"
#include "engine/core/IKYRInterface.h"

namespace KYR {

class IGraphicsPlugin : public IKYRInterface {
public:
    virtual uint32_t GetImageWidth() = 0;   // 0 when not open
    virtual uint32_t GetImageHeight() = 0;  // 0 when not open
    virtual uint32_t GetBitCount() = 0;     // 0 when not open
    virtual bool Open(IDataStream* stream) = 0;
    virtual void Decode(void* destination, uint32_t width, uint32_t height, bool compress) = 0;
    virtual void Close() = 0;
    virtual ~IGraphicsPlugin() = default;
};

}  // namespace KYR
