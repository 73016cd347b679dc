// The BMP decoder against its two references, measured in the same run:
// - a 1024 x 1024 24-bit BMP decoded into a locked A8R8G8B8 managed texture (created, locked,
//   decoded, unlocked) against D3DXCreateTextureFromFileInMemoryEx of the same bytes on the
//   same device, aim at least 2 times faster (a ratio of D3DX's time to ours);
// - the DXT5 path (decode and compress) against bare squish::CompressImage of the same
//   pixels, aim at most 1.1 times its time.
#include <windows.h>

#include <d3d9.h>
#include <d3dx9.h>
#include <squish.h>

#include <cstdio>
#include <vector>

#include "BenchClock.h"
#include "engine/core/LazyDll.h"
#include "engine/core/RefPtr.h"
#include "engine/graphics/BMPLoader.h"
#include "engine/graphics/GraphicsObjectIds.h"
#include "engine/graphics/KYRD3D.h"
#include "engine/media/std/StdFileStream.h"

namespace {

constexpr uint32_t kSide = 1024;
constexpr uint32_t kDxtSide = 512;
constexpr int kRounds = 7;
constexpr int kDxtRounds = 5;

void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

// A 24-bit bottom-up BMP of a smooth picture with some texture in it.
std::vector<uint8_t> MakeBmp(uint32_t side) {
    const uint32_t stride = (side * 3 + 3) & ~3u;
    std::vector<uint8_t> b(54 + size_t{stride} * side, 0);
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 2, static_cast<uint32_t>(b.size()));
    Put32(b, 10, 54);
    Put32(b, 14, 40);
    Put32(b, 18, side);
    Put32(b, 22, side);
    b[26] = 1;
    b[28] = 24;
    for (uint32_t y = 0; y < side; ++y)
        for (uint32_t x = 0; x < side; ++x) {
            uint8_t* p = &b[54 + size_t{stride} * y + x * 3];
            p[0] = static_cast<uint8_t>(x * 255 / side);
            p[1] = static_cast<uint8_t>(y * 255 / side);
            p[2] = static_cast<uint8_t>((x ^ y) & 0x3F);
        }
    return b;
}

using CreateFromMemoryEx = decltype(&D3DXCreateTextureFromFileInMemoryEx);

// Decodes into `bits`; false when the loader refuses the bytes.
bool DecodeInto(const std::vector<uint8_t>& file, void* bits, uint32_t side, bool compress) {
    KYR::RefPtr<KYR::CStdFileStream> stream(new KYR::CStdFileStream);
    if (!stream->OpenMemory(file.data(), static_cast<uint32_t>(file.size()))) return false;
    KYR::RefPtr<KYR::CBMPLoader> bmp(new KYR::CBMPLoader);
    if (!bmp->Open(stream.Get())) return false;
    bmp->Decode(bits, side, side, compress);
    bmp->Close();
    return true;
}

}  // namespace

