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
    return Forward([&](ID3DXEffect* e) {
        GiveTexturesBack();  // a texture restored after the effect in the reset's order
        return e->Begin(passes, flags);
    });
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
        const HRESULT hr = e->SetTexture(parameter, raw);
        D3DXPARAMETER_DESC desc = {};
        if (FAILED(hr) || FAILED(e->GetParameterDesc(parameter, &desc))) return hr;
        D3DXHANDLE own = e->GetParameterByName(nullptr, desc.Name);
        if (!own) own = parameter;  // a member of a structure: the caller's handle is D3DX's
        for (auto it = textures_.begin(); it != textures_.end(); ++it)
            if (it->first == own) {
                textures_.erase(it);
                break;
            }
        if (engineTexture) {
            textures_.emplace_back(own, RefPtr<ID3DTexture>::AddRefOf(texture));
            if (!raw) texturesTaken_ = true;  // set between a loss and its reset
        }
        return hr;
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

void CD3DEffect::GiveTexturesBack() {
    if (!texturesTaken_) return;
    texturesTaken_ = false;
    for (auto& binding : textures_) {
        CD3DTexture* texture = CD3DTexture::Of(binding.second.Get());
        if (texture->IsValid())
            effect_->SetTexture(binding.first, texture->GetTextureTemp());
        else
            texturesTaken_ = true;
    }
}

void CD3DEffect::OnLostDevice() {
    KYRAutoLock lock(device_->GetDeviceLock());
    if (!effect_) return;
    for (auto& binding : textures_) effect_->SetTexture(binding.first, nullptr);
    texturesTaken_ = !textures_.empty();
    effect_->OnLostDevice();
}

// Wine's D3DX answers E_NOTIMPL here; the effect works on after the reset all the same.
bool CD3DEffect::OnResetDevice() {
    KYRAutoLock lock(device_->GetDeviceLock());
    if (!effect_) return true;
    effect_->OnResetDevice();
    GiveTexturesBack();
    return true;
}

}  // namespace KYR
