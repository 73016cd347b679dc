// What a game has set on an effect, kept so that an effect compiled anew (for a device made
// after ReleaseDevice) can be given the same: the technique and every float, array and vector
// parameter, by name.
//
// The names are also the handles the engine hands out. D3DX takes a name wherever it takes a
// handle, and a name means the same parameter in every compile of the source, whereas D3DX's
// own handles belong to one compiled effect and die with it.
#pragma once

#include <windows.h>

#include <d3dx9.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

namespace KYR {

class EffectSettings {
public:
    // The kept copy of a name (or of a handle handed out before, which is one): the same
    // pointer for the same text, valid as long as this object. Null for null, and when memory
    // runs out.
    D3DXHANDLE Name(D3DXHANDLE name);

    // Each records a call that succeeded on the current effect; false when memory ran out, and
    // then the call is not recorded. A parameter set again keeps only its newest value.
    bool KeepTechnique(D3DXHANDLE technique);
    bool KeepFloat(D3DXHANDLE parameter, float value);
    bool KeepFloatArray(D3DXHANDLE parameter, const float* values, UINT count);
    bool KeepVector(D3DXHANDLE parameter, const D3DXVECTOR4& vector);

    // Sets the technique, then the parameters in the order they were last set (a structure
    // and one of its members set one after the other end as they did).
    void ApplyTo(ID3DXEffect* effect) const;

private:
    enum class Call { kFloat, kFloatArray, kVector };
    struct Value {
        D3DXHANDLE parameter;  // a kept name
        Call call;
        std::vector<float> floats;
    };
    bool Keep(D3DXHANDLE parameter, Call call, const float* values, UINT count);

    std::set<std::string, std::less<>> names_;
    D3DXHANDLE technique_ = nullptr;
    std::vector<Value> values_;
};

}  // namespace KYR
