// The standard graphics loader a game makes through the standard services
// (kIdStdGraphicsLoader): it opens an image stream with a decoder plug-in, the BMP decoder
// unless the caller gives another. Typical use: Open(stream, nullptr), read the size, make
// and lock a texture of that size, Decode into its bits at the texture's allocated size,
// Unlock, Close.
#pragma once

#include <cstdint>

#include "engine/core/IDataStream.h"
#include "engine/core/IKYRInterface.h"
#include "engine/graphics/IGraphicsPlugin.h"

namespace KYR {

class IStdGraphicsLoader : public IKYRInterface {
public:
    virtual uint32_t GetImageWidth() = 0;   // 0 when not open
    virtual uint32_t GetImageHeight() = 0;  // 0 when not open
    // False when already open or when the plug-in refuses the stream. Takes its own
    // references to both.
    virtual bool Open(IDataStream* stream, IGraphicsPlugin* plugin) = 0;
    // Packed rows of `width` pixels (or DXT5 blocks with compress); see IGraphicsPlugin.
    virtual void Decode(void* destination, uint32_t width, uint32_t height, bool compress) = 0;
    virtual void Close() = 0;
    virtual ~IStdGraphicsLoader() = default;
};

}  // namespace KYR
