#include "engine/media/dshow/BasePin.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "engine/core/RefPtr.h"
#include "engine/media/dshow/BaseFilter.h"
#include "engine/media/dshow/Enumerator.h"

namespace KYR {

CBasePin::CBasePin(CBaseFilter* filter, CCriticalSection* lock, const wchar_t* name,
                   PIN_DIRECTION direction)
    : filter_(filter), lock_(lock), name_(name ? name : L""), direction_(direction) {}

// The graph disconnects pins before it lets a filter go; a pin still connected here
// belongs to a filter that was never in a graph, so only our own reference is dropped.
CBasePin::~CBasePin() = default;

STDMETHODIMP CBasePin::QueryInterface(REFIID riid, void** ppv) {
    return QueryPinInterface(riid, ppv);
}

STDMETHODIMP_(ULONG) CBasePin::AddRef() { return filter_->AddRef(); }
STDMETHODIMP_(ULONG) CBasePin::Release() { return filter_->Release(); }

HRESULT CBasePin::QueryPinInterface(REFIID riid, void** ppv) {
    static const ComInterfaceEntry table[] = {
        KYR_COM_ENTRY_VIA(CBasePin, IUnknown, IPin),
        KYR_COM_ENTRY(CBasePin, IPin),
        KYR_COM_END,
    };
    return QueryInterfaceFromTable(this, table, riid, ppv);
}

STDMETHODIMP CBasePin::Connect(IPin* receivePin, const AM_MEDIA_TYPE* mt) {
    if (!receivePin) return E_POINTER;
    KYRAutoLock hold(lock_);
    if (connected_) return VFW_E_ALREADY_CONNECTED;
    if (!filter_->IsStopped()) return VFW_E_NOT_STOPPED;
    HRESULT hr = CheckConnect(receivePin);
    if (FAILED(hr)) {
        BreakConnect();
        return hr;
    }
    hr = AgreeMediaType(receivePin, mt);
    if (FAILED(hr)) BreakConnect();
    return hr;
}

HRESULT CBasePin::AgreeMediaType(IPin* receivePin, const AM_MEDIA_TYPE* partial) {
    if (partial) {
        CMediaType wanted(*partial);
        if (!wanted.IsValid()) return E_OUTOFMEMORY;
        if (!wanted.IsPartiallySpecified()) return AttemptConnection(receivePin, wanted);
        return TryFrom(receivePin, &wanted);
    }
    return TryFrom(receivePin, nullptr);
}

HRESULT CBasePin::TryFrom(IPin* receivePin, const CMediaType* partial) {
    // The receiving pin knows best what it wants, so its list goes first; then ours.
    HRESULT last = VFW_E_NO_ACCEPTABLE_TYPES;
    for (int side = 0; side < 2; ++side) {
        RefPtr<IEnumMediaTypes> types;
        const HRESULT hr = side == 0 ? receivePin->EnumMediaTypes(types.Put())
                                     : EnumMediaTypes(types.Put());
        if (FAILED(hr) || !types) continue;
        const HRESULT tried = TryMediaTypes(receivePin, partial, types.Get());
        if (SUCCEEDED(tried)) return tried;
        // A refusal with a reason beats the generic "no acceptable types".
        if (tried != VFW_E_NO_ACCEPTABLE_TYPES) last = tried;
    }
    return last;
}

HRESULT CBasePin::TryMediaTypes(IPin* receivePin, const CMediaType* partial,
                                IEnumMediaTypes* types) {
    HRESULT last = VFW_E_NO_ACCEPTABLE_TYPES;
    for (;;) {
        AM_MEDIA_TYPE* raw = nullptr;
        ULONG fetched = 0;
        if (types->Next(1, &raw, &fetched) != S_OK || fetched != 1 || !raw) break;
        CMediaType candidate(*raw);
        DeleteMediaType(raw);
        if (!candidate.IsValid()) return E_OUTOFMEMORY;
        if (partial && !partial->MatchesPartial(candidate)) continue;
        const HRESULT hr = AttemptConnection(receivePin, candidate);
        if (SUCCEEDED(hr)) return hr;
        if (hr != E_FAIL && hr != VFW_E_TYPE_NOT_ACCEPTED) last = hr;
    }
    return last;
}

HRESULT CBasePin::AttemptConnection(IPin* receivePin, const CMediaType& mt) {
    HRESULT hr = CheckMediaType(&mt);
    if (hr != S_OK) return FAILED(hr) ? hr : VFW_E_TYPE_NOT_ACCEPTED;
    hr = SetMediaType(&mt);
    if (FAILED(hr)) {
        mt_.Clear();
        return hr;
    }
    connected_ = RefPtr<IPin>::AddRefOf(receivePin);
    hr = receivePin->ReceiveConnection(this, &mt);
    if (FAILED(hr)) {
        DropConnection();
        return hr;
    }
    hr = CompleteConnect(receivePin);
    if (FAILED(hr)) {
        // The peer already counts itself connected to us: it must let go too.
        receivePin->Disconnect();
        DropConnection();
        return hr;
    }
    return S_OK;
}

void CBasePin::DropConnection() {
    connected_.Reset();  // nulls the member before the peer's Release runs
    mt_.Clear();
}

STDMETHODIMP CBasePin::ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* mt) {
    if (!connector || !mt) return E_POINTER;
    KYRAutoLock hold(lock_);
    if (connected_) return VFW_E_ALREADY_CONNECTED;
    if (!filter_->IsStopped()) return VFW_E_NOT_STOPPED;
    HRESULT hr = CheckConnect(connector);
    if (FAILED(hr)) {
        BreakConnect();
        return hr;
    }
    CMediaType offered(*mt);
    if (!offered.IsValid()) {
        BreakConnect();
        return E_OUTOFMEMORY;
    }
    hr = CheckMediaType(&offered);
    if (hr != S_OK) {
        BreakConnect();
        return VFW_E_TYPE_NOT_ACCEPTED;
    }
    hr = SetMediaType(&offered);
    if (SUCCEEDED(hr)) {
        connected_ = RefPtr<IPin>::AddRefOf(connector);
        hr = CompleteConnect(connector);
        if (SUCCEEDED(hr)) return S_OK;
    }
    DropConnection();
    BreakConnect();
    return hr;
}

