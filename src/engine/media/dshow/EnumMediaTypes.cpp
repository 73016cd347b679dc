#include "engine/media/dshow/EnumMediaTypes.h"

#include <new>

#include "engine/media/dshow/BasePin.h"
#include "engine/media/dshow/MediaType.h"

namespace KYR {

CEnumMediaTypes::CEnumMediaTypes(CBasePin* pin, const CEnumMediaTypes* from)
    : pin_(pin),
      position_(from ? from->position_ : 0),
      version_(from ? from->version_ : pin->GetMediaTypeVersion()) {
    pin_->AddRef();
}

CEnumMediaTypes::~CEnumMediaTypes() { pin_->Release(); }

const ComInterfaceEntry* CEnumMediaTypes::QueryTable() {
    static const ComInterfaceEntry table[] = {
        KYR_COM_ENTRY_VIA(CEnumMediaTypes, IUnknown, IEnumMediaTypes),
        KYR_COM_ENTRY(CEnumMediaTypes, IEnumMediaTypes),
        KYR_COM_END,
    };
    return table;
}

bool CEnumMediaTypes::OutOfSync() const { return version_ != pin_->GetMediaTypeVersion(); }

STDMETHODIMP CEnumMediaTypes::Next(ULONG count, AM_MEDIA_TYPE** types, ULONG* fetched) {
    if (fetched) *fetched = 0;
    if (!types) return E_POINTER;
    if (!fetched && count != 1) return E_POINTER;
    if (OutOfSync()) return VFW_E_ENUM_OUT_OF_SYNC;
    ULONG got = 0;
    while (got < count) {
        CMediaType mt;
        if (pin_->GetMediaType(position_, &mt) != S_OK) break;
        AM_MEDIA_TYPE* copy = CreateMediaType(&mt);
        if (!copy) {
            // Hand back nothing rather than a part the caller cannot tell from success.
            for (ULONG i = 0; i < got; ++i) {
                DeleteMediaType(types[i]);
                types[i] = nullptr;
            }
            if (fetched) *fetched = 0;
            return E_OUTOFMEMORY;
        }
        ++position_;
        types[got++] = copy;
    }
    if (fetched) *fetched = got;
    return got == count ? S_OK : S_FALSE;
}

STDMETHODIMP CEnumMediaTypes::Skip(ULONG count) {
    if (OutOfSync()) return VFW_E_ENUM_OUT_OF_SYNC;
    while (count > 0) {
        CMediaType mt;
        if (pin_->GetMediaType(position_, &mt) != S_OK) return S_FALSE;
        ++position_;
        --count;
    }
    return S_OK;
}

STDMETHODIMP CEnumMediaTypes::Reset() {
    version_ = pin_->GetMediaTypeVersion();
    position_ = 0;
    return S_OK;
}

STDMETHODIMP CEnumMediaTypes::Clone(IEnumMediaTypes** copy) {
    if (!copy) return E_POINTER;
    *copy = nullptr;
    if (OutOfSync()) return VFW_E_ENUM_OUT_OF_SYNC;
    auto* e = new (std::nothrow) CEnumMediaTypes(pin_, this);
    if (!e) return E_OUTOFMEMORY;
    return e->QueryInterface(IID_IEnumMediaTypes, reinterpret_cast<void**>(copy));
}

}  // namespace KYR
