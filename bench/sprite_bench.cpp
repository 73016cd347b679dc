// Sprite throughput of the engine's quad batch against D3DX's sprite, on one device:
// 10,000 one-pixel sprites a frame through CD3DRender (AddQuad x 10,000, then Draw) against
// the same sprites through ID3DXSprite (Begin, Draw x 10,000, End), both alpha-blended from
// the same texture into a 64 x 64 render target, so that the rasteriser's fill does not hide
// the CPU work. A frame is timed until the device has finished it (an event query). Both
// pictures are compared once (colour only: D3DX blends alpha as it blends colour, the batch's
// blend mode 0 keeps the larger alpha), so the two sides are known to draw the same thing.
// The ratio is D3DX's time over ours: above 1, ours is faster.
#include <windows.h>

#include <d3d9.h>
#include <d3dx9.h>

#include <cstdio>
#include <vector>

#include "BenchClock.h"
#include "engine/core/LazyDll.h"
#include "engine/core/RefPtr.h"
#include "engine/graphics/D3DTexture.h"
#include "engine/graphics/GraphicsObjectIds.h"
#include "engine/graphics/ID3DRender.h"
#include "engine/graphics/KYRD3D.h"

namespace {

using KYR::RefPtr;

constexpr int kSprites = 10000;
constexpr uint32_t kTargetSide = 64;
constexpr int kRounds = 9;

using CreateSprite = decltype(&D3DXCreateSprite);

struct Sprite {
    int x, y;
    D3DCOLOR colour;
};

std::vector<Sprite> MakeSprites() {
    std::vector<Sprite> sprites(kSprites);
    for (int i = 0; i < kSprites; ++i)
        sprites[i] = {(i * 7) % 64, (i * 13 + i / 64) % 64,
                      0x80000000u | static_cast<D3DCOLOR>(i * 2654435761u >> 8)};
    return sprites;
}

// Waits until the device has done everything sent so far.
void Finish(IDirect3DDevice9* device) {
    RefPtr<IDirect3DQuery9> query;
    if (FAILED(device->CreateQuery(D3DQUERYTYPE_EVENT, query.Put()))) return;
    query->Issue(D3DISSUE_END);
    while (query->GetData(nullptr, 0, D3DGETDATA_FLUSH) == S_FALSE) {
    }
}

std::vector<uint32_t> ReadTarget(KYR::ID3DTexture& target) {
    std::vector<uint32_t> pixels;
    D3DLOCKED_RECT rect = {};
    if (!target.Lock(&rect, false)) return pixels;
    for (uint32_t y = 0; y < kTargetSide; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(static_cast<const char*>(rect.pBits) +
                                                            y * rect.Pitch);
        pixels.insert(pixels.end(), row, row + kTargetSide);
    }
    target.Unlock();
    return pixels;
}

}  // namespace

