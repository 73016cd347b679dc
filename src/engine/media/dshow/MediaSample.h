// CMediaSample: IMediaSample over a piece of its allocator's memory. The sample is part of
// the allocator: when its count falls to zero it goes back to the allocator's free list
// instead of being deleted, and its properties are cleared for the next user.
#pragma once

#include <windows.h>

#include <strmif.h>

#include "engine/media/dshow/ComBase.h"

namespace KYR {

class CMemAllocator;

class CMediaSample : public IMediaSample {
public:
    CMediaSample(CMemAllocator* allocator, BYTE* buffer, LONG size);
    virtual ~CMediaSample();
    CMediaSample(const CMediaSample&) = delete;
    CMediaSample& operator=(const CMediaSample&) = delete;

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    STDMETHODIMP GetPointer(BYTE** buffer) override;
    STDMETHODIMP_(LONG) GetSize() override { return size_; }
    STDMETHODIMP GetTime(REFERENCE_TIME* start, REFERENCE_TIME* stop) override;
    STDMETHODIMP SetTime(REFERENCE_TIME* start, REFERENCE_TIME* stop) override;
    STDMETHODIMP IsSyncPoint() override { return syncPoint_ ? S_OK : S_FALSE; }
    STDMETHODIMP SetSyncPoint(BOOL value) override;
    STDMETHODIMP IsPreroll() override { return preroll_ ? S_OK : S_FALSE; }
    STDMETHODIMP SetPreroll(BOOL value) override;
    STDMETHODIMP_(LONG) GetActualDataLength() override { return actual_; }
    STDMETHODIMP SetActualDataLength(LONG length) override;
    STDMETHODIMP GetMediaType(AM_MEDIA_TYPE** type) override;
    STDMETHODIMP SetMediaType(AM_MEDIA_TYPE* type) override;
    STDMETHODIMP IsDiscontinuity() override { return discontinuity_ ? S_OK : S_FALSE; }
    STDMETHODIMP SetDiscontinuity(BOOL value) override;
    STDMETHODIMP GetMediaTime(LONGLONG* start, LONGLONG* stop) override;
    STDMETHODIMP SetMediaTime(LONGLONG* start, LONGLONG* stop) override;

    // The allocator's side: hand out with one reference, and clear for the next user.
    void TakeFirstReference() { InterlockedExchange(&refs_, 1); }
    void ClearProperties();

private:
    CMemAllocator* const allocator_;
    BYTE* const buffer_;
    const LONG size_;
    volatile LONG refs_ = 0;
    LONG actual_ = 0;
    bool timeValid_ = false, stopValid_ = false, mediaTimeValid_ = false;
    REFERENCE_TIME start_ = 0, stop_ = 0;
    LONGLONG mediaStart_ = 0, mediaStop_ = 0;
    bool syncPoint_ = false, preroll_ = false, discontinuity_ = false;
    AM_MEDIA_TYPE* type_ = nullptr;  // owned; set only when the type changes
};

}  // namespace KYR
