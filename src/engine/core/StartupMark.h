// Steps on the way to the tool's first page, named in the debug output. The start-up
// benchmark listens to that output as a debug monitor does and stamps each step as it comes
// (bench/DebugTimeline.h); without a debugger or monitor a mark costs a few microseconds.
#pragma once

#include <windows.h>

namespace KYR {

inline void MarkStartup(const char* step) { OutputDebugStringA(step); }

}  // namespace KYR
