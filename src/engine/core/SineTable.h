// The engine's 64K-entry sine table: entry i = sin(i * 2pi / 65536), pi in single precision.
// The first quad or triangle batch or standard-services object fills it; the batches and the
// standard services' degree functions read it instead of calling the library per vertex or
// per call.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>

namespace KYR {

constexpr std::size_t kSineTableSize = 65536;

// Fills the table on the first call only; later calls (from any thread) return at once, so
// readers never see it rewritten.
void FillSineTable();

// The table's 65536 entries, process-wide; all zero until FillSineTable has run.
const float* SineTable();

struct SinCos {
    float s;
    float c;
};

namespace detail {
extern float g_sineTable[kSineTableSize];
// Angles past the int32 range and non-finite ones: rare, so out of line.
SinCos TableSinCosOfLargeTurns(float tableSteps);
}  // namespace detail

// Sine and cosine from an angle in table steps (65,536 to the turn) within the int32 range:
// the entry below the angle plus a first-order step toward the next one. The table index is
// the angle's low 16 bits, so a negative or large angle wraps like any other.
inline SinCos TableSinCosOfSteps(float steps) {
    const int32_t k = static_cast<int32_t>(steps);
    const uint32_t index = static_cast<uint32_t>(k) & 0xFFFFu;
    const float fraction = steps - static_cast<float>(k);
    const float s = detail::g_sineTable[index];
    const float c = detail::g_sineTable[(index + 16384u) & 0xFFFFu];
    constexpr float kTwoPi = 2.0f * 3.1415927f;
    return {s + c * fraction * kTwoPi / 65536.0f, c - s * fraction * kTwoPi / 65536.0f};
}

// Sine and cosine of an angle in degrees from the table; an infinite or NaN angle counts as
// 0. Inline: the batches call it three times per sprite, and the call would cost as much as
// the lookup.
inline SinCos TableSinCosDeg(float degrees) {
    const float a = degrees / 360.0f * 65536.0f;
    if (!(std::fabs(a) < 2147483648.0f)) return detail::TableSinCosOfLargeTurns(a);
    return TableSinCosOfSteps(a);
}

}  // namespace KYR
