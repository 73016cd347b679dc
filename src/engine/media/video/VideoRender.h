// CVideoRender: the renderer filter that puts each frame of a movie into an engine texture
// (A8R8G8B8). It takes uncompressed RGB24 and RGB8 frames, and RGB32 while its owner allows it
// (when the splitter itself delivers RGB32, or a filter of the caller's sits before it).
//
// The streaming thread only converts each frame, when due, into system memory (a
// VideoFrameStore under a lock of its own); the game's thread copies the newest one into the
// texture when it asks for the texture, under the device lock it holds for its scene anyway.
// So the streaming thread never waits for a scene to end, and nothing the graph does on any
// thread (connecting, a format change, the graph's release) touches the device lock.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>

#include "engine/core/CriticalSection.h"
#include "engine/core/RefPtr.h"
#include "engine/graphics/ID3DTexture.h"
#include "engine/media/dshow/BaseVideoRenderer.h"
#include "engine/media/video/VideoFrameStore.h"

namespace KYR {

class CKYRD3D;

// {8AC88FF2-4C71-4616-831E-468958FF29F3}
extern const CLSID CLSID_KYRVideoRender;

// What the game's side keeps of the texture it shows: the texture, and which format and
// frame of the store it holds.
struct VideoTextureState {
    RefPtr<ID3DTexture> texture;
    uint32_t format = 0;
    uint64_t frame = 0;
};

class CVideoRender : public CBaseVideoRenderer {
public:
    // Starts at a count of 0, as every filter of ours.
    CVideoRender();
    ~CVideoRender() override;

    HRESULT CheckMediaType(const CMediaType* mt) override;
    HRESULT SetMediaType(const CMediaType* mt) override;
    HRESULT DoRenderSample(IMediaSample* sample) override;

    void SetAcceptRGB32(bool on) { acceptRgb32_ = on; }
    // On the game's thread, under the device lock: brings `state` up to the newest frame,
    // making a texture on `device` when there is none or the format changed. False while no
    // format is known or the texture cannot be made.
    bool UpdateTexture(CKYRD3D* device, VideoTextureState* state);

private:
    std::atomic<bool> acceptRgb32_{false};
    CCriticalSection frameLock_;  // store_; never held while waiting for anything
    VideoFrameStore store_;
};

}  // namespace KYR
