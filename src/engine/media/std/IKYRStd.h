// The engine's standard-services interface (kind 0 of the interface factory).
//
// Slot 5 is named CopyMemory, which <windows.h> defines as a macro (to RtlCopyMemory, itself a
// macro for memcpy). This header is the one place that deals with it: it takes <windows.h>
// first, so its include guard keeps the macro from coming back, and then removes the macro.
// Code that includes this header calls memcpy where it would have written CopyMemory.
#pragma once

#ifdef _WIN32
#include <windows.h>
#endif
#undef CopyMemory

#include <cstdint>

#include "engine/core/IKYRInterface.h"
#include "engine/core/ObjectId.h"

namespace KYR {

class IKYRStd : public IKYRInterface {
public:
    // A new object with one reference for the caller (StdObjectIds.h), or null.
    virtual IKYRInterface* CreateObject(const ObjectId& id) = 0;
    virtual int32_t* SwapInt(int32_t* a, int32_t* b) = 0;
    virtual void CopyMemory(void* destination, const void* source, uint32_t length) = 0;
    virtual void SwapMemory(void* a, void* b, uint32_t length) = 0;
    virtual void RepeatMemory(void* destination, const void* source, uint32_t length,
                              uint32_t count) = 0;
    virtual void FillWord(void* destination, uint16_t value, uint32_t count) = 0;
    virtual void FillDword(void* destination, uint32_t value, uint32_t count) = 0;
    virtual float SinDeg(float degrees) = 0;
    virtual float CosDeg(float degrees) = 0;
    virtual float Atan2Deg(int32_t y, int32_t x) = 0;
    virtual float PowInt(float x, int32_t n) = 0;
    virtual ~IKYRStd() = default;
};

}  // namespace KYR
