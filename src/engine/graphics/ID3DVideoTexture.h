// Movie playback into an engine texture, drawn by the game like any other. The slot order
// is part of the engine's interface. The operations after GetTexture behave as ID3DVideo's.
#pragma once

#include <windows.h>

#include <strmif.h>

#include <cstdint>

#include "engine/core/IKYRInterface.h"
#include "engine/graphics/ID3DVideo.h"

namespace KYR {

class ID3DTexture;

class ID3DVideoTexture : public IKYRInterface {
public:
    // The texture the frames go to, borrowed (no reference added); null while closed. A
    // movie that changes its frame size mid-stream gets a new texture: ask again each frame.
    virtual ID3DTexture* GetTexture() = 0;
    virtual bool Open(IDataStream* stream, const char* format, bool loop, uint32_t loopStartMs,
                      IBaseFilter* filter) = 0;
    virtual void Play() = 0;
    virtual void Pause() = 0;
    virtual void Stop() = 0;
    virtual void Close() = 0;
    virtual uint32_t GetLength() = 0;
    virtual uint32_t GetPosition() = 0;
    virtual void SetPosition(uint32_t ms) = 0;
    virtual int32_t GetVolume() = 0;
    virtual void SetVolume(int32_t volume) = 0;
    virtual int32_t GetBalance() = 0;
    virtual void SetBalance(int32_t balance) = 0;
    virtual int32_t GetRate() = 0;
    virtual void SetRate(int32_t percent) = 0;
    virtual bool IsLoop() = 0;
    virtual uint32_t GetLoopStart() = 0;
    virtual int32_t GetState() = 0;
    virtual int32_t GetFrameRate() = 0;
    virtual ~ID3DVideoTexture() = default;
    virtual void SetLoopStart(uint32_t ms) = 0;
};

}  // namespace KYR
