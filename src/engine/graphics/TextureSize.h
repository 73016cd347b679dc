// How big a Direct3D texture is made for a requested size. Kept free of Direct3D so the
// host tests can run it under the sanitizers.
#pragma once

#include <cstdint>

namespace KYR {

// The allocated length of one side: at least 4, then the smallest power of two (or, with
// multipleOf4, the smallest multiple of 4) not below the request. 0 when the request or its
// rounded value exceeds maxSide: the check comes first because rounding a request near 2^32
// would not fit in 32 bits.
uint32_t AllocatedTextureSide(uint32_t requested, bool multipleOf4, uint32_t maxSide);

}  // namespace KYR
