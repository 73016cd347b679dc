// CD3DVideoTexture: a movie played into an engine texture by our own renderer filter,
// CVideoRender. The playback and its controls are CVideoControls'.
#pragma once

#include <windows.h>

#include "engine/core/CriticalSection.h"
#include "engine/core/RefPtr.h"
#include "engine/graphics/ID3DVideoTexture.h"
#include "engine/media/video/VideoControls.h"
#include "engine/media/video/VideoPlayback.h"
#include "engine/media/video/VideoRender.h"

namespace KYR {

class CKYRD3D;

class CD3DVideoTexture : public CVideoControls<ID3DVideoTexture>, private VideoRendererSide {
public:
    explicit CD3DVideoTexture(CKYRD3D* device);  // holds a reference to the device
    ~CD3DVideoTexture() override;

    ID3DTexture* GetTexture() override;
    bool Open(IDataStream* stream, const char* format, bool loop, uint32_t loopStartMs,
              IBaseFilter* filter) override {
        return playback_.Open(stream, format, loop, loopStartMs, filter);
    }

private:
    RefPtr<IBaseFilter> AddRenderer(IFilterGraph* graph) override;
    void OnVideoSubtype(const GUID& subtype) override;
    void OnCallerFilter() override;
    void OnRendererReleased() override;

    RefPtr<CKYRD3D> device_;  // released after the destructor has closed the playback
    // The renderer, kept alive by the playback's reference; null while closed. Guarded by
    // its own lock, which is only ever taken last: GetTexture holds the device lock, the
    // graph's building and release the control lock, and neither may wait for the other.
    CCriticalSection renderLock_;
    CVideoRender* render_ = nullptr;
    // The texture the game is shown, and which frame it holds (under the device lock). It
    // stays until the next GetTexture replaces or drops it: Close, or a new format, would
    // otherwise free it under the caller's drawing.
    VideoTextureState shown_;
};

}  // namespace KYR
