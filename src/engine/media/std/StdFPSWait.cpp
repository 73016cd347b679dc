#include "engine/media/std/StdFPSWait.h"

namespace KYR {

uint32_t CStdFPSWait::Start(uint32_t framesPerSecond) {
    if (active_ || framesPerSecond == 0) return 0;
    framesPerSecond_ = framesPerSecond;
    interval_ = 65536000u / framesPerSecond;  // 1000 ms in 16.16
    accumulator_ = 0;
    baseTime_ = clock_();
    handedOut_ = 0;
    active_ = true;
    return baseTime_;
}

void CStdFPSWait::Stop() {
    if (!active_) return;
    interval_ = 0;
    accumulator_ = 0;
    baseTime_ = 0;
    handedOut_ = 0;
    active_ = false;
}

uint32_t CStdFPSWait::Wait() {
    if (!active_) return 0;
    const uint32_t now = clock_();
    accumulator_ = (accumulator_ & 0xFFFFu) + interval_;
    const uint32_t step = accumulator_ >> 16;
    // A caller back slightly before the base time is early, not 49 days late. It can be
    // before it by no more than the wait it was last handed: the base is never further ahead
    // of the clock than that. Anything further back is a gap between two calls so long
    // (2^31 ms or more) that the difference wrapped, and that is late, as the plain unsigned
    // difference says; the clock's own wrap-around after 49.7 days leaves it intact.
    const uint32_t elapsed = now - baseTime_;
    const bool before = elapsed > UINT32_MAX - handedOut_;
    if (before || elapsed < step) {
        baseTime_ += step;
        late_ = false;
        handedOut_ = baseTime_ - now;
        return handedOut_;
    }
    uint32_t lag = elapsed - step;
    // A lag of 4 x rate milliseconds (240 ms at 60 per second) is dropped rather than worked
    // off: catching up would run a long burst of frames without any wait.
    if (lag >= 4ull * framesPerSecond_) lag = 0;
    late_ = lag >= 3ull * step;
    baseTime_ = now - lag;
    handedOut_ = 0;
    return 0;
}

}  // namespace KYR
