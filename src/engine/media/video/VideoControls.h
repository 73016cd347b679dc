// The playback controls both video objects expose, forwarded to their CVideoPlayback once
// here: the window and texture interfaces share them, though at different slots.
#pragma once

#include <cstdint>

#include "engine/core/IKYRInterface.h"
#include "engine/media/video/VideoPlayback.h"

namespace KYR {

template <class I>
class CVideoControls : public RefCounted<I> {
public:
    void Play() override { playback_.Play(); }
    void Pause() override { playback_.Pause(); }
    void Stop() override { playback_.Stop(); }
    void Close() override { playback_.Close(); }
    uint32_t GetLength() override { return playback_.GetLength(); }
    uint32_t GetPosition() override { return playback_.GetPosition(); }
    void SetPosition(uint32_t ms) override { playback_.SetPosition(ms); }
    int32_t GetVolume() override { return playback_.GetVolume(); }
    void SetVolume(int32_t volume) override { playback_.SetVolume(volume); }
    int32_t GetBalance() override { return playback_.GetBalance(); }
    void SetBalance(int32_t balance) override { playback_.SetBalance(balance); }
    int32_t GetRate() override { return playback_.GetRate(); }
    void SetRate(int32_t percent) override { playback_.SetRate(percent); }
    bool IsLoop() override { return playback_.IsLoop(); }
    uint32_t GetLoopStart() override { return playback_.GetLoopStart(); }
    int32_t GetState() override { return playback_.GetState(); }
    int32_t GetFrameRate() override { return playback_.GetFrameRate(); }
    void SetLoopStart(uint32_t ms) override { playback_.SetLoopStart(ms); }

    // Why the last Open failed ("" after a successful one).
    const char* LastOpenError() const { return playback_.LastOpenError(); }
    // Completions the monitor thread has handled (looped or ended).
    long CompletionCount() const { return playback_.CompletionCount(); }
    // Frames the renderer has drawn since the movie was opened.
    long FramesDrawn() { return playback_.FramesDrawn(); }

protected:
    // The object closes the playback in its own destructor, while `side` is still whole.
    explicit CVideoControls(VideoRendererSide* side) : playback_(side) {}

    CVideoPlayback playback_;
};

}  // namespace KYR
