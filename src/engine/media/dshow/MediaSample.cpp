#include "engine/media/dshow/MediaSample.h"

#include "engine/media/dshow/MediaType.h"
#include "engine/media/dshow/MemAllocator.h"

namespace KYR {

CMediaSample::CMediaSample(CMemAllocator* allocator, BYTE* buffer, LONG size)
    : allocator_(allocator), buffer_(buffer), size_(size) {}

CMediaSample::~CMediaSample() { DeleteMediaType(type_); }

STDMETHODIMP CMediaSample::QueryInterface(REFIID riid, void** ppv) {
    static const ComInterfaceEntry table[] = {
        KYR_COM_ENTRY_VIA(CMediaSample, IUnknown, IMediaSample),
        KYR_COM_ENTRY(CMediaSample, IMediaSample),
        KYR_COM_END,
    };
    return QueryInterfaceFromTable(this, table, riid, ppv);
}

STDMETHODIMP_(ULONG) CMediaSample::AddRef() {
    return static_cast<ULONG>(InterlockedIncrement(&refs_));
}

STDMETHODIMP_(ULONG) CMediaSample::Release() {
    const LONG n = InterlockedDecrement(&refs_);
    // The last user gives the sample back. The allocator may be deleted inside this call
    // (the sample held its last reference), and this object with it: nothing is touched
    // afterwards.
    if (n == 0) allocator_->ReleaseBuffer(this);
    return static_cast<ULONG>(n);
}

void CMediaSample::ClearProperties() {
    actual_ = 0;
    timeValid_ = stopValid_ = mediaTimeValid_ = false;
    start_ = stop_ = 0;
    mediaStart_ = mediaStop_ = 0;
    syncPoint_ = preroll_ = discontinuity_ = false;
    DeleteMediaType(type_);
    type_ = nullptr;
}

STDMETHODIMP CMediaSample::GetPointer(BYTE** buffer) {
    if (!buffer) return E_POINTER;
    *buffer = buffer_;
    return S_OK;
}

STDMETHODIMP CMediaSample::GetTime(REFERENCE_TIME* start, REFERENCE_TIME* stop) {
    if (!start || !stop) return E_POINTER;
    if (!timeValid_) return VFW_E_SAMPLE_TIME_NOT_SET;
    *start = start_;
    if (stopValid_) {
        *stop = stop_;
        return S_OK;
    }
    // A start without a stop: the documented answer is the start plus one.
    *stop = start_ + 1;
    return VFW_S_NO_STOP_TIME;
}

STDMETHODIMP CMediaSample::SetTime(REFERENCE_TIME* start, REFERENCE_TIME* stop) {
    if (!start) {
        timeValid_ = stopValid_ = false;
        return S_OK;
    }
    timeValid_ = true;
    start_ = *start;
    stopValid_ = stop != nullptr;
    if (stop) stop_ = *stop;
    return S_OK;
}

STDMETHODIMP CMediaSample::SetSyncPoint(BOOL value) {
    syncPoint_ = value != FALSE;
    return S_OK;
}

STDMETHODIMP CMediaSample::SetPreroll(BOOL value) {
    preroll_ = value != FALSE;
    return S_OK;
}

STDMETHODIMP CMediaSample::SetActualDataLength(LONG length) {
    if (length < 0 || length > size_) return VFW_E_BUFFER_OVERFLOW;
    actual_ = length;
    return S_OK;
}

STDMETHODIMP CMediaSample::GetMediaType(AM_MEDIA_TYPE** type) {
    if (!type) return E_POINTER;
    *type = nullptr;
    if (!type_) return S_FALSE;  // unchanged since the last sample
    *type = CreateMediaType(type_);
    return *type ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP CMediaSample::SetMediaType(AM_MEDIA_TYPE* type) {
    DeleteMediaType(type_);
    type_ = nullptr;
    if (!type) return S_OK;
    type_ = CreateMediaType(type);
    return type_ ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP CMediaSample::SetDiscontinuity(BOOL value) {
    discontinuity_ = value != FALSE;
    return S_OK;
}

STDMETHODIMP CMediaSample::GetMediaTime(LONGLONG* start, LONGLONG* stop) {
    if (!start || !stop) return E_POINTER;
    if (!mediaTimeValid_) return VFW_E_MEDIA_TIME_NOT_SET;
    *start = mediaStart_;
    *stop = mediaStop_;
    return S_OK;
}

STDMETHODIMP CMediaSample::SetMediaTime(LONGLONG* start, LONGLONG* stop) {
    if (!start || !stop) {
        mediaTimeValid_ = false;
        return S_OK;
    }
    mediaTimeValid_ = true;
    mediaStart_ = *start;
    mediaStop_ = *stop;
    return S_OK;
}

}  // namespace KYR
