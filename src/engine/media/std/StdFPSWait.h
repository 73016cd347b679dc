// CStdFPSWait: frame pacing. The pacer never sleeps: Wait says how long the caller should.
#pragma once

#include <cstdint>

#include "engine/media/std/IStdFPSWait.h"
#include "engine/media/std/SystemClock.h"

namespace KYR {

class CStdFPSWait : public RefCounted<IStdFPSWait> {
public:
    // The clock is the test seam; the product passes nothing and gets timeGetTime.
    explicit CStdFPSWait(MillisecondClock clock = SystemMilliseconds) : clock_(clock) {}

    bool IsLate() override { return late_; }
    // The start time, or 0 when already active or the rate is 0.
    uint32_t Start(uint32_t framesPerSecond) override;
    void Stop() override;
    // Milliseconds to wait before the next frame; 0 when behind, and always 0 when inactive.
    uint32_t Wait() override;

private:
    MillisecondClock clock_;
    bool active_ = false;
    uint32_t interval_ = 0;     // milliseconds per frame, 16.16 fixed point
    uint32_t accumulator_ = 0;  // low 16 bits: the fraction carried to the next frame
    uint32_t baseTime_ = 0;     // when the current frame was due
    uint32_t framesPerSecond_ = 0;
    bool late_ = false;
    uint32_t handedOut_ = 0;  // the wait the last Wait returned: how far the base is ahead
};

}  // namespace KYR
