// The millisecond clock of frame pacing: timeGetTime in the product. It wraps every 49.7
// days, so callers compare its values by signed difference only.
#pragma once

#include <cstdint>

namespace KYR {

using MillisecondClock = uint32_t (*)();

uint32_t SystemMilliseconds();

}  // namespace KYR
