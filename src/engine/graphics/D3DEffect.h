// A compiled D3DX effect used under the device lock, told about device loss. Made by
// CKYRD3D::CreateEffect, also when the effect did not compile: then every call is accepted
// and none reports success (Begin gives 0 passes, handles are null), so the game's drawing
// code needs no second path.
//
// A D3DX effect belongs to the device it was compiled for and holds it. After ReleaseDevice
// and CreateDevice the effect is compiled again from the source it keeps and given the
// technique, parameters and textures the game had set; the handles the game holds are names
// (EffectSettings.h), so they stay valid.
#pragma once

#include <windows.h>

#include <d3dx9.h>

#include <string>
#include <utility>
#include <vector>

#include "engine/core/RefPtr.h"
#include "engine/graphics/EffectSettings.h"
#include "engine/graphics/ID3DEffect.h"
#include "engine/graphics/ILostable.h"

namespace KYR {

class CKYRD3D;

class CD3DEffect : public RefCounted<ID3DEffect>, public ILostable {
public:
    // Registers with the device and holds a reference to it. `source` is the effect's text or
    // the bytes of a compiled effect; nothing is compiled until Compile.
    CD3DEffect(CKYRD3D* device, std::string source);
    ~CD3DEffect() override;

    // Compiles the source for the device's current device. On failure the effect stays inert
    // and `errors` (if given) receives the compiler's message, or a fixed text without one.
    HRESULT Compile(std::string* errors);

    HRESULT Begin(UINT* passes, DWORD flags) override;
    HRESULT End() override;
    HRESULT BeginPass(UINT pass) override;
    HRESULT EndPass() override;
    HRESULT SetFloat(D3DXHANDLE parameter, float value) override;
    HRESULT SetFloatArray(D3DXHANDLE parameter, const float* values, UINT count) override;
    HRESULT SetTexture(D3DXHANDLE parameter, ID3DTexture* texture) override;
    HRESULT SetVector(D3DXHANDLE parameter, const D3DXVECTOR4* vector) override;
    HRESULT SetTechnique(D3DXHANDLE technique) override;
    // Both hand out the name as the handle (a member's as "parent.member"); null when the
    // effect has no such technique or parameter.
    D3DXHANDLE GetTechniqueByName(const char* name) override;
    D3DXHANDLE GetParameterByName(D3DXHANDLE parent, const char* name) override;

    void OnLostDevice() override;
    bool OnResetDevice() override;
    int32_t GetLostableKind() override { return kLostableEffect; }

    // The D3DX effect, borrowed; null when it did not compile. Callers hold the device lock.
    ID3DXEffect* EffectTemp() const { return effect_.Get(); }

private:
    template <class Fn>
    HRESULT Forward(Fn fn);
    // Hands D3DX the current Direct3D texture of every texture parameter set through
    // SetTexture, once those textures exist again after a loss.
    void GiveTexturesBack();

    RefPtr<CKYRD3D> device_;  // first, so it is released last
    std::string source_;
    RefPtr<ID3DXEffect> effect_;
    EffectSettings settings_;
    // D3DX holds a reference on every texture set on it, and Reset fails while any
    // default-pool texture lives: the effect lets them go on loss and keeps what it needs to
    // set them again, each under its kept name.
    std::vector<std::pair<D3DXHANDLE, RefPtr<ID3DTexture>>> textures_;
    bool texturesTaken_ = false;  // since OnLostDevice, until every one is back
};

}  // namespace KYR
