// The filter chain behind the stream source for sound: the parser or splitter for the type,
// an audio decoder when the splitter's audio is compressed, and the renderer, each added to
// the graph and connected pin to pin. Built by hand so that the engine decides which
// platform filters play its data, whatever else is registered on the machine.
#pragma once

#include <windows.h>

#include <strmif.h>

#include "engine/media/graph/MediaTypeName.h"

namespace KYR {

// MinGW's uuids.h lacks the WAVE and MIDI parsers' class ids.
extern const CLSID kClsidWaveParser;
extern const CLSID kClsidMidiParser;
// Wine's "GStreamer splitter filter", registered only on Wine: the MP3 graph's splitter there.
extern const CLSID kClsidWineDecodebinParser;

// Adds the filters after `source` (already in `graph`) and connects them. Throws
// GraphBuildError with the failed step's text; filters added so far stay in the graph,
// which the caller releases.
void BuildAudioGraph(IFilterGraph* graph, IBaseFilter* source, MediaKind kind);

}  // namespace KYR
