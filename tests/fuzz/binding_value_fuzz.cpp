// The binding value reader takes whatever a player's Game.ini holds. It must never crash,
// and whatever it accepts must write back to a text that reads the same; the display text
// must be built without indexing outside the name tables whatever the numbers are.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "input/BindingText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The profile read hands over at most 255 characters, NUL-terminated.
    const std::string text(reinterpret_cast<const char*>(data), size < 255 ? size : 255);
    KYR::KeyBinding first;
    if (!KYR::ParseBindingValue(text.c_str(), &first)) return 0;
    const std::string written = KYR::FormatBindingValue(first);
    KYR::KeyBinding second;
    if (!KYR::ParseBindingValue(written.c_str(), &second) || !(second == first)) std::abort();
    if (KYR::FormatBindingValue(second) != written) std::abort();
    (void)KYR::BindingDisplayText(first);
    return 0;
}
