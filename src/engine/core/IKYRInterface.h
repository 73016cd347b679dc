// The contract every engine object shares: an intrusive reference count that starts at 1,
// and the fixed first three virtual slots AddRef, Release, GetRefCount. Each interface
// declares its own operations from slot 3 on and its virtual destructor last, so the root
// itself has no virtual destructor (it would take slot 3).
#pragma once

#include <cstdint>

namespace KYR {

class IKYRInterface {
public:
    virtual int32_t AddRef() = 0;
    virtual int32_t Release() = 0;
    virtual int32_t GetRefCount() const = 0;

protected:
    IKYRInterface() = default;
    ~IKYRInterface() = default;
    IKYRInterface(const IKYRInterface&) = delete;
    IKYRInterface& operator=(const IKYRInterface&) = delete;
};

// Implements the three counting slots for a concrete class over the interface I. The count
// is a plain integer (not interlocked): engine objects are counted on one thread, and the
// graphics objects under their device's lock. The device and its textures, which
// DirectShow's streaming thread counts too, use SharedRefCounted: the same class with an
// interlocked count of the same place and size.
template <class I, class Count = int32_t>
class RefCounted : public I {
public:
    int32_t AddRef() override { return ++refCount_; }
    int32_t Release() override {
        const int32_t n = --refCount_;
        if (n == 0) delete this;  // the virtual destructor: the class's last slot
        return n;
    }
    int32_t GetRefCount() const override { return refCount_; }

protected:
    RefCounted() = default;
    // Overrides the interface's destructor where it declares one (its last slot); where it
    // has none (IDataStream, ISoundReader), this adds it after the interface's operations.
    virtual ~RefCounted() = default;

private:
    Count refCount_{1};
};

}  // namespace KYR
