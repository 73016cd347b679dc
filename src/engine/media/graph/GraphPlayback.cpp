#include "engine/media/graph/GraphPlayback.h"

#include <new>

#include "engine/media/dshow/AsyncReader.h"
#include "engine/media/graph/GraphBuildError.h"
#include "engine/media/sound/SoundScales.h"

namespace KYR {
namespace {

constexpr LONGLONG kUnitsPerMs = 10000;  // DirectShow media time is in 100 ns units
// How often the monitor looks at a running stream that has sent no completion.
constexpr DWORD kOverrunCheckMs = 100;

uint64_t NowMs() {
    static const LONGLONG frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f.QuadPart > 0 ? f.QuadPart : 1;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<uint64_t>(now.QuadPart / frequency * 1000 +
                                 now.QuadPart % frequency * 1000 / frequency);
}

template <class I>
RefPtr<I> Query(IUnknown* from, REFIID iid) {
    RefPtr<I> out;
    if (FAILED(from->QueryInterface(iid, reinterpret_cast<void**>(out.Put())))) out.Reset();
    return out;
}

}  // namespace

class CGraphPlayback::StoppingScope {
public:
    explicit StoppingScope(GraphPlaybackHooks* hooks) : hooks_(hooks) {
        hooks_->SetStopping(true);
    }
    ~StoppingScope() { hooks_->SetStopping(false); }
    StoppingScope(const StoppingScope&) = delete;
    StoppingScope& operator=(const StoppingScope&) = delete;

private:
    GraphPlaybackHooks* hooks_;
};

bool CGraphPlayback::Open(IDataStream* stream, const GUID& sourceSubtype, bool loop,
                          uint32_t loopStartMs) {
    KYRAutoLock hold(&lock_);
    if (opened_) return false;
    sourceType_.Clear();
    sourceType_.SetType(MEDIATYPE_Stream);
    sourceType_.SetSubtype(sourceSubtype);
    try {
        if (!stream) throw GraphBuildError{"CDataStreamReader Failed"};
        stream_ = RefPtr<IDataStream>::AddRefOf(stream);
        if (FAILED(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER,
                                    IID_IGraphBuilder, reinterpret_cast<void**>(graph_.Put()))) ||
            !graph_)
            throw GraphBuildError{"FilterGraph CreateInstance Failed"};

        module_ = std::make_shared<CDataStreamModule>(stream);
        HRESULT hr = S_OK;
        RefPtr<IBaseFilter> source;
        auto* reader = new (std::nothrow) CDataStreamReader(module_.get(), &sourceType_, &hr);
        if (!reader) throw GraphBuildError{"CDataStreamReader Failed"};
        // The filter starts at a count of 0: this reference is its first and frees it on
        // every path below.
        reader->QueryInterface(IID_IBaseFilter, reinterpret_cast<void**>(source.Put()));
        if (FAILED(hr) || !source || FAILED(graph_->AddFilter(source.Get(), L"Source")))
            throw GraphBuildError{"CDataStreamReader Failed"};

        {
            // One graph is connected at a time in the process: on Wine two GStreamer parsers
            // connecting at once can both wait for good inside the connection.
            static CCriticalSection buildLock;
            KYRAutoLock building(&buildLock);
            hooks_->BuildGraph(graph_.Get(), source.Get());
        }

        control_ = Query<IMediaControl>(graph_.Get(), IID_IMediaControl);
        seeking_ = Query<IMediaSeeking>(graph_.Get(), IID_IMediaSeeking);
        events_ = Query<IMediaEvent>(graph_.Get(), IID_IMediaEvent);
        audio_ = Query<IBasicAudio>(graph_.Get(), IID_IBasicAudio);
        if (!control_ || !seeking_ || !events_ || !audio_)
            throw GraphBuildError{"FilterGraph QueryInterface Failed"};
        hooks_->OnGraphReady();

        OAEVENT graphHandle = 0;
        HANDLE duplicate = nullptr;
        if (FAILED(events_->GetEventHandle(&graphHandle)) ||
            !DuplicateHandle(GetCurrentProcess(), reinterpret_cast<HANDLE>(graphHandle),
                             GetCurrentProcess(), &duplicate, 0, FALSE, DUPLICATE_SAME_ACCESS))
            throw GraphBuildError{"GetEventHandle Failed"};
        graphEvent_.Reset(duplicate);
        quit_.Reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
        wake_.Reset(CreateEventA(nullptr, FALSE, FALSE, nullptr));
        if (!quit_.Valid() || !wake_.Valid()) throw GraphBuildError{"CreateEvent Failed"};

        LONGLONG duration = 0;
        seeking_->SetTimeFormat(&TIME_FORMAT_MEDIA_TIME);
        if (FAILED(seeking_->GetDuration(&duration)) || duration / kUnitsPerMs <= 0)
            throw GraphBuildError{lengthError_};
        const LONGLONG ms = duration / kUnitsPerMs;
        lengthMs_ = ms > 0xFFFFFFFFLL ? 0xFFFFFFFFu : static_cast<uint32_t>(ms);

        ended_ = false;
        playing_ = false;
        paused_ = false;
        loop_ = loop;
        loopStartMs_ = loopStartMs < lengthMs_ ? loopStartMs : lengthMs_.load();
        thread_.Reset(CreateThread(nullptr, 0, &CGraphPlayback::MonitorThread, this, 0, nullptr));
        if (!thread_.Valid()) throw GraphBuildError{"CreateThread Failed"};
        clock_ = PlaybackClock();
        SeekTo(0);
        audio_->put_Balance(PanToMillibels(0));
        audio_->put_Volume(VolumeToMillibels(100));
        seeking_->SetRate(RateFromPercent(100));
        opened_ = true;
        lastError_ = "";
        return true;
    } catch (const GraphBuildError& failure) {
        lastError_ = failure.text;
    } catch (const std::bad_alloc&) {
        lastError_ = "Out Of Memory";
    }
    ReleaseAll();
    return false;
}

