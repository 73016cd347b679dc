// A compiled D3DX effect used under the device lock, told about device loss. Made by
// CKYRD3D::CreateEffect, also when the effect did not compile: then every call is accepted
// and none reports success (Begin gives 0 passes, handles are null), so the game's drawing
// code needs no second path.
#pragma once

#include <windows.h>

#include <d3dx9.h>

#include <utility>
#include <vector>

#include "engine/core/RefPtr.h"
#include "engine/graphics/ID3DEffect.h"
#include "engine/graphics/ILostable.h"

namespace KYR {

class CKYRD3D;

class CD3DEffect : public RefCounted<ID3DEffect>, public ILostable {
public:
    // Registers with the device and holds a reference to it; effect may be empty.
    CD3DEffect(CKYRD3D* device, RefPtr<ID3DXEffect> effect);
    ~CD3DEffect() override;

    HRESULT Begin(UINT* passes, DWORD flags) override;
    HRESULT End() override;
    HRESULT BeginPass(UINT pass) override;
    HRESULT EndPass() override;
    HRESULT SetFloat(D3DXHANDLE parameter, float value) override;
    HRESULT SetFloatArray(D3DXHANDLE parameter, const float* values, UINT count) override;
    HRESULT SetTexture(D3DXHANDLE parameter, ID3DTexture* texture) override;
    HRESULT SetVector(D3DXHANDLE parameter, const D3DXVECTOR4* vector) override;
    HRESULT SetTechnique(D3DXHANDLE technique) override;
    D3DXHANDLE GetTechniqueByName(const char* name) override;
    D3DXHANDLE GetParameterByName(D3DXHANDLE parent, const char* name) override;

    void OnLostDevice() override;
    bool OnResetDevice() override;
    int32_t GetLostableKind() override { return kLostableEffect; }

private:
    template <class Fn>
    HRESULT Forward(Fn fn);
    // Hands D3DX the current Direct3D texture of every texture parameter set through
    // SetTexture, once those textures exist again after a loss.
    void GiveTexturesBack();

    RefPtr<CKYRD3D> device_;  // first, so it is released last
    RefPtr<ID3DXEffect> effect_;
    // D3DX holds a reference on every texture set on it, and Reset fails while any
    // default-pool texture lives: the effect lets them go on loss and keeps what it needs to
    // set them again. Parameters by D3DX's own handle, never by the caller's name pointer.
    std::vector<std::pair<D3DXHANDLE, RefPtr<ID3DTexture>>> textures_;
    bool texturesTaken_ = false;  // since OnLostDevice, until every one is back
};

}  // namespace KYR
