#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <deque>
#include <limits>
#include <random>
#include <vector>

#include "engine/core/SineTable.h"
#include "engine/graphics/BatchGeometry.h"
#include "support/RectQuad.h"

namespace {

using namespace KYR;

constexpr VertexScale kScale = {1.0f / 16, 1.0f / 8, kDepthStep};

class BatchGeometry : public ::testing::Test {
protected:
    static void SetUpTestSuite() { FillSineTable(); }
};

// Every corner with its own rhw and colour, so a vertex written to the wrong corner shows.
QuadDesc Rect(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    QuadDesc q = kyrtest::RectQuad(left, top, right, bottom);
    for (int k = 0; k < 4; ++k) {
        q.z[k] = 7;
        q.rhw[k] = 0.5f + k;
        q.colour[k] = 0xFF000000u | k;
    }
    return q;
}

TEST_F(BatchGeometry, IndexFormatAndQuadLimitFollowTheDeviceLimits) {
    struct Row {
        uint32_t maxVertexIndex;
        IndexFormat format;
    } rows[] = {
        {0, IndexFormat::k16},
        {0xFFFF, IndexFormat::k16},      // every index of 16K quads fits in 16 bits
        {0x10000, IndexFormat::k32},
        {0xFFFFFF, IndexFormat::k32},    // llvmpipe's
        {0xFFFFFFFF, IndexFormat::k32},
    };
    for (const Row& r : rows) EXPECT_EQ(ChooseIndexFormat(r.maxVertexIndex), r.format);
    // Both the primitive count (2 per quad) and the index reach (6 per quad) cap the quads.
    EXPECT_EQ(MaxQuadCount(1000, 0xFFFFFF), 500u);
    EXPECT_EQ(MaxQuadCount(0xFFFFFFFF, 0xFFFF), 0xFFFFu / 6);
    EXPECT_EQ(MaxQuadCount(1, 0xFFFF), 0u);
}

TEST_F(BatchGeometry, UnrotatedQuadCornersSitHalfAPixelUpAndLeft) {
    const QuadDesc q = Rect(3, 5, 11, 9);
    RenderVertex v[4];
    WriteQuadVertices(q, 0, 0, 0, kScale, v);
    for (int k = 0; k < 4; ++k) {
        EXPECT_FLOAT_EQ(v[k].x, q.x[k] - 0.5f) << k;
        EXPECT_FLOAT_EQ(v[k].y, q.y[k] - 0.5f) << k;
        EXPECT_FLOAT_EQ(v[k].rhw, q.rhw[k]) << k;
        EXPECT_FLOAT_EQ(v[k].z, 7 * kDepthStep) << k;
        EXPECT_FLOAT_EQ(v[k].u, q.u[k] / 16.0f) << k;
        EXPECT_FLOAT_EQ(v[k].v, q.v[k] / 8.0f) << k;
        EXPECT_EQ(v[k].colour, q.colour[k]) << k;
    }
}

TEST_F(BatchGeometry, TurnsAboutZMoveCornersOntoEachOther) {
    // A square turned by a quarter (half) turn puts each corner where another one was; no
    // perspective, since the turn stays in the screen's plane.
    const QuadDesc q = Rect(10, 10, 18, 18);
    struct Row {
        float angle;
        int from[4];  // corner k lands where corner from[k] was
    } rows[] = {{90, {2, 0, 3, 1}}, {180, {3, 2, 1, 0}}, {-90, {1, 3, 0, 2}}, {450, {2, 0, 3, 1}}};
    for (const Row& r : rows) {
        RenderVertex v[4];
        WriteQuadVertices(q, 0, 0, r.angle, kScale, v);
        for (int k = 0; k < 4; ++k) {
            EXPECT_NEAR(v[k].x, q.x[r.from[k]] - 0.5f, 1e-3) << r.angle << " corner " << k;
            EXPECT_NEAR(v[k].y, q.y[r.from[k]] - 0.5f, 1e-3) << r.angle << " corner " << k;
            EXPECT_NEAR(v[k].rhw, q.rhw[k], 1e-5);
        }
    }
}

float Uniform(std::mt19937& random, float from, float to) {
    return std::uniform_real_distribution<float>(from, to)(random);
}

int32_t Below(std::mt19937& random, int32_t n) { return static_cast<int32_t>(random() % n); }

// A random sprite: a rectangle, a free quad or a quad shrunk to a point (by `kind`); depth
// layers past 2^31 too, and now and then a non-finite rhw.
QuadDesc RandomQuad(std::mt19937& random, int n) {
    QuadDesc q = {};
    // One sprite in twenty-five sits at the far ends of the int32 range, where the corners'
    // sum overflows 32 bits.
    const bool far = n % 25 == 3;
    const int32_t left = far ? INT32_MAX - 700 : Below(random, 8192) - 4096,
                  top = far ? INT32_MIN + Below(random, 100) : Below(random, 8192) - 4096;
    const int32_t w = Below(random, 600), h = Below(random, 600);
    for (int k = 0; k < 4; ++k) {
        switch (n % 3) {
        case 0: q.x[k] = left + (k & 1) * w, q.y[k] = top + (k >> 1) * h; break;
        case 1: q.x[k] = left + Below(random, 600), q.y[k] = top + Below(random, 600); break;
        default: q.x[k] = left, q.y[k] = top; break;
        }
        q.u[k] = Below(random, 1024);
        q.v[k] = Below(random, 1024);
        q.z[k] = static_cast<uint32_t>(random());
        q.rhw[k] = n % 50 != 7 ? Uniform(random, 0.01f, 2.0f)
                   : k ? std::numeric_limits<float>::infinity()
                       : std::numeric_limits<float>::quiet_NaN();
        q.colour[k] = static_cast<uint32_t>(random());
    }
    return q;
}

bool Close(float a, float b, float tolerance) {
    return (std::isnan(a) && std::isnan(b)) || a == b || std::fabs(a - b) <= tolerance;
}

// AddQuad's SSE2 path draws what the corner-by-corner arithmetic draws, to 1e-4 px, for 500
// random sprites per row of angles. ASan watches the table reads.
TEST_F(BatchGeometry, FastQuadPathDrawsTheReferencePicture) {
    struct Row {
        const char* what;
        float (*angle)(std::mt19937&, int axis);
    } rows[] = {
        {"none", [](std::mt19937& r, int) { return r() % 2 ? 0.0f : -0.0f; }},
        {"in the screen's plane",
         [](std::mt19937& r, int axis) { return axis == 2 ? Uniform(r, -720, 720) : 0.0f; }},
        {"within two turns either way", [](std::mt19937& r, int) { return Uniform(r, -720, 720); }},
        {"quarter turns", [](std::mt19937& r, int) { return 90.0f * (Below(r, 17) - 8); }},
        {"a million degrees", [](std::mt19937& r, int) { return Uniform(r, -1e6f, 1e6f); }},
        {"tiny and subnormal",
         [](std::mt19937& r, int) { return (r() % 2 ? 1e-39f : -3e-32f) * Below(r, 1000); }},
        {"past the table's int32 steps",
         [](std::mt19937& r, int) {
             return (r() % 2 ? 1 : -1) * std::ldexp(1.0f, 23 + Below(r, 105));
         }},
        {"non-finite",
         [](std::mt19937& r, int) {
             const float odd[] = {std::numeric_limits<float>::infinity(),
                                  -std::numeric_limits<float>::infinity(),
                                  std::numeric_limits<float>::quiet_NaN(), 33.0f};
             return odd[r() % 4];
         }},
    };
    std::mt19937 random(25);
    for (const Row& row : rows) {
        int bad = 0;
        for (int n = 0; n < 500; ++n) {
            const QuadDesc q = RandomQuad(random, n);
            const float ax = row.angle(random, 0), ay = row.angle(random, 1),
                        az = row.angle(random, 2);
            RenderVertex fast[4], want[4];
            WriteQuadVertices(q, ax, ay, az, kScale, fast);
            ReferenceQuadVertices(q, ax, ay, az, kScale, want);
            for (int k = 0; k < 4; ++k) {
                const RenderVertex &f = fast[k], &w = want[k];
                if (Close(f.x, w.x, 1e-4f) && Close(f.y, w.y, 1e-4f) &&
                    Close(f.rhw, w.rhw, 1e-6f * std::fabs(w.rhw)) && f.z == w.z && f.u == w.u &&
                    f.v == w.v && f.colour == w.colour)
                    continue;
                if (++bad <= 3)
                    ADD_FAILURE() << row.what << ": angles " << ax << ", " << ay << ", " << az
                                  << ", corner " << k << " at (" << q.x[k] << ", " << q.y[k]
                                  << "): (" << f.x << ", " << f.y << ", " << f.rhw
                                  << ") wanted (" << w.x << ", " << w.y << ", " << w.rhw << ")";
            }
        }
        EXPECT_EQ(bad, 0) << row.what;
    }
}

TEST_F(BatchGeometry, DegeneratePrimitivesKeepFiniteVertices) {
    // Every corner on the centre: the perspective's focal distance is 0, and 0/0 would make
    // NaN vertices that the rasteriser draws anywhere.
    QuadDesc q = Rect(6, 6, 6, 6);
    RenderVertex v[4];
    WriteQuadVertices(q, 30, 40, 50, kScale, v);
    for (const RenderVertex& c : v) {
        EXPECT_EQ(c.x, 5.5f);
        EXPECT_EQ(c.y, 5.5f);
        EXPECT_TRUE(std::isfinite(c.rhw));
    }
    TriangleDesc t = {};
    for (int k = 0; k < 3; ++k) {
        t.x[k] = 9;
        t.y[k] = -4;
        t.rhw[k] = 1;
        t.z[k] = 100;
    }
    RenderVertex w[3];
    WriteTriangleVertices(t, 0, 0, 10, 20, 30, 500, kScale, w);
    for (const RenderVertex& c : w) {
        EXPECT_EQ(c.x, 8.5f);
        EXPECT_EQ(c.y, -4.5f);
        EXPECT_EQ(c.rhw, 1.0f);
        EXPECT_NEAR(c.z, 0.1f * (100 + 500) * kDepthStep + 0.4f, 1e-7);
    }
}

TEST_F(BatchGeometry, TriangleTurnsAboutItsPivotWithinItsDepthBand) {
    TriangleDesc t = {};
    const int32_t xs[3] = {0, 30, 0}, ys[3] = {0, 0, 30};
    for (int k = 0; k < 3; ++k) {
        t.x[k] = xs[k];
        t.y[k] = ys[k];
        t.rhw[k] = 1;
        t.z[k] = k == 0 ? 0 : 65535;
    }
    // Half a turn about the pivot (mean + offset = (0, 0)) mirrors each corner through it.
    RenderVertex v[3];
    WriteTriangleVertices(t, -10, -10, 0, 0, 180, 0, kScale, v);
    for (int k = 0; k < 3; ++k) {
        EXPECT_NEAR(v[k].x, -xs[k] - 0.5f, 1e-3) << k;
        EXPECT_NEAR(v[k].y, -ys[k] - 0.5f, 1e-3) << k;
    }
    // Depth layers 0 to 65535 span 0.4 to 0.5; turned out of the screen's plane, the bias
    // is scaled by the corner's distance and may push past it.
    EXPECT_FLOAT_EQ(v[0].z, 0.4f);
    EXPECT_FLOAT_EQ(v[1].z, 0.5f);
    WriteTriangleVertices(t, 0, 0, 0, 45, 0, 1000, kScale, v);
    EXPECT_NE(v[1].z, v[2].z);  // same layer, different distance
    for (const RenderVertex& c : v) EXPECT_GT(c.z, 0.4f);
}

LinePoint P(int32_t x, int32_t y) { return {x, y, 0, 0xFF0000FFu, 0xFF00FF00u}; }

TEST_F(BatchGeometry, LineStripWidensAcrossEachSegment) {
    std::deque<LinePoint> points = {P(4, 16), P(28, 16), P(28, 40)};
    points[0].z = 65535;
    std::vector<RenderVertex> v(6);
    ASSERT_EQ(WriteLineStrip(points, 4, 3, v.data()), 3u);
    struct Row {
        int vertex;
        float x, y;
        uint32_t colour;
    } rows[] = {
        {0, 4, 18, 0xFF0000FFu},  {1, 4, 14, 0xFF00FF00u},   // across the first segment
        {2, 26, 16, 0xFF0000FFu}, {3, 30, 16, 0xFF00FF00u},  // point 1 takes segment 1-2's
        {4, 26, 40, 0xFF0000FFu}, {5, 30, 40, 0xFF00FF00u},  // the last reuses it
    };
    for (const Row& r : rows) {
        EXPECT_FLOAT_EQ(v[r.vertex].x, r.x) << r.vertex;
        EXPECT_FLOAT_EQ(v[r.vertex].y, r.y) << r.vertex;
        EXPECT_EQ(v[r.vertex].colour, r.colour) << r.vertex;
        EXPECT_EQ(v[r.vertex].rhw, 1.0f);
    }
    EXPECT_FLOAT_EQ(v[0].z, 0.5f);
    EXPECT_FLOAT_EQ(v[2].z, 0.4f);
    // A smaller buffer takes only the first points.
    std::vector<RenderVertex> two(4);
    EXPECT_EQ(WriteLineStrip(points, 4, 2, two.data()), 2u);
    EXPECT_FLOAT_EQ(two[2].x, 28);
    EXPECT_FLOAT_EQ(two[2].y, 18);
}

TEST_F(BatchGeometry, LineStripAtTheEndsOfTheCoordinateRange) {
    std::deque<LinePoint> points = {P(INT_MIN, INT_MIN), P(INT_MAX, INT_MAX)};
    std::vector<RenderVertex> v(4);
    ASSERT_EQ(WriteLineStrip(points, 2, 8, v.data()), 2u);
    for (const RenderVertex& c : v) EXPECT_TRUE(std::isfinite(c.x) && std::isfinite(c.y));
}

}  // namespace
