// CKYRD3D: device creation, the loss and restore sequences, reset and release, and the
// per-frame operations. Every operation runs under the device lock.
#include "engine/graphics/KYRD3D.h"

#include "engine/graphics/D3DTexture.h"
#include "engine/graphics/DeviceCaps.h"

namespace KYR {
namespace {

// The one vertex layout of all drawing: x, y, z, rhw, ARGB colour, u, v (28 bytes).
constexpr DWORD kVertexFvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;
constexpr int kResetAttempts = 10;
constexpr DWORD kResetRetryMs = 100;
// The most slots Direct3D 9 has of each kind: the pixel shader 3.0 samplers, the vertex
// texture samplers, the streams and the simultaneous render targets.
constexpr DWORD kPixelSamplers = 16;
constexpr DWORD kVertexSamplers = 4;
constexpr UINT kStreams = 16;
constexpr DWORD kRenderTargets = 4;

DWORD PresentationInterval(bool vsync) {
    return vsync ? D3DPRESENT_INTERVAL_ONE : D3DPRESENT_INTERVAL_IMMEDIATE;
}

}  // namespace

// Visits the set in pointer order. Each step looks up the next pointer after the one just
// called, so a callback that unregisters an object (itself or another) cannot leave the walk
// on an erased element.
template <class Fn>
void CKYRD3D::ForEachLostable(Fn fn) {
    for (auto it = lostables_.begin(); it != lostables_.end();) {
        ILostable* current = *it;
        fn(current);
        it = lostables_.upper_bound(current);
    }
}

bool CKYRD3D::CreateDevice(HWND window, int32_t vertexProcessing, uint32_t width,
                           uint32_t height) {
    KYRAutoLock lock(&lock_);
    IDirect3D9* d3d = Direct3D();
    if (!d3d || device_ || !window || vertexProcessing < 0 ||
        vertexProcessing >= kVertexProcessingTypes || width == 0 || height == 0)
        return false;

    D3DCAPS9 caps = {};
    if (FAILED(d3d->GetDeviceCaps(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, &caps))) return false;
    maxTextureWidth_ = caps.MaxTextureWidth;
    maxTextureHeight_ = caps.MaxTextureHeight;
    maxPrimitiveCount_ = caps.MaxPrimitiveCount;
    maxVertexIndex_ = caps.MaxVertexIndex;
    pow2Required_ = (caps.TextureCaps & D3DPTEXTURECAPS_POW2) != 0;

    // Always windowed: full screen is the caller's window covering the screen, never an
    // exclusive mode, so no display mode change has to be undone on a crash.
    params_ = D3DPRESENT_PARAMETERS{};
    params_.BackBufferWidth = width;
    params_.BackBufferHeight = height;
    params_.BackBufferFormat = D3DFMT_X8R8G8B8;
    params_.BackBufferCount = 1;
    params_.MultiSampleType = D3DMULTISAMPLE_NONE;
    params_.MultiSampleQuality = 0;
    params_.SwapEffect = D3DSWAPEFFECT_DISCARD;
    params_.hDeviceWindow = window;
    params_.Windowed = TRUE;
    params_.EnableAutoDepthStencil = TRUE;
    params_.AutoDepthStencilFormat = D3DFMT_D16;
    params_.Flags = 0;
    params_.FullScreen_RefreshRateInHz = 0;
    params_.PresentationInterval = PresentationInterval(vsync_);

    const DWORD flags = BehaviorFlagsFor(caps, vertexProcessing);
    if (flags == 0) return false;  // the caller may retry with the next type
    RefPtr<IDirect3DDevice9> device;
    if (FAILED(d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window, flags, &params_,
                                 device.Put())))
        return false;
    device_ = std::move(device);
    // A new device starts with Direct3D's default states, whatever the cache remembers from
    // a device released before.
    stateCache_.Invalidate();
    RestoreSequence();
    return true;
}

