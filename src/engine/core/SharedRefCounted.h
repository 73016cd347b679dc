// RefCounted for the engine objects that several threads count at once: the graphics device
// and its textures, which DirectShow's streaming thread makes, holds and lets go of while the
// game's threads do the same. The layout is RefCounted's (one 32-bit count after the table
// pointer); only the updates are interlocked.
#pragma once

#include <atomic>
#include <cstdint>

namespace KYR {

template <class I>
class SharedRefCounted : public I {
public:
    int32_t AddRef() override { return ++refCount_; }
    int32_t Release() override {
        const int32_t n = --refCount_;
        if (n == 0) delete this;  // the virtual destructor: the class's last slot
        return n;
    }
    int32_t GetRefCount() const override { return refCount_; }

protected:
    SharedRefCounted() = default;
    virtual ~SharedRefCounted() = default;  // as RefCounted's

private:
    static_assert(sizeof(std::atomic<int32_t>) == sizeof(int32_t) &&
                      std::atomic<int32_t>::is_always_lock_free,
                  "the count keeps the plain count's place and size");
    std::atomic<int32_t> refCount_{1};
};

}  // namespace KYR
