#include "engine/graphics/TextureSize.h"

namespace KYR {

uint32_t AllocatedTextureSide(uint32_t requested, bool multipleOf4, uint32_t maxSide) {
    if (requested > maxSide) return 0;
    // 64 bits: the power of two above a request past 2^31 is 2^32.
    uint64_t side = 4;
    if (multipleOf4) {
        side = (static_cast<uint64_t>(requested) + 3) / 4 * 4;
        if (side < 4) side = 4;
    } else {
        while (side < requested) side *= 2;
    }
    return side <= maxSide ? static_cast<uint32_t>(side) : 0;
}

}  // namespace KYR
