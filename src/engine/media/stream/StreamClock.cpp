#include "engine/media/stream/StreamClock.h"

namespace KYR {

uint32_t BytesToMs(uint64_t bytes, uint32_t avgBytesPerSec) {
    if (avgBytesPerSec == 0) return 0;
    return static_cast<uint32_t>(bytes * 1000 / avgBytesPerSec);
}

uint32_t FoldPosition(uint64_t playedMs, uint32_t cursorMs, uint32_t lengthMs, bool looping,
                      uint32_t loopMs) {
    const uint64_t p = playedMs + cursorMs;
    if (p < lengthMs) return static_cast<uint32_t>(p);
    if (!looping || loopMs >= lengthMs) return lengthMs;
    // Subtracting the loop's span until the value drops below the length is a remainder;
    // taking it at once keeps a long-running loop from costing a pass per lap.
    const uint64_t span = lengthMs - loopMs;
    return static_cast<uint32_t>(loopMs + (p - loopMs) % span);
}

}  // namespace KYR
