// The records the render batches take from the game, and the one vertex they all draw. The
// layouts are part of the engine's interface: the game fills these structures directly.
#pragma once

#include <cstdint>

namespace KYR {

// Pre-transformed, coloured, textured: D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1.
struct RenderVertex {
    float x, y, z, rhw;
    uint32_t colour;  // ARGB
    float u, v;
};
static_assert(sizeof(RenderVertex) == 28, "the engine's vertex is 28 bytes");
constexpr uint32_t kRenderVertexFvf = 0x144;

// One sprite: entry k of each array is corner k. The index pattern draws (0, 1, 3) and
// (0, 3, 2), so corners 0 and 3 are opposite.
struct QuadDesc {
    int32_t u[4];  // texel column
    int32_t v[4];  // texel row
    int32_t x[4];  // screen pixels
    int32_t y[4];
    uint32_t z[4];  // depth layer, in steps of 1/65535
    float rhw[4];
    uint32_t colour[4];  // ARGB
};

struct TriangleDesc {
    int32_t u[3];
    int32_t v[3];
    int32_t x[3];
    int32_t y[3];
    uint32_t z[3];
    float rhw[3];
    uint32_t colour[3];
};

// A point of a thick line. Two points are the same point when x and y agree.
struct LinePoint {
    int32_t x, y;
    int32_t z;             // depth layer, in steps of 1/65535
    uint32_t leftColour;   // ARGB of the strip's left edge
    uint32_t rightColour;  // and of its right edge
};

inline bool SamePoint(const LinePoint& a, const LinePoint& b) { return a.x == b.x && a.y == b.y; }

}  // namespace KYR
