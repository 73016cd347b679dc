#include "engine/media/graph/PlaybackClock.h"

namespace KYR {

void PlaybackClock::Run(uint64_t nowMs) {
    if (running_) return;
    sinceMs_ = nowMs;
    running_ = true;
}

void PlaybackClock::Hold(uint64_t nowMs) {
    baseMs_ = static_cast<double>(At(nowMs));
    sinceMs_ = nowMs;
    running_ = false;
}

void PlaybackClock::Seek(uint64_t nowMs, uint32_t positionMs) {
    baseMs_ = positionMs;
    sinceMs_ = nowMs;
}

void PlaybackClock::SetRate(uint64_t nowMs, double rate) {
    baseMs_ = static_cast<double>(At(nowMs));
    sinceMs_ = nowMs;
    rate_ = rate > 0 ? rate : 0;
}

uint64_t PlaybackClock::At(uint64_t nowMs) const {
    double at = baseMs_;
    // A time before the last event (a caller's clock read before another thread's seek)
    // counts as no time at all.
    if (running_ && nowMs > sinceMs_) at += static_cast<double>(nowMs - sinceMs_) * rate_;
    return at > 0 ? static_cast<uint64_t>(at) : 0;
}

}  // namespace KYR