int main() {
    HWND window = CreateWindowExA(0, "STATIC", "sprite bench", WS_POPUP | WS_VISIBLE, 0, 0, 320,
                                  240, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    RefPtr<KYR::CKYRD3D> d3d(new KYR::CKYRD3D);
    if (!window ||
        !(d3d->CreateDevice(window, 1, 320, 240) || d3d->CreateDevice(window, 2, 320, 240))) {
        std::fprintf(stderr, "sprite bench: no Direct3D device\n");
        return 1;
    }
    auto* device = static_cast<IDirect3DDevice9*>(d3d->CreateObject(KYR::kIdRawDevice));
    static KYR::LazyModule d3dx("d3dx9_37.dll");
    auto createSprite = reinterpret_cast<CreateSprite>(
        reinterpret_cast<void*>(d3dx.Proc("D3DXCreateSprite")));
    RefPtr<ID3DXSprite> theirSprite;
    if (!createSprite || FAILED(createSprite(device, theirSprite.Put()))) {
        std::fprintf(stderr, "sprite bench: no D3DX sprite\n");
        return 1;
    }

    // A 2 x 2 texture of which both draw texel (0, 0), and the small target.
    RefPtr<KYR::ID3DTexture> texture(
        static_cast<KYR::ID3DTexture*>(d3d->CreateObject(KYR::kIdD3DTexture)));
    RefPtr<KYR::ID3DTexture> target(
        static_cast<KYR::ID3DTexture*>(d3d->CreateObject(KYR::kIdD3DTexture)));
    D3DLOCKED_RECT texels = {};
    if (!texture->Create(2, 2, false, false) ||
        !target->Create(kTargetSide, kTargetSide, true, false) || !texture->Lock(&texels, false)) {
        std::fprintf(stderr, "sprite bench: no textures\n");
        return 1;
    }
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x)
            reinterpret_cast<uint32_t*>(static_cast<char*>(texels.pBits) + y * texels.Pitch)[x] =
                0xFFC08040u;
    texture->Unlock();
    IDirect3DTexture9* rawTexture = KYR::CD3DTexture::Of(texture.Get())->GetTextureTemp();

    RefPtr<KYR::ID3DRender> ourBatch(
        static_cast<KYR::ID3DRender*>(d3d->CreateObject(KYR::kIdD3DRender)));
    if (!ourBatch->SetTexture(texture.Get()) || !ourBatch->Reserve(kSprites)) {
        std::fprintf(stderr, "sprite bench: the quad batch refused\n");
        return 1;
    }
    ourBatch->SetRenderMode(0, 0, true, false, false);  // modulate, ordinary alpha blending

    const std::vector<Sprite> sprites = MakeSprites();
    std::vector<KYR::QuadDesc> quads(kSprites);
    for (int i = 0; i < kSprites; ++i) {
        KYR::QuadDesc& q = quads[i];
        for (int k = 0; k < 4; ++k) {
            q.x[k] = sprites[i].x + (k & 1);
            q.y[k] = sprites[i].y + (k >> 1);
            q.u[k] = k & 1;
            q.v[k] = k >> 1;
            q.z[k] = 0;
            q.rhw[k] = 1.0f;
            q.colour[k] = sprites[i].colour;
        }
    }
    const RECT texel = {0, 0, 1, 1};

    // One frame of each, timed to the device's finish.
    const auto frame = [&](bool ours) {
        d3d->SetRenderTarget(target.Get());
        d3d->Clear(0xFF000000);
        const double start = bench::NowUs();
        if (d3d->BeginScene()) {
            if (ours) {
                for (const KYR::QuadDesc& q : quads) ourBatch->AddQuad(&q, 0, 0, 0, 0);
                ourBatch->Draw();
            } else {
                theirSprite->Begin(D3DXSPRITE_ALPHABLEND);
                for (const Sprite& s : sprites) {
                    const D3DXVECTOR3 at(static_cast<float>(s.x), static_cast<float>(s.y), 0);
                    theirSprite->Draw(rawTexture, &texel, nullptr, &at, s.colour);
                }
                theirSprite->End();
            }
        }
        d3d->EndScene();
        Finish(device);
        const double us = bench::NowUs() - start;
        d3d->SetRenderTarget(nullptr);
        return us;
    };

    frame(true);
    const std::vector<uint32_t> ourPicture = ReadTarget(*target.Get());
    frame(false);
    const std::vector<uint32_t> theirPicture = ReadTarget(*target.Get());
    int differing = 0;
    for (size_t i = 0; i < ourPicture.size() && i < theirPicture.size(); ++i)
        differing += ((ourPicture[i] ^ theirPicture[i]) & 0xFFFFFF) != 0;
    if (ourPicture.empty() || ourPicture.size() != theirPicture.size() || differing)
        std::fprintf(stderr, "sprite bench: the pictures differ in %d pixels\n", differing);

    std::vector<double> ourTimes, theirTimes;
    for (int r = 0; r < kRounds; ++r) {
        ourTimes.push_back(frame(true));
        theirTimes.push_back(frame(false));
    }
    const double ourUs = bench::Median(ourTimes), theirUs = bench::Median(theirTimes);
    std::printf("%d sprites through CD3DRender (AddQuad + Draw): %10.0f us a frame\n", kSprites,
                ourUs);
    std::printf("%d sprites through ID3DXSprite (Begin, Draw, End): %7.0f us a frame\n",
                kSprites, theirUs);
    bench::PrintRatio("sprites_vs_d3dxsprite", ourUs > 0 ? theirUs / ourUs : 0, "at least 1.00");
    DestroyWindow(window);
    return 0;
}
