#include "engine/media/dshow/AsyncRange.h"

namespace KYR {

ByteRange RangeFromTimes(int64_t start, int64_t stop) {
    ByteRange r;
    r.position = start / kUnitsPerByte;
    // An inverted pair (or a negative start) is marked by a negative length, which the fit
    // refuses; otherwise the difference of two non-negative times cannot overflow.
    r.length = (start < 0 || stop < start) ? -1 : (stop - start) / kUnitsPerByte;
    return r;
}

RangeFit FitRangeToStream(ByteRange& range, int64_t total, int32_t alignment) {
    if (range.position < 0 || range.length < 0 || total < 0) return RangeFit::kInvalid;
    // A start past the end has nothing to cut to: the old arithmetic gave a negative length.
    if (range.position > total) return RangeFit::kInvalid;
    if (range.length <= total - range.position) return RangeFit::kWhole;
    const int64_t align = alignment < 1 ? 1 : alignment;
    const int64_t rounded = (total + align - 1) / align * align;
    if (range.length <= rounded - range.position) return RangeFit::kWhole;
    range.length = total - range.position;
    return RangeFit::kCut;
}

bool IsAlignedTo(int64_t value, int32_t alignment) {
    if (alignment <= 1) return true;
    return value % alignment == 0;
}

}  // namespace KYR
