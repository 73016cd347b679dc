#include "TestSink.h"

namespace kyrtest {

using namespace KYR;

TestSinkPin::TestSinkPin(TestSink* sink, CCriticalSection* lock)
    : CMemInputPin(sink, lock, L"In"), sink_(sink) {}

STDMETHODIMP TestSinkPin::EndOfStream() {
    InterlockedIncrement(&sink_->endOfStreamCount);
    return sink_->NotifyEvent(EC_COMPLETE, S_OK, 0);
}

STDMETHODIMP TestSinkPin::NotifyAllocator(IMemAllocator* allocator, BOOL readOnly) {
    const HRESULT hr = CMemInputPin::NotifyAllocator(allocator, readOnly);
    if (FAILED(hr)) return hr;
    KYRAutoLock hold(&sink_->receiveLock_);
    sink_->connectedType = CurrentMediaType();
    return S_OK;
}

HRESULT TestSinkPin::OnReceive(IMediaSample* sample) {
    BYTE* data = nullptr;
    if (FAILED(sample->GetPointer(&data))) return E_FAIL;
    const LONG n = sample->GetActualDataLength();
    KYRAutoLock hold(&sink_->receiveLock_);
    sink_->samples.emplace_back(data, data + n);
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
