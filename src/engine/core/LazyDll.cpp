#include "engine/core/LazyDll.h"

namespace KYR {

BOOL CALLBACK LazyModule::Load(PINIT_ONCE, PVOID self, PVOID*) {
    auto* m = static_cast<LazyModule*>(self);
    m->module_ = LoadLibraryA(m->fileName_);
    return TRUE;
}

FARPROC LazyModule::Proc(const char* exportName) {
    InitOnceExecuteOnce(&once_, &LazyModule::Load, this, nullptr);
    return module_ ? GetProcAddress(module_, exportName) : nullptr;
}

}  // namespace KYR
