// Window and system services of the engine (kind 1 of the interface factory).
#pragma once

#include <windows.h>

#include "engine/core/IKYRInterface.h"

namespace KYR {

class IKYRWin : public IKYRInterface {
public:
    // Slot 3. Returns a font the caller owns (DeleteObject), or null when height is 0.
    // weightIndex 0..6 maps to FW_LIGHT..FW_HEAVY; any other index gives FW_LIGHT.
    // The face name must fit a LOGFONT (31 characters).
    virtual HFONT CreateFontHandle(const char* faceName, int width, int height,
                                   unsigned weightIndex, bool italic, bool underline,
                                   bool strikeOut) = 0;
    // Slot 4. The desktop's DC, created on first use and reused; borrowed until
    // ReleaseDesktopDC.
    virtual HDC GetDesktopDC() = 0;
    // Slot 5. ReleaseDC's result, or 0 when no DC is held.
    virtual int ReleaseDesktopDC() = 0;
    // Slot 6. Starts the command line and waits for the process to end.
    virtual bool RunAndWait(char* commandLine) = 0;
    // Slot 7. Dispatches the thread's messages until the time has run out (at least one).
    virtual void PumpMessagesFor(DWORD milliseconds) = 0;
    // Slot 8.
    virtual ~IKYRWin() = default;
};

}  // namespace KYR
