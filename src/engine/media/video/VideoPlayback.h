// CVideoPlayback: what the window and the texture video players share: the movie's graph
// (splitter, decoder, an optional filter of the caller's, the player's renderer, the sound)
// played by CGraphPlayback, and the players' answers to GetState and GetFrameRate.
//
// Lock order: the control lock (held by every control operation, the graph's building and
// its release) is never held while the device lock is taken, and no streaming thread waits
// for the device lock: the texture renderer hands frames to the game's thread instead (see
// VideoRender.h). A game may call any of these inside its scene, on any thread.
#pragma once

#include <windows.h>

#include <dshow.h>

#include <cstdint>

#include "engine/core/IDataStream.h"
#include "engine/core/RefPtr.h"
#include "engine/media/graph/GraphPlayback.h"
#include "engine/media/video/VideoGraph.h"

namespace KYR {

// What differs between the players.
class VideoRendererSide : public VideoGraphListener {
public:
    // Creates the renderer and adds it to the graph; throws GraphBuildError.
    virtual RefPtr<IBaseFilter> AddRenderer(IFilterGraph* graph) = 0;
    // Once the graph's interfaces are there.
    virtual void OnGraphReady() {}
    // The renderer is about to be released: drop what was kept of it.
    virtual void OnRendererReleased() {}

protected:
    ~VideoRendererSide() = default;
};

class CVideoPlayback : private GraphPlaybackHooks {
public:
    explicit CVideoPlayback(VideoRendererSide* side) : side_(side) {}
    // The player closes the playback in its own destructor, while its side is still whole.
    ~CVideoPlayback() = default;
    CVideoPlayback(const CVideoPlayback&) = delete;
    CVideoPlayback& operator=(const CVideoPlayback&) = delete;

    // The calling thread must be in a COM apartment.
    bool Open(IDataStream* stream, const char* format, bool loop, uint32_t loopStartMs,
              IBaseFilter* filter);
    void Play() { graph_.Play(); }
    void Pause() { graph_.Pause(); }
    void Stop() { graph_.Stop(); }
    void Close() { graph_.Close(); }
    uint32_t GetLength() { return graph_.GetLength(); }
    uint32_t GetPosition() { return graph_.GetPosition(); }
    void SetPosition(uint32_t ms) { graph_.SetPosition(ms); }
    int32_t GetVolume() { return graph_.GetVolume(); }
    void SetVolume(int32_t volume) { graph_.SetVolume(volume); }
    int32_t GetBalance() { return graph_.GetBalance(); }
    void SetBalance(int32_t balance) { graph_.SetBalance(balance); }
    int32_t GetRate() { return graph_.GetRate(); }
    void SetRate(int32_t percent) { graph_.SetRate(percent); }
    bool IsLoop() { return graph_.IsLoop(); }
    uint32_t GetLoopStart() { return graph_.GetLoopStart(); }
    void SetLoopStart(uint32_t ms) { graph_.SetLoopStart(ms); }
    int32_t GetState();
    int32_t GetFrameRate();
    long FramesDrawn();

    // Why the last Open failed ("" after a successful one).
    const char* LastOpenError() const { return graph_.LastOpenError(); }
    // Completions the monitor thread has handled (looped or ended).
    long CompletionCount() const { return graph_.CompletionCount(); }

private:
    RefPtr<IQualProp> Quality();  // the renderer's; null when there is none (control lock)
    void BuildGraph(IGraphBuilder* graph, IBaseFilter* source) override;
    void OnGraphReady() override { side_->OnGraphReady(); }
    void OnReleasing() override;

    VideoRendererSide* const side_;
    // For the Open in progress.
    VideoContainer container_ = VideoContainer::kOther;
    IBaseFilter* callerFilter_ = nullptr;
    RefPtr<IBaseFilter> renderer_;  // released before the graph
    CGraphPlayback graph_{this, "Video Length Invalid"};
};

}  // namespace KYR
