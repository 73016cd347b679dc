#include "engine/media/video/D3DVideoTexture.h"

#include <uuids.h>

#include <new>

#include "engine/graphics/KYRD3D.h"
#include "engine/media/graph/GraphBuildError.h"
#include "engine/media/graph/GraphSteps.h"
#include "engine/media/video/VideoRender.h"

namespace KYR {

CD3DVideoTexture::CD3DVideoTexture(CKYRD3D* device)
    : CVideoControls(this), device_(RefPtr<CKYRD3D>::AddRefOf(device)) {}

// The playback is closed here, while this object (its renderer side) is still whole.
CD3DVideoTexture::~CD3DVideoTexture() { playback_.Close(); }

ID3DTexture* CD3DVideoTexture::GetTexture() {
    KYRAutoLock hold(device_->GetDeviceLock());
    KYRAutoLock render(&renderLock_);
    if (!render_ || !render_->UpdateTexture(device_.Get(), &shown_)) {
        shown_ = VideoTextureState();  // closed, or no format yet
        return nullptr;
    }
    return shown_.texture.Get();
}

void CD3DVideoTexture::OnRendererReleased() {
    KYRAutoLock hold(&renderLock_);
    render_ = nullptr;
}

RefPtr<IBaseFilter> CD3DVideoTexture::AddRenderer(IFilterGraph* graph) {
    auto* render = new (std::nothrow) CVideoRender;
    if (!render) throw GraphBuildError{"CVideoRender Failed"};
    RefPtr<IBaseFilter> filter;
    render->QueryInterface(IID_IBaseFilter, reinterpret_cast<void**>(filter.Put()));
    AddExistingFilterStep(graph, filter.Get(), L"VideoRender", "CVideoRender Failed");
    KYRAutoLock hold(&renderLock_);
    render_ = render;
    return filter;
}

// A splitter that delivers RGB32 itself, or a filter of the caller's, may hand the renderer
// RGB32; otherwise the decoder is made to give RGB24 or RGB8.
void CD3DVideoTexture::OnVideoSubtype(const GUID& subtype) {
    KYRAutoLock hold(&renderLock_);
    if (render_) render_->SetAcceptRGB32(IsEqualGUID(subtype, MEDIASUBTYPE_RGB32) != FALSE);
}

void CD3DVideoTexture::OnCallerFilter() {
    KYRAutoLock hold(&renderLock_);
    if (render_) render_->SetAcceptRGB32(true);
}

}  // namespace KYR
