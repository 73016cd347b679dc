#include "Scene.h"

#include <cstdio>

#include "engine/graphics/GraphicsObjectIds.h"

namespace {

// Render modes of the batches (colour mode, blend mode): texture times vertex colour with
// ordinary alpha blending; the glow adds its colour weighted by its alpha; the frame is
// vertex colour only.
constexpr int32_t kModulate = 0, kVertexColour = 2;
constexpr int32_t kAlphaBlend = 0, kAddByAlpha = 1;

constexpr int kGemCount = 6;
constexpr int kGlyphWidth = 6, kGlyphHeight = 8;  // cells of font.bmp: 0-9, F, P, S

// A sprite of `w` x `h` screen pixels at (x, y), showing the texels (u, v) to (u + tw, v + th).
KYR::QuadDesc Sprite(int x, int y, int w, int h, int u, int v, int tw, int th,
                     uint32_t colour) {
    KYR::QuadDesc q = {};
    for (int k = 0; k < 4; ++k) {
        const int right = k & 1, bottom = k >> 1;  // corners 0 and 3 are opposite
        q.x[k] = x + right * w;
        q.y[k] = y + bottom * h;
        q.u[k] = u + right * tw;
        q.v[k] = v + bottom * th;
        q.rhw[k] = 1.0f;
        q.colour[k] = colour;
    }
    return q;
}

Own<KYR::ID3DRender> QuadBatch(KYR::IKYRD3D* d3d, KYR::ID3DTexture* texture, uint32_t quads,
                               int32_t blendMode) {
    Own<KYR::ID3DRender> batch = CreateFrom<KYR::ID3DRender>(d3d, KYR::kIdD3DRender);
    if (!batch || !texture || !batch->SetTexture(texture) || !batch->Reserve(quads))
        return Own<KYR::ID3DRender>();
    batch->SetRenderMode(kModulate, blendMode, true, false, false);
    return batch;
}

// A triangle wave from 0 to 255 and back, `period` frames long.
uint32_t Pulse(uint32_t tick, uint32_t period) {
    const uint32_t t = tick % period;
    return (t < period / 2 ? t : period - t) * 510 / period;
}

}  // namespace

bool Scene::Create(KYR::IKYRD3D* d3d, Art& art) {
    gems_ = QuadBatch(d3d, art.Load("gem.bmp"), kGemCount, kAlphaBlend);
    glow_ = QuadBatch(d3d, art.Load("glow.bmp"), 1, kAddByAlpha);
    ship_ = QuadBatch(d3d, art.Load("ship.bmp"), 1, kAlphaBlend);
    digits_ = QuadBatch(d3d, art.Load("font.bmp"), 8, kAlphaBlend);

    // The playfield's border: a closed loop of points, drawn as a strip two pixels wide.
    frame_ = CreateFrom<KYR::ID3DLineRender>(d3d, KYR::kIdD3DLineRender);
    if (!frame_ || !frame_->Reserve(8)) return false;
    frame_->SetRenderMode(kVertexColour, kAlphaBlend, false, false, false);
    frame_->SetLineWidth(2.0f);
    const int l = 4, t = 4, r = kGameWidth - 4, b = kGameHeight - 4;
    const int corners[5][2] = {{l, t}, {r, t}, {r, b}, {l, b}, {l, t}};
    for (const auto& c : corners) {
        const KYR::LinePoint p = {c[0], c[1], 0, 0xFF40C0FF, 0xFF2060A0};
        frame_->PushBack(&p);
    }
    return gems_ && glow_ && ship_ && digits_;
}

bool Scene::Draw(KYR::IKYRD3D* d3d, const PlayState& play, int fps) {
    d3d->Clear(0xFF101828);
    if (d3d->BeginScene()) {
        frame_->Draw();

        // The gems turn about their own centres, every other one the other way.
        for (int i = 0; i < kGemCount; ++i) {
            const int x = 40 + i * 48, y = i % 2 ? 56 : 184;
            const KYR::QuadDesc q = Sprite(x - 8, y - 8, 16, 16, 0, 0, 16, 16, 0xFFFFFFFF);
            const float degrees = static_cast<float>((play.tick * (2 + i)) % 360);
            gems_->AddQuad(&q, 0.0f, 0.0f, i % 2 ? -degrees : degrees, 0.0f);
        }
        gems_->Draw();

        const uint32_t alpha = 96 + Pulse(play.tick, 90) / 2;
        const KYR::QuadDesc glow = Sprite(play.playerX - 32, play.playerY - 32, 64, 64, 0, 0,
                                          64, 64, alpha << 24 | 0xFFFFFF);
        glow_->AddQuad(&glow, 0.0f, 0.0f, 0.0f, 0.0f);
        glow_->Draw();

        const KYR::QuadDesc ship = Sprite(play.playerX - 16, play.playerY - 16, 32, 32, 0, 0,
                                          32, 32, 0xFFFFFFFF);
        ship_->AddQuad(&ship, 0.0f, 0.0f, 0.0f, 0.0f);
        ship_->Draw();

        if (fps >= 0) {
            char text[16];
            std::snprintf(text, sizeof(text), "FPS%3d", fps > 999 ? 999 : fps);
            for (int i = 0; text[i]; ++i) {
                const char c = text[i];
                const int glyph = c >= '0' && c <= '9' ? c - '0'
                                  : c == 'F'           ? 10
                                  : c == 'P'           ? 11
                                  : c == 'S'           ? 12
                                                       : -1;  // a blank
                if (glyph < 0) continue;
                const KYR::QuadDesc q = Sprite(8 + i * 12, 8, 12, 16, glyph * kGlyphWidth, 0,
                                               kGlyphWidth, kGlyphHeight, 0xFFFFFFFF);
                digits_->AddQuad(&q, 0.0f, 0.0f, 0.0f, 0.0f);
            }
            digits_->Draw();
        }
    }
    // Paired with BeginScene whatever it returned: it holds the device's lock until here.
    d3d->EndScene();
    return d3d->Present();
}
