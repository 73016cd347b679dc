// The third page of the sheet: a read-only report of the processor, memory, joystick and
// graphics adapter, built once when the page is first shown.
#pragma once

#include <windows.h>

#include "ui/HardwareReport.h"

namespace KYR {
class IKYRD3D;
class IKYRWin;
}

// The page parameter: the engine interfaces the page asks, borrowed from the application.
// Without graphics the report fails like a failed adapter query; without the window
// interface the report keeps the dialog's font.
struct HardwarePageInterfaces {
    KYR::IKYRD3D* graphics;
    KYR::IKYRWin* window;
};

INT_PTR CALLBACK HardwarePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

namespace KYR {

// The facts of this machine. Asks `graphics` (may be null) for the adapter at 640 x 480 and
// the input reader for its device count.
HardwareFacts GatherHardwareFacts(IKYRD3D* graphics);

// The processor's brand string by CPUID, or "Unknown CPU" without the extended leaves.
std::string ProcessorName();

}  // namespace KYR

// Builds the report into the page's field; on a failed adapter query shows the "Fatal error"
// box owned by the sheet and leaves the field empty.
void BuildHardwareReport(KYR::IKYRD3D* graphics);
