// CD3DVideoTexture: a movie played into an engine texture by our own renderer filter,
// CVideoRender. The playback and its controls are CVideoControls'.
#pragma once

#include <windows.h>

#include "engine/core/RefPtr.h"
#include "engine/graphics/ID3DVideoTexture.h"
#include "engine/media/video/VideoControls.h"
#include "engine/media/video/VideoPlayback.h"

namespace KYR {

class CKYRD3D;
class CVideoRender;

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
    void SetStopping(bool on) override;
    void OnRendererReleased() override;

    RefPtr<CKYRD3D> device_;  // released after the destructor has closed the playback
    // The renderer, kept alive by the playback's reference; null while closed. Set and cleared
    // under the device lock as well, so GetTexture may read it under that lock alone: a render
    // thread inside its scene must not wait for the control lock, which Close holds while the
    // renderer's texture waits for that scene to end.
    CVideoRender* render_ = nullptr;
    // The texture GetTexture handed out last, kept until the next call: Close, or a new
    // format on the streaming thread, would otherwise free it under the caller's drawing.
    RefPtr<ID3DTexture> handedOut_;
};

}  // namespace KYR
