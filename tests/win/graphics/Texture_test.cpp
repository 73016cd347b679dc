#include <gtest/gtest.h>

#include <cstring>
#include <thread>
#include <vector>

#include "TextureTestSupport.h"

namespace {

using namespace KYR;
using namespace KYR::test;

void Fill(ID3DTexture& texture, uint32_t (*pixel)(uint32_t x, uint32_t y)) {
    D3DLOCKED_RECT rect = {};
    ASSERT_TRUE(texture.Lock(&rect, false));
    for (uint32_t y = 0; y < texture.GetTextureHeight(); ++y) {
        auto* row = reinterpret_cast<uint32_t*>(static_cast<char*>(rect.pBits) + y * rect.Pitch);
        for (uint32_t x = 0; x < texture.GetTextureWidth(); ++x) row[x] = pixel(x, y);
    }
    texture.Unlock();
}

uint32_t Pattern(uint32_t x, uint32_t y) { return 0xFF000000u | x << 16 | y << 8 | 0x40; }

bool AllEqual(const std::vector<uint32_t>& pixels, uint32_t value) {
    for (uint32_t p : pixels)
        if (p != value) return false;
    return !pixels.empty();
}

using TextureTest = SharedDeviceTest;

TEST_F(TextureTest, SizesFollowTheDeviceRule) {
    RefPtr<ID3DTexture> t = NewTexture(*d3d_);
    EXPECT_TRUE(t->Create(0, 10, false, false));  // nothing made
    EXPECT_EQ(t->GetWidth(), 0u);
    EXPECT_FALSE(CD3DTexture::Of(t.Get())->IsCreated());
    struct Row {
        uint32_t width, height;
        bool nonPow2;
        uint32_t allocWidth, allocHeight;
    } rows[] = {{12, 12, false, 16, 16}, {12, 12, true, 12, 12}, {1, 1, false, 4, 4},
                {1, 1, true, 4, 4},      {100, 30, false, 128, 32}, {100, 30, true, 100, 32}};
    for (const Row& r : rows) {
        d3d_->SetNonPow2Textures(r.nonPow2);
        ASSERT_TRUE(t->Create(r.width, r.height, false, false)) << r.width;
        EXPECT_EQ(t->GetWidth(), r.width);
        EXPECT_EQ(t->GetHeight(), r.height);
        EXPECT_EQ(t->GetTextureWidth(), r.allocWidth) << r.width << " " << r.nonPow2;
        EXPECT_EQ(t->GetTextureHeight(), r.allocHeight) << r.height << " " << r.nonPow2;
        D3DSURFACE_DESC desc = {};
        CD3DTexture::Of(t.Get())->GetTextureTemp()->GetLevelDesc(0, &desc);
        EXPECT_EQ(desc.Width, r.allocWidth);
    }
    d3d_->SetNonPow2Textures(false);
    t->Destroy();
    EXPECT_EQ(t->GetTextureWidth(), 0u);
    EXPECT_FALSE(t->Lock(nullptr, false));
}

// A failed Create keeps the texture it had, with the size and flags that describe it.
TEST_F(TextureTest, FailedCreateKeepsThePreviousTexture) {
    RefPtr<ID3DTexture> t = NewTexture(*d3d_);
    ASSERT_TRUE(t->Create(20, 10, true, true));
    EXPECT_FALSE(t->IsCompressed());  // render targets are never compressed
    const uint32_t tooWide = d3d_->GetMaxTextureWidth() + 1;
    struct Row {
        uint32_t width, height;
    } refused[] = {{tooWide, 8}, {8, d3d_->GetMaxTextureHeight() + 1}, {0x80000001u, 8},
                   {0xFFFFFFFFu, 0xFFFFFFFFu}};
    for (const Row& r : refused) {
        EXPECT_FALSE(t->Create(r.width, r.height, false, true)) << r.width << "x" << r.height;
        EXPECT_EQ(t->GetWidth(), 20u);
        EXPECT_EQ(t->GetTextureWidth(), 32u);
        EXPECT_TRUE(t->IsRenderTarget());
        EXPECT_FALSE(t->IsCompressed());
    }
    EXPECT_TRUE(d3d_->SetRenderTarget(t.Get()));
    d3d_->Clear(0xFF00FF00);
    EXPECT_TRUE(AllEqual(ReadTarget(*t.Get(), 20, 10), 0xFF00FF00));
}

TEST_F(TextureTest, LockedTextureIsDrawnAsWritten) {
    RefPtr<ID3DTexture> t = NewTexture(*d3d_);
    ASSERT_TRUE(t->Create(20, 10, false, false));
    D3DLOCKED_RECT rect = {};
    ASSERT_TRUE(t->Lock(&rect, true));
    EXPECT_FALSE(t->Lock(&rect, false));  // one lock at a time
    t->Unlock();
    Fill(*t.Get(), Pattern);
    const std::vector<uint32_t> seen = DeviceContent(*d3d_, *t.Get());
    ASSERT_EQ(seen.size(), 32u * 16u);
    for (uint32_t y = 0; y < 16; ++y)
        for (uint32_t x = 0; x < 32; ++x)
            ASSERT_EQ(seen[y * 32 + x], Pattern(x, y)) << x << "," << y;
}

// One solid DXT5 block per 4x4 texels: opaque, both colours pure green.
TEST_F(TextureTest, CompressedTextureRoundTripsASolidBlock) {
    RefPtr<ID3DTexture> t = NewTexture(*d3d_);
    ASSERT_TRUE(t->Create(8, 8, false, true));
    EXPECT_TRUE(t->IsCompressed());
    const unsigned char block[16] = {0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0xE0, 0x07, 0xE0, 0x07, 0, 0, 0, 0};
    D3DLOCKED_RECT rect = {};
    ASSERT_TRUE(t->Lock(&rect, true));
    for (int row = 0; row < 2; ++row)
        for (int b = 0; b < 2; ++b)
            std::memcpy(static_cast<char*>(rect.pBits) + row * rect.Pitch + 16 * b, block, 16);
    t->Unlock();
    ASSERT_TRUE(t->Lock(&rect, false));  // the kept copy still holds the blocks
    EXPECT_EQ(std::memcmp(static_cast<char*>(rect.pBits) + rect.Pitch + 16, block, 16), 0);
    t->Unlock();
    EXPECT_TRUE(AllEqual(DeviceContent(*d3d_, *t.Get()), 0xFF00FF00));
}

// The viewport is the requested size, even when Direct3D has just set it to the larger
// allocated surface and the previous target had the same requested size.
TEST_F(TextureTest, RenderTargetTexturesGetTheirRequestedViewport) {
    RefPtr<ID3DTexture> small = NewTexture(*d3d_), a = NewTexture(*d3d_), b = NewTexture(*d3d_),
                        plain = NewTexture(*d3d_), empty = NewTexture(*d3d_);
    ASSERT_TRUE(small->Create(20, 10, true, false));
    ASSERT_TRUE(a->Create(kWidth, kHeight, true, false));  // allocated 512 x 256
    ASSERT_TRUE(b->Create(kWidth, kHeight, true, false));
    ASSERT_TRUE(plain->Create(kWidth, kHeight, false, false));
    struct Step {
        ID3DTexture* target;
        bool accepted;
        UINT width, height;
    } steps[] = {
        {nullptr, true, kWidth, kHeight}, {a.Get(), true, kWidth, kHeight},
        {b.Get(), true, kWidth, kHeight}, {plain.Get(), false, kWidth, kHeight},
        {empty.Get(), false, kWidth, kHeight}, {small.Get(), true, 20, 10},
        {small.Get(), true, 20, 10},      {nullptr, true, kWidth, kHeight},
    };
    ID3DTexture* bound = nullptr;
    for (const Step& s : steps) {
        EXPECT_EQ(d3d_->SetRenderTarget(s.target), s.accepted);
        if (s.accepted) bound = s.target;
        EXPECT_EQ(d3d_->GetRenderTarget(), bound);
        D3DVIEWPORT9 vp = {};
        ASSERT_EQ(Device()->GetViewport(&vp), D3D_OK);
        EXPECT_EQ(vp.Width, s.width);
        EXPECT_EQ(vp.Height, s.height);
    }
    // Clearing touches only the viewport; the rest of the allocated surface stays zero.
    ASSERT_TRUE(d3d_->SetRenderTarget(small.Get()));
    d3d_->Clear(0xFFFF8000);
    const std::vector<uint32_t> seen = ReadTarget(*small.Get(), 32, 16);
    ASSERT_EQ(seen.size(), 32u * 16u);
    for (uint32_t y = 0; y < 16; ++y)
        for (uint32_t x = 0; x < 32; ++x)
            ASSERT_EQ(seen[y * 32 + x], x < 20 && y < 10 ? 0xFFFF8000u : 0u) << x << "," << y;
}

// Holds a default-pool buffer through a loss, as a faulty object would: every Reset fails.
class LeakingLostable : public ILostable {
public:
    explicit LeakingLostable(IDirect3DDevice9* device) {
        device->CreateVertexBuffer(256, 0, 0, D3DPOOL_DEFAULT, buffer_.Put(), nullptr);
    }
    void OnLostDevice() override {}
    bool OnResetDevice() override { return true; }
    int32_t GetLostableKind() override { return kLostableLineBatch; }
    RefPtr<IDirect3DVertexBuffer9> buffer_;
};

TEST_F(TextureTest, AfterAResetEveryTextureIsZeroAndTheTargetIsBoundAgain) {
    RefPtr<ID3DTexture> plain = NewTexture(*d3d_), kept = NewTexture(*d3d_),
                        packed = NewTexture(*d3d_), target = NewTexture(*d3d_);
    ASSERT_TRUE(plain->Create(16, 16, false, false));
    ASSERT_TRUE(kept->Create(16, 16, false, false));
    ASSERT_TRUE(packed->Create(16, 16, false, true));
    ASSERT_TRUE(target->Create(16, 16, true, false));
    Fill(*plain.Get(), Pattern);
    D3DLOCKED_RECT rect = {};
    ASSERT_TRUE(kept->Lock(&rect, true));
    std::memset(rect.pBits, 0x7F, 16 * rect.Pitch);
    kept->Unlock();
    ASSERT_TRUE(packed->Lock(&rect, false));
    std::memset(rect.pBits, 0xFF, 4 * rect.Pitch);
    packed->Unlock();
    ASSERT_TRUE(d3d_->SetRenderTarget(target.Get()));
    d3d_->Clear(0xFFFFFFFF);

    ASSERT_TRUE(d3d_->ResetDevice(kWidth, kHeight));  // nothing held back

    EXPECT_EQ(d3d_->GetRenderTarget(), target.Get());
    RefPtr<IDirect3DSurface9> bound;
    ASSERT_EQ(Device()->GetRenderTarget(0, bound.Put()), D3D_OK);
    EXPECT_EQ(bound.Get(), CD3DTexture::Of(target.Get())->GetSurface().Get());
    D3DVIEWPORT9 vp = {};
    Device()->GetViewport(&vp);
    EXPECT_EQ(vp.Width, 16u);
    EXPECT_TRUE(AllEqual(ReadTarget(*target.Get(), 16, 16), 0));
    ASSERT_TRUE(d3d_->SetRenderTarget(nullptr));
    for (ID3DTexture* t : {plain.Get(), kept.Get(), packed.Get()})
        EXPECT_TRUE(AllEqual(DeviceContent(*d3d_, *t), 0)) << t->IsCompressed();
    target.Reset();
}

// A loss between Lock and Unlock: the Unlock in between must leave the texture lockable, so
// the reset can clear it and later locks work.
TEST_F(TextureTest, UnlockBetweenLossAndResetLeavesItLockable) {
    RefPtr<ID3DTexture> t = NewTexture(*d3d_);
    ASSERT_TRUE(t->Create(8, 8, false, false));
    D3DLOCKED_RECT rect = {};
    ASSERT_TRUE(t->Lock(&rect, false));
    std::memset(rect.pBits, 0x55, 8 * rect.Pitch);
    {
        LeakingLostable leak(Device());
        d3d_->RegisterLostable(&leak);
        EXPECT_FALSE(d3d_->ResetDevice(kWidth, kHeight));  // lost, not yet reset
        d3d_->UnregisterLostable(&leak);
    }
    EXPECT_FALSE(CD3DTexture::Of(t.Get())->IsValid());
    t->Unlock();
    ASSERT_TRUE(d3d_->ResetDevice(kWidth, kHeight));
    ASSERT_TRUE(t->Lock(&rect, false));
    t->Unlock();
    EXPECT_TRUE(AllEqual(DeviceContent(*d3d_, *t.Get()), 0));
}

// Two threads unlocking one texture at once: one uploads, the other finds it unlocked.
TEST_F(TextureTest, TwoThreadsUnlockingAtOnce) {
    RefPtr<ID3DTexture> t = NewTexture(*d3d_);
    D3DLOCKED_RECT rect = {};
    ASSERT_TRUE(t->Create(64, 64, false, false));
    for (int round = 0; round < 300; ++round) {
        ASSERT_TRUE(t->Lock(&rect, false));
        std::thread a([&] { t->Unlock(); }), b([&] { t->Unlock(); });
        a.join(), b.join();
    }
}

}  // namespace
