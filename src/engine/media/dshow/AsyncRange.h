// The byte arithmetic of the stream source filter, free of Windows: turning a sample's
// times into a byte range and cutting a range at the end of the stream. Sample times carry
// byte positions scaled by kUnitsPerByte, the convention every pull-mode parser uses.
#pragma once

#include <cstdint>

namespace KYR {

constexpr int64_t kUnitsPerByte = 10000000;

struct ByteRange {
    int64_t position = 0;
    int64_t length = 0;
};

enum class RangeFit {
    kWhole,     // inside the stream as asked
    kCut,       // shortened to end at the end of the stream
    kInvalid,   // negative position or length, or a start past the end
};

// The range that the times [start, stop) describe.
ByteRange RangeFromTimes(int64_t start, int64_t stop);

// Cuts range to the stream's total size. A range that ends past the total but within the
// total rounded up to the alignment is left as it is: such reads are the stream's to handle.
// A range starting exactly at the end fits with whatever is left of it (possibly nothing).
RangeFit FitRangeToStream(ByteRange& range, int64_t total, int32_t alignment);

// Whether value is a whole multiple of alignment (an alignment below 1 counts as 1).
bool IsAlignedTo(int64_t value, int32_t alignment);

}  // namespace KYR
