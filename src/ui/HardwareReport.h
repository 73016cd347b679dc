// The text of the hardware information page, built from facts gathered elsewhere. No
// Windows API here, so the wording and layout are tested natively.
#pragma once

#include <cstdint>
#include <string>

namespace KYR {

struct HardwareFacts {
    std::string cpuName;        // the brand string, or "Unknown CPU"
    int64_t memoryMB = 0;       // total physical memory >> 20
    bool joystickUsable = false;
    bool adapterKnown = false;  // false: the graphics query failed
    std::string adapterDescription;
    uint32_t videoMemoryBytes = 0;
    uint32_t maxTextureWidth = 0;
    uint32_t maxTextureHeight = 0;
    int32_t adapterMode = 0;    // 0 TnL, 1 HAL, 2 emulation; anything else: no line
    bool pixelShader20 = false;
};

// The report with "\r\n" line ends, or "" when the adapter is not known (the page then shows
// an empty field after its error box).
std::string FormatHardwareReport(const HardwareFacts& facts);

// Every "\n" becomes "\r\n" (each once: the inserted pair is not scanned again).
std::string ToCrLf(const std::string& text);

// The processor name from the 48 bytes of the brand-string leaves: the last byte forced to
// zero, taken up to the first zero byte, leading blanks kept.
std::string BrandStringName(const char (&brand)[48]);

}  // namespace KYR
