// Steps on the way to the tool's first page, named in the debug output. The start-up
// benchmark listens to that output as a debug monitor does and stamps each step as it comes
// (bench/DebugTimeline.h).
#pragma once

#include <windows.h>

namespace KYR {

// Only a debugger, or a debug monitor that is there when the first mark is made, is told:
// OutputDebugString costs a request to Wine's server even when nobody listens.
inline void MarkStartup(const char* step) {
    static const bool heard = [] {
        if (IsDebuggerPresent()) return true;
        HANDLE monitor = OpenEventA(SYNCHRONIZE, FALSE, "DBWIN_BUFFER_READY");
        if (monitor) CloseHandle(monitor);
        return monitor != nullptr;
    }();
    if (heard) OutputDebugStringA(step);
}

}  // namespace KYR
