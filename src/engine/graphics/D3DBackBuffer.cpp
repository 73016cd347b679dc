#include "engine/graphics/D3DBackBuffer.h"

#include "engine/graphics/KYRD3D.h"

namespace KYR {

CD3DBackBuffer::CD3DBackBuffer(CKYRD3D* device) : device_(RefPtr<CKYRD3D>::AddRefOf(device)) {
    device_->RegisterLostable(this);
}

CD3DBackBuffer::~CD3DBackBuffer() {
    KYRAutoLock lock(device_->GetDeviceLock());
    device_->UnregisterLostable(this);
    backBuffer_.Reset();
    memory_.Reset();
}

RefPtr<IDirect3DSurface9> CD3DBackBuffer::FetchBackBuffer(D3DSURFACE_DESC* desc) const {
    RefPtr<IDirect3DSurface9> surface;
    IDirect3DDevice9* device = device_->GetDeviceTemp();
    if (!device ||
        FAILED(device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, surface.Put())) ||
        FAILED(surface->GetDesc(desc)))
        return RefPtr<IDirect3DSurface9>();
    return surface;
}

bool CD3DBackBuffer::Create() {
    KYRAutoLock lock(device_->GetDeviceLock());
    if (memory_) return false;
    D3DSURFACE_DESC desc = {};
    RefPtr<IDirect3DSurface9> backBuffer = FetchBackBuffer(&desc);
    if (!backBuffer || (desc.Format != D3DFMT_X8R8G8B8 && desc.Format != D3DFMT_R5G6B5))
        return false;
    RefPtr<IDirect3DSurface9> memory;
    if (FAILED(device_->GetDeviceTemp()->CreateOffscreenPlainSurface(
            desc.Width, desc.Height, desc.Format, D3DPOOL_SYSTEMMEM, memory.Put(), nullptr)))
        return false;
    backBuffer_ = std::move(backBuffer);
    memory_ = std::move(memory);
    width_ = desc.Width;
    height_ = desc.Height;
    format_ = desc.Format;
    return true;
}

void CD3DBackBuffer::Destroy() {
    KYRAutoLock lock(device_->GetDeviceLock());
    if (!memory_) return;
    width_ = height_ = 0;
    format_ = 0;
    backBuffer_.Reset();
    memory_.Reset();
}

bool CD3DBackBuffer::ReadPixels(uint32_t* dest) {
    KYRAutoLock lock(device_->GetDeviceLock());
    IDirect3DDevice9* device = device_->GetDeviceTemp();
    if (!dest || !backBuffer_ || !memory_ || !device) return false;
    if (FAILED(device->GetRenderTargetData(backBuffer_.Get(), memory_.Get()))) return false;
    D3DLOCKED_RECT rect = {};
    if (FAILED(memory_->LockRect(&rect, nullptr, 0))) return false;
    const auto format = static_cast<BackBufferFormat>(format_);
    const auto* row = static_cast<const unsigned char*>(rect.pBits);
    for (uint32_t y = 0; y < height_; ++y, row += rect.Pitch)
        ReadBackBufferRow(format, row, dest + static_cast<size_t>(y) * width_, width_);
    return SUCCEEDED(memory_->UnlockRect());
}

void CD3DBackBuffer::WritePixels(const uint32_t* src) {
    KYRAutoLock lock(device_->GetDeviceLock());
    IDirect3DDevice9* device = device_->GetDeviceTemp();
    if (!src || !backBuffer_ || !memory_ || !device) return;
    D3DLOCKED_RECT rect = {};
    if (FAILED(memory_->LockRect(&rect, nullptr, 0))) return;
    const auto format = static_cast<BackBufferFormat>(format_);
    auto* row = static_cast<unsigned char*>(rect.pBits);
    for (uint32_t y = 0; y < height_; ++y, row += rect.Pitch)
        WriteBackBufferRow(format, src + static_cast<size_t>(y) * width_, row, width_);
    if (SUCCEEDED(memory_->UnlockRect()))
        device->UpdateSurface(memory_.Get(), nullptr, backBuffer_.Get(), nullptr);
}

void CD3DBackBuffer::OnLostDevice() {
    KYRAutoLock lock(device_->GetDeviceLock());
    backBuffer_.Reset();
}

bool CD3DBackBuffer::OnResetDevice() {
    KYRAutoLock lock(device_->GetDeviceLock());
    if (!memory_) return true;
    D3DSURFACE_DESC desc = {};
    RefPtr<IDirect3DSurface9> backBuffer = FetchBackBuffer(&desc);
    if (!backBuffer) return false;
    // After a reset to another size the memory surface no longer fits, and Wine's
    // GetRenderTargetData still reports success on the mismatched pair. Without a back buffer
    // reads and writes fail until Destroy and Create.
    if (desc.Width != width_ || desc.Height != height_ || static_cast<int32_t>(desc.Format) != format_) return false;
    // A device made again after ReleaseDevice: the memory surface belongs to the old one (and
    // keeps it alive), and UpdateSurface and GetRenderTargetData do not cross devices.
    IDirect3DDevice9* device = device_->GetDeviceTemp();
    RefPtr<IDirect3DDevice9> owner;
    if (FAILED(memory_->GetDevice(owner.Put())) || owner.Get() != device) {
        owner.Reset();
        RefPtr<IDirect3DSurface9> memory;
        if (FAILED(device->CreateOffscreenPlainSurface(width_, height_, desc.Format,
                                                       D3DPOOL_SYSTEMMEM, memory.Put(), nullptr)))
            return false;
        memory_ = std::move(memory);
    }
    backBuffer_ = std::move(backBuffer);
    return true;
}

}  // namespace KYR
