// CStdGraphicsLoader: opens an image stream with a decoder plug-in (CBMPLoader unless the
// caller gives another) and forwards to it. Typical use: Open(stream, nullptr), read the
// size, make and lock a texture of that size, Decode into its bits, unlock, Close.
#pragma once

#include <cstdint>

#include "engine/core/RefPtr.h"
#include "engine/graphics/IGraphicsPlugin.h"

namespace KYR {

class IStdGraphicsLoader : public IKYRInterface {
public:
    virtual uint32_t GetImageWidth() = 0;
    virtual uint32_t GetImageHeight() = 0;
    virtual bool Open(IDataStream* stream, IGraphicsPlugin* plugin) = 0;
    virtual void Decode(void* destination, uint32_t width, uint32_t height, bool compress) = 0;
    virtual void Close() = 0;
    virtual ~IStdGraphicsLoader() = default;
};

class CStdGraphicsLoader : public RefCounted<IStdGraphicsLoader> {
public:
    CStdGraphicsLoader() = default;
    ~CStdGraphicsLoader() override { Close(); }

    uint32_t GetImageWidth() override { return open_ ? plugin_->GetImageWidth() : 0; }
    uint32_t GetImageHeight() override { return open_ ? plugin_->GetImageHeight() : 0; }
    // False when already open, when no BMP decoder can be made, or when the plug-in refuses
    // the stream. Takes its own references to both.
    bool Open(IDataStream* stream, IGraphicsPlugin* plugin) override;
    void Decode(void* destination, uint32_t width, uint32_t height, bool compress) override;
    // The stream reference stays until the next Open or destruction.
    void Close() override;

private:
    bool open_ = false;
    RefPtr<IDataStream> stream_;
    RefPtr<IGraphicsPlugin> plugin_;
};

}  // namespace KYR
