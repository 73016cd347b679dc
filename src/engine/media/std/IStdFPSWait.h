// The frame pacer a game makes through the standard services (kIdStdFPSWait). It never
// sleeps: Wait says how long the caller should before its next frame.
#pragma once

#include <cstdint>

#include "engine/core/IKYRInterface.h"

namespace KYR {

class IStdFPSWait : public IKYRInterface {
public:
    virtual bool IsLate() = 0;  // the last Wait found the caller three frames or more behind
    // The start time (timeGetTime), or 0 when already active or the rate is 0.
    virtual uint32_t Start(uint32_t framesPerSecond) = 0;
    virtual void Stop() = 0;
    // Milliseconds to wait before the next frame; 0 when behind, and always 0 when inactive.
    virtual uint32_t Wait() = 0;
    virtual ~IStdFPSWait() = default;
};

}  // namespace KYR