void CGraphPlayback::ReleaseAll() {
    // Only a successful Open leaves a thread behind, and Close has joined it by now.
    thread_.Reset();
    quit_.Reset();
    wake_.Reset();
    graphEvent_.Reset();
    lengthMs_ = 0;
    hooks_->OnReleasing();
    audio_.Reset();
    events_.Reset();
    seeking_.Reset();
    control_.Reset();
    graph_.Reset();   // stops the graph and frees its filters, the source among them
    module_.reset();  // no filter reads through it any more
    stream_.Reset();
    loopStartMs_ = 0;
    loop_ = false;
    ended_ = false;
    playing_ = false;
    paused_ = false;
}

DWORD WINAPI CGraphPlayback::MonitorThread(void* self) {
    static_cast<CGraphPlayback*>(self)->MonitorLoop();
    return 0;
}

void CGraphPlayback::MonitorLoop() {
    const HANDLE handles[3] = {quit_.Get(), graphEvent_.Get(), wake_.Get()};
    for (;;) {
        const DWORD woke = WaitForMultipleObjects(3, handles, FALSE,
                                                  playing_ ? kOverrunCheckMs : INFINITE);
        if (woke == WAIT_OBJECT_0 + 1)
            OnGraphEvents();
        else if (woke == WAIT_TIMEOUT || woke == WAIT_OBJECT_0 + 2)
            CheckOverrun();
        else
            return;
    }
}

void CGraphPlayback::OnGraphEvents() {
    const unsigned epoch = epoch_;
    // The graph's handle stays signalled while notifications are queued: taking them all
    // out is what lets the next wait block until something new happens.
    bool completed = false;
    long code = 0;
    LONG_PTR param1 = 0, param2 = 0;
    while (events_->GetEvent(&code, &param1, &param2, 0) == S_OK) {
        if (code == EC_COMPLETE) completed = true;
        events_->FreeEventParams(code, param1, param2);
    }
    if (!completed) return;
    // Decided and done under the control lock: a Stop between the check and the act would
    // leave the stream ended with nothing to undo it, or seeked away from its start.
    KYRAutoLock hold(&lock_);
    // A completion queued before a Pause, Stop or seek arrives late: it says nothing about
    // the playback the caller has now, even one already playing again.
    if (!playing_ || epoch != epoch_) return;
    OnCompletionLocked();
}

void CGraphPlayback::OnCompletionLocked() {
    ++completions_;
    if (!loop_ || loopStartMs_ >= lengthMs_) {
        ended_ = true;
        clock_.Hold(NowMs());
        clock_.Seek(NowMs(), lengthMs_);
    } else {
        StoppingScope stopping(hooks_);  // the seek waits for the streaming threads
        SeekTo(loopStartMs_);  // the graph is still running and plays on from there
    }
}

void CGraphPlayback::CheckOverrun() {
    KYRAutoLock hold(&lock_);
    if (!opened_ || !playing_ || ended_) return;
    if (clock_.At(NowMs()) < uint64_t{lengthMs_} + kOverrunMs) return;
    // The graph has run past its end and said nothing: it will not (a splitter that stalls
    // after a seek). Treated as the completion it should have sent.
    ++epoch_;  // and one it sends after all is not taken twice
    DiscardQueuedEventsLocked();
    OnCompletionLocked();
}

void CGraphPlayback::DiscardQueuedEventsLocked() {
    long code = 0;
    LONG_PTR param1 = 0, param2 = 0;
    while (events_->GetEvent(&code, &param1, &param2, 0) == S_OK)
        events_->FreeEventParams(code, param1, param2);
}

void CGraphPlayback::SeekTo(uint32_t ms) {
    LONGLONG at = static_cast<LONGLONG>(ms) * kUnitsPerMs;
    seeking_->SetPositions(&at, AM_SEEKING_AbsolutePositioning, nullptr,
                           AM_SEEKING_NoPositioning);
    clock_.Seek(NowMs(), ms);
}

