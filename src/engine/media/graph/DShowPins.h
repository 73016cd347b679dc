// Finding a filter's pin by direction and, for outputs, by the kind of media it carries.
// Graphs built by hand connect pins directly, so they must pick the right pin themselves:
// a splitter may offer audio, video and other streams on pins of its own.
#pragma once

#include <windows.h>

#include <strmif.h>

#include "engine/core/RefPtr.h"
#include "engine/media/dshow/MediaType.h"

namespace KYR {

// The first unconnected pin of `direction` on `filter`; when `majorType` is given, the first
// whose media types include one of that major type (its connection type when connected
// pins are looked at, else the types it offers). `type`, when given, receives the matching
// media type. Null when there is none.
RefPtr<IPin> FindUnconnectedPin(IBaseFilter* filter, PIN_DIRECTION direction,
                                const GUID* majorType = nullptr, CMediaType* type = nullptr);

}  // namespace KYR
