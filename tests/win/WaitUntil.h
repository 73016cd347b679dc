// Polling for a condition that other threads bring about (a graph's streaming threads, the
// sound mixer). Deadlines are generous: Wine's GStreamer-backed parsers and its mixer run
// slowly on the emulated bench, and a test should fail on a wrong result, not a slow one.
#pragma once

#include <windows.h>

namespace kyrtest {

// True once `done()` holds; false when `timeoutMs` passed first.
template <class F>
bool WaitUntil(F done, DWORD timeoutMs = 120000, DWORD pollMs = 20) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(pollMs);
    }
    return true;
}

}  // namespace kyrtest
