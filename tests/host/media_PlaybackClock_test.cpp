#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine/media/graph/PlaybackClock.h"

namespace {

using namespace KYR;

// Each row is a game's sequence of calls at given times, and where the stream then is.
TEST(PlaybackClock, FollowsRunHoldSeekAndRate) {
    struct Step {
        char op;  // r run, h hold, s seek to `arg`, x rate `arg` percent
        uint64_t at;
        uint32_t arg;
    };
    struct Row {
        const char* name;
        std::vector<Step> steps;
        uint64_t readAt;
        uint64_t expected;
    } rows[] = {
        {"never run", {}, 5000, 0},
        {"run from 0", {{'r', 1000, 0}}, 3500, 2500},
        {"a second Run does not restart the count", {{'r', 1000, 0}, {'r', 2000, 0}}, 3000, 2000},
        {"held keeps its place", {{'r', 0, 0}, {'h', 700, 0}}, 9000, 700},
        {"held and run again", {{'r', 0, 0}, {'h', 700, 0}, {'r', 5000, 0}}, 5300, 1000},
        {"seek while running", {{'r', 0, 0}, {'s', 2000, 500}}, 2250, 750},
        {"seek while held", {{'s', 100, 1500}}, 9000, 1500},
        {"double speed from 1 s", {{'r', 0, 0}, {'x', 1000, 200}}, 2000, 3000},
        {"half speed, then held", {{'x', 0, 50}, {'r', 0, 0}, {'h', 4000, 0}}, 8000, 2000},
        {"rate 0 stands still", {{'r', 0, 0}, {'x', 400, 0}}, 9000, 400},
        {"a read from before the last seek counts no time", {{'r', 0, 0}, {'s', 1000, 300}}, 900, 300},
        {"runs on past any end", {{'r', 0, 0}}, 100000, 100000},
    };
    for (const Row& r : rows) {
        PlaybackClock clock;
        for (const Step& s : r.steps) {
            if (s.op == 'r') clock.Run(s.at);
            if (s.op == 'h') clock.Hold(s.at);
            if (s.op == 's') clock.Seek(s.at, s.arg);
            if (s.op == 'x') clock.SetRate(s.at, s.arg / 100.0);
        }
        EXPECT_EQ(clock.At(r.readAt), r.expected) << r.name;
    }
}

}  // namespace
