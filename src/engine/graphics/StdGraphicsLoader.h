// CStdGraphicsLoader: opens an image stream with a decoder plug-in (CBMPLoader unless the
// caller gives another) and forwards to it.
#pragma once

#include <cstdint>

#include "engine/core/RefPtr.h"
#include "engine/graphics/IStdGraphicsLoader.h"

namespace KYR {

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
