// Movie playback shown in a window through the Video Mixing Renderer 9 (windowless). The
// slot order is part of the engine's interface: the game calls these through the table.
// Every operation but Open does nothing (a getter returns 0) while no movie is open.
#pragma once

#include <windows.h>

#include <strmif.h>

#include <cstdint>

#include "engine/core/IKYRInterface.h"

namespace KYR {

class IDataStream;

// GetState's answers.
constexpr int32_t kVideoStopped = 0;
constexpr int32_t kVideoPlaying = 1;
constexpr int32_t kVideoEnded = 2;
constexpr int32_t kVideoPaused = 3;
constexpr int32_t kVideoClosed = 4;

class ID3DVideo : public IKYRInterface {
public:
    // `format` is "avi", "mpg" or "mpeg" in any case. `filter`, when given, goes between the
    // decoder and the renderer (one input, one output pin). `rect`, when given, is where in
    // `window`'s client area the picture goes. The stream is held until Close.
    virtual bool Open(IDataStream* stream, const char* format, bool loop, uint32_t loopStartMs,
                      IBaseFilter* filter, HWND window, const RECT* rect) = 0;
    virtual void Play() = 0;   // nothing once the movie ended, until Stop
    virtual void Pause() = 0;  // keeps the position
    virtual void Stop() = 0;   // back to the start
    virtual void Close() = 0;
    virtual uint32_t GetLength() = 0;  // milliseconds
    virtual uint32_t GetPosition() = 0;
    virtual void SetPosition(uint32_t ms) = 0;
    virtual int32_t GetVolume() = 0;  // 0..100
    virtual void SetVolume(int32_t volume) = 0;
    virtual int32_t GetBalance() = 0;  // -100 (left)..100 (right)
    virtual void SetBalance(int32_t balance) = 0;
    virtual int32_t GetRate() = 0;  // percent of normal speed
    virtual void SetRate(int32_t percent) = 0;
    virtual bool IsLoop() = 0;
    virtual uint32_t GetLoopStart() = 0;
    virtual int32_t GetState() = 0;  // kVideo...
    // Whole frames per second (truncated), an integer like every other getter here and
    // like IQualProp's rate; 0 when the renderer cannot tell.
    virtual int32_t GetFrameRate() = 0;
    virtual ~ID3DVideo() = default;
    // Never past the length.
    virtual void SetLoopStart(uint32_t ms) = 0;
};

}  // namespace KYR
