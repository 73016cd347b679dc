#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iostream>
#include <vector>

#include "BatchTestSupport.h"

namespace KYR {
namespace test {
namespace {

constexpr uint32_t kClear = 0xFF102030;

uint32_t Pattern(uint32_t x, uint32_t y) { return 0xFF000040u | (x * 16) << 16 | (y * 16) << 8; }

// Texel (i, j) lands on pixel (left + i, top + j) and nothing spills past the edges: the
// half-pixel shift puts texel edges on pixel edges under point sampling.
TEST_F(BatchTest, UnrotatedQuadCoversExactlyItsPixels) {
    RefPtr<ID3DTexture> texture = FilledTexture(*d3d_, 8, 8, Pattern);
    ASSERT_TRUE(texture);
    RefPtr<ID3DRender> quads = Make<ID3DRender>(kIdD3DRender);
    ASSERT_TRUE(quads->SetTexture(texture.Get()));
    ASSERT_TRUE(quads->Reserve(1));
    EXPECT_EQ(quads->GetCapacity(), 1u);
    const QuadDesc inside = RectQuad(4, 4, 12, 10), beyond = RectQuad(20, 20, 28, 28);
    const auto pixels = Render(kClear, [&] {
        quads->AddQuad(&inside, 0, 0, 0, 0);
        quads->AddQuad(&beyond, 0, 0, 0, 0);  // past the capacity: dropped
        quads->Draw();
    });
    EXPECT_EQ(Mismatches(pixels,
                         [](uint32_t x, uint32_t y) {
                             return x >= 4 && x < 12 && y >= 4 && y < 10 ? Pattern(x - 4, y - 4)
                                                                         : kClear;
                         }),
              0);
    EXPECT_EQ(quads->RemoveLastQuad(), 0u);  // Draw emptied it
}

// Turned in the screen's plane, a quad keeps within the circle through its corners. Tilted
// about x it is foreshortened, and its nearer edge is wider than its far one.
TEST_F(BatchTest, RotatedQuadStaysWithinItsBounds) {
    RefPtr<ID3DTexture> white = FilledTexture(*d3d_, 4, 4, [](uint32_t, uint32_t) {
        return 0xFFFFFFFFu;
    });
    RefPtr<ID3DRender> quads = Make<ID3DRender>(kIdD3DRender);
    ASSERT_TRUE(quads->SetTexture(white.Get()));
    ASSERT_TRUE(quads->Reserve(4));
    // 16 x 16 centred on (16, 16); pixel centres sit on whole coordinates, so the drawn
    // centre is (15.5, 15.5).
    const QuadDesc square = RectQuad(8, 8, 24, 24, 0xFFFF0000);
    const auto render = [&](float ax, float az) {
        return Render(kClear, [&] {
            quads->AddQuad(&square, ax, 0, az, 0);
            quads->Draw();
        });
    };

    auto pixels = render(0, 45);
    ASSERT_EQ(pixels.size(), kSide * kSide);
    int drawn = 0;
    for (uint32_t y = 0; y < kSide; ++y)
        for (uint32_t x = 0; x < kSide; ++x) {
            if (pixels[y * kSide + x] == kClear) continue;
            ++drawn;
            // A diamond: |dx| + |dy| up to half the diagonal, 8 * sqrt(2).
            EXPECT_LE(std::fabs(x - 15.5f) + std::fabs(y - 15.5f), 11.32f) << x << ", " << y;
        }
    EXPECT_NEAR(drawn, 16 * 16, 16);  // same area
    EXPECT_EQ(pixels[8 * kSide + 8], kClear);  // the unturned square's corner
    EXPECT_NE(pixels[16 * kSide + 16], kClear);

    // Tilted by 60 degrees: the far (upper) edge rises 3.1 pixels above the centre and is 12.5
    // wide, the near edge sinks 5.5 below and is 22 wide (focal distance 8 pi).
    pixels = render(60, 0);
    ASSERT_EQ(pixels.size(), kSide * kSide);
    uint32_t top = kSide, bottom = 0;
    std::vector<int> widths(kSide);
    for (uint32_t y = 0; y < kSide; ++y)
        for (uint32_t x = 0; x < kSide; ++x) {
            if (pixels[y * kSide + x] == kClear) continue;
            EXPECT_TRUE(x >= 4 && x <= 27) << x << ", " << y;
            top = std::min(top, y);
            bottom = std::max(bottom, y);
            ++widths[y];
        }
    EXPECT_GE(top, 12u);
    EXPECT_LE(top, 13u);
    EXPECT_GE(bottom, 20u);
    EXPECT_LE(bottom, 21u);
    if (top < kSide) {
        EXPECT_NEAR(widths[top], 13, 2);
        EXPECT_NEAR(widths[bottom], 22, 2);
    }
}

TEST_F(BatchTest, QuadBatchRefusals) {
    RefPtr<ID3DTexture> texture = FilledTexture(*d3d_, 4, 4, Pattern);
    RefPtr<ID3DTexture> empty = NewTexture(*d3d_);
    RefPtr<ID3DRender> quads = Make<ID3DRender>(kIdD3DRender);
    const QuadDesc quad = RectQuad(0, 0, 4, 4);

    // Before a texture and a reservation nothing is queued.
    EXPECT_FALSE(quads->SetTexture(empty.Get()));
    EXPECT_FALSE(quads->SetTexture(nullptr));
    ASSERT_TRUE(quads->Reserve(2));
    quads->AddQuad(&quad, 0, 0, 0, 0);
    EXPECT_EQ(quads->RemoveLastQuad(), 0u);

    ASSERT_TRUE(quads->SetTexture(texture.Get()));
    EXPECT_EQ(texture->GetRefCount(), 2);  // the batch holds it
    EXPECT_FALSE(quads->SetTexture(empty.Get()));
    EXPECT_EQ(quads->GetTexture(), texture.Get());  // the old one stays

    // Beyond the device's limits, or none: refused, and the arrays stay usable.
    EXPECT_FALSE(quads->Reserve(0));
    EXPECT_FALSE(quads->Reserve(0xFFFFFFFFu));
    EXPECT_EQ(quads->GetCapacity(), 2u);

    // Out-of-range modes change nothing.
    quads->SetRenderMode(1, 5, true, true, true);
    quads->SetRenderMode(3, 0, false, false, false);
    quads->SetRenderMode(0, 11, false, false, false);
    int32_t colour = -1, blend = -1;
    bool blending = false, alphaTest = false, linear = false;
    quads->GetRenderMode(&colour, &blend, &blending, &alphaTest, &linear);
    EXPECT_EQ(colour, 1);
    EXPECT_EQ(blend, 5);
    EXPECT_TRUE(blending && alphaTest && linear);
    quads->GetRenderMode(nullptr, nullptr, nullptr, nullptr, nullptr);
}

// A device's limits can allow a reservation larger than a 32-bit process can hold (llvmpipe's
// allow about 2.8 million quads, 380 MB): the batch either gets all of it or says no and keeps
// what it had; it never throws through the game's call.
TEST_F(BatchTest, LargestReservationSucceedsWhollyOrNotAtAll) {
    RefPtr<ID3DRender> quads = Make<ID3DRender>(kIdD3DRender);
    ASSERT_TRUE(quads->Reserve(3));
    const uint32_t most =
        std::min(d3d_->GetMaxPrimitiveCount() / 2, d3d_->GetMaxVertexIndex() / 6);
    ASSERT_GT(most, 3u);
    const bool got = quads->Reserve(most);
    std::cout << most << " quads " << (got ? "reserved" : "refused") << "\n";
    EXPECT_EQ(quads->GetCapacity(), got ? most : 3u);
    EXPECT_FALSE(quads->Reserve(most + 1));
    EXPECT_EQ(quads->GetCapacity(), got ? most : 3u);
    EXPECT_TRUE(quads->Reserve(3));  // and the huge arrays go again
}

}  // namespace
}  // namespace test
}  // namespace KYR
