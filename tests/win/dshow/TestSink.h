// A renderer stand-in for the graph tests: one input pin that takes every media type,
// keeps a copy of each sample's bytes, and reports EC_COMPLETE at the end of the stream,
// so IMediaEvent::WaitForCompletion tells when the data went all the way through. Built
// on the engine's own base classes (which it thereby exercises on the input side).
#pragma once

#include <windows.h>

#include <dshow.h>

#include <vector>

#include "engine/media/dshow/BaseFilter.h"
#include "engine/media/dshow/MemInputPin.h"

namespace kyrtest {

class TestSink;

class TestSinkPin : public KYR::CMemInputPin {
public:
    TestSinkPin(TestSink* sink, KYR::CCriticalSection* lock);

    HRESULT CheckMediaType(const KYR::CMediaType*) override { return S_OK; }
    STDMETHODIMP EndOfStream() override;
    // Also records the connected type.
    STDMETHODIMP NotifyAllocator(IMemAllocator* allocator, BOOL readOnly) override;
    STDMETHODIMP ReceiveCanBlock() override { return S_FALSE; }

protected:
    HRESULT OnReceive(IMediaSample* sample) override;  // keeps a copy of the bytes

private:
    TestSink* const sink_;
};

class TestSink : public KYR::CBaseFilter, public IAMFilterMiscFlags {
public:
    TestSink();

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        return CBaseFilter::QueryInterface(riid, ppv);
    }
    STDMETHODIMP_(ULONG) AddRef() override { return CBaseFilter::AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return CBaseFilter::Release(); }
    // The graph counts EC_COMPLETE from filters that say they are renderers.
    STDMETHODIMP_(ULONG) GetMiscFlags() override { return AM_FILTER_MISC_FLAGS_IS_RENDERER; }

    int GetPinCount() override { return 1; }
    KYR::CBasePin* GetPin(int index) override { return index == 0 ? &pin_ : nullptr; }
    IPin* InputPin() { return &pin_; }

    // Everything received, in order; read after the graph stopped.
    std::vector<std::vector<BYTE>> samples;
    LONG endOfStreamCount = 0;
    KYR::CMediaType connectedType;

protected:
    HRESULT QueryFilterInterface(REFIID riid, void** ppv) override;

private:
    KYR::CCriticalSection lock_;
    KYR::CCriticalSection receiveLock_;
    TestSinkPin pin_;
    friend class TestSinkPin;
};

}  // namespace kyrtest
