#include "engine/media/stream/DShowStream.h"

#include <uuids.h>

#include "engine/media/stream/DShowAudioGraph.h"

namespace KYR {

CDShowStream::CDShowStream(const char* typeName)
    : kind_(KindOfTypeName(LowerTypeName(typeName ? typeName : ""))) {}

// Closed here, while the graph's hooks (this object) are still whole.
CDShowStream::~CDShowStream() { graph_.Close(); }

bool CDShowStream::Open(IDataStream* stream, bool looping, uint32_t loopPositionMs) {
    const GUID subtype = kind_ == MediaKind::kMidi   ? MEDIATYPE_Midi
                         : kind_ == MediaKind::kWave ? MEDIASUBTYPE_WAVE
                                                     : GUID_NULL;
    return graph_.Open(stream, subtype, looping, loopPositionMs);
}

void CDShowStream::BuildGraph(IGraphBuilder* graph, IBaseFilter* source) {
    BuildAudioGraph(graph, source, kind_);
}

int32_t CDShowStream::GetStatus() {
    switch (graph_.GetState()) {
        case PlaybackState::kClosed: return kStreamClosed;
        case PlaybackState::kEnded: return kStreamEnded;
        case PlaybackState::kPaused: return kStreamPaused;
        case PlaybackState::kPlaying: return kStreamPlaying;
        case PlaybackState::kStopped: break;
    }
    return kStreamStopped;
}

}  // namespace KYR