int main() {
    HWND window = CreateWindowExA(0, "STATIC", "bmp bench", WS_POPUP | WS_VISIBLE, 0, 0, 320,
                                  240, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    KYR::RefPtr<KYR::CKYRD3D> d3d(new KYR::CKYRD3D);
    if (!window || !(d3d->CreateDevice(window, 1, 320, 240) || d3d->CreateDevice(window, 2, 320, 240))) {
        std::fprintf(stderr, "bmp bench: no Direct3D device\n");
        return 1;
    }
    auto* device = static_cast<IDirect3DDevice9*>(d3d->CreateObject(KYR::kIdRawDevice));
    static KYR::LazyModule d3dx("d3dx9_37.dll");
    auto fromMemory = reinterpret_cast<CreateFromMemoryEx>(
        reinterpret_cast<void*>(d3dx.Proc("D3DXCreateTextureFromFileInMemoryEx")));
    if (!fromMemory) {
        std::fprintf(stderr, "bmp bench: d3dx9_37 missing\n");
        return 1;
    }

    const std::vector<uint8_t> file = MakeBmp(kSide);
    auto ours = [&] {
        KYR::RefPtr<IDirect3DTexture9> texture;
        if (FAILED(device->CreateTexture(kSide, kSide, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED,
                                         texture.Put(), nullptr)))
            return false;
        D3DLOCKED_RECT locked;
        if (FAILED(texture->LockRect(0, &locked, nullptr, 0))) return false;
        // A8R8G8B8 at 1024 wide: the pitch is the row, so the decoder's contiguous rows fit.
        const bool ok = locked.Pitch == static_cast<INT>(kSide * 4) &&
                        DecodeInto(file, locked.pBits, kSide, false);
        texture->UnlockRect(0);
        return ok;
    };
    auto theirs = [&] {
        KYR::RefPtr<IDirect3DTexture9> texture;
        return SUCCEEDED(fromMemory(device, file.data(), static_cast<UINT>(file.size()), kSide,
                                    kSide, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED,
                                    D3DX_FILTER_NONE, D3DX_FILTER_NONE, 0, nullptr, nullptr,
                                    texture.Put()));
    };
    if (!ours() || !theirs()) {  // also the warm-up
        std::fprintf(stderr, "bmp bench: a texture could not be made\n");
        return 1;
    }
    std::vector<double> ourTimes, theirTimes;
    for (int i = 0; i < kRounds; ++i) {
        double t = bench::NowUs();
        ours();
        ourTimes.push_back(bench::NowUs() - t);
        t = bench::NowUs();
        theirs();
        theirTimes.push_back(bench::NowUs() - t);
    }
    const double ourUs = bench::Median(ourTimes), theirUs = bench::Median(theirTimes);
    std::printf("BMP 1024x1024x24 into a locked texture:   %10.0f us\n", ourUs);
    std::printf("D3DXCreateTextureFromFileInMemoryEx:      %10.0f us\n", theirUs);
    bench::PrintRatio("bmp_to_texture_speedup_over_d3dx", theirUs / ourUs, "at least 2.00");

    // DXT5: the same picture, squish's input made once from the decoder's own plain output.
    const std::vector<uint8_t> dxtFile = MakeBmp(kDxtSide);
    std::vector<uint32_t> argb(size_t{kDxtSide} * kDxtSide);
    DecodeInto(dxtFile, argb.data(), kDxtSide, false);
    std::vector<uint8_t> rgba(argb.size() * 4);
    for (size_t i = 0; i < argb.size(); ++i) {
        rgba[i * 4] = static_cast<uint8_t>(argb[i] >> 16);
        rgba[i * 4 + 1] = static_cast<uint8_t>(argb[i] >> 8);
        rgba[i * 4 + 2] = static_cast<uint8_t>(argb[i]);
        rgba[i * 4 + 3] = static_cast<uint8_t>(argb[i] >> 24);
    }
    std::vector<uint8_t> blocks(size_t{kDxtSide / 4} * (kDxtSide / 4) * 16);
    std::vector<uint8_t> bareBlocks(blocks.size());
    std::vector<double> dxtTimes, bareTimes;
    for (int i = 0; i < kDxtRounds; ++i) {
        double t = bench::NowUs();
        DecodeInto(dxtFile, blocks.data(), kDxtSide, true);
        dxtTimes.push_back(bench::NowUs() - t);
        t = bench::NowUs();
        squish::CompressImage(rgba.data(), kDxtSide, kDxtSide, bareBlocks.data(),
                              squish::kDxt5 | squish::kColourRangeFit);
        bareTimes.push_back(bench::NowUs() - t);
    }
    if (blocks != bareBlocks) std::fprintf(stderr, "bmp bench: the DXT5 blocks differ\n");
    const double dxtUs = bench::Median(dxtTimes), bareUs = bench::Median(bareTimes);
    std::printf("BMP 512x512x24 decoded and DXT5:          %10.0f us\n", dxtUs);
    std::printf("bare squish::CompressImage, same pixels:  %10.0f us\n", bareUs);
    bench::PrintRatio("bmp_dxt5_over_bare_squish", dxtUs / bareUs, "at most 1.10");
    DestroyWindow(window);
    return 0;
}
