#include "engine/media/video/D3DVideo.h"

#include <uuids.h>

#include "engine/graphics/KYRD3D.h"
#include "engine/media/graph/GraphBuildError.h"
#include "engine/media/graph/GraphSteps.h"

namespace KYR {

CD3DVideo::CD3DVideo(CKYRD3D* device)
    : CVideoControls(this), device_(RefPtr<CKYRD3D>::AddRefOf(device)) {}

// The playback is closed here, while this object (its renderer side) is still whole.
CD3DVideo::~CD3DVideo() { playback_.Close(); }

bool CD3DVideo::Open(IDataStream* stream, const char* format, bool loop, uint32_t loopStartMs,
                     IBaseFilter* filter, HWND window, const RECT* rect) {
    window_ = window;
    rect_ = rect;
    const bool opened = playback_.Open(stream, format, loop, loopStartMs, filter);
    window_ = nullptr;
    rect_ = nullptr;
    return opened;
}

RefPtr<IBaseFilter> CD3DVideo::AddRenderer(IFilterGraph* graph) {
    RefPtr<IBaseFilter> vmr;
    if (FAILED(CoCreateInstance(CLSID_VideoMixingRenderer9, nullptr, CLSCTX_INPROC,
                                IID_IBaseFilter, reinterpret_cast<void**>(vmr.Put()))) ||
        !vmr)
        throw GraphBuildError{"Video Renderer Failed"};
    AddExistingFilterStep(graph, vmr.Get(), L"Video Mixing Renderer 9", "Video Renderer Failed");
    // Windowless mode must be chosen before the renderer's input is connected; without it the
    // renderer opens a window of its own.
    RefPtr<IVMRFilterConfig9> config;
    if (FAILED(vmr->QueryInterface(IID_IVMRFilterConfig9,
                                   reinterpret_cast<void**>(config.Put()))) ||
        FAILED(config->SetRenderingMode(VMR9Mode_Windowless)) ||
        FAILED(vmr->QueryInterface(IID_IVMRWindowlessControl9,
                                   reinterpret_cast<void**>(windowless_.Put()))) ||
        FAILED(windowless_->SetVideoClippingWindow(window_)))
        throw GraphBuildError{"Video Renderer Failed"};
    return vmr;
}

void CD3DVideo::OnGraphReady() {
    if (rect_ && windowless_) windowless_->SetVideoPosition(nullptr, rect_);
}

}  // namespace KYR
