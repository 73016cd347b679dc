// Reads and writes the device's back buffer through a system-memory surface of its size and
// format. The back-buffer reference is dropped on device loss (Reset refuses to run while
// one is held) and fetched again after the reset.
#pragma once

#include <windows.h>

#include <d3d9.h>

#include "engine/core/RefPtr.h"
#include "engine/graphics/BackBufferPixels.h"
#include "engine/graphics/ID3DBackBuffer.h"
#include "engine/graphics/ILostable.h"

namespace KYR {

class CKYRD3D;

class CD3DBackBuffer : public RefCounted<ID3DBackBuffer>, public ILostable {
public:
    explicit CD3DBackBuffer(CKYRD3D* device);  // registers with the device, holds a reference
    ~CD3DBackBuffer() override;

    uint32_t GetWidth() override { return width_; }
    uint32_t GetHeight() override { return height_; }
    bool Create() override;  // false when already created
    void Destroy() override;
    bool ReadPixels(uint32_t* dest) override;
    void WritePixels(const uint32_t* src) override;

    void OnLostDevice() override;
    bool OnResetDevice() override;
    int32_t GetLostableKind() override { return kLostableBackBuffer; }

private:
    RefPtr<IDirect3DSurface9> FetchBackBuffer(D3DSURFACE_DESC* desc) const;

    RefPtr<CKYRD3D> device_;  // first, so it is released last
    RefPtr<IDirect3DSurface9> backBuffer_;
    RefPtr<IDirect3DSurface9> memory_;
    uint32_t width_ = 0, height_ = 0;
    int32_t format_ = 0;  // D3DFORMAT; 0 while not created
};

}  // namespace KYR
