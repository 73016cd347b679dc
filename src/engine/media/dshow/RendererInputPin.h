// The input pin of CBaseVideoRenderer: IMemInputPin on top of CBasePin. It keeps the
// allocator upstream chose and hands samples, end of stream and flushes to its renderer,
// which decides what to do with them.
#pragma once

#include <windows.h>

#include <strmif.h>

#include "engine/core/RefPtr.h"
#include "engine/media/dshow/BasePin.h"

namespace KYR {

class CBaseVideoRenderer;

class CRendererInputPin : public IMemInputPin, public CBasePin {
public:
    CRendererInputPin(CBaseVideoRenderer* renderer, CCriticalSection* lock);

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        return CBasePin::QueryInterface(riid, ppv);
    }
    STDMETHODIMP_(ULONG) AddRef() override { return CBasePin::AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return CBasePin::Release(); }

    HRESULT CheckMediaType(const CMediaType* mt) override;
    HRESULT SetMediaType(const CMediaType* mt) override;
    HRESULT BreakConnect() override;
    STDMETHODIMP EndOfStream() override;
    STDMETHODIMP BeginFlush() override;
    STDMETHODIMP EndFlush() override;

    // IMemInputPin
    STDMETHODIMP GetAllocator(IMemAllocator** allocator) override;
    STDMETHODIMP NotifyAllocator(IMemAllocator* allocator, BOOL readOnly) override;
    STDMETHODIMP GetAllocatorRequirements(ALLOCATOR_PROPERTIES* props) override;
    STDMETHODIMP Receive(IMediaSample* sample) override;
    STDMETHODIMP ReceiveMultiple(IMediaSample** samples, long count, long* processed) override;
    // Receive waits for the sample's time, so the upstream thread blocks in it.
    STDMETHODIMP ReceiveCanBlock() override { return S_OK; }

protected:
    HRESULT QueryPinInterface(REFIID riid, void** ppv) override;

private:
    CBaseVideoRenderer* const renderer_;
    RefPtr<IMemAllocator> allocator_;
};

}  // namespace KYR
