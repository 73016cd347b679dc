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
    ID3DTexture* texture = render_ ? render_->GetTextureTemp() : nullptr;
    if (handedOut_.Get() != texture) handedOut_ = RefPtr<ID3DTexture>::AddRefOf(texture);
    return texture;
}

void CD3DVideoTexture::OnRendererReleased() {
    KYRAutoLock hold(device_->GetDeviceLock());
    render_ = nullptr;
}

RefPtr<IBaseFilter> CD3DVideoTexture::AddRenderer(IFilterGraph* graph) {
    auto* render = new (std::nothrow) CVideoRender(device_.Get());
    if (!render) throw GraphBuildError{"CVideoRender Failed"};
    RefPtr<IBaseFilter> filter;
    render->QueryInterface(IID_IBaseFilter, reinterpret_cast<void**>(filter.Put()));
    AddExistingFilterStep(graph, filter.Get(), L"VideoRender", "CVideoRender Failed");
    KYRAutoLock hold(device_->GetDeviceLock());
    render_ = render;
    return filter;
}

// A splitter that delivers RGB32 itself, or a filter of the caller's, may hand the renderer
// RGB32; otherwise the decoder is made to give RGB24 or RGB8.
void CD3DVideoTexture::OnVideoSubtype(const GUID& subtype) {
    if (render_) render_->SetAcceptRGB32(IsEqualGUID(subtype, MEDIASUBTYPE_RGB32) != FALSE);
}

void CD3DVideoTexture::OnCallerFilter() {
    if (render_) render_->SetAcceptRGB32(true);
}

void CD3DVideoTexture::SetStopping(bool on) {
    if (render_) render_->SetAbortRequest(on);
}

}  // namespace KYR
