#include "engine/media/graph/DShowPins.h"

namespace KYR {
namespace {

// The first media type the pin offers with the major type, or false.
bool OffersMajorType(IPin* pin, const GUID& majorType, CMediaType* type) {
    RefPtr<IEnumMediaTypes> types;
    if (FAILED(pin->EnumMediaTypes(types.Put())) || !types) return false;
    for (;;) {
        AM_MEDIA_TYPE* mt = nullptr;
        if (types->Next(1, &mt, nullptr) != S_OK || !mt) return false;
        const bool match = IsEqualGUID(mt->majortype, majorType) != FALSE;
        if (match && type) type->Set(*mt);
        DeleteMediaType(mt);
        if (match) return true;
    }
}

}  // namespace

RefPtr<IPin> FindUnconnectedPin(IBaseFilter* filter, PIN_DIRECTION direction,
                                const GUID* majorType, CMediaType* type) {
    if (!filter) return {};
    RefPtr<IEnumPins> pins;
    if (FAILED(filter->EnumPins(pins.Put())) || !pins) return {};
    for (;;) {
        RefPtr<IPin> pin;
        if (pins->Next(1, pin.Put(), nullptr) != S_OK || !pin) return {};
        PIN_DIRECTION dir;
        if (FAILED(pin->QueryDirection(&dir)) || dir != direction) continue;
        RefPtr<IPin> peer;
        if (SUCCEEDED(pin->ConnectedTo(peer.Put())) && peer) continue;
        if (majorType && !OffersMajorType(pin.Get(), *majorType, type)) continue;
        return pin;
    }
}

}  // namespace KYR
