#pragma once

#include "engine/graphics/IKYRD3D.h"

namespace KYR {

// Minimal until the graphics device lands: every operation fails.
class CKYRD3D : public RefCounted<IKYRD3D> {
public:
    void* CreateObject(REFGUID) override { return nullptr; }
    bool GetAdapterInfo(D3DAdapterInfo*, uint32_t, uint32_t) override { return false; }
    uint32_t GetAvailableTextureMem() override { return 0; }
    bool CreateDevice(HWND, int32_t, uint32_t, uint32_t) override { return false; }
    bool ReleaseDevice() override { return false; }
    bool ResetDevice(uint32_t, uint32_t) override { return false; }
    ID3DTexture* GetRenderTarget() override { return nullptr; }
    bool SetRenderTarget(ID3DTexture*) override { return false; }
    void Clear(uint32_t) override {}
    bool BeginScene() override { return false; }
    void EndScene() override {}
    bool Present() override { return false; }
    HRESULT TestCooperativeLevel() override { return E_FAIL; }
    CD3DEffect* CreateEffect(const char*) override { return nullptr; }
    bool GetVSync() override { return true; }
    void SetVSync(bool) override {}
    bool GetNonPow2Textures() override { return false; }
    void SetNonPow2Textures(bool) override {}
};

}  // namespace KYR
