#include <windows.h>

#include <mmsystem.h>

#include "engine/media/std/SystemClock.h"

namespace KYR {

uint32_t SystemMilliseconds() { return timeGetTime(); }

}  // namespace KYR
