#include "engine/graphics/LinePointList.h"

#include <new>

namespace KYR {

void LinePointList::PushFront(const LinePoint& p) {
    if (!points_.empty() && SamePoint(points_.front(), p)) return;
    try {
        points_.push_front(p);
    } catch (const std::bad_alloc&) {
        // The game calls through the engine's table: the point is lost, not the frame.
    }
}

void LinePointList::PushBack(const LinePoint& p) {
    if (!points_.empty() && SamePoint(points_.back(), p)) return;
    try {
        points_.push_back(p);
    } catch (const std::bad_alloc&) {
    }
}

void LinePointList::InsertAfter(uint32_t index, const LinePoint& p) {
    if (index >= points_.size()) {
        PushBack(p);
        return;
    }
    if (SamePoint(points_[index], p)) return;
    if (index + 1u < points_.size() && SamePoint(points_[index + 1u], p)) return;
    try {
        points_.insert(points_.begin() + index + 1, p);
    } catch (const std::bad_alloc&) {
    }
}

void LinePointList::PopFront() {
    if (!points_.empty()) points_.pop_front();
}

uint32_t LinePointList::PopBack() {
    if (!points_.empty()) points_.pop_back();
    return GetCount();
}

void LinePointList::RemoveAt(uint32_t index) {
    if (index >= points_.size()) return;
    points_.erase(points_.begin() + index);
    if (index == 0) return;
    while (index < points_.size() && SamePoint(points_[index], points_[index - 1u]))
        points_.erase(points_.begin() + index);
}

const LinePoint* LinePointList::GetPoint(uint32_t index) const {
    if (points_.empty()) return nullptr;
    return index < points_.size() ? &points_[index] : &points_.front();
}

}  // namespace KYR
