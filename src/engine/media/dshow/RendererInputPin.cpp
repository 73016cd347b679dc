#include "engine/media/dshow/RendererInputPin.h"

#include "engine/media/dshow/BaseVideoRenderer.h"
#include "engine/media/dshow/MemAllocator.h"

namespace KYR {

CRendererInputPin::CRendererInputPin(CBaseVideoRenderer* renderer, CCriticalSection* lock)
    : CBasePin(renderer, lock, L"In", PINDIR_INPUT), renderer_(renderer) {}

HRESULT CRendererInputPin::QueryPinInterface(REFIID riid, void** ppv) {
    static const ComInterfaceEntry table[] = {
        KYR_COM_ENTRY(CRendererInputPin, IMemInputPin),
        KYR_COM_END,
    };
    const HRESULT hr = QueryInterfaceFromTable(this, table, riid, ppv);
    return SUCCEEDED(hr) ? hr : CBasePin::QueryPinInterface(riid, ppv);
}

HRESULT CRendererInputPin::CheckMediaType(const CMediaType* mt) {
    return renderer_->CheckMediaType(mt);
}

HRESULT CRendererInputPin::SetMediaType(const CMediaType* mt) {
    HRESULT hr = renderer_->SetMediaType(mt);
    if (FAILED(hr)) return hr;
    return CBasePin::SetMediaType(mt);
}

HRESULT CRendererInputPin::BreakConnect() {
    allocator_.Reset();
    renderer_->OnBreakConnect();
    return CBasePin::BreakConnect();
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

STDMETHODIMP CRendererInputPin::GetAllocator(IMemAllocator** allocator) {
    if (!allocator) return E_POINTER;
    *allocator = nullptr;
    KYRAutoLock hold(PinLock());
    if (!allocator_ && FAILED(CMemAllocator::Create(allocator_.Put()))) return E_OUTOFMEMORY;
    allocator_->AddRef();
    *allocator = allocator_.Get();
    return S_OK;
}

STDMETHODIMP CRendererInputPin::NotifyAllocator(IMemAllocator* allocator, BOOL) {
    if (!allocator) return E_POINTER;
    KYRAutoLock hold(PinLock());
    allocator_ = RefPtr<IMemAllocator>::AddRefOf(allocator);
    return S_OK;
}

STDMETHODIMP CRendererInputPin::GetAllocatorRequirements(ALLOCATOR_PROPERTIES*) {
    return E_NOTIMPL;
}

STDMETHODIMP CRendererInputPin::Receive(IMediaSample* sample) {
    if (!sample) return E_POINTER;
    if (IsFlushing()) return S_FALSE;
    return renderer_->Receive(sample);
}

STDMETHODIMP CRendererInputPin::ReceiveMultiple(IMediaSample** samples, long count,
                                                long* processed) {
    if (processed) *processed = 0;
    if (!samples && count > 0) return E_POINTER;
    for (long i = 0; i < count; ++i) {
        const HRESULT hr = Receive(samples[i]);
        if (hr != S_OK) return hr;
        if (processed) ++*processed;
    }
    return S_OK;
}

}  // namespace KYR
