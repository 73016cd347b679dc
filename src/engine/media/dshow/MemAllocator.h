// CMemAllocator: IMemAllocator with samples in one block of memory.
//
// SetProperties fixes the count, size, alignment and prefix while decommitted; Commit
// allocates; GetBuffer hands out a free sample and blocks while none is free (or fails at
// once with AM_GBF_NOWAIT). Decommit makes every waiting and later GetBuffer fail with
// VFW_E_NOT_COMMITTED; the memory goes once the last outstanding sample has come back.
// Each sample out holds a reference on the allocator, so an allocator released while its
// samples travel stays alive until they return.
#pragma once

#include <windows.h>

#include <strmif.h>

#include <memory>
#include <vector>

#include "engine/core/CriticalSection.h"
#include "engine/core/ScopedHandle.h"
#include "engine/media/dshow/ComBase.h"
#include "engine/media/dshow/MediaSample.h"

namespace KYR {

class CMemAllocator : public IMemAllocator {
public:
    CMemAllocator();
    virtual ~CMemAllocator();
    CMemAllocator(const CMemAllocator&) = delete;
    CMemAllocator& operator=(const CMemAllocator&) = delete;

    // A new allocator with one reference for the caller; E_OUTOFMEMORY without memory or
    // the event it waits on.
    static HRESULT Create(IMemAllocator** allocator);

    KYR_COM_OWN_IUNKNOWN(CMemAllocator)
    STDMETHODIMP SetProperties(ALLOCATOR_PROPERTIES* request,
                               ALLOCATOR_PROPERTIES* actual) override;
    STDMETHODIMP GetProperties(ALLOCATOR_PROPERTIES* props) override;
    STDMETHODIMP Commit() override;
    STDMETHODIMP Decommit() override;
    STDMETHODIMP GetBuffer(IMediaSample** sample, REFERENCE_TIME* start, REFERENCE_TIME* stop,
                           DWORD flags) override;
    STDMETHODIMP ReleaseBuffer(IMediaSample* sample) override;

    // How many samples are out with a user (for checks that nothing leaked).
    LONG OutstandingCount();

private:
    static const ComInterfaceEntry* QueryTable();
    void FreeMemoryLocked();

    ComRefCount refs_;
    CCriticalSection lock_;
    // Manual-reset; set while a free sample is waiting or the allocator is decommitted, so
    // every blocked GetBuffer looks again.
    ScopedHandle freeEvent_;
    ALLOCATOR_PROPERTIES props_ = {};
    bool propertiesSet_ = false;
    bool committed_ = false;
    std::unique_ptr<BYTE[]> memory_;
    std::vector<std::unique_ptr<CMediaSample>> samples_;
    std::vector<CMediaSample*> free_;
};

}  // namespace KYR
