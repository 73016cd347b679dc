// One default-pool Direct3D texture of one level, written through a system-memory copy
// (default-pool textures cannot be locked), optionally a render target with its own depth
// surface, or DXT5. After a device reset it exists again with zeroed content: the owner
// writes it again.
#pragma once

#include <windows.h>

#include <d3d9.h>

#include "engine/core/RefPtr.h"
#include "engine/core/SharedRefCounted.h"
#include "engine/graphics/ID3DTexture.h"
#include "engine/graphics/ILostable.h"

namespace KYR {

class CKYRD3D;

// Counted across threads: the video renderer makes and replaces its frame texture on the
// streaming thread while the game holds it.
class CD3DTexture : public SharedRefCounted<ID3DTexture>, public ILostable {
public:
    explicit CD3DTexture(CKYRD3D* device);  // registers with the device, holds a reference
    ~CD3DTexture() override;

    // The engine's own view of a texture handed in through ID3DTexture: null for null and
    // for any other implementation. Engine code reaches the members below only through here.
    static CD3DTexture* Of(ID3DTexture* texture);

    uint32_t GetWidth() override { return width_; }
    uint32_t GetHeight() override { return height_; }
    bool Create(uint32_t width, uint32_t height, bool renderTarget, bool compressed) override;
    void Destroy() override;
    bool Lock(D3DLOCKED_RECT* out, bool keepStaging) override;
    void Unlock() override;
    uint32_t GetTextureWidth() override { return allocWidth_; }
    uint32_t GetTextureHeight() override { return allocHeight_; }
    bool IsRenderTarget() override { return renderTarget_; }
    bool IsCompressed() override { return compressed_; }

    void OnLostDevice() override;
    bool OnResetDevice() override;
    int32_t GetLostableKind() override { return kLostableTexture; }

    bool IsCreated() const { return created_; }
    // The Direct3D texture exists now (not between a loss and the reset).
    bool IsValid() const { return valid_; }
    IDirect3DTexture9* GetTextureTemp() const { return texture_.Get(); }       // borrowed
    IDirect3DSurface9* GetDepthSurfaceTemp() const { return depth_.Get(); }    // borrowed
    // Level 0 of the texture, with a reference for the caller; empty when not valid.
    RefPtr<IDirect3DSurface9> GetSurface() const;
    CKYRD3D* GetDeviceTemp() const { return device_.Get(); }  // borrowed

private:
    // The default-pool texture (and depth surface for a render target) for the current
    // allocated size and flags; both outputs untouched on failure.
    bool MakeDeviceObjects(IDirect3DDevice9* device, uint32_t width, uint32_t height,
                           bool renderTarget, bool compressed,
                           RefPtr<IDirect3DTexture9>* texture,
                           RefPtr<IDirect3DSurface9>* depth) const;
    void ClearContent();

    RefPtr<CKYRD3D> device_;  // first, so it is released last
    bool created_ = false;
    bool valid_ = false;
    bool locked_ = false;
    bool renderTarget_ = false;
    bool compressed_ = false;
    bool keepStaging_ = false;
    RefPtr<IDirect3DTexture9> texture_;
    RefPtr<IDirect3DTexture9> staging_;
    RefPtr<IDirect3DSurface9> depth_;
    uint32_t width_ = 0, height_ = 0;
    uint32_t allocWidth_ = 0, allocHeight_ = 0;
};

}  // namespace KYR
