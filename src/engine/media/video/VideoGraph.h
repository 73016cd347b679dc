// The filter chain of a movie behind the stream source: splitter, video decoder, an
// optional filter of the caller's, the renderer, and the sound when there is any. Steps 8 to
// 14 of opening a video; each failure throws GraphBuildError with the step's text.
#pragma once

#include <windows.h>

#include <strmif.h>

namespace KYR {

enum class VideoContainer { kAvi, kMpeg1, kOther };

// What the renderer's owner learns while the chain is built.
class VideoGraphListener {
public:
    // The subtype of the splitter's video pin, before any decoder is chosen.
    virtual void OnVideoSubtype(const GUID& subtype) = 0;
    // The caller's filter is about to go in.
    virtual void OnCallerFilter() = 0;

protected:
    ~VideoGraphListener() = default;
};

// `source` and `renderer` are in `graph` already. Filters added stay in the graph, which the
// caller releases on failure.
void BuildVideoGraph(IFilterGraph* graph, IBaseFilter* source, VideoContainer container,
                     IBaseFilter* renderer, IBaseFilter* callerFilter,
                     VideoGraphListener* listener);

}  // namespace KYR
