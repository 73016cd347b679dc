#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "engine/media/dshow/AsyncRange.h"

namespace {

using namespace KYR;

constexpr int64_t U = kUnitsPerByte;

TEST(AsyncRange, FitToStream) {
    struct Row {
        int64_t position, length, total;
        int32_t align;
        RangeFit fit;
        int64_t length_after;
    } rows[] = {
        {0, 100, 1000, 1, RangeFit::kWhole, 100},        // well inside
        {900, 100, 1000, 1, RangeFit::kWhole, 100},      // ends exactly at the end
        {900, 200, 1000, 1, RangeFit::kCut, 100},        // runs past: cut to the end
        {1000, 0, 1000, 1, RangeFit::kWhole, 0},         // nothing, at the very end
        {1000, 5, 1000, 1, RangeFit::kCut, 0},           // at the end, asks for more
        {1001, 0, 1000, 1, RangeFit::kInvalid, 0},       // starts past the end
        {-1, 10, 1000, 1, RangeFit::kInvalid, 10},       // negative position
        {0, -1, 1000, 1, RangeFit::kInvalid, -1},        // negative length
        {1000, 8, 1002, 8, RangeFit::kWhole, 8},         // within the aligned total: the
                                                         // stream handles the tail
        {1000, 16, 1002, 8, RangeFit::kCut, 2},          // beyond it: cut to the real end
        {0, 10, 0, 1, RangeFit::kCut, 0},                // empty stream
        {0, std::numeric_limits<int64_t>::max(), 10, 1, RangeFit::kCut, 10},  // no overflow
    };
    for (const Row& r : rows) {
        ByteRange range{r.position, r.length};
        EXPECT_EQ(FitRangeToStream(range, r.total, r.align), r.fit)
            << r.position << "+" << r.length << " of " << r.total;
        if (r.fit != RangeFit::kInvalid) {
            EXPECT_EQ(range.length, r.length_after) << r.position << "+" << r.length;
            EXPECT_EQ(range.position, r.position);
            EXPECT_LE(range.position + range.length,
                      (r.total + r.align - 1) / r.align * r.align);
        }
    }
}

TEST(AsyncRange, TimesToBytes) {
    struct Row {
        int64_t start, stop, position, length;
    } rows[] = {
        {0, 100 * U, 0, 100},
        {50 * U, 60 * U, 50, 10},
        {7 * U, 7 * U, 7, 0},                                  // empty range
        {10 * U, 5 * U, 10, -1},                               // inverted: invalid length
        {-U, 5 * U, -1, -1},                                   // negative start
        {0, std::numeric_limits<int64_t>::max(), 0, std::numeric_limits<int64_t>::max() / U},
        {-std::numeric_limits<int64_t>::max(), std::numeric_limits<int64_t>::max(),
         -std::numeric_limits<int64_t>::max() / U, -1},         // difference would overflow
    };
    for (const Row& r : rows) {
        const ByteRange range = RangeFromTimes(r.start, r.stop);
        EXPECT_EQ(range.position, r.position) << r.start << ".." << r.stop;
        EXPECT_EQ(range.length, r.length) << r.start << ".." << r.stop;
    }
}

TEST(AsyncRange, Alignment) {
    struct Row {
        int64_t value;
        int32_t align;
        bool aligned;
    } rows[] = {
        {0, 1, true}, {13, 1, true}, {13, 0, true},  // 0 and 1 both mean "any"
        {512, 512, true}, {513, 512, false}, {1024, 512, true}, {4, 8, false},
    };
    for (const Row& r : rows)
        EXPECT_EQ(IsAlignedTo(r.value, r.align), r.aligned) << r.value << " / " << r.align;
}

}  // namespace
