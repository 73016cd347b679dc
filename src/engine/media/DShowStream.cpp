#include "engine/media/DShowStream.h"

#include <new>
#include <utility>

#include "engine/media/DShowAudioGraph.h"
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

}  // namespace

CDShowStream::CDShowStream(const char* typeName) : typeName_(typeName ? typeName : "") {}

CDShowStream::~CDShowStream() { Close(); }

bool CDShowStream::Open(IDataStream* stream, bool looping, uint32_t loopPositionMs) {
    KYRAutoLock hold(&lock_);
    if (open_) return false;
    const std::string lower = LowerTypeName(typeName_.c_str());
    const MediaKind kind = KindOfTypeName(lower);
    sourceType_.Clear();
    sourceType_.SetType(MEDIATYPE_Stream);
    sourceType_.SetSubtype(kind == MediaKind::kMidi   ? MEDIATYPE_Midi
                           : kind == MediaKind::kWave ? MEDIASUBTYPE_WAVE
                                                      : GUID_NULL);
    try {
        if (!stream) throw GraphBuildError{"CDataStreamReader Failed"};
        stream_ = RefPtr<IDataStream>::AddRefOf(stream);
        if (FAILED(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER,
                                    IID_IFilterGraph, reinterpret_cast<void**>(graph_.Put()))) ||
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

        BuildAudioGraph(graph_.Get(), source.Get(), kind);

        control_ = Query<IMediaControl>(graph_.Get(), IID_IMediaControl);
        seeking_ = Query<IMediaSeeking>(graph_.Get(), IID_IMediaSeeking);
        events_ = Query<IMediaEvent>(graph_.Get(), IID_IMediaEvent);
        audio_ = Query<IBasicAudio>(graph_.Get(), IID_IBasicAudio);
        if (!control_ || !seeking_ || !events_ || !audio_)
            throw GraphBuildError{"FilterGraph QueryInterface Failed"};

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
            throw GraphBuildError{"Audio Length Invalid"};
        const LONGLONG ms = duration / kUnitsPerMs;
        lengthMs_ = ms > 0xFFFFFFFFLL ? 0xFFFFFFFFu : static_cast<uint32_t>(ms);

        ended_ = false;
        playing_ = false;
        paused_ = false;
        looping_ = looping;
        loopMs_ = loopPositionMs < lengthMs_ ? loopPositionMs : lengthMs_.load();
        thread_.Reset(CreateThread(nullptr, 0, &CDShowStream::MonitorThread, this, 0, nullptr));
        if (!thread_.Valid()) throw GraphBuildError{"CreateThread Failed"};
        SeekTo(0);
        audio_->put_Balance(PanToMillibels(0));
        audio_->put_Volume(VolumeToMillibels(100));
        seeking_->SetRate(1.0);
        open_ = true;
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

void CDShowStream::ReleaseAll() {
    // Only a successful Open leaves a thread behind, and Close has joined it by now.
    thread_.Reset();
    quit_.Reset();
    graphEvent_.Reset();
    audio_.Reset();
    events_.Reset();
    seeking_.Reset();
    control_.Reset();
    graph_.Reset();   // stops the graph and frees its filters, the source among them
    module_.reset();  // no filter reads through it any more
    stream_.Reset();
    lengthMs_ = 0;
    loopMs_ = 0;
    looping_ = false;
    ended_ = false;
    playing_ = false;
    paused_ = false;
}

DWORD WINAPI CDShowStream::MonitorThread(void* self) {
    static_cast<CDShowStream*>(self)->MonitorLoop();
    return 0;
}

void CDShowStream::MonitorLoop() {
    const HANDLE handles[2] = {quit_.Get(), graphEvent_.Get()};
    while (WaitForMultipleObjects(2, handles, FALSE, INFINITE) == WAIT_OBJECT_0 + 1)
        OnGraphEvents();
}

void CDShowStream::OnGraphEvents() {
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
    if (!looping_ || loopMs_ >= lengthMs_)
        ended_ = true;
    else
        SeekTo(loopMs_);  // the graph is still running and plays on from there
}

void CDShowStream::SeekTo(uint32_t ms) {
    LONGLONG at = static_cast<LONGLONG>(ms) * kUnitsPerMs;
    seeking_->SetPositions(&at, AM_SEEKING_AbsolutePositioning, nullptr,
                           AM_SEEKING_NoPositioning);
}

void CDShowStream::Play() {
    KYRAutoLock hold(&lock_);
    if (!open_ || ended_ || playing_) return;
    control_->Run();
    paused_ = false;
    playing_ = true;
}

void CDShowStream::Pause() {
    KYRAutoLock hold(&lock_);
    if (!open_ || !playing_) return;
    playing_ = false;
    paused_ = true;
    control_->Stop();
}

void CDShowStream::Stop() {
    KYRAutoLock hold(&lock_);
    if (!open_ || (!playing_ && !paused_)) return;
    playing_ = false;
    paused_ = false;
    control_->Stop();
    SeekTo(0);
    ended_ = false;
}

void CDShowStream::Close() {
    KYRAutoLock hold(&lock_);
    if (!open_) return;
    // The monitor thread first, so it cannot seek the graph once it has been stopped; it
    // never takes the lock, so waiting for it here is safe.
    SetEvent(quit_.Get());
    WaitForSingleObject(thread_.Get(), INFINITE);
    control_->Stop();
    open_ = false;
    ReleaseAll();
}

uint32_t CDShowStream::GetLength() { return open_ ? lengthMs_.load() : 0; }

uint32_t CDShowStream::GetPosition() {
    KYRAutoLock hold(&lock_);
    LONGLONG current = 0, stop = 0;
    if (!open_ || FAILED(seeking_->GetPositions(&current, &stop)) || current < 0) return 0;
    return static_cast<uint32_t>(current / kUnitsPerMs);
}

void CDShowStream::SetPosition(uint32_t ms) {
    KYRAutoLock hold(&lock_);
    if (open_) SeekTo(ms);
}

int32_t CDShowStream::GetVolume() {
    KYRAutoLock hold(&lock_);
    long millibels = 0;
    if (!open_ || FAILED(audio_->get_Volume(&millibels))) return 0;
    return VolumeFromMillibels(millibels);
}

void CDShowStream::SetVolume(int32_t volume) {
    KYRAutoLock hold(&lock_);
    if (open_) audio_->put_Volume(VolumeToMillibels(volume));
}

int32_t CDShowStream::GetPan() {
    KYRAutoLock hold(&lock_);
    long millibels = 0;
    if (!open_ || FAILED(audio_->get_Balance(&millibels))) return 0;
    return PanFromMillibels(millibels);
}

void CDShowStream::SetPan(int32_t pan) {
    KYRAutoLock hold(&lock_);
    if (open_) audio_->put_Balance(PanToMillibels(pan));
}

int32_t CDShowStream::GetSpeed() {
    KYRAutoLock hold(&lock_);
    double rate = 0;
    if (!open_ || FAILED(seeking_->GetRate(&rate))) return 0;
    return PercentFromRate(rate);
}

void CDShowStream::SetSpeed(int32_t percent) {
    KYRAutoLock hold(&lock_);
    if (open_) seeking_->SetRate(RateFromPercent(percent));
}

void CDShowStream::SetLoopPosition(uint32_t ms) {
    const uint32_t length = lengthMs_;
    loopMs_ = ms < length ? ms : length;
}

int32_t CDShowStream::GetStatus() {
    if (!open_) return kStreamClosed;
    if (ended_) return kStreamEnded;
    if (paused_) return kStreamPaused;
    if (playing_) return kStreamPlaying;
    return kStreamStopped;
}

}  // namespace KYR
