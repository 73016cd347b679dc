#include "engine/graphics/RenderStateCache.h"

namespace KYR {
namespace {

enum class Target { kRender, kStage0, kSampler0 };

struct StateSlot {
    Target target;
    DWORD state;  // D3DRENDERSTATETYPE or D3DTEXTURESTAGESTATETYPE; the sampler entry is both filters
};

constexpr StateSlot kSlots[kRenderStateEntries] = {
    {Target::kRender, D3DRS_CULLMODE},
    {Target::kRender, D3DRS_LIGHTING},
    {Target::kStage0, D3DTSS_COLOROP},
    {Target::kStage0, D3DTSS_COLORARG1},
    {Target::kStage0, D3DTSS_COLORARG2},
    {Target::kStage0, D3DTSS_ALPHAOP},
    {Target::kStage0, D3DTSS_ALPHAARG1},
    {Target::kStage0, D3DTSS_ALPHAARG2},
    {Target::kRender, D3DRS_BLENDOP},
    {Target::kRender, D3DRS_SRCBLEND},
    {Target::kRender, D3DRS_DESTBLEND},
    {Target::kRender, D3DRS_BLENDOPALPHA},
    {Target::kRender, D3DRS_SRCBLENDALPHA},
    {Target::kRender, D3DRS_DESTBLENDALPHA},
    {Target::kRender, D3DRS_ALPHABLENDENABLE},
    {Target::kRender, D3DRS_SEPARATEALPHABLENDENABLE},
    {Target::kRender, D3DRS_ALPHATESTENABLE},
    {Target::kRender, D3DRS_ALPHAREF},
    {Target::kRender, D3DRS_ALPHAFUNC},
    {Target::kSampler0, 0},
};

}  // namespace

void RenderStateCache::Invalidate() {
    for (int32_t& v : values_) v = kStateNotSent;
}

void RenderStateCache::Set(IDirect3DDevice9* device, RenderStateEntry entry, DWORD value) {
    if (!device || entry < 0 || entry >= kRenderStateEntries) return;
    if (values_[entry] == static_cast<int32_t>(value)) return;
    const StateSlot& slot = kSlots[entry];
    HRESULT hr = E_FAIL;
    switch (slot.target) {
    case Target::kRender:
        hr = device->SetRenderState(static_cast<D3DRENDERSTATETYPE>(slot.state), value);
        break;
    case Target::kStage0:
        hr = device->SetTextureStageState(0, static_cast<D3DTEXTURESTAGESTATETYPE>(slot.state),
                                          value);
        break;
    case Target::kSampler0:
        hr = device->SetSamplerState(0, D3DSAMP_MAGFILTER, value);
        if (SUCCEEDED(hr)) hr = device->SetSamplerState(0, D3DSAMP_MINFILTER, value);
        break;
    }
    // Only a value the device took is remembered; a refused one is tried again next time.
    if (SUCCEEDED(hr)) values_[entry] = static_cast<int32_t>(value);
}

}  // namespace KYR
