// CMemInputPin: an input pin that takes the samples pushed to it (IMemInputPin on top of
// CBasePin). It keeps the allocator upstream chose (its own CMemAllocator when upstream asks
// first), refuses samples while flushing, and runs ReceiveMultiple through Receive; a
// concrete pin says what a sample means (OnReceive).
#pragma once

#include <windows.h>

#include <strmif.h>

#include "engine/core/RefPtr.h"
#include "engine/media/dshow/BasePin.h"

namespace KYR {

class CMemInputPin : public IMemInputPin, public CBasePin {
public:
    CMemInputPin(CBaseFilter* filter, CCriticalSection* lock, const wchar_t* name);

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        return CBasePin::QueryInterface(riid, ppv);
    }
    STDMETHODIMP_(ULONG) AddRef() override { return CBasePin::AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return CBasePin::Release(); }

    HRESULT BreakConnect() override;  // drops the allocator

    // IMemInputPin
    STDMETHODIMP GetAllocator(IMemAllocator** allocator) override;  // made once, then kept
    STDMETHODIMP NotifyAllocator(IMemAllocator* allocator, BOOL readOnly) override;
    STDMETHODIMP GetAllocatorRequirements(ALLOCATOR_PROPERTIES*) override { return E_NOTIMPL; }
    // E_POINTER for null, S_FALSE while flushing, otherwise what OnReceive says.
    STDMETHODIMP Receive(IMediaSample* sample) final;
    STDMETHODIMP ReceiveMultiple(IMediaSample** samples, long count, long* processed) override;

    IMemAllocator* AllocatorTemp() const { return allocator_.Get(); }  // borrowed

protected:
    virtual HRESULT OnReceive(IMediaSample* sample) = 0;
    // Answers IMemInputPin, then what CBasePin answers.
    HRESULT QueryPinInterface(REFIID riid, void** ppv) override;

private:
    RefPtr<IMemAllocator> allocator_;
};

}  // namespace KYR
