// The engine's Direct3D 9 graphics interface (kind 2 of the interface factory).
#pragma once

#include <windows.h>

#include <d3d9.h>

#include <cstdint>

#include "engine/core/IKYRInterface.h"

namespace KYR {

class ID3DTexture;
class ID3DEffect;

// Filled by GetAdapterInfo; field order is part of the engine's interface.
struct D3DAdapterInfo {
    char description[512];
    int32_t vertexProcessing;  // 0 pure hardware, 1 hardware (mixed), 2 software
    uint32_t videoMemory;      // bytes, from DirectDraw 7; 0 when DirectDraw is unavailable
    uint32_t maxTextureWidth;
    uint32_t maxTextureHeight;
    bool vertexShader20;
    bool pixelShader20;
    bool nonPow2Textures;
};

class IKYRD3D : public IKYRInterface {
public:
    // Slot 3. A new object with one reference for the caller, a raw Direct3D pointer (no
    // reference added) for the two raw identifiers, or null.
    virtual void* CreateObject(REFGUID id) = 0;
    virtual bool GetAdapterInfo(D3DAdapterInfo* info, uint32_t width, uint32_t height) = 0;
    virtual uint32_t GetAvailableTextureMem() = 0;
    virtual bool CreateDevice(HWND window, int32_t vertexProcessing, uint32_t width,
                              uint32_t height) = 0;
    virtual bool ReleaseDevice() = 0;
    virtual bool ResetDevice(uint32_t width, uint32_t height) = 0;
    virtual ID3DTexture* GetRenderTarget() = 0;
    virtual bool SetRenderTarget(ID3DTexture* texture) = 0;
    virtual void Clear(uint32_t argb) = 0;
    virtual bool BeginScene() = 0;
    virtual void EndScene() = 0;
    virtual bool Present() = 0;
    virtual HRESULT TestCooperativeLevel() = 0;
    // Slot 16. A new effect with one reference for the caller, also when the source does not
    // compile (its operations then do nothing).
    virtual ID3DEffect* CreateEffect(const char* source) = 0;
    virtual bool GetVSync() = 0;
    virtual void SetVSync(bool on) = 0;
    virtual bool GetNonPow2Textures() = 0;
    virtual void SetNonPow2Textures(bool on) = 0;
    virtual ~IKYRD3D() = default;
};

}  // namespace KYR
