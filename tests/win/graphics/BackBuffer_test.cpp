#include <gtest/gtest.h>

#include <vector>

#include "GraphicsTestSupport.h"
#include "engine/graphics/ID3DBackBuffer.h"

namespace {

using namespace KYR;
using namespace KYR::test;

using BackBufferTest = SharedDeviceTest;

RefPtr<ID3DBackBuffer> NewBackBuffer(CKYRD3D& d3d) {
    return RefPtr<ID3DBackBuffer>(
        static_cast<ID3DBackBuffer*>(d3d.CreateObject(kIdD3DBackBuffer)));
}

TEST_F(BackBufferTest, ReadsWhatWasClearedAndWritten) {
    RefPtr<ID3DBackBuffer> bb = NewBackBuffer(*d3d_);
    std::vector<uint32_t> pixels(kWidth * kHeight);
    EXPECT_FALSE(bb->ReadPixels(pixels.data()));  // not created
    ASSERT_TRUE(bb->Create());
    EXPECT_FALSE(bb->Create());
    EXPECT_EQ(bb->GetWidth(), kWidth);
    EXPECT_EQ(bb->GetHeight(), kHeight);
    EXPECT_FALSE(bb->ReadPixels(nullptr));

    d3d_->Clear(0x00336699);  // X8R8G8B8 keeps no alpha; the read reports it opaque
    ASSERT_TRUE(bb->ReadPixels(pixels.data()));
    for (uint32_t p : pixels) ASSERT_EQ(p, 0xFF336699u);

    std::vector<uint32_t> written(kWidth * kHeight);
    for (uint32_t i = 0; i < written.size(); ++i) written[i] = i * 2654435761u;  // alpha too
    bb->WritePixels(written.data());
    bb->WritePixels(nullptr);
    ASSERT_TRUE(bb->ReadPixels(pixels.data()));
    for (uint32_t i = 0; i < written.size(); ++i)
        ASSERT_EQ(pixels[i], written[i] | 0xFF000000u) << i;  // rows in order, no gaps
}

// The back buffer is fetched again after a reset (Reset itself would fail if the old one were
// still held); after a reset to another size it refuses until made again.
TEST_F(BackBufferTest, FollowsResets) {
    RefPtr<ID3DBackBuffer> bb = NewBackBuffer(*d3d_);
    ASSERT_TRUE(bb->Create());
    ASSERT_TRUE(d3d_->ResetDevice(kWidth, kHeight));
    std::vector<uint32_t> pixels(kWidth * kHeight);
    d3d_->Clear(0xFF0000FF);
    ASSERT_TRUE(bb->ReadPixels(pixels.data()));
    EXPECT_EQ(pixels.back(), 0xFF0000FFu);

    ASSERT_TRUE(d3d_->ResetDevice(kWidth * 2, kHeight));
    std::vector<uint32_t> wide(2 * kWidth * kHeight, 0xFFFFFFFF);
    d3d_->Clear(0xFF00FF00);
    EXPECT_FALSE(bb->ReadPixels(pixels.data()));
    bb->WritePixels(wide.data());  // refused, so the cleared image stays
    bb->Destroy();
    EXPECT_EQ(bb->GetWidth(), 0u);
    ASSERT_TRUE(bb->Create());
    EXPECT_EQ(bb->GetWidth(), kWidth * 2);
    ASSERT_TRUE(bb->ReadPixels(wide.data()));
    for (uint32_t p : wide) ASSERT_EQ(p, 0xFF00FF00u);
}

}  // namespace
