// The decoders the engine's graphs put between a splitter and a renderer, by the subtype
// the splitter's pin carries: the colour space converter for uncompressed RGB video, the
// WMV and WMA decoder objects, and the MPEG audio decoders. Graphs are built by hand (no
// intelligent connect), so this table is the whole list of what the engine decodes.
#pragma once

#include <windows.h>

#include <strmif.h>

#include "engine/core/RefPtr.h"

namespace KYR {

// The subtype of a wave format tag or a four-character code:
// {code-0000-0010-8000-00AA00389B71}.
GUID SubtypeOfTag(DWORD tag);

// The colour space converter, which Wine does not register.
extern const CLSID kClsidColourSpaceConverter;

struct DecoderRow {
    GUID subtype;
    CLSID filter;            // created by class id, in process
    const GUID* dmo;         // for the DMO wrapper: the decoder object to wrap, else null
    const GUID* dmoCategory;
};

// The row for a subtype, or null when the engine has no decoder for it.
const DecoderRow* FindDecoderRow(const GUID& subtype);

// A new decoder filter for the subtype (one reference for the caller); null when the
// subtype is not in the table or its filter cannot be created or initialised.
RefPtr<IBaseFilter> FindDecoder(const GUID& subtype);

}  // namespace KYR