bool CKYRD3D::ReleaseDevice() {
    KYRAutoLock lock(&lock_);
    if (!device_) return false;
    LossSequence();
    device_.Reset();
    return true;  // the lostables stay registered for a device created later
}

bool CKYRD3D::ResetDevice(uint32_t width, uint32_t height) {
    KYRAutoLock lock(&lock_);
    if (!device_ || width == 0 || height == 0) return false;
    params_.BackBufferWidth = width;
    params_.BackBufferHeight = height;
    params_.PresentationInterval = PresentationInterval(vsync_);
    params_.Windowed = TRUE;
    params_.FullScreen_RefreshRateInHz = 0;
    params_.BackBufferFormat = D3DFMT_X8R8G8B8;

    // Reset fails while any default-pool resource or a reference to the old back buffer
    // lives, so everything is dropped first; a reset device has Direct3D's default states.
    LossSequence();
    stateCache_.Invalidate();
    for (int attempt = 0; attempt < kResetAttempts; ++attempt) {
        if (attempt > 0) Sleep(kResetRetryMs);
        if (SUCCEEDED(device_->Reset(&params_))) {
            RestoreSequence();
            return true;
        }
    }
    return false;  // the lostables stay released; a later reset may still succeed
}

void CKYRD3D::RestoreSequence() {
    // A zero size makes the next SetRenderTarget send a viewport.
    viewport_ = D3DVIEWPORT9{0, 0, 0, 0, 0.0f, 1.0f};
    ForEachLostable([](ILostable* l) { l->OnResetDevice(); });
    device_->GetRenderTarget(0, defaultTarget_.Put());
    device_->GetDepthStencilSurface(defaultDepth_.Put());
    // The textures were rebuilt just above; one that failed to come back stays recorded but
    // unbound, and the back buffer is the target meanwhile.
    if (activeTarget_) BindTarget(activeTarget_.Get());
}

void CKYRD3D::LossSequence() {
    // The texture stays recorded as active, so the restore sequence can bind it again.
    if (activeTarget_ && device_) {
        device_->SetRenderTarget(0, defaultTarget_.Get());
        device_->SetDepthStencilSurface(defaultDepth_.Get());
    }
    if (device_) UnbindResources();
    defaultTarget_.Reset();
    defaultDepth_.Reset();
    ForEachLostable([](ILostable* l) { l->OnLostDevice(); });
}

// A binding holds its resource: a texture an effect set on a sampler, or a buffer the game
// bound on the raw device, keeps a default-pool resource alive after its owner has let it go,
// and every Reset then fails. Slots the device does not have refuse the call, which is
// harmless.
void CKYRD3D::UnbindResources() {
    for (DWORD stage = 0; stage < kPixelSamplers; ++stage) device_->SetTexture(stage, nullptr);
    device_->SetTexture(D3DDMAPSAMPLER, nullptr);
    for (DWORD i = 0; i < kVertexSamplers; ++i)
        device_->SetTexture(D3DVERTEXTEXTURESAMPLER0 + i, nullptr);
    for (UINT stream = 0; stream < kStreams; ++stream)
        device_->SetStreamSource(stream, nullptr, 0, 0);
    device_->SetIndices(nullptr);
    for (DWORD target = 1; target < kRenderTargets; ++target)
        device_->SetRenderTarget(target, nullptr);
}

ID3DTexture* CKYRD3D::GetRenderTarget() {
    KYRAutoLock lock(&lock_);
    return activeTarget_.Get();
}

bool CKYRD3D::SetRenderTarget(ID3DTexture* texture) {
    KYRAutoLock lock(&lock_);
    if (!device_) return false;
    if (!BindTarget(texture)) return false;
    if (activeTarget_.Get() != texture) activeTarget_ = RefPtr<ID3DTexture>::AddRefOf(texture);
    return true;
}

