// The engine's texture interface. The slot order is part of the engine's interface: the
// image loader and the game call these through the table.
#pragma once

#include <windows.h>

#include <d3d9.h>

#include <cstdint>

#include "engine/core/IKYRInterface.h"

namespace KYR {

class ID3DTexture : public IKYRInterface {
public:
    virtual uint32_t GetWidth() = 0;   // as requested
    virtual uint32_t GetHeight() = 0;
    // A zero side succeeds and makes nothing. A render target is never compressed.
    virtual bool Create(uint32_t width, uint32_t height, bool renderTarget, bool compressed) = 0;
    virtual void Destroy() = 0;
    // A8R8G8B8: rows of allocated-width pixels at the pitch; DXT5: rows of 16-byte blocks.
    // keepStaging keeps the system-memory copy after Unlock for the next Lock.
    virtual bool Lock(D3DLOCKED_RECT* out, bool keepStaging) = 0;
    virtual void Unlock() = 0;
    virtual uint32_t GetTextureWidth() = 0;  // as allocated
    virtual uint32_t GetTextureHeight() = 0;
    virtual bool IsRenderTarget() = 0;
    virtual bool IsCompressed() = 0;
    virtual ~ID3DTexture() = default;
};

}  // namespace KYR
