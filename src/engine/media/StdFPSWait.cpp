#include "engine/media/StdFPSWait.h"

namespace KYR {

uint32_t CStdFPSWait::Start(uint32_t framesPerSecond) {
    if (active_ || framesPerSecond == 0) return 0;
    framesPerSecond_ = framesPerSecond;
    interval_ = 65536000u / framesPerSecond;  // 1000 ms in 16.16
    accumulator_ = 0;
    baseTime_ = clock_();
    active_ = true;
    return baseTime_;
}

void CStdFPSWait::Stop() {
    if (!active_) return;
    interval_ = 0;
    accumulator_ = 0;
    baseTime_ = 0;
    active_ = false;
}

uint32_t CStdFPSWait::Wait() {
    if (!active_) return 0;
    const uint32_t now = clock_();
    accumulator_ = (accumulator_ & 0xFFFFu) + interval_;
    const uint32_t step = accumulator_ >> 16;
    // Signed: a caller back slightly before the base time is early, not 49 days late, and
    // the clock's wrap-around after 49.7 days leaves the difference intact.
    const int64_t elapsed = static_cast<int32_t>(now - baseTime_);
    if (elapsed < static_cast<int64_t>(step)) {
        baseTime_ += step;
        late_ = false;
        return static_cast<uint32_t>(static_cast<int64_t>(step) - elapsed);
    }
    uint64_t lag = static_cast<uint64_t>(elapsed) - step;
    // A lag of 4 x rate milliseconds (240 ms at 60 per second) is dropped rather than worked
    // off: catching up would run a long burst of frames without any wait.
    if (lag >= 4ull * framesPerSecond_) lag = 0;
    late_ = lag >= 3ull * step;
    baseTime_ = now - static_cast<uint32_t>(lag);
    return 0;
}

}  // namespace KYR
