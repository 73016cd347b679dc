#include "engine/media/sound/SoundScales.h"

#include <cmath>

namespace KYR {
namespace {

constexpr int32_t kScaleTop = 100;

// n^2 as 100^log10(n), rounded to single precision at each step and truncated. The steps are
// taken in double and then rounded, so the result does not depend on how a platform's powf
// and log10f round internally (the x87 and SSE paths differ).
int32_t SinglePrecisionSquare(int32_t n) {
    if (n <= 0) return 0;  // log10(0) is -inf and 100^-inf is 0
    const float base = static_cast<float>(n);
    const float exponent = static_cast<float>(std::log10(static_cast<double>(base)));
    const float power = static_cast<float>(std::pow(100.0, static_cast<double>(exponent)));
    return static_cast<int32_t>(power);
}

int32_t TruncatedRoot(int32_t magnitude) {
    return static_cast<int32_t>(std::sqrt(static_cast<double>(magnitude)));
}

}  // namespace

int32_t VolumeToMillibels(int32_t volume) {
    if (volume < 0) return kSilentMillibels;
    if (volume > kScaleTop) return 0;
    return -SinglePrecisionSquare(kScaleTop - volume);
}

int32_t VolumeFromMillibels(int32_t millibels) {
    if (millibels > 0) millibels = 0;
    if (millibels < kSilentMillibels) millibels = kSilentMillibels;
    // The whole difference is truncated, not the root: 100 - sqrt(2499) = 50.01 reads as 50.
    return static_cast<int32_t>(kScaleTop - std::sqrt(static_cast<double>(-millibels)));
}

int32_t PanToMillibels(int32_t pan) {
    if (pan < -kScaleTop) return kSilentMillibels;
    if (pan > kScaleTop) return kFullRightMillibels;
    return pan < 0 ? -SinglePrecisionSquare(-pan) : SinglePrecisionSquare(pan);
}

int32_t PanFromMillibels(int32_t millibels) {
    if (millibels < kSilentMillibels) millibels = kSilentMillibels;
    if (millibels > kFullRightMillibels) millibels = kFullRightMillibels;
    return millibels < 0 ? -TruncatedRoot(-millibels) : TruncatedRoot(millibels);
}

uint32_t FrequencyFromPercent(int32_t percent, uint32_t samplesPerSec) {
    if (percent <= 0) return 0;
    // In integers: through floating point, 35 % of 44100 came out as 15434.999 and truncated
    // one short, and the percentage then read back one low.
    const uint64_t hz = static_cast<uint64_t>(percent) * samplesPerSec / 100;
    return hz > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(hz);
}

int32_t PercentFromFrequency(uint32_t frequency, uint32_t samplesPerSec) {
    if (samplesPerSec == 0) return 0;
    const uint64_t percent = static_cast<uint64_t>(frequency) * 100 / samplesPerSec;
    return percent > INT32_MAX ? INT32_MAX : static_cast<int32_t>(percent);
}

double RateFromPercent(int32_t percent) { return percent > 0 ? percent / 100.0 : 0.0; }

int32_t PercentFromRate(double rate) {
    const double percent = rate * 100.0;
    if (!(percent > 0)) return 0;  // NaN too
    if (percent >= 2147483647.0) return INT32_MAX;
    return static_cast<int32_t>(std::lround(percent));
}

}  // namespace KYR
