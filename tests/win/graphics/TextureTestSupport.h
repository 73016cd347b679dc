// Shared by the texture tests: making textures, and reading back what one holds on the device.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "GraphicsTestSupport.h"
#include "engine/graphics/D3DTexture.h"

namespace KYR {
namespace test {

inline RefPtr<ID3DTexture> NewTexture(CKYRD3D& d3d) {
    return RefPtr<ID3DTexture>(static_cast<ID3DTexture*>(d3d.CreateObject(kIdD3DTexture)));
}

// The requested area of a render-target texture, read through its own Lock.
inline std::vector<uint32_t> ReadTarget(ID3DTexture& target, uint32_t width, uint32_t height) {
    std::vector<uint32_t> pixels;
    D3DLOCKED_RECT rect = {};
    if (!target.Lock(&rect, false)) return pixels;
    for (uint32_t y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(static_cast<const char*>(rect.pBits) +
                                                            y * rect.Pitch);
        pixels.insert(pixels.end(), row, row + width);
    }
    target.Unlock();
    return pixels;
}

// Draws texture over the whole of the bound target, texel for pixel (point sampling and
// the half-pixel offset of Direct3D 9), with the engine's scene defaults.
inline void DrawTexture(CKYRD3D& d3d, ID3DTexture& texture) {
    struct Vertex {
        float x, y, z, rhw;
        DWORD colour;
        float u, v;
    };
    const float w = texture.GetTextureWidth() - 0.5f, h = texture.GetTextureHeight() - 0.5f;
    const Vertex quad[4] = {{-0.5f, -0.5f, 0.5f, 1, 0xFFFFFFFF, 0, 0},
                            {w, -0.5f, 0.5f, 1, 0xFFFFFFFF, 1, 0},
                            {-0.5f, h, 0.5f, 1, 0xFFFFFFFF, 0, 1},
                            {w, h, 0.5f, 1, 0xFFFFFFFF, 1, 1}};
    ASSERT_TRUE(d3d.BeginScene());
    IDirect3DDevice9* device = RawDevice(d3d);
    device->SetTexture(0, CD3DTexture::Of(&texture)->GetTextureTemp());
    EXPECT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(Vertex)), D3D_OK);
    device->SetTexture(0, nullptr);
    d3d.EndScene();
}

// What a texture holds on the device (not in its system-memory copy): drawn into a render
// target of its allocated size and read back from there.
inline std::vector<uint32_t> DeviceContent(CKYRD3D& d3d, ID3DTexture& texture) {
    RefPtr<ID3DTexture> target = NewTexture(d3d);
    const uint32_t w = texture.GetTextureWidth(), h = texture.GetTextureHeight();
    if (!target->Create(w, h, true, false) || !d3d.SetRenderTarget(target.Get())) return {};
    d3d.Clear(0xFF123456);
    DrawTexture(d3d, texture);
    d3d.SetRenderTarget(nullptr);
    return ReadTarget(*target.Get(), w, h);
}

}  // namespace test
}  // namespace KYR
