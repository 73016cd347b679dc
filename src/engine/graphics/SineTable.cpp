#include "engine/graphics/SineTable.h"

#include <cmath>

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

}  // namespace

void FillSineTable() {
    static const bool filled = (Fill(), true);  // thread-safe once
    (void)filled;
}

const float* SineTable() { return g_sine; }

}  // namespace KYR
