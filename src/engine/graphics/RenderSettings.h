// What every render batch carries: its device, its texture, the colour and blend modes, and
// the scale from texels to texture coordinates. Apply sends the modes through the device's
// state cache at the start of each draw, so a batch that draws like the last one sends
// nothing.
#pragma once

#include <windows.h>

#include <d3d9.h>

#include <cstdint>

#include "engine/core/RefPtr.h"
#include "engine/graphics/BatchGeometry.h"
#include "engine/graphics/ID3DTexture.h"

namespace KYR {

class CKYRD3D;

class RenderSettings {
public:
    explicit RenderSettings(CKYRD3D* device);  // holds a reference
    RenderSettings(const RenderSettings&) = delete;
    RenderSettings& operator=(const RenderSettings&) = delete;

    CKYRD3D* Device() const { return device_.Get(); }
    ID3DTexture* GetTexture() const { return texture_.Get(); }  // borrowed
    // Null or a texture that is not created: false, and the previous texture stays.
    bool SetTexture(ID3DTexture* texture);
    // The Direct3D texture to draw with, borrowed; null unless set and valid now (a lost
    // texture has nothing to sample).
    IDirect3DTexture9* DrawableTexture() const;

    void GetRenderMode(int32_t* colourMode, int32_t* blendMode, bool* blending,
                       bool* alphaTest, bool* linearFilter) const;
    // Colour modes 0 to 2 and blend modes 0 to 10; anything else changes nothing.
    void SetRenderMode(int32_t colourMode, int32_t blendMode, bool blending, bool alphaTest,
                       bool linearFilter);

    // The caller holds the device lock.
    void Apply() const;

    const VertexScale& Scale() const { return scale_; }

private:
    RefPtr<CKYRD3D> device_;
    RefPtr<ID3DTexture> texture_;
    int32_t colourMode_ = 0;
    int32_t blendMode_ = 0;
    bool blending_ = false;
    bool alphaTest_ = false;
    bool linearFilter_ = false;
    VertexScale scale_ = {0.0f, 0.0f, kDepthStep};
};

}  // namespace KYR
