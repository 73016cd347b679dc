// The engine's recursive lock (a Win32 critical section) and its scoped holder.
#pragma once

#include <windows.h>

namespace KYR {

class CCriticalSection {
public:
    CCriticalSection() { InitializeCriticalSection(&cs_); }
    virtual ~CCriticalSection() { DeleteCriticalSection(&cs_); }
    CCriticalSection(const CCriticalSection&) = delete;
    CCriticalSection& operator=(const CCriticalSection&) = delete;

    void Enter() { EnterCriticalSection(&cs_); }
    void Leave() { LeaveCriticalSection(&cs_); }
    // Enters only when no other thread holds the lock; true when entered (Leave it then).
    // For threads that must not block behind a holder that may be waiting for them.
    bool TryEnter() { return TryEnterCriticalSection(&cs_) != FALSE; }

private:
    CRITICAL_SECTION cs_;
};

// Holds the lock exactly for its own lifetime, so a return or an exception always leaves it.
class KYRAutoLock {
public:
    explicit KYRAutoLock(CCriticalSection* cs) : cs_(cs) { cs_->Enter(); }
    virtual ~KYRAutoLock() { cs_->Leave(); }
    KYRAutoLock(const KYRAutoLock&) = delete;
    KYRAutoLock& operator=(const KYRAutoLock&) = delete;

private:
    CCriticalSection* cs_;
};

}  // namespace KYR
