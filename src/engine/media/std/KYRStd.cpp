#include "engine/media/std/KYRStd.h"

#include <new>

#include "engine/graphics/StdGraphicsLoader.h"
#include "engine/media/std/StdFPSWait.h"
#include "engine/media/std/StdFileStream.h"
#include "engine/media/std/StdMemory.h"
#include "engine/media/std/StdObjectIds.h"
#include "engine/media/std/StdTrig.h"

namespace KYR {

CKYRStd::CKYRStd() { BuildTrigTables(); }

IKYRInterface* CKYRStd::CreateObject(const ObjectId& id) {
    if (id == kIdStdGraphicsLoader) return new (std::nothrow) CStdGraphicsLoader;
    if (id == kIdStdFPSWait) return new (std::nothrow) CStdFPSWait;
    if (id == kIdStdFileStream) return new (std::nothrow) CStdFileStream;
    return nullptr;
}

int32_t* CKYRStd::SwapInt(int32_t* a, int32_t* b) {
    if (a && b) {
        const int32_t t = *a;
        *a = *b;
        *b = t;
    }
    return a;
}

void CKYRStd::CopyMemory(void* destination, const void* source, uint32_t length) {
    StdCopyMemory(destination, source, length);
}
void CKYRStd::SwapMemory(void* a, void* b, uint32_t length) { StdSwapMemory(a, b, length); }
void CKYRStd::RepeatMemory(void* destination, const void* source, uint32_t length,
                           uint32_t count) {
    StdRepeatMemory(destination, source, length, count);
}
void CKYRStd::FillWord(void* destination, uint16_t value, uint32_t count) {
    StdFillWord(destination, value, count);
}
void CKYRStd::FillDword(void* destination, uint32_t value, uint32_t count) {
    StdFillDword(destination, value, count);
}
float CKYRStd::SinDeg(float degrees) { return KYR::SinDeg(degrees); }
float CKYRStd::CosDeg(float degrees) { return KYR::CosDeg(degrees); }
float CKYRStd::Atan2Deg(int32_t y, int32_t x) { return KYR::Atan2Deg(y, x); }
float CKYRStd::PowInt(float x, int32_t n) { return KYR::PowInt(x, n); }

}  // namespace KYR
