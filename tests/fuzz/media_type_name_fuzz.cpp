// Type names reach the media streams from game data (script and archive entries), in
// Shift-JIS. Lower-casing must never read past the terminator, keep the length, change
// nothing but ASCII capitals outside double-byte characters, and be idempotent.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "engine/media/graph/MediaTypeName.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const char* name = text.c_str();  // stops at the first NUL, as a C caller's string would
    const std::string in(name);
    const std::string lower = KYR::LowerTypeName(name);
    if (lower.size() != in.size()) std::abort();
    for (size_t i = 0; i < in.size(); ++i) {
        const unsigned char a = static_cast<unsigned char>(in[i]);
        const unsigned char b = static_cast<unsigned char>(lower[i]);
        if (a != b && !(a >= 'A' && a <= 'Z' && b == a + 32)) std::abort();
    }
    if (KYR::LowerTypeName(lower.c_str()) != lower) std::abort();
    if (KYR::UsesDirectShow(name, false) != KYR::UsesDirectShow(lower.c_str(), false))
        std::abort();
    return 0;
}
