#include "engine/graphics/D3DEffect.h"

#include "engine/graphics/D3DTexture.h"
#include "engine/graphics/KYRD3D.h"

namespace KYR {

CD3DEffect::CD3DEffect(CKYRD3D* device, RefPtr<ID3DXEffect> effect)
    : device_(RefPtr<CKYRD3D>::AddRefOf(device)), effect_(std::move(effect)) {
    device_->RegisterLostable(this);
}

CD3DEffect::~CD3DEffect() {
    KYRAutoLock lock(device_->GetDeviceLock());
    device_->UnregisterLostable(this);
    effect_.Reset();
}

template <class Fn>
HRESULT CD3DEffect::Forward(Fn fn) {
    KYRAutoLock lock(device_->GetDeviceLock());
    return effect_ ? fn(effect_.Get()) : D3DERR_INVALIDCALL;
}

HRESULT CD3DEffect::Begin(UINT* passes, DWORD flags) {
    // A caller looping over the passes must see none, not whatever its variable held.
    if (!effect_ && passes) *passes = 0;
    return Forward([&](ID3DXEffect* e) { return e->Begin(passes, flags); });
}

HRESULT CD3DEffect::End() {
    return Forward([](ID3DXEffect* e) { return e->End(); });
}

HRESULT CD3DEffect::BeginPass(UINT pass) {
    return Forward([&](ID3DXEffect* e) { return e->BeginPass(pass); });
}

HRESULT CD3DEffect::EndPass() {
    return Forward([](ID3DXEffect* e) { return e->EndPass(); });
}

HRESULT CD3DEffect::SetFloat(D3DXHANDLE parameter, float value) {
    return Forward([&](ID3DXEffect* e) { return e->SetFloat(parameter, value); });
}

HRESULT CD3DEffect::SetFloatArray(D3DXHANDLE parameter, const float* values, UINT count) {
    return Forward([&](ID3DXEffect* e) { return e->SetFloatArray(parameter, values, count); });
}

// Between a loss and the reset the engine texture holds no Direct3D texture: the parameter
// is then cleared rather than left on a released one.
HRESULT CD3DEffect::SetTexture(D3DXHANDLE parameter, ID3DTexture* texture) {
    return Forward([&](ID3DXEffect* e) {
        CD3DTexture* engineTexture = CD3DTexture::Of(texture);
        IDirect3DTexture9* raw =
            engineTexture && engineTexture->IsValid() ? engineTexture->GetTextureTemp() : nullptr;
        return e->SetTexture(parameter, raw);
    });
}

HRESULT CD3DEffect::SetVector(D3DXHANDLE parameter, const D3DXVECTOR4* vector) {
    return Forward([&](ID3DXEffect* e) { return e->SetVector(parameter, vector); });
}

HRESULT CD3DEffect::SetTechnique(D3DXHANDLE technique) {
    return Forward([&](ID3DXEffect* e) { return e->SetTechnique(technique); });
}

D3DXHANDLE CD3DEffect::GetTechniqueByName(const char* name) {
    KYRAutoLock lock(device_->GetDeviceLock());
    return effect_ ? effect_->GetTechniqueByName(name) : nullptr;
}

D3DXHANDLE CD3DEffect::GetParameterByName(D3DXHANDLE parent, const char* name) {
    KYRAutoLock lock(device_->GetDeviceLock());
    return effect_ ? effect_->GetParameterByName(parent, name) : nullptr;
}

void CD3DEffect::OnLostDevice() {
    KYRAutoLock lock(device_->GetDeviceLock());
    if (effect_) effect_->OnLostDevice();
}

// Wine's D3DX answers E_NOTIMPL here; the effect works on after the reset all the same.
bool CD3DEffect::OnResetDevice() {
    KYRAutoLock lock(device_->GetDeviceLock());
    if (effect_) effect_->OnResetDevice();
    return true;
}

}  // namespace KYR
