#include "engine/graphics/BatchGeometry.h"

#include <algorithm>
#include <cmath>

#include "engine/graphics/BatchRotation.h"

namespace KYR {
namespace {

// Screen position and perspective of one corner.
struct Projected {
    float x, y;
    float rhwScale;  // Q / D
    float depthScale;  // D / Q
};

// N corners turned about (cx, cy). The focal distance Q is pi times the corners' largest
// offset from the centre, which keeps D = Q + z' positive (|z'| is at most sqrt(2) times that
// offset). A primitive whose corners all sit on its centre has Q = 0 and no perspective to
// speak of: it gets the unrotated position instead of 0/0.
template <int N>
void Project(const int32_t* xs, const int32_t* ys, float cx, float cy, const Rotation& r,
             Projected* out) {
    float largest = 0.0f;
    for (int k = 0; k < N; ++k) {
        largest = std::max(largest, std::fabs(static_cast<float>(xs[k]) - cx));
        largest = std::max(largest, std::fabs(static_cast<float>(ys[k]) - cy));
    }
    const float q = kFocalFactor * largest;
    for (int k = 0; k < N; ++k) {
        const float dx = static_cast<float>(xs[k]) - cx;
        const float dy = static_cast<float>(ys[k]) - cy;
        if (q == 0.0f) {
            // Direct3D 9 samples at pixel centres: -0.5 puts texel edges on pixel edges.
            out[k] = {static_cast<float>(xs[k]) - 0.5f, static_cast<float>(ys[k]) - 0.5f, 1.0f,
                      1.0f};
            continue;
        }
        const float xr = r.m00 * dx + r.m10 * dy;
        const float yr = r.m01 * dx + r.m11 * dy;
        const float zr = r.m02 * dx + r.m12 * dy;
        const float d = q + zr;
        // One division per corner: the perspective factor Q / D scales all three.
        const float f = q / d;
        out[k] = {cx + xr * f - 0.5f, cy + yr * f - 0.5f, f, d / q};
    }
}

}  // namespace

void ReferenceQuadVertices(const QuadDesc& quad, float angleX, float angleY, float angleZ,
                           const VertexScale& scale, RenderVertex out[4]) {
    const Rotation r = MakeRotation(angleX, angleY, angleZ);
    // The sums in 64 bits: four int32 corners can overflow int32.
    const float cx =
        static_cast<float>(static_cast<int64_t>(quad.x[0]) + quad.x[1] + quad.x[2] + quad.x[3]) *
        0.25f;
    const float cy =
        static_cast<float>(static_cast<int64_t>(quad.y[0]) + quad.y[1] + quad.y[2] + quad.y[3]) *
        0.25f;
    Projected p[4];
    Project<4>(quad.x, quad.y, cx, cy, r, p);
    for (int k = 0; k < 4; ++k) {
        RenderVertex& v = out[k];
        v.x = p[k].x;
        v.y = p[k].y;
        v.z = scale.depthStep * static_cast<float>(quad.z[k]);
        v.rhw = quad.rhw[k] * p[k].rhwScale;
        v.colour = quad.colour[k];
        v.u = static_cast<float>(quad.u[k]) * scale.invTextureWidth;
        v.v = static_cast<float>(quad.v[k]) * scale.invTextureHeight;
    }
}

void WriteTriangleVertices(const TriangleDesc& triangle, float pivotX, float pivotY,
                           float angleX, float angleY, float angleZ, uint32_t depthBias,
                           const VertexScale& scale, RenderVertex out[3]) {
    const Rotation r = MakeRotation(angleX, angleY, angleZ);
    const float cx = static_cast<float>(
        (static_cast<double>(triangle.x[0]) + triangle.x[1] + triangle.x[2]) / 3.0) + pivotX;
    const float cy = static_cast<float>(
        (static_cast<double>(triangle.y[0]) + triangle.y[1] + triangle.y[2]) / 3.0) + pivotY;
    Projected p[3];
    Project<3>(triangle.x, triangle.y, cx, cy, r, p);
    const float bias = scale.depthStep * static_cast<float>(depthBias);
    for (int k = 0; k < 3; ++k) {
        RenderVertex& v = out[k];
        v.x = p[k].x;
        v.y = p[k].y;
        // A tenth of the depth range, from 0.4: triangles sort among themselves without
        // leaving the band the game keeps for them.
        v.z = 0.1f * (scale.depthStep * static_cast<float>(triangle.z[k]) +
                      p[k].depthScale * bias) +
              0.4f;
        v.rhw = triangle.rhw[k] * p[k].rhwScale;
        v.colour = triangle.colour[k];
        v.u = static_cast<float>(triangle.u[k]) * scale.invTextureWidth;
        v.v = static_cast<float>(triangle.v[k]) * scale.invTextureHeight;
    }
}

IndexFormat ChooseIndexFormat(uint32_t maxVertexIndex) {
    return maxVertexIndex < 65536u ? IndexFormat::k16 : IndexFormat::k32;
}

uint32_t MaxQuadCount(uint32_t maxPrimitiveCount, uint32_t maxVertexIndex) {
    return std::min(maxPrimitiveCount / 2, maxVertexIndex / 6);
}

namespace {
template <class Index>
void FillIndices(Index* out, uint32_t quads) {
    for (uint32_t k = 0; k < quads; ++k, out += 6) {
        const Index base = static_cast<Index>(4 * k);
        out[0] = base;
        out[1] = static_cast<Index>(base + 1);
        out[2] = static_cast<Index>(base + 3);
        out[3] = base;
        out[4] = static_cast<Index>(base + 3);
        out[5] = static_cast<Index>(base + 2);
    }
}
}  // namespace

void FillQuadIndices(uint16_t* out, uint32_t quads) { FillIndices(out, quads); }
void FillQuadIndices(uint32_t* out, uint32_t quads) { FillIndices(out, quads); }

std::size_t WriteLineStrip(const std::deque<LinePoint>& points, float width,
                           std::size_t maxPoints, RenderVertex* out) {
    const std::size_t n = std::min(points.size(), maxPoints);
    float dx = 0.0f, dy = 0.0f, length = 0.0f;
    for (std::size_t i = 0; i < n; ++i) {
        const LinePoint& p = points[i];
        if (i + 1 < n) {
            // In double: the difference of two int32 coordinates can overflow int32.
            const LinePoint& next = points[i + 1];
            dx = static_cast<float>(static_cast<double>(p.x) - next.x);
            dy = static_cast<float>(static_cast<double>(p.y) - next.y);
            length = std::sqrt(dx * dx + dy * dy);
        }
        // The last point keeps the previous segment's direction.
        const float half = length > 0.0f ? width / 2.0f / length : 0.0f;
        const float ex = dy * half, ey = dx * half;
        const float x = static_cast<float>(p.x), y = static_cast<float>(p.y);
        const float z = static_cast<float>(p.z) / 65535.0f * 0.1f + 0.4f;
        out[2 * i] = {x + ex, y - ey, z, 1.0f, p.leftColour, 0.0f, 0.0f};
        out[2 * i + 1] = {x - ex, y + ey, z, 1.0f, p.rightColour, 0.0f, 0.0f};
    }
    return n;
}

}  // namespace KYR
