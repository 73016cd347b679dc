// Shared by the render-batch tests: batches on the suite's device drawing into a 32 x 32
// render-target texture that is read back pixel for pixel.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "TextureTestSupport.h"
#include "support/RectQuad.h"
#include "engine/graphics/ID3DRender.h"

namespace KYR {
namespace test {

// A texture of w x h texels, each texel(x, y).
template <class Texel>
RefPtr<ID3DTexture> FilledTexture(CKYRD3D& d3d, uint32_t w, uint32_t h, Texel texel) {
    RefPtr<ID3DTexture> texture = NewTexture(d3d);
    D3DLOCKED_RECT rect = {};
    if (!texture->Create(w, h, false, false) || !texture->Lock(&rect, false))
        return RefPtr<ID3DTexture>();
    for (uint32_t y = 0; y < texture->GetTextureHeight(); ++y) {
        auto* row = reinterpret_cast<uint32_t*>(static_cast<char*>(rect.pBits) + y * rect.Pitch);
        for (uint32_t x = 0; x < texture->GetTextureWidth(); ++x) row[x] = texel(x, y);
    }
    texture->Unlock();
    return texture;
}

using kyrtest::RectQuad;

// Each channel within tolerance: blending rounds differently on different rasterisers.
inline bool NearArgb(uint32_t a, uint32_t b, int tolerance = 1) {
    for (int shift = 0; shift < 32; shift += 8)
        if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) >
            tolerance)
            return false;
    return true;
}

class BatchTest : public SharedDeviceTest {
protected:
    static constexpr uint32_t kSide = 32;

    void SetUp() override {
        SharedDeviceTest::SetUp();
        target_ = NewTexture(*d3d_);
        ASSERT_TRUE(target_->Create(kSide, kSide, true, false));
    }

    template <class I>
    RefPtr<I> Make(const GUID& id) {
        return RefPtr<I>(static_cast<I*>(d3d_->CreateObject(id)));
    }

    // Clears the target to clear, runs draw inside one scene, reads the target back.
    template <class Draw>
    std::vector<uint32_t> Render(uint32_t clear, Draw draw) {
        if (!d3d_->SetRenderTarget(target_.Get())) return {};
        d3d_->Clear(clear);
        if (d3d_->BeginScene()) draw();
        d3d_->EndScene();
        d3d_->SetRenderTarget(nullptr);
        return ReadTarget(*target_.Get(), kSide, kSide);
    }

    // Pixels that are not what expected(x, y) says, printed for the first few.
    template <class Expected>
    int Mismatches(const std::vector<uint32_t>& pixels, Expected expected, int tolerance = 0) {
        if (pixels.size() != kSide * kSide) return -1;
        int bad = 0;
        for (uint32_t y = 0; y < kSide; ++y)
            for (uint32_t x = 0; x < kSide; ++x) {
                const uint32_t want = expected(x, y), got = pixels[y * kSide + x];
                if (!NearArgb(got, want, tolerance) && ++bad <= 4)
                    ADD_FAILURE() << "pixel (" << x << ", " << y << ") " << std::hex << got
                                  << " wanted " << want;
            }
        return bad;
    }

    RefPtr<ID3DTexture> target_;
};

}  // namespace test
}  // namespace KYR
