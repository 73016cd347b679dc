// The triangle batch: textured triangles collected in a growing list and drawn with one call
// from memory. Draw empties the list; its depths stay within 0.4 to 0.5.
#pragma once

#include <windows.h>

#include <d3d9.h>

#include <cstdint>
#include <vector>

#include "engine/graphics/ID3DRender.h"
#include "engine/graphics/RenderSettings.h"

namespace KYR {

class CD3DTriangleRender : public RefCounted<ID3DTriangleRender> {
public:
    explicit CD3DTriangleRender(CKYRD3D* device);  // holds a reference

    ID3DTexture* GetTexture() override { return settings_.GetTexture(); }
    bool SetTexture(ID3DTexture* texture) override { return settings_.SetTexture(texture); }
    void GetRenderMode(int32_t* colourMode, int32_t* blendMode, bool* blending, bool* alphaTest,
                       bool* linearFilter) override {
        settings_.GetRenderMode(colourMode, blendMode, blending, alphaTest, linearFilter);
    }
    void SetRenderMode(int32_t colourMode, int32_t blendMode, bool blending, bool alphaTest,
                       bool linearFilter) override {
        settings_.SetRenderMode(colourMode, blendMode, blending, alphaTest, linearFilter);
    }
    // Dropped when the list cannot grow.
    void AddTriangle(const TriangleDesc* triangle, float pivotX, float pivotY, float angleX,
                     float angleY, float angleZ, uint32_t depthBias) override;
    void Draw() override;

    uint32_t GetVertexCount() const { return static_cast<uint32_t>(vertices_.size()); }

private:
    RenderSettings settings_;
    std::vector<RenderVertex> vertices_;  // 3 per triangle
};

}  // namespace KYR
