// CKYRD3D: the process-wide Direct3D object, object creation, the adapter query and the
// lostable set. The device itself lives in KYRD3DDevice.cpp.
#include "engine/graphics/KYRD3D.h"

#include <ddraw.h>

#include <cstring>
#include <new>
#include <string>

#include "engine/core/DxEntryPoints.h"
#include "engine/core/MessageBox.h"
#include "engine/graphics/D3DBackBuffer.h"
#include "engine/graphics/D3DEffect.h"
#include "engine/graphics/D3DLineRender.h"
#include "engine/graphics/D3DRender.h"
#include "engine/graphics/D3DTexture.h"
#include "engine/graphics/D3DTriangleRender.h"
#include "engine/graphics/DeviceCaps.h"
#include "engine/graphics/GraphicsObjectIds.h"
#include "engine/graphics/VideoMaker.h"

namespace KYR {
namespace {

// Shared by every instance and not locked: devices are created on one thread.
int g_instanceCount = 0;
bool g_direct3DTried = false;
RefPtr<IDirect3D9>& ProcessDirect3D() {
    static RefPtr<IDirect3D9> d3d;
    return d3d;
}
// Guards the first-use creation: the game may ask from its loading thread and its main
// thread at once.
CCriticalSection& Direct3DGuard() {
    static CCriticalSection guard;
    return guard;
}

// DirectDraw 7 is asked only because Direct3D 9 has no call for the total video memory.
// 0 when DirectDraw is missing or refuses: the adapter query does not fail on its account.
uint32_t TotalVideoMemory() {
    RefPtr<IDirectDraw7> ddraw;
    if (FAILED(dx::DirectDrawCreateEx(nullptr, reinterpret_cast<void**>(ddraw.Put()),
                                      IID_IDirectDraw7, nullptr)) ||
        !ddraw)
        return 0;
    // The DirectX 7 layout of DDCAPS, which is what IDirectDraw7 expects in dwSize.
    static_assert(sizeof(DDCAPS) == 380, "DDCAPS must have its DirectX 7 layout");
    DDCAPS caps = {};
    caps.dwSize = sizeof(caps);
    if (FAILED(ddraw->GetCaps(&caps, nullptr))) return 0;
    return caps.dwVidMemTotal;
}

}  // namespace

// The sine table is filled by the first batch that turns vertices (D3DRender.cpp,
// D3DTriangleRender.cpp), not here: the configuration tool makes this object at start only
// for its hardware page, and 65,536 sines are a visible share of its start under Wine.
CKYRD3D::CKYRD3D() { ++g_instanceCount; }

CKYRD3D::~CKYRD3D() {
    {
        KYRAutoLock lock(&lock_);
        CKYRD3D::ReleaseDevice();  // loss sequence, then the device
        activeTarget_.Reset();
    }
    if (--g_instanceCount == 0) {
        KYRAutoLock lock(&Direct3DGuard());
        ProcessDirect3D().Reset();
        g_direct3DTried = false;
    }
}

// The bound render-target texture and the device hold each other. Once the texture's is
// the only reference left, nobody outside can unbind it any more: the device lets it go, and
// with it (unless the game still holds the texture) both objects and the Direct3D device.
// ReleaseDevice keeps it, so a device made again binds it again.
//
// Every Release decides under the lock with the caller's reference still counted, so no other
// thread's last Release can free the object while it looks; the count falls only under the
// lock, or outside it when the caller's is the last one.
int32_t CKYRD3D::Release() {
    RefPtr<ID3DTexture> target;
    {
        KYRAutoLock lock(&lock_);
        const int32_t n = GetRefCount();
        if (n > 2 || (n == 2 && !TargetHoldsUs())) return RefCounted::Release();
        if (n == 2) target = std::move(activeTarget_);
    }
    // Outside the lock: the texture's last reference goes here, and with it its own on the
    // device, which the caller's then follows.
    target.Reset();
    return RefCounted::Release();
}

bool CKYRD3D::TargetHoldsUs() const {
    const CD3DTexture* texture = CD3DTexture::Of(activeTarget_.Get());
    return texture && texture->GetDeviceTemp() == this;
}

// The Direct3D object is made on first use, not with the first instance: loading d3d9 and
// its GL back end costs several hundred milliseconds under Wine, and the configuration tool
// needs it only when its hardware page is opened. A null result is kept, not retried.
IDirect3D9* CKYRD3D::Direct3D() {
    KYRAutoLock lock(&Direct3DGuard());
    if (!g_direct3DTried) {
        g_direct3DTried = true;
        ProcessDirect3D() = RefPtr<IDirect3D9>(dx::Direct3DCreate9(D3D_SDK_VERSION));
    }
    return ProcessDirect3D().Get();
}

// Out of memory, a new object is null, like an unknown identifier's: nothing is thrown into
// the game. A constructor can run out too (a texture's place in the lostable set).
void* CKYRD3D::CreateObject(REFGUID id) {
    if (IsEqualGUID(id, kIdRawDirect3D)) return Direct3D();
    if (IsEqualGUID(id, kIdRawDevice)) {
        KYRAutoLock lock(&lock_);
        return device_.Get();
    }
    try {
        // The interface's pointer is handed out: with two bases the object's address differs.
        if (IsEqualGUID(id, kIdD3DTexture))
            return static_cast<ID3DTexture*>(new (std::nothrow) CD3DTexture(this));
        if (IsEqualGUID(id, kIdD3DBackBuffer))
            return static_cast<ID3DBackBuffer*>(new (std::nothrow) CD3DBackBuffer(this));
        if (IsEqualGUID(id, kIdD3DRender))
            return static_cast<ID3DRender*>(new (std::nothrow) CD3DRender(this));
        if (IsEqualGUID(id, kIdD3DTriangleRender))
            return static_cast<ID3DTriangleRender*>(new (std::nothrow) CD3DTriangleRender(this));
        if (IsEqualGUID(id, kIdD3DLineRender))
            return static_cast<ID3DLineRender*>(new (std::nothrow) CD3DLineRender(this));
        if (IsEqualGUID(id, kIdD3DVideo) || IsEqualGUID(id, kIdD3DVideoTexture))
            return MakeVideoObject(this, id);
    } catch (const std::bad_alloc&) {
    }
    return nullptr;
}

// A failed compile is the user's to see, yet the caller still gets an object to draw with:
// one that does nothing. The box comes up only after the lock is left: every thread that
// draws on the device (the video renderer's too) would wait for the player's click, and the
// box's message loop may call into the engine. It is owned by the device's window, so it
// stays in front of the game.
ID3DEffect* CKYRD3D::CreateEffect(const char* source) {
    RefPtr<CD3DEffect> effect;
    std::string errors;
    HWND owner = nullptr;
    try {
        KYRAutoLock lock(&lock_);
        effect = RefPtr<CD3DEffect>(new (std::nothrow) CD3DEffect(this, source ? source : ""));
        if (!effect) return nullptr;
        if (SUCCEEDED(effect->Compile(&errors))) return effect.Detach();
        if (device_) owner = params_.hDeviceWindow;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    ShowMessageBox(owner, errors.c_str(), "ERROR", MB_OK);
    return effect.Detach();
}

bool CKYRD3D::GetAdapterInfo(D3DAdapterInfo* info, uint32_t width, uint32_t height) {
    KYRAutoLock lock(&lock_);
    IDirect3D9* d3d = Direct3D();
    if (!d3d || !info || width == 0 || height == 0) return false;

    D3DAdapterInfo result = {};
    D3DADAPTER_IDENTIFIER9 id = {};
    if (FAILED(d3d->GetAdapterIdentifier(D3DADAPTER_DEFAULT, 0, &id))) return false;
    static_assert(sizeof(result.description) == sizeof(id.Description), "same buffer size");
    std::memcpy(result.description, id.Description, sizeof(result.description));
    result.description[sizeof(result.description) - 1] = '\0';

    D3DCAPS9 caps = {};
    if (FAILED(d3d->GetDeviceCaps(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, &caps))) return false;
    result.vertexProcessing = BestVertexProcessing(caps);
    if (result.vertexProcessing < 0) return false;  // no hardware rasterization at all
    result.videoMemory = TotalVideoMemory();
    result.maxTextureWidth = caps.MaxTextureWidth;
    result.maxTextureHeight = caps.MaxTextureHeight;
    result.vertexShader20 = caps.VertexShaderVersion >= D3DVS_VERSION(2, 0);
    result.pixelShader20 = caps.PixelShaderVersion >= D3DPS_VERSION(2, 0);
    // From the caps just read, not from the field CreateDevice records: the hardware page
    // asks before any device exists, when that field still holds its initial false.
    result.nonPow2Textures = (caps.TextureCaps & D3DPTEXTURECAPS_POW2) == 0;
    *info = result;
    return true;
}

void CKYRD3D::RegisterLostable(ILostable* lostable) {
    if (!lostable) return;
    KYRAutoLock lock(&lock_);
    lostables_.insert(lostable);
}

void CKYRD3D::UnregisterLostable(ILostable* lostable) {
    KYRAutoLock lock(&lock_);
    lostables_.erase(lostable);
}

}  // namespace KYR
