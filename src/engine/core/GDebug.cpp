#include "engine/core/GDebug.h"

namespace KYR {

boost::shared_ptr<CCriticalSection>& ProcessLock() {
    static boost::shared_ptr<CCriticalSection> lock;
    return lock;
}

CGDebug::CGDebug() {
    SetInstance(this);
    entries_.reserve(10);
    if (!ProcessLock()) ProcessLock().reset(new CCriticalSection);
}

CGDebug::~CGDebug() { ClearInstance(); }

}  // namespace KYR
