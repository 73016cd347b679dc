// CBaseVideoRenderer: the engine's base for video renderer filters. One input pin; each
// sample waits until its start time on the graph's reference clock (from the stream start
// given to Run) and then goes to DoRenderSample on the upstream streaming thread. End of
// stream is reported to the graph as EC_COMPLETE once the filter runs, and seeking is
// passed upstream. IQualProp reports what was drawn and dropped.
//
// Every wait a sample makes (for Run, for its time, for anything DoRenderSample waits for) ends
// at once when the filter stops or flushes, or when the owner asks for it with
// SetAbortRequest: the graph's Stop, Pause and seeks wait for the streaming thread, so
// that thread must never wait on something the caller of those may be holding. A sample
// cut short by the owner's request alone is dropped but answered S_OK: upstream filters
// stop sending after S_FALSE or a refused type, and a seek runs the graph again before the
// request ends, so those answers would freeze the movie at its new position.
#pragma once

#include <windows.h>

#include <strmif.h>
#include <amvideo.h>

#include <atomic>

#include "engine/core/CriticalSection.h"
#include "engine/core/ScopedHandle.h"
#include "engine/media/dshow/BaseFilter.h"
#include "engine/media/dshow/RendererInputPin.h"
#include "engine/media/dshow/SeekingPassThru.h"

namespace KYR {

class CBaseVideoRenderer : public CBaseFilter,
                           public CSeekingPassThru,
                           public IQualProp,
                           public IAMFilterMiscFlags {
public:
    CBaseVideoRenderer(const wchar_t* name, const CLSID& clsid);
    ~CBaseVideoRenderer() override;

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        return CBaseFilter::QueryInterface(riid, ppv);
    }
    STDMETHODIMP_(ULONG) AddRef() override { return CBaseFilter::AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return CBaseFilter::Release(); }

    STDMETHODIMP Stop() override;
    STDMETHODIMP Pause() override;
    STDMETHODIMP Run(REFERENCE_TIME start) override;

    int GetPinCount() override { return 1; }
    CBasePin* GetPin(int index) override { return index == 0 ? &pin_ : nullptr; }

    // IQualProp. The frame rate is in frames per second times 100, since the last Run.
    STDMETHODIMP get_FramesDroppedInRenderer(int* frames) override;
    STDMETHODIMP get_FramesDrawn(int* frames) override;
    STDMETHODIMP get_AvgFrameRate(int* rate) override;
    STDMETHODIMP get_Jitter(int* jitter) override;
    STDMETHODIMP get_AvgSyncOffset(int* offset) override;
    STDMETHODIMP get_DevSyncOffset(int* offset) override;
    // The graph counts EC_COMPLETE only from filters that say they are renderers.
    STDMETHODIMP_(ULONG) GetMiscFlags() override { return AM_FILTER_MISC_FLAGS_IS_RENDERER; }

    // While on, samples are dropped instead of waiting (see above). The owner turns it on
    // before it calls into the graph from a thread that may hold a lock DoRenderSample takes.
    void SetAbortRequest(bool on);

    // The concrete renderer's part. CheckMediaType returns S_OK for a type it takes;
    // SetMediaType runs when a connection or a sample brings a type; DoRenderSample shows
    // one sample (a failure counts the frame as dropped).
    virtual HRESULT CheckMediaType(const CMediaType* mt) = 0;
    virtual HRESULT SetMediaType(const CMediaType* mt) = 0;
    virtual HRESULT DoRenderSample(IMediaSample* sample) = 0;
    virtual void OnBreakConnect() {}

protected:
    HRESULT QueryFilterInterface(REFIID riid, void** ppv) override;
    IPin* SeekingInputTemp() override { return &pin_; }

private:
    friend class CRendererInputPin;
    HRESULT Receive(IMediaSample* sample);
    HRESULT OnEndOfStream();
    void OnFlush(bool begin);
    bool WaitForSampleTime(IMediaSample* sample);
    void UpdateAbortLocked();
    // Only the owner's request aborts waits now: not stopped, not flushing.
    bool OnlyRequested();
    void SendCompleteLocked();

    CCriticalSection filterLock_;
    CCriticalSection stateLock_;   // the flags and events below among themselves
    CCriticalSection renderLock_;  // one sample (or type change) at a time
    ScopedHandle abort_;           // manual reset: set while stopped, flushing or requested
    ScopedHandle running_;         // manual reset: set while running
    ScopedHandle advise_;          // auto reset: the clock's signal for one sample
    bool stopped_ = true;
    bool flushing_ = false;
    bool requested_ = false;
    bool endOfStream_ = false;
    bool completeSent_ = false;
    // A type a sample brought that could not be taken while the owner's request was on; it
    // is taken with the next sample (under renderLock_).
    CMediaType pendingType_;
    bool typePending_ = false;
    std::atomic<long> drawn_{0};
    std::atomic<long> dropped_{0};
    std::atomic<long> drawnAtRun_{0};
    std::atomic<DWORD> runTick_{0};
    CRendererInputPin pin_;
};

}  // namespace KYR
