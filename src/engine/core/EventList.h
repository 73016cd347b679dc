// A fixed set of manual-reset events, made together and closed together.
#pragma once

#include <windows.h>

namespace KYR {

class CEventList {
public:
    // The creator is CreateEventA's shape; tests put a failing one in its place.
    using EventCreator = HANDLE(WINAPI*)(LPSECURITY_ATTRIBUTES, BOOL, BOOL, LPCSTR);

    static constexpr int kEventCount = 2;

    explicit CEventList(EventCreator create = &CreateEventA);
    virtual ~CEventList();
    CEventList(const CEventList&) = delete;
    CEventList& operator=(const CEventList&) = delete;

    bool IsValid() const { return valid_; }
    int Count() const { return count_; }
    // Borrowed handles (null where creation stopped).
    const HANDLE* Handles() const { return events_; }

private:
    int count_ = kEventCount;
    bool valid_ = false;
    HANDLE events_[kEventCount] = {};
};

}  // namespace KYR
