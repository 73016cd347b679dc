// CD3DVideo: a movie shown in the caller's window by the Video Mixing Renderer 9 in
// windowless mode. The playback itself is CVideoPlayback's.
#pragma once

#include <windows.h>

#include <dshow.h>
#include <d3d9.h>
#include <vmr9.h>

#include "engine/core/RefPtr.h"
#include "engine/graphics/ID3DVideo.h"
#include "engine/media/VideoPlayback.h"

namespace KYR {

class CKYRD3D;

class CD3DVideo : public RefCounted<ID3DVideo>, private VideoRendererSide {
public:
    explicit CD3DVideo(CKYRD3D* device);  // holds a reference to the device
    ~CD3DVideo() override;

    bool Open(IDataStream* stream, const char* format, bool loop, uint32_t loopStartMs,
              IBaseFilter* filter, HWND window, const RECT* rect) override;
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

private:
    RefPtr<IBaseFilter> AddRenderer(IFilterGraph* graph) override;
    void OnVideoSubtype(const GUID&) override {}
    void OnCallerFilter() override {}
    void OnGraphReady() override;
    void OnRendererReleased() override { windowless_.Reset(); }

    RefPtr<CKYRD3D> device_;  // first, so it is released last
    RefPtr<IVMRWindowlessControl9> windowless_;
    HWND window_ = nullptr;      // for the Open in progress
    const RECT* rect_ = nullptr;  // likewise; the caller's
    CVideoPlayback playback_{this};
};

}  // namespace KYR
