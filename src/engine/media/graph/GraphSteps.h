// The steps every hand-built graph repeats: create a filter and add it, find a pin, connect
// two pins. Each throws GraphBuildError with the caller's text when it fails, so a builder
// reads as its list of steps and the player that catches knows which one failed.
#pragma once

#include <windows.h>

#include <strmif.h>

#include "engine/core/RefPtr.h"
#include "engine/media/dshow/MediaType.h"

namespace KYR {

// Creates the filter in process and adds it to the graph under `name`.
RefPtr<IBaseFilter> AddFilterStep(IFilterGraph* graph, const CLSID& clsid, const wchar_t* name,
                                  const char* failure);
// Adds a filter the caller already has.
void AddExistingFilterStep(IFilterGraph* graph, IBaseFilter* filter, const wchar_t* name,
                           const char* failure);
// FindUnconnectedPin, or the failure.
RefPtr<IPin> RequirePin(IBaseFilter* filter, PIN_DIRECTION direction, const char* failure,
                        const GUID* majorType = nullptr, CMediaType* type = nullptr);
// IFilterGraph::ConnectDirect, with `type` when given.
void ConnectStep(IFilterGraph* graph, IPin* out, IPin* in, const char* failure,
                 const AM_MEDIA_TYPE* type = nullptr);

}  // namespace KYR
