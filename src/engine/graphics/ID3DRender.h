// The engine's three render-batch interfaces. The slot order is part of the engine's
// interface: the game calls these through the table.
#pragma once

#include <cstdint>

#include "engine/core/IKYRInterface.h"
#include "engine/graphics/BatchTypes.h"

namespace KYR {

class ID3DTexture;

// The render-mode pair of every batch: colour modes 0 texture x vertex colour, 1 texture +
// vertex colour, 2 vertex colour only. Blend modes, used while blending is on: 0 ordinary
// alpha blending, 1 added by source alpha, 2 subtracted by source alpha, 3 multiplied
// (colour and alpha), 4 copied, 5 added, 6 subtracted, 7 colour multiplied; 8, 9 and 10 keep
// the target's colour and add, subtract or multiply its alpha. Modes 5 to 7 keep the
// target's alpha. Each out pointer of GetRenderMode may be null.

// Quads of a fixed capacity, drawn with one indexed call.
class ID3DRender : public IKYRInterface {
public:
    virtual ID3DTexture* GetTexture() = 0;  // borrowed
    // False, keeping the previous texture, for null or a texture not created.
    virtual bool SetTexture(ID3DTexture* texture) = 0;
    virtual uint32_t GetCapacity() = 0;  // quads
    virtual bool Reserve(uint32_t quads) = 0;
    virtual void GetRenderMode(int32_t* colourMode, int32_t* blendMode, bool* blending,
                               bool* alphaTest, bool* linearFilter) = 0;
    virtual void SetRenderMode(int32_t colourMode, int32_t blendMode, bool blending,
                               bool alphaTest, bool linearFilter) = 0;
    // Angles in degrees about the x, y and z axes; the last argument has no effect.
    virtual void AddQuad(const QuadDesc* quad, float angleX, float angleY, float angleZ,
                         float unused) = 0;
    virtual uint32_t RemoveLastQuad() = 0;  // triangles still queued
    virtual void ClearQuads() = 0;
    virtual void Draw() = 0;
    virtual ~ID3DRender() = default;
};

// Triangles in a growing list; Draw empties it.
class ID3DTriangleRender : public IKYRInterface {
public:
    virtual ID3DTexture* GetTexture() = 0;
    virtual bool SetTexture(ID3DTexture* texture) = 0;
    virtual void GetRenderMode(int32_t* colourMode, int32_t* blendMode, bool* blending,
                               bool* alphaTest, bool* linearFilter) = 0;
    virtual void SetRenderMode(int32_t colourMode, int32_t blendMode, bool blending,
                               bool alphaTest, bool linearFilter) = 0;
    // Turned about the triangle's centre moved by (pivotX, pivotY).
    virtual void AddTriangle(const TriangleDesc* triangle, float pivotX, float pivotY,
                             float angleX, float angleY, float angleZ, uint32_t depthBias) = 0;
    virtual void Draw() = 0;
    virtual ~ID3DTriangleRender() = default;
};

// A thick polyline through a point list that persists across draws.
class ID3DLineRender : public IKYRInterface {
public:
    virtual ID3DTexture* GetTexture() = 0;
    virtual bool SetTexture(ID3DTexture* texture) = 0;
    virtual uint32_t GetCapacity() = 0;  // points drawn at most
    virtual bool Reserve(uint32_t points) = 0;
    virtual void GetRenderMode(int32_t* colourMode, int32_t* blendMode, bool* blending,
                               bool* alphaTest, bool* linearFilter) = 0;
    virtual void SetRenderMode(int32_t colourMode, int32_t blendMode, bool blending,
                               bool alphaTest, bool linearFilter) = 0;
    virtual void Draw() = 0;
    virtual void PushFront(const LinePoint* point) = 0;
    virtual void PushBack(const LinePoint* point) = 0;
    virtual void InsertAfter(uint32_t index, const LinePoint* point) = 0;
    virtual void PopFront() = 0;
    virtual uint32_t PopBack() = 0;  // points left
    virtual void RemoveAt(uint32_t index) = 0;
    virtual const LinePoint* GetPoint(uint32_t index) = 0;  // null for an empty list
    virtual uint32_t GetPointCount() = 0;
    // Kept so the later slots stay where the game expects them; it does nothing.
    virtual void ReservedSlot18(uint32_t, uint32_t, uint32_t) = 0;
    virtual void ClearPoints() = 0;
    virtual void SetLineWidth(float width) = 0;
    virtual float GetLineWidth() = 0;
    virtual ~ID3DLineRender() = default;
    // After the destructor, as the game's table has it; it does nothing.
    virtual void ReservedSlot23(uint32_t, uint32_t, uint32_t, uint32_t, uint32_t) = 0;
};

}  // namespace KYR
