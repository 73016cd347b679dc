// The vertex arithmetic of the render batches, free of Direct3D so the host tree can check it
// under the sanitizers and time it: rotation with a simple perspective for quads and
// triangles, the thick-line strip, and the index pattern and index format of the quad batch.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>

#include "engine/graphics/BatchTypes.h"

namespace KYR {

// What turns texels and depth layers into vertex fields.
struct VertexScale {
    float invTextureWidth;   // 1 / allocated width
    float invTextureHeight;  // 1 / allocated height
    float depthStep;         // 1/65535
};

// One depth layer: 1/65535, whose float bits are 0x37800080.
constexpr float kDepthStep = 1.0f / 65535.0f;

// The quad's four vertices, turned by the angles (degrees, about x, y and z) around the
// quad's centre with a perspective whose focal distance grows with the quad's size. This is
// AddQuad's hot path (QuadVertices.cpp): the four corners side by side in SSE2 lanes, and
// unrotated sprites without any of the rotation's work.
void WriteQuadVertices(const QuadDesc& quad, float angleX, float angleY, float angleZ,
                       const VertexScale& scale, RenderVertex out[4]);

// The same vertices worked out corner by corner in plain float arithmetic, one division per
// corner: the definition the hot path is held to (the host tests compare the two).
void ReferenceQuadVertices(const QuadDesc& quad, float angleX, float angleY, float angleZ,
                           const VertexScale& scale, RenderVertex out[4]);

// The triangle's three vertices, turned about its centre moved by the pivot offset; depths
// fall in 0.4 to 0.5, biased further back by depthBias layers (scaled by the perspective).
void WriteTriangleVertices(const TriangleDesc& triangle, float pivotX, float pivotY,
                           float angleX, float angleY, float angleZ, uint32_t depthBias,
                           const VertexScale& scale, RenderVertex out[3]);

enum class IndexFormat { k16, k32 };

// 16-bit indices only where the device cannot take larger ones: they halve the index data,
// but a device that takes 32-bit indices gets them so the capacity is not capped at 16K quads.
IndexFormat ChooseIndexFormat(uint32_t maxVertexIndex);

// The largest quad count Reserve accepts on a device with these limits (0: none).
uint32_t MaxQuadCount(uint32_t maxPrimitiveCount, uint32_t maxVertexIndex);

// Six indices per quad: (4k, 4k+1, 4k+3) and (4k, 4k+3, 4k+2).
void FillQuadIndices(uint16_t* out, uint32_t quads);
void FillQuadIndices(uint32_t* out, uint32_t quads);

// The thick polyline through the first min(points.size(), maxPoints) points as a triangle
// strip, two vertices per point; returns the number of points written. Neighbouring points
// must differ (the line batch's point list keeps them so).
std::size_t WriteLineStrip(const std::deque<LinePoint>& points, float width,
                           std::size_t maxPoints, RenderVertex* out);

}  // namespace KYR
