// The engine's debug singleton. The tool only creates and destroys it; its construction
// also makes sure the process-wide lock exists.
#pragma once

#include <boost/shared_ptr.hpp>

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/core/CriticalSection.h"
#include "engine/core/singleton.h"

namespace KYR {

// The process-wide lock: created by the first CGDebug, kept by later ones.
boost::shared_ptr<CCriticalSection>& ProcessLock();

class CGDebug : public singleton<CGDebug> {
public:
    struct Entry {
        uint32_t id;
        uint32_t value;
    };
    static_assert(sizeof(Entry) == 8, "debug entries are 8 bytes");

    CGDebug();
    ~CGDebug() override;

    const std::vector<Entry>& Entries() const { return entries_; }

private:
    std::vector<Entry> entries_;
    std::unordered_map<std::string, uint32_t> table_;
    uint32_t counterA_ = 0;
    uint32_t counterB_ = 0;
};

}  // namespace KYR
