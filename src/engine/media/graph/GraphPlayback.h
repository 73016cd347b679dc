// CGraphPlayback: a filter graph that plays a data stream, as the sound and video players
// both run one: opening it around the stream source, the playback controls, and the monitor
// thread that loops or ends the playback when the graph reports completion. What sits
// behind the source (parsers, decoders, renderers) is the owner's, through its hooks.
//
// Release order matters: the source filter reads through the stream module on its worker
// thread, and the module reads the data stream. So the graph goes first, then the module,
// then the stream, on Close and on every failed Open.
#pragma once

#include <windows.h>

#include <dshow.h>

#include <atomic>
#include <cstdint>
#include <memory>

#include "engine/core/CriticalSection.h"
#include "engine/core/IDataStream.h"
#include "engine/core/RefPtr.h"
#include "engine/core/ScopedHandle.h"
#include "engine/media/dshow/DataStreamModule.h"
#include "engine/media/dshow/MediaType.h"
#include "engine/media/graph/PlaybackClock.h"

namespace KYR {

// What the owner of the graph adds to it.
class GraphPlaybackHooks {
public:
    // Adds and connects every filter after `source`, which is in the graph already. Throws
    // GraphBuildError with the failed step's text; what was added stays for the graph's
    // release.
    virtual void BuildGraph(IGraphBuilder* graph, IBaseFilter* source) = 0;
    // Once the graph's control interfaces are there.
    virtual void OnGraphReady() {}
    // On before a graph call that waits for the streaming threads, off after it.
    virtual void SetStopping(bool) {}
    // The graph is about to go: drop what was kept of its filters.
    virtual void OnReleasing() {}

protected:
    ~GraphPlaybackHooks() = default;
};

enum class PlaybackState { kStopped, kPlaying, kPaused, kEnded, kClosed };

class CGraphPlayback {
public:
    // `lengthError` is Open's text for a stream whose duration reads as 0.
    CGraphPlayback(GraphPlaybackHooks* hooks, const char* lengthError)
        : hooks_(hooks), lengthError_(lengthError) {}
    // The owner closes the playback in its own destructor, while its hooks are still whole;
    // this one only catches an owner that did not.
    ~CGraphPlayback() { Close(); }
    CGraphPlayback(const CGraphPlayback&) = delete;
    CGraphPlayback& operator=(const CGraphPlayback&) = delete;

    // The source offers a stream of `sourceSubtype` (GUID_NULL: any). The calling thread
    // must be in a COM apartment.
    bool Open(IDataStream* stream, const GUID& sourceSubtype, bool loop, uint32_t loopStartMs);
    // Runs the graph; does nothing once the playback has ended (until Stop).
    void Play();
    // Stops the graph where it is: the graph keeps its position for the next Play.
    void Pause();
    void Stop();
    void Close();
    uint32_t GetLength() { return opened_ ? lengthMs_.load() : 0; }
    // Where the stream is by the player's own clock (see PlaybackClock.h), within 0 ... length.
    uint32_t GetPosition();
    void SetPosition(uint32_t ms);
    int32_t GetVolume();
    void SetVolume(int32_t volume);
    int32_t GetBalance();
    void SetBalance(int32_t balance);
    int32_t GetRate();
    void SetRate(int32_t percent);
    bool IsLoop() { return opened_ && loop_; }
    uint32_t GetLoopStart() { return opened_ ? loopStartMs_.load() : 0; }
    void SetLoopStart(uint32_t ms);
    PlaybackState GetState();

    bool IsOpen() const { return opened_; }
    // Held by every control operation, and by the monitor thread while it acts on a
    // completion; an owner takes it to read its own filters.
    CCriticalSection* ControlLock() { return &lock_; }
    // Why the last Open failed ("" after a successful one).
    const char* LastOpenError() const { return lastError_; }
    // Completions the monitor thread has handled (looped or ended), the graph's own and
    // those it stood in for when the graph ran past its end without one.
    long CompletionCount() const { return completions_; }

    // How far past its end a running stream may go before the monitor treats it as
    // complete: a splitter that stalls after a seek never sends the completion. Generous,
    // since a graph that started late (a decoder loading on a slow machine) is behind the
    // clock by that much and still playing.
    static constexpr uint32_t kOverrunMs = 3000;

private:
    class StoppingScope;
    static DWORD WINAPI MonitorThread(void* self);
    void MonitorLoop();
    void OnGraphEvents();
    void OnCompletionLocked();
    void CheckOverrun();
    void DiscardQueuedEventsLocked();
    void SeekTo(uint32_t ms);
    void ReleaseAll();

    GraphPlaybackHooks* const hooks_;
    const char* const lengthError_;
    // Read by the monitor thread while the caller changes them.
    std::atomic<bool> opened_{false};
    std::atomic<bool> playing_{false};
    std::atomic<bool> paused_{false};
    std::atomic<bool> ended_{false};
    std::atomic<bool> loop_{false};
    std::atomic<uint32_t> lengthMs_{0};
    std::atomic<uint32_t> loopStartMs_{0};
    std::atomic<long> completions_{0};
    // Moved on by every Stop, Pause and SetPosition: a completion the monitor took out of
    // the queue before one of them belongs to the playback that came before.
    std::atomic<unsigned> epoch_{0};
    PlaybackClock clock_;  // under lock_

    // Released in reverse order of declaration by ReleaseAll: graph, module, stream.
    RefPtr<IDataStream> stream_;
    std::shared_ptr<CDataStreamModule> module_;
    RefPtr<IGraphBuilder> graph_;
    RefPtr<IMediaControl> control_;
    RefPtr<IMediaSeeking> seeking_;
    RefPtr<IMediaEvent> events_;
    RefPtr<IBasicAudio> audio_;

    ScopedHandle thread_;
    ScopedHandle quit_;        // manual reset: the monitor thread is to end
    ScopedHandle wake_;        // auto reset: the stream started playing
    ScopedHandle graphEvent_;  // our duplicate of the graph's event handle
    CMediaType sourceType_;
    const char* lastError_ = "";
    CCriticalSection lock_;  // the control operations among themselves
};

}  // namespace KYR
