#include <gtest/gtest.h>

#include "BatchTestSupport.h"

namespace KYR {
namespace test {
namespace {

// Source 0x80FF4000 (alpha 128/255) from a white texture over a target cleared to
// 0x40204080; each mode's result worked out by hand from its blend factors.
TEST_F(BatchTest, EveryBlendModeGivesItsColourAndAlpha) {
    constexpr uint32_t kSource = 0x80FF4000, kTarget = 0x40204080;
    struct Row {
        int32_t mode;
        bool blending;
        uint32_t result;
        const char* what;
    } rows[] = {
        {0, true, 0x80904040, "alpha blend, larger alpha"},
        {1, true, 0xC0A06080, "add by source alpha"},
        {2, true, 0x00002080, "subtract by source alpha"},
        {3, true, 0x20201000, "multiply colour and alpha"},
        {4, true, 0x80FF4000, "copy"},
        {5, true, 0x40FF8080, "add, target alpha kept"},
        {6, true, 0x40000080, "subtract, target alpha kept"},
        {7, true, 0x40201000, "multiply colour, target alpha kept"},
        {8, true, 0xC0204080, "colour kept, alpha added"},
        {9, true, 0x00204080, "colour kept, source alpha subtracted"},
        {10, true, 0x20204080, "colour kept, alpha multiplied"},
        {1, false, 0x80FF4000, "blending off writes the source"},
    };
    RefPtr<ID3DTexture> white = FilledTexture(*d3d_, 4, 4, [](uint32_t, uint32_t) {
        return 0xFFFFFFFFu;
    });
    RefPtr<ID3DRender> quads = Make<ID3DRender>(kIdD3DRender);
    ASSERT_TRUE(quads->SetTexture(white.Get()));
    ASSERT_TRUE(quads->Reserve(1));
    // One 8 x 8 cell per row, each drawn by its own Draw with its own modes, so the state
    // cache must send every change between draws.
    const auto cell = [](size_t i) { return RectQuad(8 * (i % 4), 8 * (i / 4), 8 * (i % 4) + 8,
                                                     8 * (i / 4) + 8, kSource); };
    const auto pixels = Render(kTarget, [&] {
        for (size_t i = 0; i < sizeof rows / sizeof rows[0]; ++i) {
            quads->SetRenderMode(0, rows[i].mode, rows[i].blending, false, false);
            const QuadDesc q = cell(i);
            quads->AddQuad(&q, 0, 0, 0, 0);
            quads->Draw();
        }
    });
    ASSERT_EQ(pixels.size(), kSide * kSide);
    for (size_t i = 0; i < sizeof rows / sizeof rows[0]; ++i) {
        const uint32_t got = pixels[(8 * (i / 4) + 4) * kSide + 8 * (i % 4) + 4];
        EXPECT_TRUE(NearArgb(got, rows[i].result))
            << "mode " << rows[i].mode << " (" << rows[i].what << "): " << std::hex << got
            << " wanted " << rows[i].result;
    }
}

// Texture 0x80FF8040 and vertex colour 0x80804020, copied onto the target (blending off).
TEST_F(BatchTest, ColourModesAndAlphaTest) {
    constexpr uint32_t kTarget = 0xFF123456;
    struct Row {
        int32_t colourMode;
        uint32_t texel;
        bool alphaTest;
        uint32_t result;
        const char* what;
    } rows[] = {
        {0, 0x80FF8040, false, 0x40802008, "modulate"},
        {1, 0x80FF8040, false, 0xFFFFC060, "add, saturated"},
        {2, 0x80FF8040, false, 0x80804020, "vertex colour only"},
        // Drawn right after the row above, whose stage states it keeps.
        {-1, 0x80FF8040, false, 0x80804020, "a negative mode leaves the stage as it was"},
        {0, 0x00FF8040, false, 0x00802008, "alpha 0 written without the test"},
        {0, 0x00FF8040, true, kTarget, "alpha 0 discarded by the test"},
        {0, 0xFFFF8040, true, 0x80802008, "other alphas pass the test"},
    };
    constexpr size_t kRows = sizeof rows / sizeof rows[0];
    std::vector<RefPtr<ID3DTexture>> textures;
    std::vector<RefPtr<ID3DRender>> batches;
    for (const Row& r : rows) {
        textures.push_back(FilledTexture(*d3d_, 4, 4, [&](uint32_t, uint32_t) { return r.texel; }));
        batches.push_back(Make<ID3DRender>(kIdD3DRender));
        ASSERT_TRUE(batches.back()->SetTexture(textures.back().Get()));
        ASSERT_TRUE(batches.back()->Reserve(1));
        batches.back()->SetRenderMode(r.colourMode, 0, false, r.alphaTest, false);
    }
    const auto pixels = Render(kTarget, [&] {
        for (size_t i = 0; i < kRows; ++i) {
            const QuadDesc q = RectQuad(8 * (i % 4), 8 * (i / 4), 8 * (i % 4) + 8,
                                        8 * (i / 4) + 8, 0x80804020);
            batches[i]->AddQuad(&q, 0, 0, 0, 0);
            batches[i]->Draw();
        }
    });
    ASSERT_EQ(pixels.size(), kSide * kSide);
    for (size_t i = 0; i < kRows; ++i) {
        const uint32_t got = pixels[(8 * (i / 4) + 4) * kSide + 8 * (i % 4) + 4];
        EXPECT_TRUE(NearArgb(got, rows[i].result))
            << rows[i].what << ": " << std::hex << got << " wanted " << rows[i].result;
    }
}

}  // namespace
}  // namespace test
}  // namespace KYR
