// The input pin of CBaseVideoRenderer: a CMemInputPin that hands samples, end of stream and
// flushes to its renderer, which decides what to do with them.
#pragma once

#include <windows.h>

#include <strmif.h>

#include "engine/media/dshow/MemInputPin.h"

namespace KYR {

class CBaseVideoRenderer;

class CRendererInputPin : public CMemInputPin {
public:
    CRendererInputPin(CBaseVideoRenderer* renderer, CCriticalSection* lock);

    HRESULT CheckMediaType(const CMediaType* mt) override;
    HRESULT SetMediaType(const CMediaType* mt) override;
    HRESULT BreakConnect() override;
    STDMETHODIMP EndOfStream() override;
    STDMETHODIMP BeginFlush() override;
    STDMETHODIMP EndFlush() override;
    // Receive waits for the sample's time, so the upstream thread blocks in it.
    STDMETHODIMP ReceiveCanBlock() override { return S_OK; }

protected:
    HRESULT OnReceive(IMediaSample* sample) override;

private:
    CBaseVideoRenderer* const renderer_;
};

}  // namespace KYR
