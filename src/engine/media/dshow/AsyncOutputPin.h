// CAsyncOutputPin: the stream source filter's one output pin. It serves IAsyncReader, so a
// parser downstream pulls bytes from it instead of being pushed samples.
//
// The pin only connects to a peer that asked it for IAsyncReader during the connection: a
// push-mode input pin would connect and then wait for samples that never come.
//
// IPin and IAsyncReader both name BeginFlush and EndFlush; one method serves both. An
// output pin is never flushed through IPin (flushes travel downstream), so they are
// IAsyncReader's flush of the request engine.
#pragma once

#include <windows.h>

#include <strmif.h>

#include "engine/media/dshow/AsyncIo.h"
#include "engine/media/dshow/BasePin.h"

namespace KYR {

class CAsyncReader;

// How often each IAsyncReader method was called, so a caller can see which path a
// downstream parser takes (pull through the queue, or synchronous reads).
struct AsyncReaderCalls {
    volatile LONG requestAllocator = 0, request = 0, waitForNext = 0, syncReadAligned = 0,
                  syncRead = 0, length = 0, beginFlush = 0, endFlush = 0;
};

class CAsyncOutputPin : public IAsyncReader, public CBasePin {
public:
    CAsyncOutputPin(HRESULT* hr, CAsyncReader* reader, CAsyncIo* io, CCriticalSection* lock);

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        return CBasePin::QueryInterface(riid, ppv);
    }
    STDMETHODIMP_(ULONG) AddRef() override { return CBasePin::AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return CBasePin::Release(); }

    // "Out", the id FindPin knows; the display name stays "Source Output".
    STDMETHODIMP QueryId(LPWSTR* id) override;

    HRESULT GetMediaType(int position, CMediaType* mt) override;
    HRESULT CheckMediaType(const CMediaType* mt) override;
    HRESULT CheckConnect(IPin* pin) override;
    HRESULT CompleteConnect(IPin* receivePin) override;
    HRESULT BreakConnect() override;

    // IAsyncReader
    STDMETHODIMP RequestAllocator(IMemAllocator* preferred, ALLOCATOR_PROPERTIES* props,
                                  IMemAllocator** actual) override;
    STDMETHODIMP Request(IMediaSample* sample, DWORD_PTR user) override;
    STDMETHODIMP WaitForNext(DWORD timeoutMs, IMediaSample** sample, DWORD_PTR* user) override;
    STDMETHODIMP SyncReadAligned(IMediaSample* sample) override;
    STDMETHODIMP SyncRead(LONGLONG position, LONG length, BYTE* buffer) override;
    STDMETHODIMP Length(LONGLONG* total, LONGLONG* available) override;
    STDMETHODIMP BeginFlush() override;
    STDMETHODIMP EndFlush() override;

    const AsyncReaderCalls& Calls() const { return calls_; }

protected:
    HRESULT QueryPinInterface(REFIID riid, void** ppv) override;

private:
    // The byte range a sample's times ask for, cut at the end of the stream (its stop time
    // then moves to the end) and checked against the sample's buffer.
    HRESULT SampleRange(IMediaSample* sample, LONGLONG* position, LONG* length, BYTE** buffer);
    HRESULT TryAllocator(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props);

    CAsyncReader* const reader_;
    CAsyncIo* const io_;
    volatile LONG queried_ = 0;  // set when the peer asked for IAsyncReader
    AsyncReaderCalls calls_;
};

}  // namespace KYR
