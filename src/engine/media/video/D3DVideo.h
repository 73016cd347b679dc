// CD3DVideo: a movie shown in the caller's window by the Video Mixing Renderer 9 in
// windowless mode. The playback and its controls are CVideoControls'.
#pragma once

#include <windows.h>

#include <dshow.h>
#include <d3d9.h>
#include <vmr9.h>

#include "engine/core/RefPtr.h"
#include "engine/graphics/ID3DVideo.h"
#include "engine/media/video/VideoControls.h"
#include "engine/media/video/VideoPlayback.h"

namespace KYR {

class CKYRD3D;

class CD3DVideo : public CVideoControls<ID3DVideo>, private VideoRendererSide {
public:
    explicit CD3DVideo(CKYRD3D* device);  // holds a reference to the device
    ~CD3DVideo() override;

    bool Open(IDataStream* stream, const char* format, bool loop, uint32_t loopStartMs,
              IBaseFilter* filter, HWND window, const RECT* rect) override;

private:
    RefPtr<IBaseFilter> AddRenderer(IFilterGraph* graph) override;
    void OnVideoSubtype(const GUID&) override {}
    void OnCallerFilter() override {}
    void OnGraphReady() override;
    void OnRendererReleased() override { windowless_.Reset(); }

    RefPtr<CKYRD3D> device_;  // released after the destructor has closed the playback
    RefPtr<IVMRWindowlessControl9> windowless_;
    HWND window_ = nullptr;      // for the Open in progress
    const RECT* rect_ = nullptr;  // likewise; the caller's
};

}  // namespace KYR
