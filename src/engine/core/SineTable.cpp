#include "engine/core/SineTable.h"

#include <cmath>
#include <cstdint>

namespace KYR {
namespace detail {
float g_sineTable[kSineTableSize];
}  // namespace detail

namespace {

float* const g_sine = detail::g_sineTable;

void Fill() {
    // Pi is the single-precision 3.1415927, as games were tuned against: it puts entry 32768
    // (sin 180, cos 90) at -8.742278e-08 rather than +1.2e-16. The angle is formed in
    // double: in float, i * 2pi loses the low bits of i near the top of the table and
    // neighbouring entries would repeat.
    constexpr float kPi = 3.1415927f;
    const double step = 2.0 * static_cast<double>(kPi) / static_cast<double>(kSineTableSize);
    for (std::size_t i = 0; i < kSineTableSize; ++i)
        g_sine[i] = static_cast<float>(std::sin(static_cast<double>(i) * step));
}

}  // namespace

void FillSineTable() {
    static const bool filled = (Fill(), true);  // thread-safe once
    (void)filled;
}

const float* SineTable() { return g_sine; }

namespace detail {

SinCos TableSinCosOfLargeTurns(float tableSteps) {
    // Truncating a float of 2^31 or more into int32 is undefined. Such floats are whole
    // numbers, so the fraction is 0 and fmod gives the index exactly. NaN and infinities
    // count as 0 degrees.
    uint32_t index = 0;
    if (std::isfinite(tableSteps))
        index = static_cast<uint32_t>(static_cast<int32_t>(std::fmod(tableSteps, 65536.0f))) &
                0xFFFFu;
    return {g_sine[index], g_sine[(index + 16384u) & 0xFFFFu]};
}

}  // namespace detail

}  // namespace KYR
