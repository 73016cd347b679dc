#include "engine/media/dshow/AsyncOutputPin.h"

#include <cstring>

#include "engine/core/RefPtr.h"
#include "engine/media/dshow/AsyncRange.h"
#include "engine/media/dshow/AsyncReader.h"
#include "engine/media/dshow/MemAllocator.h"

namespace KYR {

CAsyncOutputPin::CAsyncOutputPin(HRESULT* hr, CAsyncReader* reader, CAsyncIo* io,
                                 CCriticalSection* lock)
    : CBasePin(reader, lock, L"Source Output", PINDIR_OUTPUT), reader_(reader), io_(io) {
    if (hr) *hr = S_OK;
}

HRESULT CAsyncOutputPin::QueryPinInterface(REFIID riid, void** ppv) {
    static const ComInterfaceEntry table[] = {
        KYR_COM_ENTRY(CAsyncOutputPin, IAsyncReader),
        KYR_COM_END,
    };
    const HRESULT hr = QueryInterfaceFromTable(this, table, riid, ppv);
    if (SUCCEEDED(hr)) {
        InterlockedExchange(&queried_, 1);
        return hr;
    }
    return CBasePin::QueryPinInterface(riid, ppv);
}

STDMETHODIMP CAsyncOutputPin::QueryId(LPWSTR* id) {
    if (!id) return E_POINTER;
    static const wchar_t kId[] = L"Out";
    *id = static_cast<LPWSTR>(CoTaskMemAlloc(sizeof(kId)));
    if (!*id) return E_OUTOFMEMORY;
    std::memcpy(*id, kId, sizeof(kId));
    return S_OK;
}

HRESULT CAsyncOutputPin::GetMediaType(int position, CMediaType* mt) {
    if (position < 0) return E_INVALIDARG;
    if (position > 0) return VFW_S_NO_MORE_ITEMS;
    if (!mt) return E_POINTER;
    return mt->Set(*reader_->LoadedType());
}

HRESULT CAsyncOutputPin::CheckMediaType(const CMediaType* mt) {
    if (!mt) return E_POINTER;
    const CMediaType* ours = reader_->LoadedType();
    // A stored subtype of GUID_NULL means "any kind of this major type": the parser decides.
    if (mt->subtype == ours->subtype) return S_OK;
    if (mt->majortype == ours->majortype && ours->subtype == GUID_NULL) return S_OK;
    return S_FALSE;
}

HRESULT CAsyncOutputPin::CheckConnect(IPin* pin) {
    InterlockedExchange(&queried_, 0);
    return CBasePin::CheckConnect(pin);
}

HRESULT CAsyncOutputPin::CompleteConnect(IPin* receivePin) {
    if (!queried_) return E_FAIL;
    return CBasePin::CompleteConnect(receivePin);
}

HRESULT CAsyncOutputPin::BreakConnect() {
    InterlockedExchange(&queried_, 0);
    return CBasePin::BreakConnect();
}

HRESULT CAsyncOutputPin::TryAllocator(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props) {
    ALLOCATOR_PROPERTIES granted = {};
    const HRESULT hr = allocator->SetProperties(props, &granted);
    if (FAILED(hr)) return hr;
    // The granted alignment must let every buffer start on the stream's alignment.
    const LONG align = io_->Alignment();
    if (granted.cbAlign <= 0 || !IsAlignedTo(granted.cbAlign, align)) return VFW_E_BADALIGN;
    return S_OK;
}

STDMETHODIMP CAsyncOutputPin::RequestAllocator(IMemAllocator* preferred,
                                               ALLOCATOR_PROPERTIES* props,
                                               IMemAllocator** actual) {
    InterlockedIncrement(&calls_.requestAllocator);
    if (actual) *actual = nullptr;
    if (!preferred || !props || !actual) return E_POINTER;
    const LONG align = io_->Alignment();
    if (props->cbAlign == 0 || !IsAlignedTo(props->cbAlign, align)) props->cbAlign = align;

    if (SUCCEEDED(TryAllocator(preferred, props))) {
        preferred->AddRef();
        *actual = preferred;
        return S_OK;
    }
    RefPtr<IMemAllocator> own;
    HRESULT hr = CMemAllocator::Create(own.Put());
    if (FAILED(hr)) return hr;
    hr = TryAllocator(own.Get(), props);
    if (FAILED(hr)) return hr;  // own is released on the way out
    *actual = own.Detach();
    return S_OK;
}

HRESULT CAsyncOutputPin::SampleRange(IMediaSample* sample, LONGLONG* position, LONG* length,
                                     BYTE** buffer) {
    REFERENCE_TIME start = 0, stop = 0;
    HRESULT hr = sample->GetTime(&start, &stop);
    if (FAILED(hr)) return hr;
    ByteRange range = RangeFromTimes(start, stop);
    LONGLONG size = 0, available = 0;
    const LONGLONG total = io_->Length(&size, &available) == S_OK ? size : 0;
    const RangeFit fit = FitRangeToStream(range, total, io_->Alignment());
    if (fit == RangeFit::kInvalid)
        return range.position > total ? HRESULT_FROM_WIN32(ERROR_HANDLE_EOF) : E_INVALIDARG;
    // The read lands in the sample's buffer: a range longer than the buffer would write
    // past it.
    if (range.length > sample->GetSize()) return VFW_E_BUFFER_OVERFLOW;
    if (fit == RangeFit::kCut) {
        // Only the stop time moves: the start is the caller's, fraction of a byte and all.
        REFERENCE_TIME newStop = total * kUnitsPerByte;
        sample->SetTime(&start, &newStop);
    }
    hr = sample->GetPointer(buffer);
    if (FAILED(hr)) return hr;
    *position = range.position;
    *length = static_cast<LONG>(range.length);
    return fit == RangeFit::kCut ? S_FALSE : S_OK;
}

STDMETHODIMP CAsyncOutputPin::Request(IMediaSample* sample, DWORD_PTR user) {
    InterlockedIncrement(&calls_.request);
    if (!sample) return E_POINTER;
    LONGLONG position = 0;
    LONG length = 0;
    BYTE* buffer = nullptr;
    const HRESULT hr = SampleRange(sample, &position, &length, &buffer);
    if (FAILED(hr)) return hr;
    return io_->Request(position, length, TRUE, buffer, sample, user);
}

STDMETHODIMP CAsyncOutputPin::WaitForNext(DWORD timeoutMs, IMediaSample** sample,
                                          DWORD_PTR* user) {
    InterlockedIncrement(&calls_.waitForNext);
    if (sample) *sample = nullptr;
    if (user) *user = 0;
    if (!sample || !user) return E_POINTER;
    void* context = nullptr;
    LONG length = 0;
    const HRESULT hr = io_->WaitForNext(timeoutMs, &context, user, &length);
    // The sample was the puller's all along (Request took no reference): it goes back with
    // whatever result, so a failed or flushed read does not strand it.
    auto* done = static_cast<IMediaSample*>(context);
    if (done && hr == S_OK) done->SetActualDataLength(length);
    *sample = done;
    return hr;
}

STDMETHODIMP CAsyncOutputPin::SyncReadAligned(IMediaSample* sample) {
    InterlockedIncrement(&calls_.syncReadAligned);
    if (!sample) return E_POINTER;
    LONGLONG position = 0;
    LONG length = 0;
    BYTE* buffer = nullptr;
    HRESULT hr = SampleRange(sample, &position, &length, &buffer);
    if (FAILED(hr)) return hr;
    LONG read = 0;
    hr = io_->SyncReadAligned(position, length, buffer, &read, sample);
    if (SUCCEEDED(hr)) sample->SetActualDataLength(read);
    return hr;
}

STDMETHODIMP CAsyncOutputPin::SyncRead(LONGLONG position, LONG length, BYTE* buffer) {
    InterlockedIncrement(&calls_.syncRead);
    if (!buffer && length != 0) return E_POINTER;
    LONGLONG total = 0, available = 0;
    io_->Length(&total, &available);
    ByteRange range{position, length};
    const RangeFit fit = FitRangeToStream(range, total, io_->Alignment());
    if (fit == RangeFit::kInvalid)
        return position > total ? HRESULT_FROM_WIN32(ERROR_HANDLE_EOF) : E_INVALIDARG;
    LONG read = 0;
    const HRESULT hr = io_->SyncRead(range.position, static_cast<LONG>(range.length), buffer,
                                     &read);
    if (FAILED(hr)) return hr;
    // The documented contract: S_FALSE tells the caller that the tail of its buffer holds
    // nothing read, which S_OK after a cut would hide.
    return fit == RangeFit::kCut || read < length ? S_FALSE : S_OK;
}

STDMETHODIMP CAsyncOutputPin::Length(LONGLONG* total, LONGLONG* available) {
    InterlockedIncrement(&calls_.length);
    return io_->Length(total, available);
}

STDMETHODIMP CAsyncOutputPin::BeginFlush() {
    InterlockedIncrement(&calls_.beginFlush);
    return io_->BeginFlush();
}

STDMETHODIMP CAsyncOutputPin::EndFlush() {
    InterlockedIncrement(&calls_.endFlush);
    return io_->EndFlush();
}

}  // namespace KYR
