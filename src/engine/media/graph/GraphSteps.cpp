#include "engine/media/graph/GraphSteps.h"

#include "engine/media/graph/DShowPins.h"
#include "engine/media/graph/GraphBuildError.h"

namespace KYR {

RefPtr<IBaseFilter> AddFilterStep(IFilterGraph* graph, const CLSID& clsid, const wchar_t* name,
                                  const char* failure) {
    RefPtr<IBaseFilter> filter;
    if (FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                reinterpret_cast<void**>(filter.Put()))) ||
        !filter || FAILED(graph->AddFilter(filter.Get(), name)))
        throw GraphBuildError{failure};
    return filter;
}

void AddExistingFilterStep(IFilterGraph* graph, IBaseFilter* filter, const wchar_t* name,
                           const char* failure) {
    if (!filter || FAILED(graph->AddFilter(filter, name))) throw GraphBuildError{failure};
}

RefPtr<IPin> RequirePin(IBaseFilter* filter, PIN_DIRECTION direction, const char* failure,
                        const GUID* majorType, CMediaType* type) {
    RefPtr<IPin> pin = FindUnconnectedPin(filter, direction, majorType, type);
    if (!pin) throw GraphBuildError{failure};
    return pin;
}

void ConnectStep(IFilterGraph* graph, IPin* out, IPin* in, const char* failure,
                 const AM_MEDIA_TYPE* type) {
    if (FAILED(graph->ConnectDirect(out, in, type))) throw GraphBuildError{failure};
}

}  // namespace KYR
