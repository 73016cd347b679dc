// The engine's 0-100 sound scales and what DirectSound and DirectShow take instead. Sound
// buffers, media streams and video all convert through these, so the same setting sounds
// the same everywhere.
//
// Volume and pan go out in hundredths of a decibel (millibels): DirectSound's buffer volume
// and pan and DirectShow's IBasicAudio volume and balance share that unit and range.
#pragma once

#include <cstdint>

namespace KYR {

constexpr int32_t kSilentMillibels = -10000;  // DSBVOLUME_MIN, DSBPAN_LEFT
constexpr int32_t kFullRightMillibels = 10000;  // DSBPAN_RIGHT

// Volume 0-100 to -(100 - v)^2 millibels, so the scale is roughly even to the ear. Below 0 is
// silence, above 100 full volume. The square is formed as 100^log10(100 - v) with every step
// rounded to single precision and truncated, which games tuned their levels against: 50 gives
// -2499, not -2500.
int32_t VolumeToMillibels(int32_t volume);
// 100 - sqrt(-millibels), truncated: the value set or, where the square came out one short,
// the same value (never more). Values outside -10000..0 count as the nearest end.
int32_t VolumeFromMillibels(int32_t millibels);

// Pan -100 (left) to 100 (right) to -p^2 or p^2 millibels, squared as the volume is; outside
// the range, the nearest side.
int32_t PanToMillibels(int32_t pan);
// sqrt(|millibels|) truncated, with the sign kept: a pan read back can be one less in
// magnitude than the pan set, never more.
int32_t PanFromMillibels(int32_t millibels);

// Playback rate in percent of the sound's own sample rate, in samples per second, truncated.
// 0 gives 0, which DirectSound takes as "the original rate"; rates past 32 bits give the
// largest value (DirectSound refuses it). A negative percentage is no rate at all: callers
// leave the frequency as it is (the plain arithmetic would wrap it to a value DirectSound
// refuses), and this gives 0 for it.
uint32_t FrequencyFromPercent(int32_t percent, uint32_t samplesPerSec);
// The rate as a percentage of the sound's sample rate, truncated; 0 for a rate of 0 Hz.
int32_t PercentFromFrequency(uint32_t frequency, uint32_t samplesPerSec);

// DirectShow playback rate (1.0 is normal speed) for a speed in percent, in floating point:
// 150 is 1.5, never 1. Zero and negative speeds, which no graph accepts, give 0.
double RateFromPercent(int32_t percent);
// The speed in percent for a rate, rounded to the nearest: 0.29 cannot be stored exactly
// and must still read back as 29.
int32_t PercentFromRate(double rate);

}  // namespace KYR
