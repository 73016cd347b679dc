#include "engine/graphics/EffectErrorText.h"

#include <cstring>

namespace KYR {

std::string EffectErrorText(const void* buffer, std::size_t size) {
    std::string text;
    if (buffer && size > 0) {
        const char* chars = static_cast<const char*>(buffer);
        // Native D3DX does terminate it; stop at the zero so the box shows no padding.
        const void* zero = std::memchr(chars, '\0', size);
        text.assign(chars, zero ? static_cast<const char*>(zero) : chars + size);
    }
    if (text.empty()) text = "The effect could not be created.";
    return text;
}

}  // namespace KYR