STDMETHODIMP CBasePin::Disconnect() {
    KYRAutoLock hold(lock_);
    if (!filter_->IsStopped()) return VFW_E_NOT_STOPPED;
    if (!connected_) return S_FALSE;
    const HRESULT hr = BreakConnect();
    if (FAILED(hr)) return hr;  // a pin that cannot let go stays connected
    DropConnection();
    return S_OK;
}

STDMETHODIMP CBasePin::ConnectedTo(IPin** pin) {
    if (!pin) return E_POINTER;
    KYRAutoLock hold(lock_);
    *pin = connected_.Get();
    if (!*pin) return VFW_E_NOT_CONNECTED;
    (*pin)->AddRef();
    return S_OK;
}

STDMETHODIMP CBasePin::ConnectionMediaType(AM_MEDIA_TYPE* mt) {
    if (!mt) return E_POINTER;
    KYRAutoLock hold(lock_);
    if (!connected_) {
        *mt = AM_MEDIA_TYPE();
        return VFW_E_NOT_CONNECTED;
    }
    return CopyMediaType(mt, &mt_);
}

STDMETHODIMP CBasePin::QueryPinInfo(PIN_INFO* info) {
    if (!info) return E_POINTER;
    info->pFilter = filter_;
    filter_->AddRef();
    const size_t n = std::min<size_t>(name_.size(), MAX_PIN_NAME - 1);
    name_.copy(info->achName, n);
    info->achName[n] = L'\0';
    info->dir = direction_;
    return S_OK;
}

STDMETHODIMP CBasePin::QueryDirection(PIN_DIRECTION* direction) {
    if (!direction) return E_POINTER;
    *direction = direction_;
    return S_OK;
}

STDMETHODIMP CBasePin::QueryId(LPWSTR* id) {
    if (!id) return E_POINTER;
    const size_t bytes = (name_.size() + 1) * sizeof(wchar_t);
    *id = static_cast<LPWSTR>(CoTaskMemAlloc(bytes));
    if (!*id) return E_OUTOFMEMORY;
    std::memcpy(*id, name_.c_str(), bytes);
    return S_OK;
}

STDMETHODIMP CBasePin::QueryAccept(const AM_MEDIA_TYPE* mt) {
    if (!mt) return E_POINTER;
    CMediaType offered(*mt);
    if (!offered.IsValid()) return E_OUTOFMEMORY;
    return CheckMediaType(&offered) == S_OK ? S_OK : S_FALSE;
}

LONG MediaTypeItems::Version(CBasePin* pin) { return pin->GetMediaTypeVersion(); }

HRESULT MediaTypeItems::At(CBasePin* pin, int index, AM_MEDIA_TYPE** type) {
    CMediaType mt;
    if (pin->GetMediaType(index, &mt) != S_OK) return S_FALSE;
    AM_MEDIA_TYPE* copy = CreateMediaType(&mt);
    if (!copy) return E_OUTOFMEMORY;
    *type = copy;
    return S_OK;
}

void MediaTypeItems::Free(AM_MEDIA_TYPE* type) { DeleteMediaType(type); }

STDMETHODIMP CBasePin::EnumMediaTypes(IEnumMediaTypes** types) {
    if (!types) return E_POINTER;
    *types = nullptr;
    auto* e = new (std::nothrow) CEnumMediaTypes(this, nullptr);
    if (!e) return E_OUTOFMEMORY;
    return e->QueryInterface(IID_IEnumMediaTypes, reinterpret_cast<void**>(types));
}

STDMETHODIMP CBasePin::QueryInternalConnections(IPin** pins, ULONG* count) {
    (void)pins;
    (void)count;
    return E_NOTIMPL;  // every input reaches every output
}

STDMETHODIMP CBasePin::EndOfStream() { return S_OK; }

STDMETHODIMP CBasePin::BeginFlush() {
    InterlockedExchange(&flushing_, 1);
    return S_OK;
}

STDMETHODIMP CBasePin::EndFlush() {
    InterlockedExchange(&flushing_, 0);
    return S_OK;
}

STDMETHODIMP CBasePin::NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) {
    segmentStart_ = start;
    segmentStop_ = stop;
    segmentRate_ = rate;
    return S_OK;
}

HRESULT CBasePin::CheckConnect(IPin* pin) {
    PIN_DIRECTION peer;
    const HRESULT hr = pin->QueryDirection(&peer);
    if (FAILED(hr)) return hr;
    if (peer == direction_) return VFW_E_INVALID_DIRECTION;
    return S_OK;
}

HRESULT CBasePin::BreakConnect() { return S_OK; }

HRESULT CBasePin::CompleteConnect(IPin*) { return S_OK; }

HRESULT CBasePin::SetMediaType(const CMediaType* mt) {
    return mt_.Set(*mt);
}

HRESULT CBasePin::GetMediaType(int position, CMediaType*) {
    return position < 0 ? E_INVALIDARG : VFW_S_NO_MORE_ITEMS;
}

HRESULT CBasePin::Inactive() {
    InterlockedExchange(&flushing_, 0);
    return S_OK;
}

HRESULT CBasePin::Run(REFERENCE_TIME) { return S_OK; }

}  // namespace KYR
