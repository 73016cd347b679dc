// CVideoPlayback: everything the window and the texture video players share: opening the
// graph around the stream source, the playback controls, and the monitor thread that loops
// or ends the movie when the graph reports completion. The player supplies its renderer.
//
// Release order matters: the source filter reads through the stream module on its worker
// thread, and the module reads the data stream. So the graph goes first, then the module,
// then the stream, on Close and on every failed Open.
//
// The texture renderer draws on the streaming thread under the device lock, which the game
// holds from BeginScene to EndScene. Stop, Pause, seeks and Close wait in the graph for that
// thread, so each first tells the renderer to drop frames instead of waiting for the lock.
#pragma once

#include <windows.h>

#include <dshow.h>
#include <amvideo.h>

#include <atomic>
#include <cstdint>
#include <memory>

#include "engine/core/CriticalSection.h"
#include "engine/core/RefPtr.h"
#include "engine/core/ScopedHandle.h"
#include "engine/media/IDataStream.h"
#include "engine/media/VideoGraph.h"
#include "engine/media/dshow/DataStreamModule.h"
#include "engine/media/dshow/MediaType.h"

namespace KYR {

// What differs between the players.
class VideoRendererSide : public VideoGraphListener {
public:
    // Creates the renderer and adds it to the graph; throws GraphBuildError.
    virtual RefPtr<IBaseFilter> AddRenderer(IFilterGraph* graph) = 0;
    // Once the graph's interfaces are there.
    virtual void OnGraphReady(IFilterGraph*) {}
    // On before a graph call that waits for the streaming thread, off after it.
    virtual void SetStopping(bool) {}
    // The renderer is about to be released: drop what was kept of it.
    virtual void OnRendererReleased() {}

protected:
    ~VideoRendererSide() = default;
};

class CVideoPlayback {
public:
    explicit CVideoPlayback(VideoRendererSide* side) : side_(side) {}
    ~CVideoPlayback() { Close(); }
    CVideoPlayback(const CVideoPlayback&) = delete;
    CVideoPlayback& operator=(const CVideoPlayback&) = delete;

    // The calling thread must be in a COM apartment.
    bool Open(IDataStream* stream, const char* format, bool loop, uint32_t loopStartMs,
              IBaseFilter* filter);
    void Play();
    void Pause();
    void Stop();
    void Close();
    uint32_t GetLength() { return opened_ ? lengthMs_.load() : 0; }
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
    int32_t GetState();
    float GetFrameRate();

    // Why the last Open failed ("" after a successful one).
    const char* LastOpenError() const { return lastError_; }
    // Completions the monitor thread has handled (looped or ended).
    long CompletionCount() const { return completions_; }

private:
    class StoppingScope;
    static DWORD WINAPI MonitorThread(void* self);
    void MonitorLoop();
    void OnGraphEvents();
    void SeekTo(uint32_t ms);
    void ReleaseAll();

    VideoRendererSide* const side_;
    // Read by the monitor thread while the caller changes them.
    std::atomic<bool> opened_{false};
    std::atomic<bool> playing_{false};
    std::atomic<bool> paused_{false};
    std::atomic<bool> ended_{false};
    std::atomic<bool> loop_{false};
    std::atomic<uint32_t> lengthMs_{0};
    std::atomic<uint32_t> loopStartMs_{0};
    std::atomic<long> completions_{0};

    // Released in reverse order of declaration by ReleaseAll: graph, module, stream.
    RefPtr<IDataStream> stream_;
    std::shared_ptr<CDataStreamModule> module_;
    RefPtr<IGraphBuilder> graph_;
    RefPtr<IMediaControl> control_;
    RefPtr<IMediaSeeking> seeking_;
    RefPtr<IMediaEvent> events_;
    RefPtr<IBasicAudio> audio_;
    RefPtr<IBaseFilter> renderer_;

    ScopedHandle thread_;
    ScopedHandle quit_;        // manual reset: the monitor thread is to end
    ScopedHandle graphEvent_;  // our duplicate of the graph's event handle
    CMediaType sourceType_;
    const char* lastError_ = "";
    CCriticalSection lock_;  // the control operations among themselves
};

}  // namespace KYR
