#include "engine/core/EventList.h"

namespace KYR {

CEventList::CEventList(EventCreator create) {
    for (int i = 0; i < count_; ++i) {
        events_[i] = create(nullptr, TRUE, FALSE, nullptr);
        if (!events_[i]) return;  // stays invalid; the ones made so far close in the destructor
    }
    valid_ = true;
}

CEventList::~CEventList() {
    for (HANDLE& h : events_) {
        if (h) CloseHandle(h);
        h = nullptr;
    }
}

}  // namespace KYR
