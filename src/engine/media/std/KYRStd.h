// CKYRStd: the standard services. Its first construction in the process builds the
// trigonometry tables that SinDeg, CosDeg and Atan2Deg read.
#pragma once

#include "engine/media/std/IKYRStd.h"

namespace KYR {

class CKYRStd : public RefCounted<IKYRStd> {
public:
    CKYRStd();

    IKYRInterface* CreateObject(const ObjectId& id) override;
    int32_t* SwapInt(int32_t* a, int32_t* b) override;
    void CopyMemory(void* destination, const void* source, uint32_t length) override;
    void SwapMemory(void* a, void* b, uint32_t length) override;
    void RepeatMemory(void* destination, const void* source, uint32_t length,
                      uint32_t count) override;
    void FillWord(void* destination, uint16_t value, uint32_t count) override;
    void FillDword(void* destination, uint32_t value, uint32_t count) override;
    float SinDeg(float degrees) override;
    float CosDeg(float degrees) override;
    float Atan2Deg(int32_t y, int32_t x) override;
    float PowInt(float x, int32_t n) override;
};

}  // namespace KYR
