#include "engine/graphics/RenderSettings.h"

#include "engine/graphics/D3DTexture.h"
#include "engine/graphics/KYRD3D.h"

namespace KYR {
namespace {

constexpr int32_t kColourModes = 3;
constexpr int32_t kBlendModes = 11;

struct BlendMode {
    DWORD op, src, dest;            // colour
    DWORD opAlpha, srcAlpha, destAlpha;
};

// Separate alpha blending throughout: the target's alpha is what later passes read back
// (a render-target texture drawn again), so each mode says what happens to it.
constexpr BlendMode kBlendTable[kBlendModes] = {
    // 0 ordinary alpha blending; the target alpha keeps the larger value
    {D3DBLENDOP_ADD, D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA, D3DBLENDOP_MAX, D3DBLEND_ONE,
     D3DBLEND_ONE},
    // 1 additive by source alpha
    {D3DBLENDOP_ADD, D3DBLEND_SRCALPHA, D3DBLEND_ONE, D3DBLENDOP_ADD, D3DBLEND_ONE,
     D3DBLEND_ONE},
    // 2 subtractive by source alpha
    {D3DBLENDOP_REVSUBTRACT, D3DBLEND_SRCALPHA, D3DBLEND_ONE, D3DBLENDOP_REVSUBTRACT,
     D3DBLEND_ONE, D3DBLEND_ONE},
    // 3 multiply colour and alpha
    {D3DBLENDOP_ADD, D3DBLEND_ZERO, D3DBLEND_SRCCOLOR, D3DBLENDOP_ADD, D3DBLEND_ZERO,
     D3DBLEND_SRCALPHA},
    // 4 copy the source
    {D3DBLENDOP_ADD, D3DBLEND_ONE, D3DBLEND_ZERO, D3DBLENDOP_ADD, D3DBLEND_ONE,
     D3DBLEND_ZERO},
    // 5 plain additive, target alpha kept
    {D3DBLENDOP_ADD, D3DBLEND_ONE, D3DBLEND_ONE, D3DBLENDOP_ADD, D3DBLEND_ZERO,
     D3DBLEND_ONE},
    // 6 plain subtractive, target alpha kept
    {D3DBLENDOP_REVSUBTRACT, D3DBLEND_ONE, D3DBLEND_ONE, D3DBLENDOP_ADD, D3DBLEND_ZERO,
     D3DBLEND_ONE},
    // 7 multiply colour, target alpha kept
    {D3DBLENDOP_ADD, D3DBLEND_ZERO, D3DBLEND_SRCCOLOR, D3DBLENDOP_ADD, D3DBLEND_ZERO,
     D3DBLEND_ONE},
    // 8 colour kept, alpha added
    {D3DBLENDOP_ADD, D3DBLEND_ZERO, D3DBLEND_ONE, D3DBLENDOP_ADD, D3DBLEND_ONE, D3DBLEND_ONE},
    // 9 colour kept, source alpha taken from the target's
    {D3DBLENDOP_ADD, D3DBLEND_ZERO, D3DBLEND_ONE, D3DBLENDOP_REVSUBTRACT, D3DBLEND_ONE,
     D3DBLEND_ONE},
    // 10 colour kept, target alpha multiplied by the source's
    {D3DBLENDOP_ADD, D3DBLEND_ZERO, D3DBLEND_ONE, D3DBLENDOP_ADD, D3DBLEND_ZERO,
     D3DBLEND_SRCALPHA},
};

}  // namespace

RenderSettings::RenderSettings(CKYRD3D* device) : device_(RefPtr<CKYRD3D>::AddRefOf(device)) {}

bool RenderSettings::SetTexture(ID3DTexture* texture) {
    KYRAutoLock lock(device_->GetDeviceLock());
    // Only the engine's own textures can be drawn: the batch needs their Direct3D texture.
    CD3DTexture* own = CD3DTexture::Of(texture);
    if (!own || !own->IsCreated()) return false;
    scale_.invTextureWidth = 1.0f / static_cast<float>(texture->GetTextureWidth());
    scale_.invTextureHeight = 1.0f / static_cast<float>(texture->GetTextureHeight());
    texture_ = RefPtr<ID3DTexture>::AddRefOf(texture);  // the old one goes after the new is held
    return true;
}

IDirect3DTexture9* RenderSettings::DrawableTexture() const {
    CD3DTexture* own = CD3DTexture::Of(texture_.Get());
    return own && own->IsValid() ? own->GetTextureTemp() : nullptr;
}

void RenderSettings::GetRenderMode(int32_t* colourMode, int32_t* blendMode, bool* blending,
                                   bool* alphaTest, bool* linearFilter) const {
    KYRAutoLock lock(device_->GetDeviceLock());
    if (colourMode) *colourMode = colourMode_;
    if (blendMode) *blendMode = blendMode_;
    if (blending) *blending = blending_;
    if (alphaTest) *alphaTest = alphaTest_;
    if (linearFilter) *linearFilter = linearFilter_;
}

void RenderSettings::SetRenderMode(int32_t colourMode, int32_t blendMode, bool blending,
                                   bool alphaTest, bool linearFilter) {
    // Signed comparisons, as the game has always been checked: a negative mode is stored and
    // then sends no stage or blend functions (Apply).
    if (colourMode >= kColourModes || blendMode >= kBlendModes) return;
    KYRAutoLock lock(device_->GetDeviceLock());
    colourMode_ = colourMode;
    blendMode_ = blendMode;
    blending_ = blending;
    alphaTest_ = alphaTest;
    linearFilter_ = linearFilter;
}

void RenderSettings::Apply() const {
    CKYRD3D& d = *device_.Get();
    switch (colourMode_) {
    case 0:
    case 1: {
        const DWORD op = colourMode_ == 0 ? D3DTOP_MODULATE : D3DTOP_ADD;
        d.SetColorOp(op);
        d.SetColorArg1(D3DTA_TEXTURE);
        d.SetColorArg2Diffuse();
        d.SetAlphaOp(op);
        d.SetAlphaArg1(D3DTA_TEXTURE);
        d.SetAlphaArg2Diffuse();
        break;
    }
    case 2:
        d.SetColorOp(D3DTOP_SELECTARG1);
        d.SetColorArg1(D3DTA_DIFFUSE);
        d.SetColorArg2Diffuse();
        d.SetAlphaOp(D3DTOP_SELECTARG1);
        d.SetAlphaArg1(D3DTA_DIFFUSE);
        d.SetAlphaArg2Diffuse();
        break;
    default:
        break;
    }
    if (blending_) {
        if (blendMode_ >= 0 && blendMode_ < kBlendModes) {
            const BlendMode& m = kBlendTable[blendMode_];
            d.SetBlendOp(m.op);
            d.SetSrcBlend(m.src);
            d.SetDestBlend(m.dest);
            d.SetBlendOpAlpha(m.opAlpha);
            d.SetSrcBlendAlpha(m.srcAlpha);
            d.SetDestBlendAlpha(m.destAlpha);
        }
        d.SetAlphaBlendEnable(true);
        d.SetSeparateAlphaBlendEnable(true);
    } else {
        d.SetAlphaBlendEnable(false);
        d.SetSeparateAlphaBlendEnable(false);
    }
    if (alphaTest_) {
        // Alpha 0 is discarded, so fully transparent texels leave no trace even unblended.
        d.SetAlphaTestEnable(true);
        d.SetAlphaRefOne();
        d.SetAlphaFuncGreaterEqual();
    } else {
        d.SetAlphaTestEnable(false);
    }
    d.SetTextureFilter(linearFilter_ ? D3DTEXF_LINEAR : D3DTEXF_POINT);
}

}  // namespace KYR
