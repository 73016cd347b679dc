// The engine's wrapper of a D3DX effect (slot order is part of the engine's interface). Each
// operation forwards to the ID3DXEffect method of the same name under the device lock.
#pragma once

#include <windows.h>

#include <d3dx9.h>

#include "engine/core/IKYRInterface.h"

namespace KYR {

class ID3DTexture;

class ID3DEffect : public IKYRInterface {
public:
    virtual HRESULT Begin(UINT* passes, DWORD flags) = 0;
    virtual HRESULT End() = 0;
    virtual HRESULT BeginPass(UINT pass) = 0;
    virtual HRESULT EndPass() = 0;
    virtual HRESULT SetFloat(D3DXHANDLE parameter, float value) = 0;
    virtual HRESULT SetFloatArray(D3DXHANDLE parameter, const float* values, UINT count) = 0;
    virtual HRESULT SetTexture(D3DXHANDLE parameter, ID3DTexture* texture) = 0;
    virtual HRESULT SetVector(D3DXHANDLE parameter, const D3DXVECTOR4* vector) = 0;
    virtual HRESULT SetTechnique(D3DXHANDLE technique) = 0;
    virtual D3DXHANDLE GetTechniqueByName(const char* name) = 0;
    virtual D3DXHANDLE GetParameterByName(D3DXHANDLE parent, const char* name) = 0;
    virtual ~ID3DEffect() = default;
};

}  // namespace KYR
