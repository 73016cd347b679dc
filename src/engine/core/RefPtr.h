// Owns one reference to an object with AddRef/Release: engine interfaces and COM
// interfaces alike. Movable, not copyable; Put() is for out-parameters and releases first.
#pragma once

#include <utility>

namespace KYR {

template <class T>
class RefPtr {
public:
    RefPtr() = default;
    // Takes over a reference the caller already owns (a factory's or a COM out-parameter's).
    explicit RefPtr(T* owned) : p_(owned) {}
    ~RefPtr() { Reset(); }
    RefPtr(RefPtr&& o) noexcept : p_(o.p_) { o.p_ = nullptr; }
    RefPtr& operator=(RefPtr&& o) noexcept {
        if (this != &o) {
            Reset();
            p_ = o.p_;
            o.p_ = nullptr;
        }
        return *this;
    }
    RefPtr(const RefPtr&) = delete;
    RefPtr& operator=(const RefPtr&) = delete;

    // Takes a reference of its own on a borrowed pointer.
    static RefPtr AddRefOf(T* borrowed) {
        if (borrowed) borrowed->AddRef();
        return RefPtr(borrowed);
    }

    T* Get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    T** Put() {
        Reset();
        return &p_;
    }
    // Gives the reference to the caller, who must release it.
    T* Detach() {
        T* p = p_;
        p_ = nullptr;
        return p;
    }
    void Reset() {
        if (p_) {
            T* p = p_;
            p_ = nullptr;
            p->Release();
        }
    }

private:
    T* p_ = nullptr;
};

}  // namespace KYR
