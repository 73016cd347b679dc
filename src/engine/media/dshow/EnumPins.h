// IEnumPins over a CBaseFilter's pins. It holds a reference on the filter, and reports
// VFW_E_ENUM_OUT_OF_SYNC once the filter's set of pins changed (Reset resynchronises).
#pragma once

#include <windows.h>

#include <strmif.h>

#include "engine/media/dshow/ComBase.h"

namespace KYR {

class CBaseFilter;

class CEnumPins : public IEnumPins {
public:
    // Starts at the first pin, or continues where `from` stands (Clone).
    CEnumPins(CBaseFilter* filter, const CEnumPins* from);
    virtual ~CEnumPins();
    CEnumPins(const CEnumPins&) = delete;
    CEnumPins& operator=(const CEnumPins&) = delete;

    KYR_COM_OWN_IUNKNOWN(CEnumPins)
    STDMETHODIMP Next(ULONG count, IPin** pins, ULONG* fetched) override;
    STDMETHODIMP Skip(ULONG count) override;
    STDMETHODIMP Reset() override;
    STDMETHODIMP Clone(IEnumPins** copy) override;

private:
    static const ComInterfaceEntry* QueryTable();
    bool OutOfSync() const;

    ComRefCount refs_;
    CBaseFilter* const filter_;  // counted
    int position_ = 0;
    LONG version_;
};

}  // namespace KYR
