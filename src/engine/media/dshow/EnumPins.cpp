#include "engine/media/dshow/EnumPins.h"

#include <new>

#include "engine/media/dshow/BaseFilter.h"
#include "engine/media/dshow/BasePin.h"

namespace KYR {

CEnumPins::CEnumPins(CBaseFilter* filter, const CEnumPins* from)
    : filter_(filter),
      position_(from ? from->position_ : 0),
      version_(from ? from->version_ : filter->GetPinVersion()) {
    filter_->AddRef();
}

CEnumPins::~CEnumPins() { filter_->Release(); }

const ComInterfaceEntry* CEnumPins::QueryTable() {
    static const ComInterfaceEntry table[] = {
        KYR_COM_ENTRY_VIA(CEnumPins, IUnknown, IEnumPins),
        KYR_COM_ENTRY(CEnumPins, IEnumPins),
        KYR_COM_END,
    };
    return table;
}

bool CEnumPins::OutOfSync() const { return version_ != filter_->GetPinVersion(); }

STDMETHODIMP CEnumPins::Next(ULONG count, IPin** pins, ULONG* fetched) {
    if (fetched) *fetched = 0;
    if (!pins) return E_POINTER;
    // COM allows a null count pointer only when one item is asked for.
    if (!fetched && count != 1) return E_POINTER;
    if (OutOfSync()) return VFW_E_ENUM_OUT_OF_SYNC;
    ULONG got = 0;
    while (got < count && position_ < filter_->GetPinCount()) {
        CBasePin* pin = filter_->GetPin(position_++);
        if (!pin) break;
        pin->AddRef();
        pins[got++] = pin;
    }
    if (fetched) *fetched = got;
    return got == count ? S_OK : S_FALSE;
}

STDMETHODIMP CEnumPins::Skip(ULONG count) {
    if (OutOfSync()) return VFW_E_ENUM_OUT_OF_SYNC;
    const int left = filter_->GetPinCount() - position_;
    if (count > static_cast<ULONG>(left)) {
        position_ += left;
        return S_FALSE;
    }
    position_ += static_cast<int>(count);
    return S_OK;
}

STDMETHODIMP CEnumPins::Reset() {
    version_ = filter_->GetPinVersion();
    position_ = 0;
    return S_OK;
}

STDMETHODIMP CEnumPins::Clone(IEnumPins** copy) {
    if (!copy) return E_POINTER;
    *copy = nullptr;
    if (OutOfSync()) return VFW_E_ENUM_OUT_OF_SYNC;
    auto* e = new (std::nothrow) CEnumPins(filter_, this);
    if (!e) return E_OUTOFMEMORY;
    return e->QueryInterface(IID_IEnumPins, reinterpret_cast<void**>(copy));
}

}  // namespace KYR
