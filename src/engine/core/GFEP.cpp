#include "engine/core/GFEP.h"

namespace KYR {

CGFEP::CGFEP() : clauses_(8) {
    SetInstance(this);
    block_ = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, blockSize_);
    if (block_) blockData_ = GlobalLock(block_);
}

CGFEP::~CGFEP() {
    if (block_) {
        if (blockData_) GlobalUnlock(block_);
        GlobalFree(block_);
    }
    block_ = nullptr;
    blockData_ = nullptr;
    blockSize_ = 0;
    ClearInstance();
}

}  // namespace KYR
