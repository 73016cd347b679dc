// Owns one reference on an engine object (or any object with AddRef/Release) and gives it up
// when it goes. The engine hands out new objects with one reference that the receiver owns.
#pragma once

#include <utility>

#include "engine/factory/InterfaceFactory.h"

template <class T>
class Own {
public:
    Own() = default;
    explicit Own(T* owned) : p_(owned) {}
    ~Own() { Reset(); }
    Own(Own&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    Own& operator=(Own&& o) noexcept {
        if (this != &o) {
            Reset();
            p_ = std::exchange(o.p_, nullptr);
        }
        return *this;
    }
    Own(const Own&) = delete;
    Own& operator=(const Own&) = delete;

    T* Get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    void Reset() {
        if (p_) std::exchange(p_, nullptr)->Release();
    }

private:
    T* p_ = nullptr;
};

// A top-level engine interface from the factory, as the interface of its kind.
template <class T>
Own<T> CreateKind(KYR::InterfaceKind kind) {
    return Own<T>(static_cast<T*>(KYR::CreateKYRInterface(kind)));
}

// An object from a CreateObject that hands out the interface's pointer as void* (graphics and
// sound) or as IKYRInterface* (standard services).
template <class T, class Maker, class Id>
Own<T> CreateFrom(Maker* maker, const Id& id) {
    return Own<T>(static_cast<T*>(maker->CreateObject(id)));
}
