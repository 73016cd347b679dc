// CD3DVideoTexture: a movie played into an engine texture by our own renderer filter,
// CVideoRender. The playback itself is CVideoPlayback's.
#pragma once

#include <windows.h>

#include "engine/core/RefPtr.h"
#include "engine/graphics/ID3DVideoTexture.h"
#include "engine/media/VideoPlayback.h"

namespace KYR {

class CKYRD3D;
class CVideoRender;

class CD3DVideoTexture : public RefCounted<ID3DVideoTexture>, private VideoRendererSide {
public:
    explicit CD3DVideoTexture(CKYRD3D* device);  // holds a reference to the device
    ~CD3DVideoTexture() override;

    ID3DTexture* GetTexture() override;
    bool Open(IDataStream* stream, const char* format, bool loop, uint32_t loopStartMs,
              IBaseFilter* filter) override {
        return playback_.Open(stream, format, loop, loopStartMs, filter);
    }
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
    float GetFrameRate() override { return playback_.GetFrameRate(); }
    void SetLoopStart(uint32_t ms) override { playback_.SetLoopStart(ms); }

    const char* LastOpenError() const { return playback_.LastOpenError(); }
    long CompletionCount() const { return playback_.CompletionCount(); }

private:
    RefPtr<IBaseFilter> AddRenderer(IFilterGraph* graph) override;
    void OnVideoSubtype(const GUID& subtype) override;
    void OnCallerFilter() override;
    void SetStopping(bool on) override;
    void OnRendererReleased() override { render_ = nullptr; }

    RefPtr<CKYRD3D> device_;  // first, so it is released last
    // The renderer, kept alive by the playback's reference; null while closed.
    CVideoRender* render_ = nullptr;
    CVideoPlayback playback_{this};
};

}  // namespace KYR
