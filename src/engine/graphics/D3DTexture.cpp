#include "engine/graphics/D3DTexture.h"

#include <cstring>

#include "engine/graphics/KYRD3D.h"
#include "engine/graphics/TextureSize.h"

namespace KYR {
namespace {

D3DFORMAT FormatFor(bool compressed) { return compressed ? D3DFMT_DXT5 : D3DFMT_A8R8G8B8; }

// Whether `resource` was made on `device` (false for no device). A resource holds its device:
// one kept from a released device keeps that device alive and cannot meet the new one.
bool MadeOn(IDirect3DResource9* resource, IDirect3DDevice9* device) {
    RefPtr<IDirect3DDevice9> owner;
    return device && SUCCEEDED(resource->GetDevice(owner.Put())) && owner.Get() == device;
}

}  // namespace

CD3DTexture::CD3DTexture(CKYRD3D* device) : device_(RefPtr<CKYRD3D>::AddRefOf(device)) {
    device_->RegisterLostable(this);
}

CD3DTexture::~CD3DTexture() {
    KYRAutoLock lock(device_->GetDeviceLock());
    device_->UnregisterLostable(this);
    depth_.Reset();
    texture_.Reset();
    staging_.Reset();
}

CD3DTexture* CD3DTexture::Of(ID3DTexture* texture) {
    return dynamic_cast<CD3DTexture*>(texture);
}

RefPtr<IDirect3DSurface9> CD3DTexture::GetSurface() const {
    RefPtr<IDirect3DSurface9> surface;
    if (valid_ && texture_) texture_->GetSurfaceLevel(0, surface.Put());
    return surface;
}

bool CD3DTexture::MakeDeviceObjects(IDirect3DDevice9* device, uint32_t width, uint32_t height,
                                    bool renderTarget, bool compressed,
                                    RefPtr<IDirect3DTexture9>* texture,
                                    RefPtr<IDirect3DSurface9>* depth) const {
    RefPtr<IDirect3DTexture9> newTexture;
    if (FAILED(device->CreateTexture(width, height, 1,
                                     renderTarget ? D3DUSAGE_RENDERTARGET : 0,
                                     FormatFor(compressed), D3DPOOL_DEFAULT, newTexture.Put(),
                                     nullptr)))
        return false;
    RefPtr<IDirect3DSurface9> newDepth;
    // On failure newTexture goes with this frame: a default-pool texture left alive would
    // make every later Reset fail.
    if (renderTarget &&
        FAILED(device->CreateDepthStencilSurface(width, height, D3DFMT_D16,
                                                 D3DMULTISAMPLE_NONE, 0, TRUE, newDepth.Put(),
                                                 nullptr)))
        return false;
    *texture = std::move(newTexture);
    *depth = std::move(newDepth);
    return true;
}

bool CD3DTexture::Create(uint32_t width, uint32_t height, bool renderTarget, bool compressed) {
    Unlock();
    if (width == 0 || height == 0) return true;
    KYRAutoLock lock(device_->GetDeviceLock());
    IDirect3DDevice9* device = device_->GetDeviceTemp();
    if (!device) return false;
    if (renderTarget) compressed = false;  // render targets are always A8R8G8B8

    // Nothing is recorded until every object exists, so a failed Create leaves the previous
    // texture with the size and flags that describe it (and that a reset rebuilds).
    const bool multipleOf4 = !device_->GetPow2Required() && device_->GetNonPow2Textures();
    const uint32_t allocWidth =
        AllocatedTextureSide(width, multipleOf4, device_->GetMaxTextureWidth());
    const uint32_t allocHeight =
        AllocatedTextureSide(height, multipleOf4, device_->GetMaxTextureHeight());
    if (allocWidth == 0 || allocHeight == 0) return false;
    RefPtr<IDirect3DTexture9> texture;
    RefPtr<IDirect3DSurface9> depth;
    if (!MakeDeviceObjects(device, allocWidth, allocHeight, renderTarget, compressed, &texture,
                           &depth))
        return false;

    texture_ = std::move(texture);
    depth_ = std::move(depth);
    staging_.Reset();  // of the old size or format
    width_ = width;
    height_ = height;
    allocWidth_ = allocWidth;
    allocHeight_ = allocHeight;
    renderTarget_ = renderTarget;
    compressed_ = compressed;
    created_ = true;
    valid_ = true;
    ClearContent();
    return true;
}

// A new default-pool texture holds whatever the driver left there.
void CD3DTexture::ClearContent() {
    D3DLOCKED_RECT rect = {};
    if (!Lock(&rect, false)) return;
    const uint32_t rows = compressed_ ? allocHeight_ / 4 : allocHeight_;
    std::memset(rect.pBits, 0, static_cast<size_t>(rows) * rect.Pitch);
    Unlock();
}

void CD3DTexture::Destroy() {
    Unlock();
    if (!created_) return;
    KYRAutoLock lock(device_->GetDeviceLock());
    created_ = false;
    valid_ = false;
    depth_.Reset();
    texture_.Reset();
    staging_.Reset();
    renderTarget_ = compressed_ = keepStaging_ = false;
    width_ = height_ = allocWidth_ = allocHeight_ = 0;
}

bool CD3DTexture::Lock(D3DLOCKED_RECT* out, bool keepStaging) {
    if (!out) return false;
    // The state is read under the lock: another thread may be unlocking, or a reset taking
    // the texture away.
    KYRAutoLock lock(device_->GetDeviceLock());
    if (!valid_ || locked_) return false;
    IDirect3DDevice9* device = device_->GetDeviceTemp();
    if (!device) return false;
    RefPtr<IDirect3DTexture9> madeNow;
    if (!staging_) {
        if (FAILED(device->CreateTexture(allocWidth_, allocHeight_, 1, 0,
                                         FormatFor(compressed_), D3DPOOL_SYSTEMMEM,
                                         madeNow.Put(), nullptr)))
            return false;
    }
    IDirect3DTexture9* staging = staging_ ? staging_.Get() : madeNow.Get();
    if (renderTarget_) {
        // The image lives only in video memory; the copy starts from it so a partial write
        // keeps the rest.
        RefPtr<IDirect3DSurface9> from, to;
        if (FAILED(texture_->GetSurfaceLevel(0, from.Put())) ||
            FAILED(staging->GetSurfaceLevel(0, to.Put())) ||
            FAILED(device->GetRenderTargetData(from.Get(), to.Get())))
            return false;
    }
    if (FAILED(staging->LockRect(0, out, nullptr, 0))) return false;
    if (madeNow) staging_ = std::move(madeNow);
    keepStaging_ = keepStaging;
    locked_ = true;
    return true;
}

// Also on an invalid texture: a loss between Lock and Unlock must not leave the copy locked,
// or the reset could not clear the new texture and every later Lock would fail. There is
// nothing to upload to then.
void CD3DTexture::Unlock() {
    KYRAutoLock lock(device_->GetDeviceLock());  // before the state: two threads may unlock
    if (!locked_) return;
    staging_->UnlockRect(0);
    locked_ = false;
    IDirect3DDevice9* device = device_->GetDeviceTemp();
    if (!MadeOn(staging_.Get(), device)) {
        // Locked before the device was released and made again: the copy cannot be uploaded
        // across devices, so the write is lost as a reset's would be and the new texture,
        // which the reset left for this upload, is cleared instead.
        staging_.Reset();
        if (valid_) ClearContent();
        return;
    }
    if (valid_) {
        RefPtr<IDirect3DSurface9> from, to;
        if (SUCCEEDED(staging_->GetSurfaceLevel(0, from.Put())) &&
            SUCCEEDED(texture_->GetSurfaceLevel(0, to.Put())))
            device->UpdateSurface(from.Get(), nullptr, to.Get(), nullptr);
    }
    if (!keepStaging_) staging_.Reset();
}

void CD3DTexture::OnLostDevice() {
    if (!created_) return;
    KYRAutoLock lock(device_->GetDeviceLock());
    valid_ = false;
    depth_.Reset();
    texture_.Reset();
    // The system-memory copy does not stand in the way of Reset. It stays while kept, and
    // while locked, because the caller may still be writing into it.
}

bool CD3DTexture::OnResetDevice() {
    if (!created_) return true;
    KYRAutoLock lock(device_->GetDeviceLock());
    IDirect3DDevice9* device = device_->GetDeviceTemp();
    if (!device) return false;
    // A copy kept from a device released since goes (a locked one goes at Unlock).
    if (staging_ && !locked_ && !MadeOn(staging_.Get(), device)) staging_.Reset();
    if (!MakeDeviceObjects(device, allocWidth_, allocHeight_, renderTarget_, compressed_,
                           &texture_, &depth_))
        return false;
    valid_ = true;
    // Still locked (the reset ran between the caller's Lock and Unlock): the Unlock uploads
    // the whole copy, which covers every texel, so there is nothing to clear.
    if (!locked_) ClearContent();
    return true;
}

}  // namespace KYR