void CGraphPlayback::Play() {
    KYRAutoLock hold(&lock_);
    if (!opened_ || ended_ || playing_) return;
    // Before Run: a renderer that holds the end of the stream already (a stream moved to its
    // end) reports completion inside Run, and the monitor, waiting for this lock, must take
    // it for this playback's.
    paused_ = false;
    playing_ = true;
    clock_.Run(NowMs());
    control_->Run();
    // The monitor waits without a time-out while nothing plays: wake it to watch the end.
    SetEvent(wake_.Get());
}

void CGraphPlayback::Pause() {
    KYRAutoLock hold(&lock_);
    if (!opened_ || !playing_) return;
    playing_ = false;
    paused_ = true;
    ++epoch_;
    StoppingScope stopping(hooks_);
    control_->Stop();
    clock_.Hold(NowMs());
    DiscardQueuedEventsLocked();
}

void CGraphPlayback::Stop() {
    KYRAutoLock hold(&lock_);
    if (!opened_ || (!playing_ && !paused_)) return;
    playing_ = false;
    paused_ = false;
    ++epoch_;
    StoppingScope stopping(hooks_);
    control_->Stop();
    clock_.Hold(NowMs());
    SeekTo(0);
    DiscardQueuedEventsLocked();
    ended_ = false;
}

void CGraphPlayback::Close() {
    KYRAutoLock hold(&lock_);
    // The monitor thread first, so it cannot seek the graph once it has been stopped. It acts
    // under this lock, so the wait for it is made outside, on a copy of its handle (another
    // Close may close the handle meanwhile); without a copy the loop simply looks again.
    while (opened_ && WaitForSingleObject(thread_.Get(), 0) != WAIT_OBJECT_0) {
        SetEvent(quit_.Get());
        HANDLE copy = nullptr;
        DuplicateHandle(GetCurrentProcess(), thread_.Get(), GetCurrentProcess(), &copy,
                        SYNCHRONIZE, FALSE, 0);
        ScopedHandle monitor(copy);
        lock_.Leave();
        if (monitor.Valid()) WaitForSingleObject(monitor.Get(), INFINITE);
        lock_.Enter();
    }
    if (!opened_) return;
    // The graph's stop below waits for the streaming threads: renderers give way.
    StoppingScope stopping(hooks_);
    playing_ = false;
    paused_ = false;
    control_->Stop();
    opened_ = false;
    ReleaseAll();
}

uint32_t CGraphPlayback::GetPosition() {
    KYRAutoLock hold(&lock_);
    if (!opened_) return 0;
    const uint64_t at = clock_.At(NowMs());
    return at < lengthMs_ ? static_cast<uint32_t>(at) : lengthMs_.load();
}

void CGraphPlayback::SetPosition(uint32_t ms) {
    KYRAutoLock hold(&lock_);
    if (!opened_) return;
    ++epoch_;
    StoppingScope stopping(hooks_);
    // Beyond the end is the end: the graph refuses such a seek and would stay where it was.
    SeekTo(ms < lengthMs_ ? ms : lengthMs_.load());
    DiscardQueuedEventsLocked();
}

int32_t CGraphPlayback::GetVolume() {
    KYRAutoLock hold(&lock_);
    long millibels = 0;
    if (!opened_ || FAILED(audio_->get_Volume(&millibels))) return 0;
    return VolumeFromMillibels(millibels);
}

void CGraphPlayback::SetVolume(int32_t volume) {
    KYRAutoLock hold(&lock_);
    if (opened_) audio_->put_Volume(VolumeToMillibels(volume));
}

int32_t CGraphPlayback::GetBalance() {
    KYRAutoLock hold(&lock_);
    long millibels = 0;
    if (!opened_ || FAILED(audio_->get_Balance(&millibels))) return 0;
    return PanFromMillibels(millibels);
}

void CGraphPlayback::SetBalance(int32_t balance) {
    KYRAutoLock hold(&lock_);
    if (opened_) audio_->put_Balance(PanToMillibels(balance));
}

int32_t CGraphPlayback::GetRate() {
    KYRAutoLock hold(&lock_);
    double rate = 0;
    if (!opened_ || FAILED(seeking_->GetRate(&rate))) return 0;
    return PercentFromRate(rate);
}

void CGraphPlayback::SetRate(int32_t percent) {
    KYRAutoLock hold(&lock_);
    if (!opened_) return;
    const double rate = RateFromPercent(percent);
    if (SUCCEEDED(seeking_->SetRate(rate))) clock_.SetRate(NowMs(), rate);
}

void CGraphPlayback::SetLoopStart(uint32_t ms) {
    if (!opened_) return;
    const uint32_t length = lengthMs_;
    loopStartMs_ = ms < length ? ms : length;
}

PlaybackState CGraphPlayback::GetState() {
    if (!opened_) return PlaybackState::kClosed;
    if (ended_) return PlaybackState::kEnded;
    if (paused_) return PlaybackState::kPaused;
    if (playing_) return PlaybackState::kPlaying;
    return PlaybackState::kStopped;
}

}  // namespace KYR
