#include "engine/media/dshow/MemInputPin.h"

#include "engine/media/dshow/MemAllocator.h"

namespace KYR {

CMemInputPin::CMemInputPin(CBaseFilter* filter, CCriticalSection* lock, const wchar_t* name)
    : CBasePin(filter, lock, name, PINDIR_INPUT) {}

HRESULT CMemInputPin::QueryPinInterface(REFIID riid, void** ppv) {
    static const ComInterfaceEntry table[] = {
        KYR_COM_ENTRY(CMemInputPin, IMemInputPin),
        KYR_COM_END,
    };
    const HRESULT hr = QueryInterfaceFromTable(this, table, riid, ppv);
    return SUCCEEDED(hr) ? hr : CBasePin::QueryPinInterface(riid, ppv);
}

HRESULT CMemInputPin::BreakConnect() {
    allocator_.Reset();
    return CBasePin::BreakConnect();
}

STDMETHODIMP CMemInputPin::GetAllocator(IMemAllocator** allocator) {
    if (!allocator) return E_POINTER;
    *allocator = nullptr;
    KYRAutoLock hold(PinLock());
    if (!allocator_ && FAILED(CMemAllocator::Create(allocator_.Put()))) return E_OUTOFMEMORY;
    allocator_->AddRef();
    *allocator = allocator_.Get();
    return S_OK;
}

STDMETHODIMP CMemInputPin::NotifyAllocator(IMemAllocator* allocator, BOOL) {
    if (!allocator) return E_POINTER;
    KYRAutoLock hold(PinLock());
    allocator_ = RefPtr<IMemAllocator>::AddRefOf(allocator);
    return S_OK;
}

STDMETHODIMP CMemInputPin::Receive(IMediaSample* sample) {
    if (!sample) return E_POINTER;
    if (IsFlushing()) return S_FALSE;
    return OnReceive(sample);
}

STDMETHODIMP CMemInputPin::ReceiveMultiple(IMediaSample** samples, long count, long* processed) {
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
