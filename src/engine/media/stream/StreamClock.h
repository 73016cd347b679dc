// The arithmetic of a streaming player's clock: where the play cursor of a looping ring
// buffer is in the sound, and how long a buffer lasts. No Windows API (host-tested).
#pragma once

#include <cstdint>

namespace KYR {

// Milliseconds that `bytes` of sound last at `avgBytesPerSec`, truncated; 0 for a rate of 0.
uint32_t BytesToMs(uint64_t bytes, uint32_t avgBytesPerSec);

// The position in the sound of a player that has played `playedMs` before the current pass
// through its buffer and is `cursorMs` into that pass. Below the length it is that sum.
// Past it, a looping sound whose loop position is below the length folds back into the
// loop [loopMs, length); anything else stays at the length (it has ended).
uint32_t FoldPosition(uint64_t playedMs, uint32_t cursorMs, uint32_t lengthMs, bool looping,
                      uint32_t loopMs);

}  // namespace KYR
