// The engine's Direct3D 9 graphics interface: owns the process's device (always windowed),
// runs the device-loss protocol over the registered ILostable objects, caches the render
// states the engine changes, and makes the other graphics objects (CreateObject).
//
// One recursive lock guards the device, the lostable set and the state cache. BeginScene
// keeps it until EndScene, so a frame is atomic with respect to other threads drawing on
// the same device.
#pragma once

#include <windows.h>

#include <d3d9.h>

#include <cstdint>
#include <set>

#include "engine/core/CriticalSection.h"
#include "engine/core/RefPtr.h"
#include "engine/core/SharedRefCounted.h"
#include "engine/graphics/ID3DTexture.h"
#include "engine/graphics/IKYRD3D.h"
#include "engine/graphics/ILostable.h"
#include "engine/graphics/RenderStateCache.h"

namespace KYR {

// Counted across threads: every object made here holds the device, and the video renderer
// makes its textures on DirectShow's streaming thread.
class CKYRD3D : public SharedRefCounted<IKYRD3D> {
public:
    // The first live instance fills the sine table and creates the process's IDirect3D9; when
    // Direct3D 9 is missing the instance still exists and every device operation fails.
    CKYRD3D();
    ~CKYRD3D() override;

    int32_t Release() override;

    void* CreateObject(REFGUID id) override;
    bool GetAdapterInfo(D3DAdapterInfo* info, uint32_t width, uint32_t height) override;
    uint32_t GetAvailableTextureMem() override;
    bool CreateDevice(HWND window, int32_t vertexProcessing, uint32_t width,
                      uint32_t height) override;
    bool ReleaseDevice() override;
    bool ResetDevice(uint32_t width, uint32_t height) override;
    ID3DTexture* GetRenderTarget() override;  // borrowed; null for the back buffer
    bool SetRenderTarget(ID3DTexture* texture) override;
    void Clear(uint32_t argb) override;
    bool BeginScene() override;  // enters the device lock, always; EndScene leaves it
    void EndScene() override;
    bool Present() override;
    HRESULT TestCooperativeLevel() override;
    ID3DEffect* CreateEffect(const char* source) override;
    bool GetVSync() override { return vsync_; }
    void SetVSync(bool on) override { vsync_ = on; }
    bool GetNonPow2Textures() override { return nonPow2Textures_; }
    void SetNonPow2Textures(bool on) override { nonPow2Textures_ = on; }

    // Objects with default-pool resources register for the loss and restore calls. The set
    // does not hold references: an object unregisters in its destructor.
    void RegisterLostable(ILostable* lostable);
    void UnregisterLostable(ILostable* lostable);

    // The lock every object made by this device takes around its Direct3D calls.
    CCriticalSection* GetDeviceLock() { return &lock_; }

    // The device, borrowed; null while there is none. The same pointer CreateObject gives
    // for kIdRawDevice; callers hold the device lock while they use it.
    IDirect3DDevice9* GetDeviceTemp() { return device_.Get(); }

    // Capabilities recorded by CreateDevice (zero before).
    uint32_t GetMaxTextureWidth() const { return maxTextureWidth_; }
    uint32_t GetMaxTextureHeight() const { return maxTextureHeight_; }
    uint32_t GetMaxPrimitiveCount() const { return maxPrimitiveCount_; }
    uint32_t GetMaxVertexIndex() const { return maxVertexIndex_; }
    bool GetPow2Required() const { return pow2Required_; }

    // Render-state setters: each sends only a value that differs from the one last sent.
    // Without a device they do nothing (and remember nothing).
    void SetCullModeNone() { SetState(kRsCullMode, D3DCULL_NONE); }
    void SetLightingOff() { SetState(kRsLighting, FALSE); }
    void SetColorOp(DWORD op) { SetState(kRsColorOp, op); }
    void SetColorArg1(DWORD arg) { SetState(kRsColorArg1, arg); }
    void SetColorArg2Diffuse() { SetState(kRsColorArg2, D3DTA_DIFFUSE); }
    void SetAlphaOp(DWORD op) { SetState(kRsAlphaOp, op); }
    void SetAlphaArg1(DWORD arg) { SetState(kRsAlphaArg1, arg); }
    void SetAlphaArg2Diffuse() { SetState(kRsAlphaArg2, D3DTA_DIFFUSE); }
    void SetBlendOp(DWORD op) { SetState(kRsBlendOp, op); }
    void SetSrcBlend(DWORD blend) { SetState(kRsSrcBlend, blend); }
    void SetDestBlend(DWORD blend) { SetState(kRsDestBlend, blend); }
    void SetBlendOpAlpha(DWORD op) { SetState(kRsBlendOpAlpha, op); }
    void SetSrcBlendAlpha(DWORD blend) { SetState(kRsSrcBlendAlpha, blend); }
    void SetDestBlendAlpha(DWORD blend) { SetState(kRsDestBlendAlpha, blend); }
    void SetAlphaBlendEnable(bool on) { SetState(kRsAlphaBlendEnable, on ? TRUE : FALSE); }
    void SetSeparateAlphaBlendEnable(bool on) {
        SetState(kRsSeparateAlphaBlendEnable, on ? TRUE : FALSE);
    }
    void SetAlphaTestEnable(bool on) { SetState(kRsAlphaTestEnable, on ? TRUE : FALSE); }
    void SetAlphaRefOne() { SetState(kRsAlphaRef, 1); }
    void SetAlphaFuncGreaterEqual() { SetState(kRsAlphaFunc, D3DCMP_GREATEREQUAL); }
    void SetTextureFilter(DWORD filter) { SetState(kRsTextureFilter, filter); }

private:
    static IDirect3D9* Direct3D();  // the process's object, borrowed; null without d3d9
    void SetState(RenderStateEntry entry, DWORD value);
    void SendSceneDefaults();
    void RestoreSequence();
    void LossSequence();
    void UnbindResources();
    bool BindTarget(ID3DTexture* texture);
    bool TargetHoldsUs() const;  // the bound target is a texture of ours (under the lock)
    template <class Fn>
    void ForEachLostable(Fn fn);

    // Field order is the engine's record layout. The destructor releases the device and its
    // surfaces explicitly, so member destruction order does not matter for Direct3D.
    bool vsync_ = true;
    bool nonPow2Textures_ = false;
    RefPtr<IDirect3DSurface9> defaultTarget_;
    RefPtr<IDirect3DSurface9> defaultDepth_;
    RefPtr<IDirect3DDevice9> device_;
    RefPtr<ID3DTexture> activeTarget_;
    uint32_t maxTextureWidth_ = 0;
    uint32_t maxTextureHeight_ = 0;
    uint32_t maxPrimitiveCount_ = 0;
    uint32_t maxVertexIndex_ = 0;
    bool pow2Required_ = false;
    D3DPRESENT_PARAMETERS params_ = {};
    D3DVIEWPORT9 viewport_ = {};
    std::set<ILostable*> lostables_;
    CCriticalSection lock_;
    RenderStateCache stateCache_;
};

}  // namespace KYR
