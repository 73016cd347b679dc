// IEnumMediaTypes over the types a CBasePin proposes (its GetMediaType list). It holds a
// reference on the pin (and so on its filter) and goes out of sync when the list changes.
#pragma once

#include <windows.h>

#include <strmif.h>

#include "engine/media/dshow/ComBase.h"

namespace KYR {

class CBasePin;

class CEnumMediaTypes : public IEnumMediaTypes {
public:
    CEnumMediaTypes(CBasePin* pin, const CEnumMediaTypes* from);
    virtual ~CEnumMediaTypes();
    CEnumMediaTypes(const CEnumMediaTypes&) = delete;
    CEnumMediaTypes& operator=(const CEnumMediaTypes&) = delete;

    KYR_COM_OWN_IUNKNOWN(CEnumMediaTypes)
    // Each type handed out is the caller's: DeleteMediaType frees it.
    STDMETHODIMP Next(ULONG count, AM_MEDIA_TYPE** types, ULONG* fetched) override;
    STDMETHODIMP Skip(ULONG count) override;
    STDMETHODIMP Reset() override;
    STDMETHODIMP Clone(IEnumMediaTypes** copy) override;

private:
    static const ComInterfaceEntry* QueryTable();
    bool OutOfSync() const;

    ComRefCount refs_;
    CBasePin* const pin_;  // counted
    int position_ = 0;
    LONG version_;
};

}  // namespace KYR
