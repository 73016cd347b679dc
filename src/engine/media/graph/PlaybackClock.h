// PlaybackClock: the media position of a graph player, kept by the player from what it asked
// the graph to do (run, hold, seek, change rate) and the time that has passed. No Windows API
// (host-tested); the caller supplies the time in milliseconds.
//
// The graph's own answer is not usable as it stands: Wine's filter graph reports its stop
// position from the first completion until the next Stop, so a stream looped by seeking the
// running graph reads as stuck at its end; and a graph whose splitter stalls after a seek
// reports a position that runs on past the end. This clock says where the stream should be.
#pragma once

#include <cstdint>

namespace KYR {

class PlaybackClock {
public:
    // The stream starts advancing from where it was left.
    void Run(uint64_t nowMs);
    // The stream stops advancing and keeps its position.
    void Hold(uint64_t nowMs);
    void Seek(uint64_t nowMs, uint32_t positionMs);
    // `rate` 1 is normal speed; the time run so far keeps the rate it ran at.
    void SetRate(uint64_t nowMs, double rate);
    bool Running() const { return running_; }
    // Milliseconds into the stream, unclamped (it can pass the end).
    uint64_t At(uint64_t nowMs) const;

private:
    double baseMs_ = 0;  // the position at sinceMs_
    uint64_t sinceMs_ = 0;
    double rate_ = 1;
    bool running_ = false;
};

}  // namespace KYR
