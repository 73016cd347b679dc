#include "engine/media/std/StdTrig.h"

#include <cmath>
#include <cstdlib>

#include "engine/core/SineTable.h"

namespace KYR {
namespace {

constexpr int32_t kAtanHalf = 32768;
float g_atan[2 * kAtanHalf + 1];
const float* const g_atanMid = g_atan + kAtanHalf;  // index -32768 .. 32768

constexpr float kPi = 3.1415927f;

void FillAtan() {
    for (int32_t j = -kAtanHalf; j < kAtanHalf; ++j)
        g_atan[j + kAtanHalf] =
            static_cast<float>(std::atan(j / static_cast<double>(kAtanHalf)) * 180.0 / kPi);
    g_atan[2 * kAtanHalf] = 45.0f;
}

// T[j], j the truncation of num / den x 32768 with |num| <= |den|, den != 0.
float AtanOfRatio(int32_t num, int32_t den) {
    const double q = static_cast<double>(num) / static_cast<double>(den) * -32768.0;
    const int32_t j = -static_cast<int32_t>(q);
    return g_atanMid[j];
}

}  // namespace

void BuildTrigTables() {
    FillSineTable();
    static const bool filled = (FillAtan(), true);  // thread-safe once
    (void)filled;
}

// The same table arithmetic as the render batches' rotations.
float SinDeg(float degrees) { return TableSinCosDeg(degrees).s; }

float CosDeg(float degrees) { return TableSinCosDeg(degrees).c; }

float Atan2Deg(int32_t y, int32_t x) {
    if (y == 0 && x == 0) return 0.0f;
    // Magnitudes in 64 bits: the negation of INT_MIN does not fit in 32.
    const int64_t ax = std::llabs(static_cast<int64_t>(x));
    const int64_t ay = std::llabs(static_cast<int64_t>(y));
    if (ax > ay) {
        const float r = AtanOfRatio(y, x);
        if (x >= 0) return r;
        return y >= 0 ? r + 180.0f : r - 180.0f;
    }
    const float d = AtanOfRatio(x, y);
    return y >= 0 ? 90.0f - d : -d - 90.0f;
}

float PowInt(float x, int32_t n) {
    const bool divide = n < 0;
    // The count as unsigned: -INT_MIN does not fit in int32.
    uint32_t left = divide ? 0u - static_cast<uint32_t>(n) : static_cast<uint32_t>(n);
    float r = 1.0f;
    while (left > 0) {
        // Once the value is 0, infinite or NaN, or x is +-1, every further step only flips
        // the sign by x's: finishing at once gives the same float as running out the count,
        // which for |n| near 2^31 would take seconds.
        const bool zeroStays = r == 0.0f && (divide ? x != 0.0f : std::isfinite(x));
        const bool infinityStays = std::isinf(r) && (divide ? !std::isinf(x) : x != 0.0f);
        const bool settled =
            std::isnan(r) || std::fabs(x) == 1.0f || zeroStays || infinityStays;
        if (settled) {
            if (!std::isnan(r) && std::signbit(x) && (left & 1u)) r = -r;
            break;
        }
        r = divide ? r / x : r * x;
        --left;
    }
    return r;
}

}  // namespace KYR
