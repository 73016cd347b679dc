// The audio decoders the engine's graphs put between a splitter and the DirectSound
// renderer, by the wave-format subtype the splitter's audio pin carries. Graphs are built by
// hand (no intelligent connect), so this table is the whole list of compressed audio the
// engine plays.
#pragma once

#include <windows.h>

#include <strmif.h>

#include "engine/core/RefPtr.h"

namespace KYR {

// The audio subtype of a wave format tag: {tag-0000-0010-8000-00AA00389B71}.
GUID AudioSubtypeOfFormatTag(WORD formatTag);

struct AudioDecoderRow {
    WORD formatTag;
    CLSID filter;        // created by class id
    const GUID* dmo;     // for the DMO wrapper: the decoder object to wrap, else null
    const GUID* dmoCategory;
};

// The row for a subtype, or null when the engine has no decoder for it.
const AudioDecoderRow* FindAudioDecoder(const GUID& subtype);

// A new decoder filter for the subtype (one reference for the caller); null when the
// subtype is not in the table or its filter cannot be created or initialised.
RefPtr<IBaseFilter> CreateAudioDecoder(const GUID& subtype);

}  // namespace KYR
