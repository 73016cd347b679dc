// Records the one live instance of T in a static pointer. T's constructor stores `this` as
// its first step (SetInstance); T's destructor and this destructor clear it. There is no
// guard against a second instance: the newest one wins, as the engine has always behaved.
#pragma once

namespace KYR {

template <class T>
class singleton {
public:
    // The live instance, or null. Borrowed: never delete it.
    static T* GetInstance() { return instance_; }

protected:
    singleton() = default;
    virtual ~singleton() { instance_ = nullptr; }
    static void SetInstance(T* self) { instance_ = self; }
    static void ClearInstance() { instance_ = nullptr; }

private:
    static inline T* instance_ = nullptr;
};

}  // namespace KYR
