// Graphics objects that own default-pool Direct3D resources implement this as a second base
// and register it with their device (CKYRD3D::RegisterLostable). The device calls it around
// every reset and release: Direct3D 9 refuses Reset while any default-pool resource lives.
#pragma once

#include <cstdint>

namespace KYR {

enum LostableKind : int32_t {
    kLostableLineBatch = 0,
    kLostableEffect = 1,
    kLostableTexture = 2,
    kLostableBackBuffer = 3,
};

class ILostable {
public:
    // Releases every default-pool resource and keeps what is needed to rebuild it. Must be
    // callable when nothing was created.
    virtual void OnLostDevice() = 0;
    // Rebuilds the released resources on the (new) device; true without work when nothing is
    // held.
    virtual bool OnResetDevice() = 0;
    virtual int32_t GetLostableKind() = 0;

protected:
    ILostable() = default;
    ~ILostable() = default;  // never deleted through this base
    ILostable(const ILostable&) = delete;
    ILostable& operator=(const ILostable&) = delete;
};

}  // namespace KYR
