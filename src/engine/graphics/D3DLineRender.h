// The line batch: a thick polyline through a persistent point list, widened into a triangle
// strip in a dynamic vertex buffer. The buffer lives in the default pool, so it follows
// device loss through ILostable; the points survive a reset, and the buffer is rebuilt at the
// capacity Reserve chose.
#pragma once

#include <windows.h>

#include <d3d9.h>

#include <cstdint>

#include "engine/core/RefPtr.h"
#include "engine/graphics/ID3DRender.h"
#include "engine/graphics/ILostable.h"
#include "engine/graphics/LinePointList.h"
#include "engine/graphics/RenderSettings.h"

namespace KYR {

class CD3DLineRender : public RefCounted<ID3DLineRender>, public ILostable {
public:
    explicit CD3DLineRender(CKYRD3D* device);  // registers with the device, holds a reference
    ~CD3DLineRender() override;

    ID3DTexture* GetTexture() override { return settings_.GetTexture(); }
    bool SetTexture(ID3DTexture* texture) override { return settings_.SetTexture(texture); }
    uint32_t GetCapacity() override { return vertexCapacity_ / 2; }
    // Room for this many points: false for fewer than 2, more than the device allows, or
    // when the vertex buffer cannot be made (the previous buffer and capacity then stay).
    bool Reserve(uint32_t points) override;
    void GetRenderMode(int32_t* colourMode, int32_t* blendMode, bool* blending, bool* alphaTest,
                       bool* linearFilter) override {
        settings_.GetRenderMode(colourMode, blendMode, blending, alphaTest, linearFilter);
    }
    void SetRenderMode(int32_t colourMode, int32_t blendMode, bool blending, bool alphaTest,
                       bool linearFilter) override {
        settings_.SetRenderMode(colourMode, blendMode, blending, alphaTest, linearFilter);
    }
    // The first GetCapacity() points; those beyond have no room in the buffer.
    void Draw() override;
    void PushFront(const LinePoint* point) override;
    void PushBack(const LinePoint* point) override;
    void InsertAfter(uint32_t index, const LinePoint* point) override;
    void PopFront() override;
    uint32_t PopBack() override;
    void RemoveAt(uint32_t index) override;
    const LinePoint* GetPoint(uint32_t index) override;
    uint32_t GetPointCount() override;
    void ReservedSlot18(uint32_t, uint32_t, uint32_t) override {}
    void ClearPoints() override;
    void SetLineWidth(float width) override;
    float GetLineWidth() override;
    void ReservedSlot23(uint32_t, uint32_t, uint32_t, uint32_t, uint32_t) override {}

    void OnLostDevice() override;
    // False when the buffer cannot be made again (Draw then does nothing until a later
    // reset or Reserve succeeds); true without work before the first Reserve.
    bool OnResetDevice() override;
    int32_t GetLostableKind() override { return kLostableLineBatch; }

private:
    // A buffer for vertexCount vertices; empty on failure.
    RefPtr<IDirect3DVertexBuffer9> MakeBuffer(uint32_t vertexCount) const;

    RenderSettings settings_;
    RefPtr<IDirect3DVertexBuffer9> buffer_;
    uint32_t vertexCapacity_ = 0;  // 2 per point
    LinePointList points_;
    float width_ = 0.0f;
};

}  // namespace KYR
