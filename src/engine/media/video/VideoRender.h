// CVideoRender: the renderer filter that writes each frame of a movie into an engine
// texture (A8R8G8B8, made on the graphics device when the connection's type is set). It
// takes uncompressed RGB24 and RGB8 frames, and RGB32 while its owner allows it (when the
// splitter itself delivers RGB32, or a filter of the caller's sits before it).
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>

#include "engine/core/RefPtr.h"
#include "engine/graphics/ID3DTexture.h"
#include "engine/media/dshow/BaseVideoRenderer.h"
#include "engine/media/video/VideoFrame.h"

namespace KYR {

class CKYRD3D;

// {8AC88FF2-4C71-4616-831E-468958FF29F3}
extern const CLSID CLSID_KYRVideoRender;

class CVideoRender : public CBaseVideoRenderer {
public:
    // Holds a reference to the device. Starts at a count of 0, as every filter of ours.
    explicit CVideoRender(CKYRD3D* device);
    ~CVideoRender() override;

    HRESULT CheckMediaType(const CMediaType* mt) override;
    HRESULT SetMediaType(const CMediaType* mt) override;
    HRESULT DoRenderSample(IMediaSample* sample) override;

    void SetAcceptRGB32(bool on) { acceptRgb32_ = on; }
    // The frame texture, borrowed; null before the first type was set.
    ID3DTexture* GetTextureTemp() { return texture_.Get(); }

private:
    // Enters the device lock. On the streaming thread it gives up when a stop or flush is
    // pending (see CBaseVideoRenderer); elsewhere (connecting) it waits as long as it takes.
    bool EnterDeviceLock();

    RefPtr<CKYRD3D> device_;  // first, so it is released last
    RefPtr<ID3DTexture> texture_;  // replaced only under the device lock
    std::atomic<bool> acceptRgb32_{false};
    // The connection's format, kept whole as the graph gave it, and what it describes.
    uint8_t videoInfo_[kVideoInfoHeaderSize] = {};
    VideoFrameLayout layout_;
    uint32_t palette_[kMaxPaletteEntries] = {};
};

}  // namespace KYR
