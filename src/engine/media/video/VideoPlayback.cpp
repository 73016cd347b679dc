#include "engine/media/video/VideoPlayback.h"

#include <uuids.h>

#include <string>

#include "engine/graphics/ID3DVideo.h"
#include "engine/media/graph/MediaTypeName.h"

namespace KYR {
namespace {

VideoContainer ContainerOf(const char* format) {
    const std::string lower = LowerTypeName(format);
    if (lower == "avi") return VideoContainer::kAvi;
    if (lower == "mpg" || lower == "mpeg") return VideoContainer::kMpeg1;
    return VideoContainer::kOther;
}

}  // namespace

bool CVideoPlayback::Open(IDataStream* stream, const char* format, bool loop,
                          uint32_t loopStartMs, IBaseFilter* filter) {
    KYRAutoLock hold(graph_.ControlLock());
    if (graph_.IsOpen()) return false;
    container_ = ContainerOf(format);
    callerFilter_ = filter;
    const bool opened = graph_.Open(
        stream, container_ == VideoContainer::kAvi ? MEDIASUBTYPE_Avi : GUID_NULL, loop,
        loopStartMs);
    callerFilter_ = nullptr;
    return opened;
}

void CVideoPlayback::BuildGraph(IGraphBuilder* graph, IBaseFilter* source) {
    renderer_ = side_->AddRenderer(graph);
    BuildVideoGraph(graph, source, container_, renderer_.Get(), callerFilter_, side_);
}

void CVideoPlayback::OnReleasing() {
    side_->OnRendererReleased();
    renderer_.Reset();
}

int32_t CVideoPlayback::GetState() {
    switch (graph_.GetState()) {
        case PlaybackState::kClosed: return kVideoClosed;
        case PlaybackState::kEnded: return kVideoEnded;
        case PlaybackState::kPaused: return kVideoPaused;
        case PlaybackState::kPlaying: return kVideoPlaying;
        case PlaybackState::kStopped: break;
    }
    return kVideoStopped;
}

RefPtr<IQualProp> CVideoPlayback::Quality() {
    RefPtr<IQualProp> quality;
    if (!graph_.IsOpen() || !renderer_ ||
        FAILED(renderer_->QueryInterface(IID_IQualProp, reinterpret_cast<void**>(quality.Put()))))
        quality.Reset();
    return quality;
}

int32_t CVideoPlayback::GetFrameRate() {
    KYRAutoLock hold(graph_.ControlLock());
    RefPtr<IQualProp> quality = Quality();
    int rate = 0;
    if (!quality || FAILED(quality->get_AvgFrameRate(&rate))) return 0;
    return rate / 100;  // IQualProp counts in hundredths of a frame per second
}

long CVideoPlayback::FramesDrawn() {
    KYRAutoLock hold(graph_.ControlLock());
    RefPtr<IQualProp> quality = Quality();
    int frames = 0;
    if (!quality || FAILED(quality->get_FramesDrawn(&frames))) return 0;
    return frames;
}

}  // namespace KYR
