#include <gtest/gtest.h>

#include "BatchTestSupport.h"

namespace KYR {
namespace test {
namespace {

constexpr uint32_t kClear = 0xFF000000;
constexpr uint32_t kInk = 0xFF40C0FF;

LinePoint Point(int32_t x, int32_t y) { return {x, y, 0, kInk, kInk}; }

// A line batch drawing vertex colour only (no texture needed).
RefPtr<ID3DLineRender> NewLine(CKYRD3D& d3d, uint32_t capacity, float width) {
    RefPtr<ID3DLineRender> line(static_cast<ID3DLineRender*>(d3d.CreateObject(kIdD3DLineRender)));
    EXPECT_TRUE(line->Reserve(capacity));
    line->SetRenderMode(2, 0, false, false, false);
    line->SetLineWidth(width);
    return line;
}

bool InBand(uint32_t x, uint32_t y) { return x >= 4 && x < 28 && y >= 14 && y < 18; }

// Two points 24 pixels apart, 4 wide: a band of 24 x 4 pixels centred on the line.
TEST_F(BatchTest, TwoPointLineCoversItsBand) {
    RefPtr<ID3DLineRender> line = NewLine(*d3d_, 2, 4.0f);
    const LinePoint a = Point(4, 16), b = Point(28, 16);
    line->PushBack(&a);
    line->PushBack(&b);
    line->PushBack(&b);  // a repeat is not a point
    EXPECT_EQ(line->GetPointCount(), 2u);
    const auto pixels = Render(kClear, [&] { line->Draw(); });
    EXPECT_EQ(Mismatches(pixels, [](uint32_t x, uint32_t y) { return InBand(x, y) ? kInk : kClear; }),
              0);
    // Points persist across draws.
    EXPECT_EQ(line->GetPointCount(), 2u);
}

// The buffer holds the reserved number of points: later points wait for a larger Reserve.
TEST_F(BatchTest, LinePointsBeyondTheCapacityAreNotDrawn) {
    RefPtr<ID3DLineRender> line = NewLine(*d3d_, 2, 4.0f);
    const LinePoint points[] = {Point(4, 16), Point(28, 16), Point(28, 30)};
    for (const LinePoint& p : points) line->PushBack(&p);
    auto pixels = Render(kClear, [&] { line->Draw(); });
    ASSERT_EQ(pixels.size(), kSide * kSide);
    EXPECT_EQ(pixels[25 * kSide + 28], kClear);  // on the second segment
    EXPECT_EQ(pixels[16 * kSide + 10], kInk);
    ASSERT_TRUE(line->Reserve(3));
    pixels = Render(kClear, [&] { line->Draw(); });
    ASSERT_EQ(pixels.size(), kSide * kSide);
    EXPECT_EQ(pixels[25 * kSide + 28], kInk);
}

TEST_F(BatchTest, TriangleDrawsItsHalfAndEmptiesTheList) {
    RefPtr<ID3DTexture> white = FilledTexture(*d3d_, 4, 4, [](uint32_t, uint32_t) {
        return 0xFFFFFFFFu;
    });
    RefPtr<ID3DTriangleRender> triangles =
        Make<ID3DTriangleRender>(kIdD3DTriangleRender);
    ASSERT_TRUE(triangles->SetTexture(white.Get()));
    TriangleDesc t = {};
    const int32_t xs[3] = {4, 28, 4}, ys[3] = {4, 4, 28};
    for (int k = 0; k < 3; ++k) {
        t.x[k] = xs[k];
        t.y[k] = ys[k];
        t.rhw[k] = 1;
        t.colour[k] = kInk;
    }
    TriangleDesc point = t;  // every corner on one spot: nothing to draw, and no NaN
    for (int k = 0; k < 3; ++k) point.x[k] = point.y[k] = 20;
    auto pixels = Render(kClear, [&] {
        triangles->AddTriangle(&point, 0, 0, 30, 30, 30, 0);
        triangles->AddTriangle(&t, 0, 0, 0, 0, 0, 7);
        triangles->Draw();
    });
    // The upper-left half of the 24 x 24 square; pixels whose centre lies on the diagonal
    // may go either way.
    ASSERT_EQ(pixels.size(), kSide * kSide);
    int wrong = 0;
    for (uint32_t y = 0; y < kSide; ++y)
        for (uint32_t x = 0; x < kSide; ++x) {
            const bool inside = x >= 4 && y >= 4 && x + y < 31;
            if (x + y == 31 && x >= 4 && y >= 4) continue;
            if (pixels[y * kSide + x] != (inside ? kInk : kClear) && ++wrong <= 4)
                ADD_FAILURE() << "pixel (" << x << ", " << y << ") " << std::hex
                              << pixels[y * kSide + x];
        }
    EXPECT_EQ(wrong, 0);
    pixels = Render(kClear, [&] { triangles->Draw(); });
    EXPECT_EQ(Mismatches(pixels, [](uint32_t, uint32_t) { return kClear; }), 0);
}

// Every batch kind draws again after a reset once its texture is written again (the line
// batch without a new Reserve), and the reset itself succeeds right after they drew: nothing
// of theirs stays bound to the device.
TEST_F(BatchTest, AllBatchesSurviveAReset) {
    const auto red = [](uint32_t, uint32_t) { return 0xFFFF0000u; };
    RefPtr<ID3DTexture> texture = FilledTexture(*d3d_, 4, 4, red);
    RefPtr<ID3DRender> quads = Make<ID3DRender>(kIdD3DRender);
    RefPtr<ID3DTriangleRender> triangles = Make<ID3DTriangleRender>(kIdD3DTriangleRender);
    RefPtr<ID3DLineRender> line = NewLine(*d3d_, 2, 2.0f);
    ASSERT_TRUE(quads->SetTexture(texture.Get()));
    ASSERT_TRUE(triangles->SetTexture(texture.Get()));
    ASSERT_TRUE(line->SetTexture(texture.Get()));
    line->SetRenderMode(0, 0, false, false, false);
    ASSERT_TRUE(quads->Reserve(1));
    const LinePoint a = Point(0, 25), b = Point(32, 25);
    line->PushBack(&a);
    line->PushBack(&b);
    const QuadDesc quad = RectQuad(0, 0, 8, 8);
    TriangleDesc tri = {};
    const int32_t xs[3] = {16, 32, 16}, ys[3] = {0, 0, 16};
    for (int k = 0; k < 3; ++k) {
        tri.x[k] = xs[k];
        tri.y[k] = ys[k];
        tri.rhw[k] = 1;
        tri.colour[k] = 0xFFFFFFFF;
    }
    const auto frame = [&] {
        return Render(kClear, [&] {
            quads->AddQuad(&quad, 0, 0, 0, 0);
            quads->Draw();
            triangles->AddTriangle(&tri, 0, 0, 0, 0, 0, 0);
            triangles->Draw();
            line->Draw();
        });
    };
    for (int round = 0; round < 2; ++round) {
        const auto pixels = frame();
        ASSERT_EQ(pixels.size(), kSide * kSide) << round;
        EXPECT_EQ(pixels[4 * kSide + 4], 0xFFFF0000u) << round;   // quad
        EXPECT_EQ(pixels[2 * kSide + 18], 0xFFFF0000u) << round;  // triangle
        EXPECT_EQ(pixels[25 * kSide + 10], kInk & 0xFFFF0000u) << round;  // line: red x ink
        EXPECT_EQ(pixels[12 * kSide + 28], kClear) << round;
        if (round == 0) {
            ASSERT_TRUE(d3d_->ResetDevice(kWidth, kHeight));
            // The content of a default-pool texture does not survive: written again.
            D3DLOCKED_RECT rect = {};
            ASSERT_TRUE(texture->Lock(&rect, false));
            for (uint32_t y = 0; y < texture->GetTextureHeight(); ++y)
                for (uint32_t x = 0; x < texture->GetTextureWidth(); ++x)
                    reinterpret_cast<uint32_t*>(static_cast<char*>(rect.pBits) +
                                                y * rect.Pitch)[x] = red(x, y);
            texture->Unlock();
        }
    }
}

}  // namespace
}  // namespace test
}  // namespace KYR
