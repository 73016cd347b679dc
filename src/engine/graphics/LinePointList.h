// The point list of the line batch. Neighbouring points never coincide: a segment of length 0
// has no direction to widen the line across, so every operation refuses to make one.
#pragma once

#include <cstdint>
#include <deque>

#include "engine/graphics/BatchTypes.h"

namespace KYR {

// A point that cannot be stored for want of memory is dropped.
class LinePointList {
public:
    // Nothing happens when the point equals the current first (last) point.
    void PushFront(const LinePoint& p);
    void PushBack(const LinePoint& p);
    // Between point i and point i + 1, unless p equals either; at the end when i is past it.
    void InsertAfter(uint32_t index, const LinePoint& p);
    void PopFront();
    uint32_t PopBack();  // points left
    // Erases point i, then every following point equal to the one before it, so the gap
    // closes without a repeated point. An index past the end changes nothing.
    void RemoveAt(uint32_t index);
    // Point i, or the first point when i is past the end; null for an empty list. Valid until
    // the list changes.
    const LinePoint* GetPoint(uint32_t index) const;
    uint32_t GetCount() const { return static_cast<uint32_t>(points_.size()); }
    void Clear() { points_.clear(); }

    const std::deque<LinePoint>& Points() const { return points_; }

private:
    std::deque<LinePoint> points_;
};

}  // namespace KYR
