#include "engine/graphics/D3DEffect.h"

#include <new>

#include "engine/core/DxEntryPoints.h"
#include "engine/graphics/D3DTexture.h"
#include "engine/graphics/EffectErrorText.h"
#include "engine/graphics/KYRD3D.h"

namespace KYR {

CD3DEffect::CD3DEffect(CKYRD3D* device, std::string source)
    : device_(RefPtr<CKYRD3D>::AddRefOf(device)), source_(std::move(source)) {
    device_->RegisterLostable(this);
}

CD3DEffect::~CD3DEffect() {
    KYRAutoLock lock(device_->GetDeviceLock());
    device_->UnregisterLostable(this);
    effect_.Reset();
}

HRESULT CD3DEffect::Compile(std::string* errors) {
    KYRAutoLock lock(device_->GetDeviceLock());
    effect_.Reset();  // an effect of a released device lets that device go here
    IDirect3DDevice9* device = device_->GetDeviceTemp();
    RefPtr<ID3DXBuffer> messages;
    HRESULT hr = D3DERR_INVALIDCALL;
    if (device && !source_.empty())
        hr = dx::D3DXCreateEffect(device, source_.data(), static_cast<UINT>(source_.size()),
                                  nullptr, nullptr, 0, nullptr, effect_.Put(), messages.Put());
    if (FAILED(hr)) {
        effect_.Reset();
        if (errors)
            *errors = messages ? EffectErrorText(messages->GetBufferPointer(),
                                                 messages->GetBufferSize())
                               : EffectErrorText(nullptr, 0);
    }
    return hr;
}

template <class Fn>
HRESULT CD3DEffect::Forward(Fn fn) {
    KYRAutoLock lock(device_->GetDeviceLock());
    return effect_ ? fn(effect_.Get()) : D3DERR_INVALIDCALL;
}

HRESULT CD3DEffect::Begin(UINT* passes, DWORD flags) {
    KYRAutoLock lock(device_->GetDeviceLock());
    if (!effect_) {
        if (passes) *passes = 0;  // a caller looping over the passes must see none
        return D3DERR_INVALIDCALL;
    }
    GiveTexturesBack();  // a texture restored after the effect in the reset's order
    return effect_->Begin(passes, flags);
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

// Each setter that succeeded is kept, to be set again on an effect compiled anew; one that
// cannot be kept for want of memory says so.
HRESULT CD3DEffect::SetFloat(D3DXHANDLE parameter, float value) {
    return Forward([&](ID3DXEffect* e) {
        const HRESULT hr = e->SetFloat(parameter, value);
        return SUCCEEDED(hr) && !settings_.KeepFloat(parameter, value) ? E_OUTOFMEMORY : hr;
    });
}

HRESULT CD3DEffect::SetFloatArray(D3DXHANDLE parameter, const float* values, UINT count) {
    return Forward([&](ID3DXEffect* e) {
        const HRESULT hr = e->SetFloatArray(parameter, values, count);
        return SUCCEEDED(hr) && !settings_.KeepFloatArray(parameter, values, count)
                   ? E_OUTOFMEMORY
                   : hr;
    });
}

// Between a loss and the reset the engine texture holds no Direct3D texture: the parameter
// is then cleared rather than left on a released one. Room for the record is made before
// D3DX takes the texture, so no texture is ever held that a loss would not let go.
HRESULT CD3DEffect::SetTexture(D3DXHANDLE parameter, ID3DTexture* texture) {
    return Forward([&](ID3DXEffect* e) -> HRESULT {
        D3DXHANDLE kept = settings_.Name(parameter);
        if (!kept) return parameter ? E_OUTOFMEMORY : D3DERR_INVALIDCALL;
        try {
            textures_.reserve(textures_.size() + 1);
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        }
        CD3DTexture* engineTexture = CD3DTexture::Of(texture);
        IDirect3DTexture9* raw =
            engineTexture && engineTexture->IsValid() ? engineTexture->GetTextureTemp() : nullptr;
        const HRESULT hr = e->SetTexture(kept, raw);
        if (FAILED(hr)) return hr;
        for (auto it = textures_.begin(); it != textures_.end(); ++it)
            if (it->first == kept) {
                textures_.erase(it);
                break;
            }
        if (engineTexture) {
            textures_.emplace_back(kept, RefPtr<ID3DTexture>::AddRefOf(texture));
            if (!raw) texturesTaken_ = true;  // set between a loss and its reset
        }
        return hr;
    });
}

HRESULT CD3DEffect::SetVector(D3DXHANDLE parameter, const D3DXVECTOR4* vector) {
    return Forward([&](ID3DXEffect* e) {
        const HRESULT hr = e->SetVector(parameter, vector);
        return SUCCEEDED(hr) && vector && !settings_.KeepVector(parameter, *vector)
                   ? E_OUTOFMEMORY
                   : hr;
    });
}

HRESULT CD3DEffect::SetTechnique(D3DXHANDLE technique) {
    return Forward([&](ID3DXEffect* e) {
        const HRESULT hr = e->SetTechnique(technique);
        return SUCCEEDED(hr) && !settings_.KeepTechnique(technique) ? E_OUTOFMEMORY : hr;
    });
}

D3DXHANDLE CD3DEffect::GetTechniqueByName(const char* name) {
    KYRAutoLock lock(device_->GetDeviceLock());
    if (!effect_ || !name || !effect_->GetTechniqueByName(name)) return nullptr;
    return settings_.Name(name);
}

// D3DX finds a member by the path "parent.member" as it does by its own handle.
D3DXHANDLE CD3DEffect::GetParameterByName(D3DXHANDLE parent, const char* name) {
    KYRAutoLock lock(device_->GetDeviceLock());
    if (!effect_ || !name || !effect_->GetParameterByName(parent, name)) return nullptr;
    if (!parent) return settings_.Name(name);
    try {
        return settings_.Name((std::string(parent) + '.' + name).c_str());
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
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

bool CD3DEffect::OnResetDevice() {
    KYRAutoLock lock(device_->GetDeviceLock());
    if (!effect_) return true;
    RefPtr<IDirect3DDevice9> owner;
    if (SUCCEEDED(effect_->GetDevice(owner.Put())) && owner.Get() == device_->GetDeviceTemp()) {
        // Wine's D3DX answers E_NOTIMPL here; the effect works on after the reset all the same.
        effect_->OnResetDevice();
    } else {
        // A device made again after ReleaseDevice: the effect drives (and keeps alive) the old
        // one, so it is compiled for the new one and given what the game had set.
        if (FAILED(Compile(nullptr))) return false;
        settings_.ApplyTo(effect_.Get());
        texturesTaken_ = !textures_.empty();
    }
    GiveTexturesBack();
    return true;
}

}  // namespace KYR
