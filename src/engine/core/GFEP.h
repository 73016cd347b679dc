// The engine's input-method (front-end processor) singleton. The tool only creates and
// destroys it. It keeps a 1024-byte movable global block locked for its whole life, as the
// input-method calls of the game expect a stable address.
#pragma once

#include <windows.h>

#include <boost/noncopyable.hpp>

#include <cstdint>
#include <string>
#include <vector>

#include "engine/core/singleton.h"

namespace KYR {

class CGFEP : public singleton<CGFEP>, private boost::noncopyable {
public:
    CGFEP();
    ~CGFEP() override;

    // The locked block and its size; borrowed, valid while this object lives.
    void* Block() const { return blockData_; }
    uint32_t BlockSize() const { return blockSize_; }

private:
    bool open_ = false;
    bool composing_ = false;
    uint32_t conversion_ = 0;
    uint32_t sentence_ = 0;
    uint32_t reserved_[4] = {0, 0, 0, 0};
    std::string composition_;
    std::string result_;
    std::string reading_;
    std::string candidates_;
    std::string status_;
    uint32_t blockSize_ = 1024;
    uint32_t cursor_ = 0;
    uint32_t candidatePage_ = 32;
    uint32_t candidateIndex_ = 0;
    uint32_t candidateCount_ = 0;
    uint32_t maxChars_ = 512;
    std::vector<uint8_t> attributes_;
    std::vector<uint32_t> clauses_;
    HGLOBAL block_ = nullptr;
    void* blockData_ = nullptr;
};

}  // namespace KYR
