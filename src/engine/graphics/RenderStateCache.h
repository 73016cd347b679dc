// The render states the engine changes, with the value last sent to the device for each, so
// that the batches can call the setters for every draw and only real changes reach Direct3D.
#pragma once

#include <windows.h>

#include <d3d9.h>

#include <cstdint>

namespace KYR {

// Entries in record order.
enum RenderStateEntry {
    kRsCullMode,
    kRsLighting,
    kRsColorOp,
    kRsColorArg1,
    kRsColorArg2,
    kRsAlphaOp,
    kRsAlphaArg1,
    kRsAlphaArg2,
    kRsBlendOp,
    kRsSrcBlend,
    kRsDestBlend,
    kRsBlendOpAlpha,
    kRsSrcBlendAlpha,
    kRsDestBlendAlpha,
    kRsAlphaBlendEnable,
    kRsSeparateAlphaBlendEnable,
    kRsAlphaTestEnable,
    kRsAlphaRef,
    kRsAlphaFunc,
    kRsTextureFilter,  // sampler 0, magnification and minification alike
    kRenderStateEntries
};

// Marks an entry whose value the device may not have: the next set always sends.
constexpr int32_t kStateNotSent = 0x7FFFFFFF;

class RenderStateCache {
public:
    RenderStateCache() { Invalidate(); }

    void Invalidate();

    // Sends value to device unless it is the one last sent for the entry. The caller holds
    // the device lock.
    void Set(IDirect3DDevice9* device, RenderStateEntry entry, DWORD value);

private:
    int32_t values_[kRenderStateEntries];
};

}  // namespace KYR
