#include "engine/media/dshow/RendererInputPin.h"

#include "engine/media/dshow/BaseVideoRenderer.h"

namespace KYR {

CRendererInputPin::CRendererInputPin(CBaseVideoRenderer* renderer, CCriticalSection* lock)
    : CMemInputPin(renderer, lock, L"In"), renderer_(renderer) {}

HRESULT CRendererInputPin::CheckMediaType(const CMediaType* mt) {
    return renderer_->CheckMediaType(mt);
}

HRESULT CRendererInputPin::SetMediaType(const CMediaType* mt) {
    HRESULT hr = renderer_->SetMediaType(mt);
    if (FAILED(hr)) return hr;
    return CBasePin::SetMediaType(mt);
}

HRESULT CRendererInputPin::BreakConnect() {
    renderer_->OnBreakConnect();
    return CMemInputPin::BreakConnect();
}

STDMETHODIMP CRendererInputPin::EndOfStream() { return renderer_->OnEndOfStream(); }

STDMETHODIMP CRendererInputPin::BeginFlush() {
    CBasePin::BeginFlush();
    renderer_->OnFlush(true);
    return S_OK;
}

STDMETHODIMP CRendererInputPin::EndFlush() {
    renderer_->OnFlush(false);
    return CBasePin::EndFlush();
}

HRESULT CRendererInputPin::OnReceive(IMediaSample* sample) { return renderer_->Receive(sample); }

}  // namespace KYR
