// IEnumPins and IEnumMediaTypes over a source's numbered items (a filter's pins, a pin's
// media types). The enumerator holds a reference on its source, reports
// VFW_E_ENUM_OUT_OF_SYNC once the source's version changed (Reset resynchronises), and hands
// out items the caller owns.
#pragma once

#include <windows.h>

#include <strmif.h>

#include <new>

#include "engine/core/RefPtr.h"
#include "engine/media/dshow/ComBase.h"

namespace KYR {

class CBaseFilter;
class CBasePin;

// Items names the interface served, what an item is and how the source gives one:
// At(source, i, &item) is S_OK with an item the caller owns, S_FALSE past the end, or a
// failure (nothing handed out); Free undoes what At handed out.
template <class Items>
class CEnumerator : public Items::Interface {
public:
    using Source = typename Items::Source;
    using Item = typename Items::Item;

    // Starts at the first item, or continues where `from` stands (Clone).
    CEnumerator(Source* source, const CEnumerator* from)
        : source_(RefPtr<Source>::AddRefOf(source)),
          position_(from ? from->position_ : 0),
          version_(from ? from->version_ : Items::Version(source)) {}
    virtual ~CEnumerator() = default;
    CEnumerator(const CEnumerator&) = delete;
    CEnumerator& operator=(const CEnumerator&) = delete;

    KYR_COM_OWN_IUNKNOWN(CEnumerator)

    STDMETHODIMP Next(ULONG count, Item* items, ULONG* fetched) override {
        if (fetched) *fetched = 0;
        if (!items) return E_POINTER;
        // COM allows a null count pointer only when one item is asked for.
        if (!fetched && count != 1) return E_POINTER;
        if (OutOfSync()) return VFW_E_ENUM_OUT_OF_SYNC;
        ULONG got = 0;
        while (got < count) {
            const HRESULT hr = Items::At(source_.Get(), position_, &items[got]);
            if (hr == S_FALSE) break;
            if (FAILED(hr)) {
                // Hand back nothing rather than a part the caller cannot tell from success.
                for (ULONG i = 0; i < got; ++i) {
                    Items::Free(items[i]);
                    items[i] = nullptr;
                }
                return hr;
            }
            ++position_;
            ++got;
        }
        if (fetched) *fetched = got;
        return got == count ? S_OK : S_FALSE;
    }

    STDMETHODIMP Skip(ULONG count) override {
        if (OutOfSync()) return VFW_E_ENUM_OUT_OF_SYNC;
        for (; count > 0; --count) {
            Item item{};
            const HRESULT hr = Items::At(source_.Get(), position_, &item);
            if (hr != S_OK) return hr;  // S_FALSE past the end
            Items::Free(item);
            ++position_;
        }
        return S_OK;
    }

    STDMETHODIMP Reset() override {
        version_ = Items::Version(source_.Get());
        position_ = 0;
        return S_OK;
    }

    STDMETHODIMP Clone(typename Items::Interface** copy) override {
        if (!copy) return E_POINTER;
        *copy = nullptr;
        if (OutOfSync()) return VFW_E_ENUM_OUT_OF_SYNC;
        auto* e = new (std::nothrow) CEnumerator(source_.Get(), this);
        if (!e) return E_OUTOFMEMORY;
        return e->QueryInterface(Items::Iid(), reinterpret_cast<void**>(copy));
    }

private:
    static const ComInterfaceEntry* QueryTable() {
        using Interface = typename Items::Interface;
        static const ComInterfaceEntry table[] = {
            {&IID_IUnknown, ComBaseOffset<CEnumerator, Interface>()},
            {&Items::Iid(), ComBaseOffset<CEnumerator, Interface>()},
            KYR_COM_END,
        };
        return table;
    }
    bool OutOfSync() const { return version_ != Items::Version(source_.Get()); }

    ComRefCount refs_;
    const RefPtr<Source> source_;
    int position_ = 0;
    LONG version_;
};

// A filter's pins (CBaseFilter::GetPin, GetPinVersion), each with a reference.
struct PinItems {
    using Interface = IEnumPins;
    using Item = IPin*;
    using Source = CBaseFilter;
    static const IID& Iid() { return IID_IEnumPins; }
    static LONG Version(Source* filter);
    static HRESULT At(Source* filter, int index, Item* pin);
    static void Free(Item pin) { pin->Release(); }
};

// A pin's media types (CBasePin::GetMediaType, GetMediaTypeVersion), each a copy made by
// CreateMediaType; E_OUTOFMEMORY when a copy fails.
struct MediaTypeItems {
    using Interface = IEnumMediaTypes;
    using Item = AM_MEDIA_TYPE*;
    using Source = CBasePin;
    static const IID& Iid() { return IID_IEnumMediaTypes; }
    static LONG Version(Source* pin);
    static HRESULT At(Source* pin, int index, Item* type);
    static void Free(Item type);
};

using CEnumPins = CEnumerator<PinItems>;
using CEnumMediaTypes = CEnumerator<MediaTypeItems>;

}  // namespace KYR
