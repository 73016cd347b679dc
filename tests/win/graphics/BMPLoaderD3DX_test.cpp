// The BMP decoder against D3DX's own loader, on the same bytes and the same device.
#include <gtest/gtest.h>

#include <d3dx9.h>
#include <squish.h>

#include <cstdlib>

#include <vector>

#include "BmpFixtures.h"
#include "TextureTestSupport.h"
#include "engine/core/LazyDll.h"
#include "engine/graphics/BMPLoader.h"
#include "engine/graphics/DecodeToSurface.h"
#include "engine/graphics/StdGraphicsLoader.h"
#include "engine/media/std/StdFileStream.h"

namespace {

using namespace KYR;
using namespace KYR::test;

struct Resource {
    const void* data = nullptr;
    uint32_t size = 0;
};

Resource Fixture(int id) {
    HMODULE self = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(self, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(10));  // RT_RCDATA
    if (!found) return {};
    return {LockResource(LoadResource(self, found)), SizeofResource(self, found)};
}

using CreateFromMemoryEx = decltype(&D3DXCreateTextureFromFileInMemoryEx);

CreateFromMemoryEx D3DXLoader() {
    static LazyModule d3dx("d3dx9_37.dll");
    return reinterpret_cast<CreateFromMemoryEx>(
        reinterpret_cast<void*>(d3dx.Proc("D3DXCreateTextureFromFileInMemoryEx")));
}

// D3DX's pixels of the file, 0xAARRGGBB, rows from the top.
std::vector<uint32_t> DecodeWithD3DX(IDirect3DDevice9* device, const Resource& file,
                                     uint32_t width, uint32_t height) {
    std::vector<uint32_t> pixels;
    RefPtr<IDirect3DTexture9> texture;
    const HRESULT hr = D3DXLoader()(device, file.data, file.size, width, height, 1, 0,
                                    D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, D3DX_FILTER_NONE,
                                    D3DX_FILTER_NONE, 0, nullptr, nullptr, texture.Put());
    EXPECT_EQ(hr, D3D_OK);
    if (FAILED(hr)) return pixels;
    D3DLOCKED_RECT locked;
    if (FAILED(texture->LockRect(0, &locked, nullptr, D3DLOCK_READONLY))) return pixels;
    for (uint32_t y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(
            static_cast<const uint8_t*>(locked.pBits) + y * locked.Pitch);
        pixels.insert(pixels.end(), row, row + width);
    }
    texture->UnlockRect(0);
    return pixels;
}

class BMPLoaderD3DX : public SharedDeviceTest {};

TEST_F(BMPLoaderD3DX, EveryDepthDecodesAsD3DXDoes) {
    ASSERT_NE(D3DXLoader(), nullptr);
    // Wine 8's D3DX cannot be the reference below 8 bits: its 1- and 4-bit textures come back
    // with unrelated pixels and 2-bit files are refused (D3DXERR_INVALIDDATA). The host tests
    // hold those depths against ImageMagick and a picture of known pixels instead.
    struct Row {
        int id;
        const char* name;
    } rows[] = {
        {KYR_BMP_D8, "d8"},   {KYR_BMP_D8V5, "d8v5"},
        {KYR_BMP_D24, "d24"}, {KYR_BMP_D32, "d32"}, {KYR_BMP_DXT, "dxt"},
    };
    for (const Row& row : rows) {
        const Resource file = Fixture(row.id);
        ASSERT_NE(file.data, nullptr) << row.name;
        CStdFileStream stream;
        ASSERT_TRUE(stream.OpenMemory(file.data, file.size));
        CBMPLoader bmp;
        ASSERT_TRUE(bmp.Open(&stream)) << row.name;
        const uint32_t w = bmp.GetImageWidth(), h = bmp.GetImageHeight();
        std::vector<uint32_t> ours(size_t{w} * h);
        bmp.Decode(ours.data(), w, h, false);
        const std::vector<uint32_t> theirs = DecodeWithD3DX(Device(), file, w, h);
        EXPECT_EQ(theirs.size(), ours.size()) << row.name;
        if (theirs.size() != ours.size()) continue;
        for (size_t i = 0; i < ours.size(); ++i)
            EXPECT_EQ(ours[i], theirs[i]) << row.name << " pixel " << i % w << "," << i / w;
    }
}

// The way a game loads a picture: a texture of the image's size, locked, decoded into, and
// drawn. What the device then holds is the decoder's picture, plain or through DXT5 (held to
// libsquish's own reading of the blocks, within a step of the decompressor's rounding).
TEST_F(BMPLoaderD3DX, DecodedIntoLockedTexturesOfBothKinds) {
    const Resource file = Fixture(KYR_BMP_DXT);  // 33 x 17: partial blocks at two edges
    ASSERT_NE(file.data, nullptr);
    for (bool compressed : {false, true}) {
        CStdFileStream stream;
        ASSERT_TRUE(stream.OpenMemory(file.data, file.size));
        CStdGraphicsLoader loader;
        ASSERT_TRUE(loader.Open(&stream, nullptr));
        RefPtr<ID3DTexture> texture = NewTexture(*d3d_);
        ASSERT_TRUE(texture->Create(loader.GetImageWidth(), loader.GetImageHeight(), false,
                                    compressed));
        const uint32_t w = texture->GetTextureWidth(), h = texture->GetTextureHeight();
        D3DLOCKED_RECT rect = {};
        ASSERT_TRUE(texture->Lock(&rect, false));
        EXPECT_TRUE(DecodeToSurface(loader, rect.pBits, rect.Pitch, w, h, compressed));
        texture->Unlock();

        std::vector<uint32_t> want(size_t{w} * h);
        if (compressed) {
            std::vector<uint8_t> blocks(PackedRowBytes(w, true) * PackedRows(h, true));
            loader.Decode(blocks.data(), w, h, true);
            std::vector<uint8_t> rgba(want.size() * 4);
            squish::DecompressImage(rgba.data(), w, h, blocks.data(), squish::kDxt5);
            for (size_t i = 0; i < want.size(); ++i)
                want[i] = uint32_t{rgba[i * 4 + 3]} << 24 | uint32_t{rgba[i * 4]} << 16 |
                          uint32_t{rgba[i * 4 + 1]} << 8 | rgba[i * 4 + 2];
        } else {
            loader.Decode(want.data(), w, h, false);
        }
        const std::vector<uint32_t> seen = DeviceContent(*d3d_, *texture.Get());
        ASSERT_EQ(seen.size(), want.size()) << compressed;
        const int slack = compressed ? 2 : 0;
        for (size_t i = 0; i < want.size(); ++i)
            for (int shift = 0; shift < 32; shift += 8)
                ASSERT_LE(std::abs(int(seen[i] >> shift & 255) - int(want[i] >> shift & 255)),
                          slack)
                    << (compressed ? "dxt5" : "argb") << " pixel " << i % w << "," << i / w;
    }
}

}  // namespace
