#include "TestSink.h"

#include "engine/media/dshow/MemAllocator.h"

namespace kyrtest {

using namespace KYR;

TestSinkPin::TestSinkPin(TestSink* sink, CCriticalSection* lock)
    : CBasePin(sink, lock, L"In", PINDIR_INPUT), sink_(sink) {}

TestSinkPin::~TestSinkPin() {
    if (allocator_) allocator_->Release();
}

HRESULT TestSinkPin::QueryPinInterface(REFIID riid, void** ppv) {
    static const ComInterfaceEntry table[] = {
        KYR_COM_ENTRY(TestSinkPin, IMemInputPin),
        KYR_COM_END,
    };
    const HRESULT hr = QueryInterfaceFromTable(this, table, riid, ppv);
    return SUCCEEDED(hr) ? hr : CBasePin::QueryPinInterface(riid, ppv);
}

HRESULT TestSinkPin::BreakConnect() {
    if (allocator_) {
        allocator_->Release();
        allocator_ = nullptr;
    }
    return CBasePin::BreakConnect();
}

STDMETHODIMP TestSinkPin::EndOfStream() {
    InterlockedIncrement(&sink_->endOfStreamCount);
    return sink_->NotifyEvent(EC_COMPLETE, S_OK, 0);
}

STDMETHODIMP TestSinkPin::GetAllocator(IMemAllocator** allocator) {
    // Our own allocator, so the upstream filter's samples come from it.
    return CMemAllocator::Create(allocator);
}

STDMETHODIMP TestSinkPin::NotifyAllocator(IMemAllocator* allocator, BOOL) {
    if (!allocator) return E_POINTER;
    allocator->AddRef();
    if (allocator_) allocator_->Release();
    allocator_ = allocator;
    {
        KYRAutoLock hold(&sink_->receiveLock_);
        sink_->connectedType = CurrentMediaType();
    }
    return S_OK;
}

STDMETHODIMP TestSinkPin::GetAllocatorRequirements(ALLOCATOR_PROPERTIES*) { return E_NOTIMPL; }

STDMETHODIMP TestSinkPin::Receive(IMediaSample* sample) {
    if (!sample) return E_POINTER;
    if (IsFlushing()) return S_FALSE;
    BYTE* data = nullptr;
    if (FAILED(sample->GetPointer(&data))) return E_FAIL;
    const LONG n = sample->GetActualDataLength();
    KYRAutoLock hold(&sink_->receiveLock_);
    sink_->samples.emplace_back(data, data + n);
    return S_OK;
}

STDMETHODIMP TestSinkPin::ReceiveMultiple(IMediaSample** samples, long count, long* processed) {
    if (processed) *processed = 0;
    for (long i = 0; i < count; ++i) {
        const HRESULT hr = Receive(samples[i]);
        if (hr != S_OK) return hr;
        if (processed) ++*processed;
    }
    return S_OK;
}

TestSink::TestSink() : CBaseFilter(L"TestSink", &lock_, GUID_NULL), pin_(this, &lock_) {}

HRESULT TestSink::QueryFilterInterface(REFIID riid, void** ppv) {
    static const ComInterfaceEntry table[] = {
        KYR_COM_ENTRY(TestSink, IAMFilterMiscFlags),
        KYR_COM_END,
    };
    const HRESULT hr = QueryInterfaceFromTable(this, table, riid, ppv);
    return SUCCEEDED(hr) ? hr : CBaseFilter::QueryFilterInterface(riid, ppv);
}

}  // namespace kyrtest
