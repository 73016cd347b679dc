#include "engine/graphics/DeviceCaps.h"

namespace KYR {
namespace {

bool Has(const D3DCAPS9& caps, DWORD bits) { return (caps.DevCaps & bits) == bits; }

}  // namespace

DWORD BehaviorFlagsFor(const D3DCAPS9& caps, int32_t type) {
    switch (type) {
    case 0:
        // A pure device keeps no state copies, so it also needs vertex shaders in hardware.
        if (Has(caps, D3DDEVCAPS_HWRASTERIZATION | D3DDEVCAPS_HWTRANSFORMANDLIGHT |
                          D3DDEVCAPS_PUREDEVICE) &&
            caps.VertexShaderVersion >= D3DVS_VERSION(1, 1))
            return D3DCREATE_HARDWARE_VERTEXPROCESSING | D3DCREATE_PUREDEVICE |
                   D3DCREATE_MULTITHREADED;
        return 0;
    case 1:
        if (Has(caps, D3DDEVCAPS_HWRASTERIZATION | D3DDEVCAPS_HWTRANSFORMANDLIGHT))
            return D3DCREATE_MIXED_VERTEXPROCESSING | D3DCREATE_MULTITHREADED;
        return 0;
    case 2:
        if (Has(caps, D3DDEVCAPS_HWRASTERIZATION))
            return D3DCREATE_SOFTWARE_VERTEXPROCESSING | D3DCREATE_MULTITHREADED;
        return 0;
    default:
        return 0;
    }
}

int32_t BestVertexProcessing(const D3DCAPS9& caps) {
    for (int32_t type = 0; type < kVertexProcessingTypes; ++type)
        if (BehaviorFlagsFor(caps, type) != 0) return type;
    return -1;
}

}  // namespace KYR
