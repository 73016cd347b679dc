#include "engine/media/dshow/BaseFilter.h"

#include <evcode.h>

#include <algorithm>
#include <cwchar>
#include <new>

#include "engine/media/dshow/BasePin.h"
#include "engine/media/dshow/Enumerator.h"

namespace KYR {

CBaseFilter::CBaseFilter(const wchar_t* name, CCriticalSection* lock, const CLSID& clsid)
    : lock_(lock), clsid_(clsid), name_(name ? name : L"") {}

CBaseFilter::~CBaseFilter() = default;

STDMETHODIMP CBaseFilter::QueryInterface(REFIID riid, void** ppv) {
    return QueryFilterInterface(riid, ppv);
}

STDMETHODIMP_(ULONG) CBaseFilter::Release() {
    const ULONG n = refs_.Decrement();
    if (n == 0) delete this;
    return n;
}

HRESULT CBaseFilter::QueryFilterInterface(REFIID riid, void** ppv) {
    static const ComInterfaceEntry table[] = {
        KYR_COM_ENTRY_VIA(CBaseFilter, IUnknown, IBaseFilter),
        KYR_COM_ENTRY_VIA(CBaseFilter, IPersist, IBaseFilter),
        KYR_COM_ENTRY_VIA(CBaseFilter, IMediaFilter, IBaseFilter),
        KYR_COM_ENTRY(CBaseFilter, IBaseFilter),
        KYR_COM_END,
    };
    return QueryInterfaceFromTable(this, table, riid, ppv);
}

STDMETHODIMP CBaseFilter::GetClassID(CLSID* clsid) {
    if (!clsid) return E_POINTER;
    *clsid = clsid_;
    return S_OK;
}

STDMETHODIMP CBaseFilter::Stop() {
    KYRAutoLock hold(lock_);
    HRESULT result = S_OK;
    if (state_ != State_Stopped) {
        // Every pin gets its Inactive even when one fails: they hold separate resources.
        for (int i = 0; i < GetPinCount(); ++i) {
            CBasePin* pin = GetPin(i);
            if (!pin || !pin->IsConnected()) continue;
            const HRESULT hr = pin->Inactive();
            if (FAILED(hr) && SUCCEEDED(result)) result = hr;
        }
    }
    state_ = State_Stopped;
    return result;
}

STDMETHODIMP CBaseFilter::Pause() {
    KYRAutoLock hold(lock_);
    if (state_ == State_Stopped) {
        for (int i = 0; i < GetPinCount(); ++i) {
            CBasePin* pin = GetPin(i);
            if (!pin || !pin->IsConnected()) continue;
            const HRESULT hr = pin->Active();
            if (FAILED(hr)) return hr;  // the state stays Stopped
        }
    }
    state_ = State_Paused;
    return S_OK;
}

STDMETHODIMP CBaseFilter::Run(REFERENCE_TIME start) {
    KYRAutoLock hold(lock_);
    start_ = start;
    if (state_ == State_Stopped) {
        // Running passes through Paused, so pins are active before they run.
        const HRESULT hr = Pause();
        if (FAILED(hr)) return hr;
    }
    if (state_ != State_Running) {
        for (int i = 0; i < GetPinCount(); ++i) {
            CBasePin* pin = GetPin(i);
            if (!pin || !pin->IsConnected()) continue;
            const HRESULT hr = pin->Run(start);
            if (FAILED(hr)) return hr;
        }
    }
    state_ = State_Running;
    return S_OK;
}

STDMETHODIMP CBaseFilter::GetState(DWORD, FILTER_STATE* state) {
    if (!state) return E_POINTER;
    *state = state_;
    return S_OK;
}

STDMETHODIMP CBaseFilter::SetSyncSource(IReferenceClock* clock) {
    KYRAutoLock hold(lock_);
    clock_ = RefPtr<IReferenceClock>::AddRefOf(clock);
    return S_OK;
}

STDMETHODIMP CBaseFilter::GetSyncSource(IReferenceClock** clock) {
    if (!clock) return E_POINTER;
    KYRAutoLock hold(lock_);
    *clock = clock_.Get();
    if (*clock) (*clock)->AddRef();
    return S_OK;
}

LONG PinItems::Version(CBaseFilter* filter) { return filter->GetPinVersion(); }

HRESULT PinItems::At(CBaseFilter* filter, int index, IPin** pin) {
    CBasePin* found = index < filter->GetPinCount() ? filter->GetPin(index) : nullptr;
    if (!found) return S_FALSE;
    found->AddRef();
    *pin = found;
    return S_OK;
}

STDMETHODIMP CBaseFilter::EnumPins(IEnumPins** pins) {
    if (!pins) return E_POINTER;
    *pins = nullptr;
    auto* e = new (std::nothrow) CEnumPins(this, nullptr);
    if (!e) return E_OUTOFMEMORY;
    return e->QueryInterface(IID_IEnumPins, reinterpret_cast<void**>(pins));
}

STDMETHODIMP CBaseFilter::FindPin(LPCWSTR id, IPin** pin) {
    if (!pin) return E_POINTER;
    *pin = nullptr;
    if (!id) return E_POINTER;
    KYRAutoLock hold(lock_);
    for (int i = 0; i < GetPinCount(); ++i) {
        CBasePin* candidate = GetPin(i);
        if (!candidate) continue;
        LPWSTR candidateId = nullptr;
        if (FAILED(candidate->QueryId(&candidateId))) continue;
        const bool match = std::wcscmp(candidateId, id) == 0;
        CoTaskMemFree(candidateId);
        if (match) {
            candidate->AddRef();
            *pin = candidate;
            return S_OK;
        }
    }
    return VFW_E_NOT_FOUND;
}

STDMETHODIMP CBaseFilter::QueryFilterInfo(FILTER_INFO* info) {
    if (!info) return E_POINTER;
    KYRAutoLock hold(lock_);
    // achName is a fixed array: a longer name is cut, always terminated.
    const size_t n = std::min<size_t>(name_.size(), MAX_FILTER_NAME - 1);
    name_.copy(info->achName, n);
    info->achName[n] = L'\0';
    info->pGraph = graph_;
    if (graph_) graph_->AddRef();
    return S_OK;
}

STDMETHODIMP CBaseFilter::JoinFilterGraph(IFilterGraph* graph, LPCWSTR name) {
    KYRAutoLock hold(lock_);
    graph_ = graph;
    sink_ = nullptr;
    if (graph) {
        // Kept uncounted like the graph itself: the sink is the graph, which outlives its
        // membership. The reference QueryInterface gave is returned at once.
        IMediaEventSink* sink = nullptr;
        if (SUCCEEDED(graph->QueryInterface(IID_IMediaEventSink,
                                            reinterpret_cast<void**>(&sink)))) {
            sink_ = sink;
            sink->Release();
        }
    }
    name_ = name ? name : L"";
    return S_OK;
}

STDMETHODIMP CBaseFilter::QueryVendorInfo(LPWSTR* info) {
    if (info) *info = nullptr;
    return E_NOTIMPL;
}

HRESULT CBaseFilter::NotifyEvent(long code, LONG_PTR param1, LONG_PTR param2) {
    IMediaEventSink* sink = sink_;
    if (!sink) return E_NOTIMPL;
    // EC_COMPLETE names the filter that completed, as the graph counts renderers by it.
    if (code == EC_COMPLETE && param2 == 0)
        param2 = reinterpret_cast<LONG_PTR>(static_cast<IBaseFilter*>(this));
    return sink->Notify(code, param1, param2);
}

}  // namespace KYR
