#include "engine/graphics/SineTable.h"

#include <cmath>
#include <cstdint>

namespace KYR {
namespace {

float g_sine[kSineTableSize];

void Fill() {
    // The angle is formed in double: in float, i * 2pi loses the low bits of i near the top
    // of the table and neighbouring entries would repeat.
    const double step = 2.0 * 3.14159265358979323846 / static_cast<double>(kSineTableSize);
    for (std::size_t i = 0; i < kSineTableSize; ++i)
        g_sine[i] = static_cast<float>(std::sin(static_cast<double>(i) * step));
}

constexpr float kTwoPi = 2.0f * 3.1415927f;

}  // namespace

void FillSineTable() {
    static const bool filled = (Fill(), true);  // thread-safe once
    (void)filled;
}

const float* SineTable() { return g_sine; }

SinCos TableSinCosDeg(float degrees) {
    const float a = degrees / 360.0f * 65536.0f;
    uint32_t index = 0;
    float fraction = 0.0f;
    if (std::fabs(a) < 2147483648.0f) {  // also false for NaN
        const int32_t k = static_cast<int32_t>(a);
        index = static_cast<uint32_t>(k) & 0xFFFFu;
        fraction = a - static_cast<float>(k);
    } else if (std::isfinite(a)) {
        // Truncating a float of 2^31 or more into int32 is undefined. Such floats are whole
        // numbers, so the fraction is 0 and fmod gives the index exactly.
        index = static_cast<uint32_t>(static_cast<int32_t>(std::fmod(a, 65536.0f))) & 0xFFFFu;
    }
    const float s = g_sine[index];
    const float c = g_sine[(index + 16384u) & 0xFFFFu];
    return {s + c * fraction * kTwoPi / 65536.0f, c - s * fraction * kTwoPi / 65536.0f};
}

}  // namespace KYR
