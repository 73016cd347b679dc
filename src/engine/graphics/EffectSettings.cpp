#include "engine/graphics/EffectSettings.h"

#include <algorithm>
#include <new>

namespace KYR {

D3DXHANDLE EffectSettings::Name(D3DXHANDLE name) {
    if (!name) return nullptr;
    auto found = names_.find(name);  // no copy made for a name already kept: the usual case
    if (found != names_.end()) return found->c_str();
    try {
        return names_.emplace(name).first->c_str();
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

bool EffectSettings::KeepTechnique(D3DXHANDLE technique) {
    D3DXHANDLE kept = Name(technique);
    if (kept) technique_ = kept;
    return kept != nullptr;
}

bool EffectSettings::KeepFloat(D3DXHANDLE parameter, float value) {
    return Keep(parameter, Call::kFloat, &value, 1);
}

bool EffectSettings::KeepFloatArray(D3DXHANDLE parameter, const float* values, UINT count) {
    return Keep(parameter, Call::kFloatArray, values, values ? count : 0);
}

bool EffectSettings::KeepVector(D3DXHANDLE parameter, const D3DXVECTOR4& vector) {
    const float xyzw[4] = {vector.x, vector.y, vector.z, vector.w};
    return Keep(parameter, Call::kVector, xyzw, 4);
}

bool EffectSettings::Keep(D3DXHANDLE parameter, Call call, const float* values, UINT count) {
    D3DXHANDLE kept = Name(parameter);
    if (!kept) return false;
    try {
        auto it = std::find_if(values_.begin(), values_.end(),
                               [&](const Value& v) { return v.parameter == kept; });
        if (it == values_.end()) {
            values_.push_back({kept, call, {}});
        } else {
            std::rotate(it, it + 1, values_.end());  // newest last, as ApplyTo sets them
        }
        values_.back().call = call;
        values_.back().floats.assign(values, values + count);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

void EffectSettings::ApplyTo(ID3DXEffect* effect) const {
    if (technique_) effect->SetTechnique(technique_);
    for (const Value& v : values_) {
        const float* floats = v.floats.data();
        switch (v.call) {
            case Call::kFloat:
                effect->SetFloat(v.parameter, floats[0]);
                break;
            case Call::kFloatArray:
                effect->SetFloatArray(v.parameter, floats, static_cast<UINT>(v.floats.size()));
                break;
            case Call::kVector: {
                const D3DXVECTOR4 vector(floats[0], floats[1], floats[2], floats[3]);
                effect->SetVector(v.parameter, &vector);
                break;
            }
        }
    }
}

}  // namespace KYR
