// The quad batch: sprites collected into arrays sized once by Reserve and drawn with one
// indexed call from memory. Nothing is allocated per frame: the index pattern is built with
// the arrays and only the vertices are rewritten.
#pragma once

#include <windows.h>

#include <d3d9.h>

#include <cstdint>
#include <vector>

#include "engine/graphics/ID3DRender.h"
#include "engine/graphics/RenderSettings.h"

namespace KYR {

class CD3DRender : public RefCounted<ID3DRender> {
public:
    explicit CD3DRender(CKYRD3D* device);  // holds a reference

    ID3DTexture* GetTexture() override { return settings_.GetTexture(); }
    bool SetTexture(ID3DTexture* texture) override;
    uint32_t GetCapacity() override { return capacity_ / 2; }
    // False for 0, for more than the device's limits allow, and when the arrays cannot be
    // had; the previous arrays then stay.
    bool Reserve(uint32_t quads) override;
    void GetRenderMode(int32_t* colourMode, int32_t* blendMode, bool* blending, bool* alphaTest,
                       bool* linearFilter) override {
        settings_.GetRenderMode(colourMode, blendMode, blending, alphaTest, linearFilter);
    }
    void SetRenderMode(int32_t colourMode, int32_t blendMode, bool blending, bool alphaTest,
                       bool linearFilter) override {
        settings_.SetRenderMode(colourMode, blendMode, blending, alphaTest, linearFilter);
    }
    // Dropped unless a texture is ready, Reserve succeeded and there is room.
    void AddQuad(const QuadDesc* quad, float angleX, float angleY, float angleZ,
                 float unused) override;
    uint32_t RemoveLastQuad() override;
    void ClearQuads() override;
    void Draw() override;

private:
    RenderSettings settings_;
    bool textureReady_ = false;  // the result of the last SetTexture
    bool reserved_ = false;
    std::vector<RenderVertex> vertices_;  // 4 per quad
    std::vector<uint16_t> indices16_;     // one of the two, by the device's index limit
    std::vector<uint32_t> indices32_;
    const void* indexData_ = nullptr;
    D3DFORMAT indexFormat_ = D3DFMT_INDEX16;
    uint32_t used_ = 0;      // triangles
    uint32_t capacity_ = 0;  // triangles
};

}  // namespace KYR
