#include "engine/media/dshow/BaseVideoRenderer.h"

#include <evcode.h>
#include <uuids.h>

#include "engine/core/RefPtr.h"

namespace KYR {
CBaseVideoRenderer::CBaseVideoRenderer(const wchar_t* name, const CLSID& clsid)
    : CBaseFilter(name, &filterLock_, clsid),
      abort_(CreateEventA(nullptr, TRUE, TRUE, nullptr)),
      running_(CreateEventA(nullptr, TRUE, FALSE, nullptr)),
      advise_(CreateEventA(nullptr, FALSE, FALSE, nullptr)),
      pin_(this, &filterLock_) {}

CBaseVideoRenderer::~CBaseVideoRenderer() = default;

HRESULT CBaseVideoRenderer::QueryFilterInterface(REFIID riid, void** ppv) {
    static const ComInterfaceEntry table[] = {
        KYR_COM_ENTRY(CBaseVideoRenderer, IMediaSeeking),
        KYR_COM_ENTRY(CBaseVideoRenderer, IQualProp),
        KYR_COM_ENTRY(CBaseVideoRenderer, IAMFilterMiscFlags),
        KYR_COM_END,
    };
    const HRESULT hr = QueryInterfaceFromTable(this, table, riid, ppv);
    return SUCCEEDED(hr) ? hr : CBaseFilter::QueryFilterInterface(riid, ppv);
}

void CBaseVideoRenderer::UpdateAbortLocked() {
    if (stopped_ || flushing_ || requested_)
        SetEvent(abort_.Get());
    else
        ResetEvent(abort_.Get());
}

bool CBaseVideoRenderer::OnlyRequested() {
    KYRAutoLock hold(&stateLock_);
    return requested_ && !stopped_ && !flushing_;
}

void CBaseVideoRenderer::SendCompleteLocked() {
    if (completeSent_) return;
    completeSent_ = true;
    NotifyEvent(EC_COMPLETE, S_OK, 0);
}

void CBaseVideoRenderer::SetAbortRequest(bool on) {
    KYRAutoLock hold(&stateLock_);
    requested_ = on;
    UpdateAbortLocked();
}

STDMETHODIMP CBaseVideoRenderer::Stop() {
    {
        KYRAutoLock hold(&stateLock_);
        stopped_ = true;
        endOfStream_ = false;
        completeSent_ = false;
        ResetEvent(running_.Get());
        UpdateAbortLocked();
    }
    return CBaseFilter::Stop();
}

STDMETHODIMP CBaseVideoRenderer::Pause() {
    const HRESULT hr = CBaseFilter::Pause();
    if (FAILED(hr)) return hr;
    KYRAutoLock hold(&stateLock_);
    stopped_ = false;
    ResetEvent(running_.Get());
    UpdateAbortLocked();
    return hr;
}

STDMETHODIMP CBaseVideoRenderer::Run(REFERENCE_TIME start) {
    const HRESULT hr = CBaseFilter::Run(start);
    if (FAILED(hr)) return hr;
    KYRAutoLock hold(&stateLock_);
    stopped_ = false;
    UpdateAbortLocked();
    runTick_ = GetTickCount();
    drawnAtRun_ = drawn_.load();
    SetEvent(running_.Get());
    // Nothing will arrive through an unconnected pin, and an end of stream that came while
    // paused was kept for now: either way the graph must hear that this renderer is done.
    if (!pin_.IsConnected() || endOfStream_) SendCompleteLocked();
    return hr;
}

HRESULT CBaseVideoRenderer::OnEndOfStream() {
    KYRAutoLock hold(&stateLock_);
    if (stopped_ || flushing_) return S_OK;
    endOfStream_ = true;
    // Samples are drawn on the thread that delivers the end of stream, so every sample
    // before it has been shown by now.
    if (WaitForSingleObject(running_.Get(), 0) == WAIT_OBJECT_0) SendCompleteLocked();
    return S_OK;
}

void CBaseVideoRenderer::OnFlush(bool begin) {
    KYRAutoLock hold(&stateLock_);
    flushing_ = begin;
    if (begin) {
        // After a seek the stream plays to its end once more.
        endOfStream_ = false;
        completeSent_ = false;
    }
    UpdateAbortLocked();
}

bool CBaseVideoRenderer::WaitForSampleTime(IMediaSample* sample) {
    RefPtr<IReferenceClock> clock;
    GetSyncSource(clock.Put());
    REFERENCE_TIME start = 0, stop = 0;
    // Without a clock or a time stamp the sample is due now.
    if (!clock || FAILED(sample->GetTime(&start, &stop))) return true;
    DWORD_PTR cookie = 0;
    ResetEvent(advise_.Get());  // a signal that came after an earlier sample was dropped
    if (FAILED(clock->AdviseTime(StreamStart(), start,
                                 reinterpret_cast<HEVENT>(advise_.Get()), &cookie)))
        return true;
    const HANDLE waits[2] = {abort_.Get(), advise_.Get()};
    const DWORD woke = WaitForMultipleObjects(2, waits, FALSE, INFINITE);
    clock->Unadvise(cookie);  // nothing to cancel once it fired
    return woke == WAIT_OBJECT_0 + 1;
}

HRESULT CBaseVideoRenderer::Receive(IMediaSample* sample) {
    {
        KYRAutoLock hold(&stateLock_);
        if (stopped_) return VFW_E_WRONG_STATE;
        if (flushing_) return S_FALSE;
        if (endOfStream_) return VFW_E_SAMPLE_REJECTED_EOS;
    }
    KYRAutoLock render(&renderLock_);
    // A sample may bring a new type (the format changed upstream); it replaces the old one.
    AM_MEDIA_TYPE* raw = nullptr;
    if (sample->GetMediaType(&raw) == S_OK && raw) {
        pendingType_ = CMediaType(*raw);
        typePending_ = true;
        DeleteMediaType(raw);
    }
    if (typePending_) {
        if (!pendingType_.IsValid() || CheckMediaType(&pendingType_) != S_OK ||
            FAILED(SetMediaType(&pendingType_))) {
            ++dropped_;
            // Under the owner's request the renderer could not wait for what the type
            // needs: the next sample tries again. Otherwise the type is refused.
            if (OnlyRequested()) return S_OK;
            typePending_ = false;
            return VFW_E_TYPE_NOT_ACCEPTED;
        }
        typePending_ = false;
    }
    // Samples delivered while paused wait for Run; a stop or flush drops them.
    const HANDLE waits[2] = {abort_.Get(), running_.Get()};
    if (WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0 + 1 ||
        !WaitForSampleTime(sample)) {
        ++dropped_;
        return OnlyRequested() ? S_OK : S_FALSE;
    }
    if (SUCCEEDED(DoRenderSample(sample)))
        ++drawn_;
    else
        ++dropped_;
    return S_OK;
}

STDMETHODIMP CBaseVideoRenderer::get_FramesDroppedInRenderer(int* frames) {
    if (!frames) return E_POINTER;
    *frames = static_cast<int>(dropped_.load());
    return S_OK;
}

STDMETHODIMP CBaseVideoRenderer::get_FramesDrawn(int* frames) {
    if (!frames) return E_POINTER;
    *frames = static_cast<int>(drawn_.load());
    return S_OK;
}

STDMETHODIMP CBaseVideoRenderer::get_AvgFrameRate(int* rate) {
    if (!rate) return E_POINTER;
    *rate = 0;
    if (WaitForSingleObject(running_.Get(), 0) != WAIT_OBJECT_0) return S_OK;
    const DWORD elapsed = GetTickCount() - runTick_.load();
    if (elapsed == 0) return S_OK;
    const double frames = static_cast<double>(drawn_.load() - drawnAtRun_.load());
    *rate = static_cast<int>(frames * 100.0 * 1000.0 / elapsed);
    return S_OK;
}

// Frames are shown when due, not measured against when they were due.
STDMETHODIMP CBaseVideoRenderer::get_Jitter(int* jitter) {
    if (!jitter) return E_POINTER;
    *jitter = 0;
    return S_OK;
}

STDMETHODIMP CBaseVideoRenderer::get_AvgSyncOffset(int* offset) {
    if (!offset) return E_POINTER;
    *offset = 0;
    return S_OK;
}

STDMETHODIMP CBaseVideoRenderer::get_DevSyncOffset(int* offset) {
    if (!offset) return E_POINTER;
    *offset = 0;
    return S_OK;
}

}  // namespace KYR