// Binds a valid render-target texture (its level 0 and its own depth surface) or, for null,
// the back buffer, and sends the viewport of the target's size: a texture's requested size,
// which may be smaller than the allocated one.
bool CKYRD3D::BindTarget(ID3DTexture* texture) {
    DWORD width = params_.BackBufferWidth;
    DWORD height = params_.BackBufferHeight;
    if (texture) {
        CD3DTexture* target = CD3DTexture::Of(texture);
        if (!target || !target->IsRenderTarget() || !target->IsValid()) return false;
        RefPtr<IDirect3DSurface9> surface = target->GetSurface();
        if (!surface || FAILED(device_->SetRenderTarget(0, surface.Get()))) return false;
        device_->SetDepthStencilSurface(target->GetDepthSurfaceTemp());
        width = target->GetWidth();
        height = target->GetHeight();
    } else {
        // Fails after a failed reset, when there is no back buffer to bind.
        if (FAILED(device_->SetRenderTarget(0, defaultTarget_.Get()))) return false;
        device_->SetDepthStencilSurface(defaultDepth_.Get());
    }
    // Always sent: Direct3D has just set the viewport to the whole new surface, so a record
    // that matches the wanted size says nothing about the device (two targets of the same
    // requested size, or a texture as large as the back buffer but allocated larger).
    viewport_.X = 0;
    viewport_.Y = 0;
    viewport_.Width = width;
    viewport_.Height = height;
    device_->SetViewport(&viewport_);
    return true;
}

void CKYRD3D::Clear(uint32_t argb) {
    KYRAutoLock lock(&lock_);
    if (device_)
        device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, argb, 1.0f, 0);
}

bool CKYRD3D::BeginScene() {
    lock_.Enter();  // held until EndScene, whatever this returns
    if (!device_) return false;
    device_->SetVertexShader(nullptr);
    device_->SetFVF(kVertexFvf);
    SendSceneDefaults();
    return device_->BeginScene() == S_OK;
}

void CKYRD3D::EndScene() {
    if (device_) device_->EndScene();
    lock_.Leave();
}

void CKYRD3D::SendSceneDefaults() {
    SetCullModeNone();
    SetLightingOff();
    SetColorOp(D3DTOP_MODULATE);
    SetColorArg1(D3DTA_TEXTURE);
    SetColorArg2Diffuse();
    SetAlphaOp(D3DTOP_MODULATE);
    SetAlphaArg1(D3DTA_TEXTURE);
    SetAlphaArg2Diffuse();
    SetBlendOp(D3DBLENDOP_ADD);
    SetSrcBlend(D3DBLEND_SRCALPHA);
    SetDestBlend(D3DBLEND_INVSRCALPHA);
    SetBlendOpAlpha(D3DBLENDOP_ADD);
    SetSrcBlendAlpha(D3DBLEND_ONE);
    SetDestBlendAlpha(D3DBLEND_ZERO);
    SetAlphaBlendEnable(false);
    SetSeparateAlphaBlendEnable(false);
    SetAlphaTestEnable(false);
    SetTextureFilter(D3DTEXF_POINT);
}

void CKYRD3D::SetState(RenderStateEntry entry, DWORD value) {
    KYRAutoLock lock(&lock_);
    stateCache_.Set(device_.Get(), entry, value);
}

bool CKYRD3D::Present() {
    KYRAutoLock lock(&lock_);
    if (!device_) return false;
    // Only loss is reported: the caller then polls TestCooperativeLevel and resets.
    return device_->Present(nullptr, nullptr, nullptr, nullptr) != D3DERR_DEVICELOST;
}

HRESULT CKYRD3D::TestCooperativeLevel() {
    KYRAutoLock lock(&lock_);
    return device_ ? device_->TestCooperativeLevel() : D3DERR_INVALIDCALL;
}

uint32_t CKYRD3D::GetAvailableTextureMem() {
    KYRAutoLock lock(&lock_);
    return device_ ? device_->GetAvailableTextureMem() : 0;
}

}  // namespace KYR
