#include "engine/media/VideoPlayback.h"

#include <new>
#include <string>

#include "engine/graphics/ID3DVideo.h"
#include "engine/media/GraphBuildError.h"
#include "engine/media/MediaTypeName.h"
#include "engine/media/SoundScales.h"
#include "engine/media/dshow/AsyncReader.h"

namespace KYR {
namespace {

constexpr LONGLONG kUnitsPerMs = 10000;  // DirectShow media time is in 100 ns units

template <class I>
RefPtr<I> Query(IUnknown* from, REFIID iid) {
    RefPtr<I> out;
    if (FAILED(from->QueryInterface(iid, reinterpret_cast<void**>(out.Put())))) out.Reset();
    return out;
}

VideoContainer ContainerOf(const char* format) {
    const std::string lower = LowerTypeName(format);
    if (lower == "avi") return VideoContainer::kAvi;
    if (lower == "mpg" || lower == "mpeg") return VideoContainer::kMpeg1;
    return VideoContainer::kOther;
}

}  // namespace

class CVideoPlayback::StoppingScope {
public:
    explicit StoppingScope(VideoRendererSide* side) : side_(side) { side_->SetStopping(true); }
    ~StoppingScope() { side_->SetStopping(false); }
    StoppingScope(const StoppingScope&) = delete;
    StoppingScope& operator=(const StoppingScope&) = delete;

private:
    VideoRendererSide* side_;
};

bool CVideoPlayback::Open(IDataStream* stream, const char* format, bool loop,
                          uint32_t loopStartMs, IBaseFilter* filter) {
    KYRAutoLock hold(&lock_);
    if (opened_) return false;
    const VideoContainer container = ContainerOf(format);
    sourceType_.Clear();
    sourceType_.SetType(MEDIATYPE_Stream);
    sourceType_.SetSubtype(container == VideoContainer::kAvi ? MEDIASUBTYPE_Avi : GUID_NULL);
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

        renderer_ = side_->AddRenderer(graph_.Get());
        BuildVideoGraph(graph_.Get(), source.Get(), container, renderer_.Get(), filter, side_);

        control_ = Query<IMediaControl>(graph_.Get(), IID_IMediaControl);
        seeking_ = Query<IMediaSeeking>(graph_.Get(), IID_IMediaSeeking);
        events_ = Query<IMediaEvent>(graph_.Get(), IID_IMediaEvent);
        audio_ = Query<IBasicAudio>(graph_.Get(), IID_IBasicAudio);
        if (!control_ || !seeking_ || !events_ || !audio_)
            throw GraphBuildError{"FilterGraph QueryInterface Failed"};
        side_->OnGraphReady(graph_.Get());

        OAEVENT graphHandle = 0;
        HANDLE duplicate = nullptr;
        if (FAILED(events_->GetEventHandle(&graphHandle)) ||
            !DuplicateHandle(GetCurrentProcess(), reinterpret_cast<HANDLE>(graphHandle),
                             GetCurrentProcess(), &duplicate, 0, FALSE, DUPLICATE_SAME_ACCESS))
            throw GraphBuildError{"GetEventHandle Failed"};
        graphEvent_.Reset(duplicate);
        quit_.Reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
        if (!quit_.Valid()) throw GraphBuildError{"CreateEvent Failed"};

        LONGLONG duration = 0;
        seeking_->SetTimeFormat(&TIME_FORMAT_MEDIA_TIME);
        if (FAILED(seeking_->GetDuration(&duration)) || duration / kUnitsPerMs <= 0)
            throw GraphBuildError{"Video Length Invalid"};
        const LONGLONG ms = duration / kUnitsPerMs;
        lengthMs_ = ms > 0xFFFFFFFFLL ? 0xFFFFFFFFu : static_cast<uint32_t>(ms);

        ended_ = false;
        playing_ = false;
        paused_ = false;
        thread_.Reset(CreateThread(nullptr, 0, &CVideoPlayback::MonitorThread, this, 0, nullptr));
        if (!thread_.Valid()) throw GraphBuildError{"CreateThread Failed"};
        SeekTo(0);
        loop_ = loop;
        loopStartMs_ = loopStartMs < lengthMs_ ? loopStartMs : lengthMs_.load();
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

void CVideoPlayback::ReleaseAll() {
    // Only a successful Open leaves a thread behind, and Close has joined it by now.
    thread_.Reset();
    quit_.Reset();
    graphEvent_.Reset();
    lengthMs_ = 0;
    side_->OnRendererReleased();
    renderer_.Reset();
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

DWORD WINAPI CVideoPlayback::MonitorThread(void* self) {
    static_cast<CVideoPlayback*>(self)->MonitorLoop();
    return 0;
}

void CVideoPlayback::MonitorLoop() {
    const HANDLE handles[2] = {quit_.Get(), graphEvent_.Get()};
    while (WaitForMultipleObjects(2, handles, FALSE, INFINITE) == WAIT_OBJECT_0 + 1)
        OnGraphEvents();
}

void CVideoPlayback::OnGraphEvents() {
    // The graph's handle stays signalled while notifications are queued: taking them all
    // out is what lets the next wait block until something new happens.
    bool completed = false;
    long code = 0;
    LONG_PTR param1 = 0, param2 = 0;
    while (events_->GetEvent(&code, &param1, &param2, 0) == S_OK) {
        if (code == EC_COMPLETE) completed = true;
        events_->FreeEventParams(code, param1, param2);
    }
    // A completion queued before a Pause or Stop arrives late: it says nothing about the
    // playback the caller has now.
    if (!completed || !playing_) return;
    ++completions_;
    if (!loop_ || loopStartMs_ >= lengthMs_)
        ended_ = true;
    else
        SeekTo(loopStartMs_);  // the graph is still running and plays on from there
}

void CVideoPlayback::SeekTo(uint32_t ms) {
    LONGLONG at = static_cast<LONGLONG>(ms) * kUnitsPerMs;
    seeking_->SetPositions(&at, AM_SEEKING_AbsolutePositioning, nullptr,
                           AM_SEEKING_NoPositioning);
}

void CVideoPlayback::Play() {
    KYRAutoLock hold(&lock_);
    if (!opened_ || ended_ || playing_) return;
    control_->Run();
    paused_ = false;
    playing_ = true;
}

void CVideoPlayback::Pause() {
    KYRAutoLock hold(&lock_);
    if (!opened_ || !playing_) return;
    playing_ = false;
    paused_ = true;
    StoppingScope stopping(side_);
    control_->Stop();
}

void CVideoPlayback::Stop() {
    KYRAutoLock hold(&lock_);
    if (!opened_ || (!playing_ && !paused_)) return;
    playing_ = false;
    paused_ = false;
    StoppingScope stopping(side_);
    control_->Stop();
    SeekTo(0);
    ended_ = false;
}

void CVideoPlayback::Close() {
    KYRAutoLock hold(&lock_);
    if (!opened_) return;
    // Frames are dropped from here on: the monitor thread may be seeking, and the graph's
    // stop below waits for the streaming thread.
    StoppingScope stopping(side_);
    playing_ = false;
    paused_ = false;
    // The monitor thread first, so it cannot seek the graph once it has been stopped; it
    // never takes the lock, so waiting for it here is safe.
    SetEvent(quit_.Get());
    WaitForSingleObject(thread_.Get(), INFINITE);
    control_->Stop();
    opened_ = false;
    ReleaseAll();
}

uint32_t CVideoPlayback::GetPosition() {
    KYRAutoLock hold(&lock_);
    LONGLONG current = 0, stop = 0;
    if (!opened_ || FAILED(seeking_->GetPositions(&current, &stop)) || current < 0) return 0;
    const LONGLONG ms = current / kUnitsPerMs;
    return ms > 0xFFFFFFFFLL ? 0xFFFFFFFFu : static_cast<uint32_t>(ms);
}

void CVideoPlayback::SetPosition(uint32_t ms) {
    KYRAutoLock hold(&lock_);
    if (!opened_) return;
    StoppingScope stopping(side_);
    SeekTo(ms);
}

int32_t CVideoPlayback::GetVolume() {
    KYRAutoLock hold(&lock_);
    long millibels = 0;
    if (!opened_ || FAILED(audio_->get_Volume(&millibels))) return 0;
    return VolumeFromMillibels(millibels);
}

void CVideoPlayback::SetVolume(int32_t volume) {
    KYRAutoLock hold(&lock_);
    if (opened_) audio_->put_Volume(VolumeToMillibels(volume));
}

int32_t CVideoPlayback::GetBalance() {
    KYRAutoLock hold(&lock_);
    long millibels = 0;
    if (!opened_ || FAILED(audio_->get_Balance(&millibels))) return 0;
    return PanFromMillibels(millibels);
}

void CVideoPlayback::SetBalance(int32_t balance) {
    KYRAutoLock hold(&lock_);
    if (opened_) audio_->put_Balance(PanToMillibels(balance));
}

int32_t CVideoPlayback::GetRate() {
    KYRAutoLock hold(&lock_);
    double rate = 0;
    if (!opened_ || FAILED(seeking_->GetRate(&rate))) return 0;
    return PercentFromRate(rate);
}

void CVideoPlayback::SetRate(int32_t percent) {
    KYRAutoLock hold(&lock_);
    if (opened_) seeking_->SetRate(RateFromPercent(percent));
}

void CVideoPlayback::SetLoopStart(uint32_t ms) {
    if (!opened_) return;
    const uint32_t length = lengthMs_;
    loopStartMs_ = ms < length ? ms : length;
}

int32_t CVideoPlayback::GetState() {
    if (!opened_) return kVideoClosed;
    if (ended_) return kVideoEnded;
    if (paused_) return kVideoPaused;
    if (playing_) return kVideoPlaying;
    return kVideoStopped;
}

float CVideoPlayback::GetFrameRate() {
    KYRAutoLock hold(&lock_);
    if (!opened_ || !renderer_) return 0;
    RefPtr<IQualProp> quality;
    int rate = 0;
    if (FAILED(renderer_->QueryInterface(IID_IQualProp, reinterpret_cast<void**>(quality.Put()))) ||
        FAILED(quality->get_AvgFrameRate(&rate)))
        return 0;
    return static_cast<float>(rate / 100.0);
}

}  // namespace KYR
