#include "engine/media/dshow/ComBase.h"

namespace KYR {

HRESULT QueryInterfaceFromTable(void* object, const ComInterfaceEntry* table, REFIID riid,
                                void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (!object || !table) return E_NOINTERFACE;
    for (const ComInterfaceEntry* e = table; e->iid; ++e) {
        if (!IsEqualIID(riid, *e->iid)) continue;
        auto* itf = reinterpret_cast<IUnknown*>(static_cast<char*>(object) + e->offset);
        itf->AddRef();
        *ppv = itf;
        return S_OK;
    }
    return E_NOINTERFACE;
}

}  // namespace KYR
