#include <gtest/gtest.h>

#include <squish.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "engine/graphics/BMPLoader.h"
#include "engine/graphics/DecodeToSurface.h"
#include "engine/graphics/StdGraphicsLoader.h"
#include "engine/media/std/StdFileStream.h"

namespace {

using namespace KYR;
using Bytes = std::vector<uint8_t>;

void Put32(Bytes& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

// A BMP put together field by field. `value(x, y)` (y from the top of the picture) is a
// palette index at 8 bits or less, else 0xAARRGGBB.
struct BmpLayout {
    int32_t width, height;  // a negative height stores the rows top-down
    uint16_t bits;
    std::vector<uint32_t> palette;  // 0xRRGGBB, as many as stored
    uint32_t colorsUsed = 0;
    uint32_t headerSize = 40;
    std::function<uint32_t(uint32_t, uint32_t)> value;
};

Bytes MakeBmp(const BmpLayout& s) {
    const uint32_t w = s.width, h = s.height < 0 ? -s.height : s.height;
    const uint32_t stride = (w * s.bits + 31) / 32 * 4;
    const uint32_t offset = 14 + s.headerSize + 4 * static_cast<uint32_t>(s.palette.size());
    Bytes b(offset + stride * h, 0);
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 2, static_cast<uint32_t>(b.size()));
    Put32(b, 10, offset);
    Put32(b, 14, s.headerSize);
    Put32(b, 18, static_cast<uint32_t>(s.width));
    Put32(b, 22, static_cast<uint32_t>(s.height));
    b[26] = 1;
    b[28] = static_cast<uint8_t>(s.bits);
    Put32(b, 46, s.colorsUsed);
    for (size_t i = 0; i < s.palette.size(); ++i) Put32(b, 14 + s.headerSize + 4 * i, s.palette[i]);
    for (uint32_t fileRow = 0; fileRow < h; ++fileRow) {
        const uint32_t y = s.height < 0 ? fileRow : h - 1 - fileRow;
        uint8_t* row = &b[offset + stride * fileRow];
        for (uint32_t x = 0; x < w; ++x) {
            const uint32_t v = s.value(x, y);
            if (s.bits <= 8) {
                const uint32_t perByte = 8 / s.bits;
                row[x / perByte] |= static_cast<uint8_t>(v << (8 - s.bits * (x % perByte + 1)));
            } else {
                for (uint32_t i = 0; i < s.bits / 8u; ++i) row[x * s.bits / 8 + i] = v >> (8 * i);
            }
        }
    }
    return b;
}

// Decodes through a memory stream into a width x height destination pre-filled with `fill`.
std::vector<uint32_t> Decode(const Bytes& file, uint32_t width, uint32_t height,
                             uint32_t fill = 0xDEADBEEF) {
    std::vector<uint32_t> out(size_t{width} * height, fill);
    CStdFileStream stream;
    EXPECT_TRUE(stream.OpenMemory(file.data(), static_cast<uint32_t>(file.size())));
    CBMPLoader bmp;
    EXPECT_TRUE(bmp.Open(&stream));
    bmp.Decode(out.data(), width, height, false);
    return out;
}

Bytes ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

std::string Fixture(const char* name) {
    return std::string(KYR_SOURCE_DIR) + "/tests/data/bmp/" + name;
}

// What ImageMagick reads from the file: 0xAARRGGBB per pixel, rows from the top.
std::vector<uint32_t> ReadWithConvert(const std::string& path, size_t pixels) {
    const std::string command = "convert '" + path + "' -depth 8 rgba:-";
    std::FILE* pipe = popen(command.c_str(), "r");
    EXPECT_NE(pipe, nullptr);
    std::vector<uint8_t> rgba(pixels * 4);
    const size_t got = pipe ? std::fread(rgba.data(), 1, rgba.size(), pipe) : 0;
    if (pipe) pclose(pipe);
    EXPECT_EQ(got, rgba.size()) << command;
    std::vector<uint32_t> argb(pixels);
    for (size_t i = 0; i < pixels; ++i)
        argb[i] = uint32_t{rgba[i * 4 + 3]} << 24 | uint32_t{rgba[i * 4]} << 16 |
                  uint32_t{rgba[i * 4 + 1]} << 8 | rgba[i * 4 + 2];
    return argb;
}

TEST(BMPLoader, EveryDepthMatchesImageMagick) {
    for (const char* name : {"d1.bmp", "d4.bmp", "d8.bmp", "d8v5.bmp", "d24.bmp", "d32.bmp"}) {
        const Bytes file = ReadFile(Fixture(name));
        ASSERT_GT(file.size(), 54u) << name;
        const std::vector<uint32_t> ours = Decode(file, 7, 5);
        const std::vector<uint32_t> theirs = ReadWithConvert(Fixture(name), 35);
        for (size_t i = 0; i < ours.size(); ++i)
            EXPECT_EQ(ours[i], theirs[i]) << name << " pixel " << i % 7 << "," << i / 7;
    }
}

// ImageMagick neither writes nor reads 2 bits per pixel; the fixture's picture is known.
TEST(BMPLoader, TwoBitFixture) {
    const uint32_t palette[4] = {0xFF0000FF, 0xFF00FF00, 0xFFFF0000, 0xFFFFFFFF};
    const std::vector<uint32_t> ours = Decode(ReadFile(Fixture("d2.bmp")), 5, 3);
    for (uint32_t y = 0; y < 3; ++y)
        for (uint32_t x = 0; x < 5; ++x) EXPECT_EQ(ours[y * 5 + x], palette[(x + y) % 4]);
}

TEST(BMPLoader, OpenNeedsBM) {
    const Bytes good = MakeBmp({2, 2, 24, {}, 0, 40, [](uint32_t, uint32_t) { return 0u; }});
    struct Row {
        const char* first;
        bool opens;
    } rows[] = {{"BM", true}, {"MB", false}, {"bm", false}, {"B\0", false}};
    for (const Row& row : rows) {
        Bytes file = good;
        file[0] = row.first[0];
        file[1] = row.first[1];
        CStdFileStream stream;
        stream.OpenMemory(file.data(), static_cast<uint32_t>(file.size()));
        CBMPLoader bmp;
        EXPECT_EQ(bmp.Open(&stream), row.opens) << row.first;
        EXPECT_EQ(bmp.GetImageWidth(), row.opens ? 2u : 0u);
    }
    CBMPLoader bmp;
    EXPECT_FALSE(bmp.Open(nullptr));
    CStdFileStream stream;
    uint8_t just[1] = {'B'};
    stream.OpenMemory(just, 1);
    EXPECT_FALSE(bmp.Open(&stream));
}

uint32_t Argb(uint32_t x, uint32_t y) { return 0xFF000000u | (x + 1) << 16 | (y + 1) << 8 | 0x40; }

TEST(BMPLoader, SmallImageIntoLargerDestination) {
    const Bytes file = MakeBmp({3, 2, 24, {}, 0, 40, Argb});
    const std::vector<uint32_t> out = Decode(file, 8, 4);
    for (uint32_t y = 0; y < 4; ++y)
        for (uint32_t x = 0; x < 8; ++x)
            EXPECT_EQ(out[y * 8 + x], x < 3 && y < 2 ? Argb(x, y) : 0u) << x << "," << y;
}

TEST(BMPLoader, DestinationSmallerThanTheImageClips) {
    for (uint16_t bits : {1, 4, 8, 24, 32}) {
        std::vector<uint32_t> palette;
        for (uint32_t i = 0; i < (bits <= 8 ? 1u << bits : 0u); ++i) palette.push_back(i * 0x010203);
        const uint32_t mask = bits < 32 ? (1u << (bits < 24 ? bits : 24)) - 1 : ~0u;
        auto value = [&](uint32_t x, uint32_t y) { return (x * 7 + y * 13) & mask; };
        const Bytes file = MakeBmp({21, 9, bits, palette, 0, 40, value});
        const std::vector<uint32_t> out = Decode(file, 5, 4);
        for (uint32_t y = 0; y < 4; ++y)
            for (uint32_t x = 0; x < 5; ++x) {
                const uint32_t v = value(x, y);
                const uint32_t want = bits <= 8 ? 0xFF000000u | palette[v]
                                                : bits == 24 ? 0xFF000000u | v : v;
                EXPECT_EQ(out[y * 5 + x], want) << bits << " bits " << x << "," << y;
            }
    }
}

TEST(BMPLoader, TopDownRowsDecodeUpright) {
    BmpLayout layout{4, 3, 32, {}, 0, 40, [](uint32_t x, uint32_t y) { return x * 0x100 + y; }};
    const std::vector<uint32_t> bottomUp = Decode(MakeBmp(layout), 4, 3);
    layout.height = -3;
    EXPECT_EQ(Decode(MakeBmp(layout), 4, 3), bottomUp);
    EXPECT_EQ(bottomUp[2 * 4 + 1], 0x102u);
    const std::vector<uint32_t> clipped = Decode(MakeBmp(layout), 2, 2);
    EXPECT_EQ(clipped, (std::vector<uint32_t>{0x000, 0x100, 0x001, 0x101}));
}

TEST(BMPLoader, PaletteSizeRules) {
    struct Row {
        uint16_t bits;
        uint32_t colorsUsed, stored, headerSize;
        uint32_t offBits = 0;  // written over bfOffBits when not 0
    } rows[] = {
        {8, 0, 256, 40},    // 0 means 2^bits: entry 255 is used
        {1, 0, 2, 40},
        {1, 300, 300, 40},  // more than 2^bits: the extra entries are skipped
        {4, 16, 16, 108},   // a version 4 header: the palette follows its 108 bytes
        {8, 0, 256, 40, 54},        // bfOffBits into the palette: rows follow the palette
        {4, 16, 16, 40, 0x7FFFFFF}, // bfOffBits past the file: the same
    };
    for (const Row& row : rows) {
        std::vector<uint32_t> palette;
        for (uint32_t i = 0; i < row.stored; ++i) palette.push_back(0x100000 * (i % 16) + i);
        const uint32_t top = (1u << row.bits) - 1;
        auto value = [&](uint32_t x, uint32_t) { return x == 0 ? top : x % (top + 1); };
        Bytes file = MakeBmp({3, 1, row.bits, palette, row.colorsUsed, row.headerSize, value});
        if (row.offBits) Put32(file, 10, row.offBits);
        const std::vector<uint32_t> out = Decode(file, 3, 1);
        for (uint32_t x = 0; x < 3; ++x)
            EXPECT_EQ(out[x], 0xFF000000u | palette[value(x, 0)]) << row.bits << " " << x;
    }
}

TEST(BMPLoader, IndexPastAShortPaletteIsOpaqueBlack) {
    const Bytes file = MakeBmp({2, 1, 8, {0x123456, 0x654321}, 2, 40,
                                [](uint32_t x, uint32_t) { return x ? 200u : 1u; }});
    EXPECT_EQ(Decode(file, 2, 1), (std::vector<uint32_t>{0xFF654321, 0xFF000000}));
}

TEST(BMPLoader, WhatIsNotWrittenIsLeftAlone) {
    const uint32_t canary = 0xDEADBEEF;
    struct Row {
        uint16_t bits;
        uint32_t width, height;  // of the destination
    } rows[] = {
        {16, 4, 4},        // unsupported depth
        {0, 4, 4},
        {24, 8193, 8192},  // just past 256 MiB of pixels: refused before anything is touched
        {24, 0, 4},
    };
    for (const Row& row : rows) {
        const Bytes file = MakeBmp({4, 4, row.bits == 0 ? uint16_t{24} : row.bits, {}, 0, 40,
                                    [](uint32_t, uint32_t) { return 0x1234u; }});
        Bytes patched = file;
        patched[28] = static_cast<uint8_t>(row.bits);
        std::vector<uint32_t> out(16, canary);  // far smaller than claimed: ASan would see a write
        CStdFileStream stream;
        stream.OpenMemory(patched.data(), static_cast<uint32_t>(patched.size()));
        CBMPLoader bmp;
        ASSERT_TRUE(bmp.Open(&stream));
        bmp.Decode(out.data(), row.width, row.height, false);
        bmp.Decode(out.data(), row.width, row.height, true);
        for (uint32_t v : out) EXPECT_EQ(v, canary) << row.bits << " " << row.width;
    }
}

TEST(BMPLoader, HugeHeaderDimensionsReadOnlyWhatFits) {
    Bytes file = MakeBmp({2, 2, 24, {}, 0, 40, Argb});
    Put32(file, 18, 0x40000000);  // width
    Put32(file, 22, 0x80000000);  // height INT_MIN: top-down, 2^31 rows
    const std::vector<uint32_t> out = Decode(file, 3, 3);
    // Only the first file row lies inside the file; its first pixels are the bytes there.
    EXPECT_EQ(out[0], Argb(0, 1));
    EXPECT_EQ(out[1], Argb(1, 1));
    for (size_t i = 3; i < out.size(); ++i) EXPECT_EQ(out[i], 0u) << i;
}

TEST(BMPLoader, TruncatedFileDecodesWhatItHolds) {
    const Bytes full = ReadFile(Fixture("d24.bmp"));  // 7 x 5, rows of 24 bytes from 54
    const std::vector<uint32_t> whole = Decode(full, 7, 5);
    const Bytes cut(full.begin(), full.begin() + 95);  // row 0 whole, 17 bytes of row 1
    const std::vector<uint32_t> part = Decode(cut, 7, 5);
    for (uint32_t y = 0; y < 5; ++y)
        for (uint32_t x = 0; x < 7; ++x) {
            const bool held = y == 4 || (y == 3 && x < 5);  // the file's first rows are the bottom
            EXPECT_EQ(part[y * 7 + x], held ? whole[y * 7 + x] : 0u) << x << "," << y;
        }
}

TEST(BMPLoader, Dxt5WritesOneBlockPerFourByFour) {
    const Bytes file = MakeBmp({8, 8, 24, {}, 0, 40, Argb});
    Bytes out(80, 0xEE);
    CStdFileStream stream;
    stream.OpenMemory(file.data(), static_cast<uint32_t>(file.size()));
    CBMPLoader bmp;
    ASSERT_TRUE(bmp.Open(&stream));
    bmp.Decode(out.data(), 8, 8, true);
    for (size_t i = 64; i < 80; ++i) EXPECT_EQ(out[i], 0xEE) << "past four blocks at " << i;
    EXPECT_NE(std::memcmp(out.data(), Bytes(64, 0xEE).data(), 64), 0);
}

TEST(BMPLoader, Dxt5DecompressesCloseToTheSource) {
    // Colour blocks are a line between two 5:6:5 colours, so only the smooth picture is held to
    // colour limits; the 7 x 5 picture blends four corners within a block and is checked for
    // its alpha ramp, which DXT5 codes on its own.
    struct Row {
        const char* name;
        int firstChannel;  // red, green, blue, alpha
        double meanError;
        int worstError;
    } rows[] = {{"dxt.bmp", 0, 4.0, 40}, {"d32.bmp", 3, 4.0, 12}};
    for (const Row& row : rows) {
        const char* name = row.name;
        const Bytes file = ReadFile(Fixture(name));
        CStdFileStream stream;
        stream.OpenMemory(file.data(), static_cast<uint32_t>(file.size()));
        CBMPLoader bmp;
        ASSERT_TRUE(bmp.Open(&stream));
        const uint32_t w = bmp.GetImageWidth(), h = bmp.GetImageHeight();
        std::vector<uint32_t> plain(size_t{w} * h);
        bmp.Decode(plain.data(), w, h, false);
        const uint32_t bw = (w + 3) / 4, bh = (h + 3) / 4;
        Bytes blocks(size_t{bw} * bh * 16);
        bmp.Decode(blocks.data(), w, h, true);
        double total = 0;
        int worst = 0;
        for (uint32_t by = 0; by < bh; ++by)
            for (uint32_t bx = 0; bx < bw; ++bx) {
                uint8_t rgba[64];
                squish::Decompress(rgba, &blocks[(by * bw + bx) * 16], squish::kDxt5);
                for (uint32_t p = 0; p < 16; ++p) {
                    const uint32_t x = bx * 4 + p % 4, y = by * 4 + p / 4;
                    if (x >= w || y >= h) continue;
                    const uint32_t src = plain[y * w + x];
                    const int want[4] = {int(src >> 16 & 255), int(src >> 8 & 255),
                                         int(src & 255), int(src >> 24)};
                    for (int c = row.firstChannel; c < 4; ++c) {
                        const int e = std::abs(rgba[p * 4 + c] - want[c]);
                        total += e;
                        worst = std::max(worst, e);
                    }
                }
            }
        EXPECT_LT(total / (w * h * (4 - row.firstChannel)), row.meanError) << name;
        EXPECT_LE(worst, row.worstError) << name;
    }
}

// A surface whose rows are longer than the packed rows gets the packed picture row by row and
// keeps the bytes between rows; a pitch that is too short, or a closed loader, writes nothing.
TEST(DecodeToSurface, RowsLandAtThePitch) {
    const Bytes file = MakeBmp({7, 6, 24, {}, 0, 40, Argb});
    struct Row {
        bool compressed;
        size_t extra;  // bytes of the pitch beyond a packed row; SIZE_MAX for one byte short
        bool decodes;
    } rows[] = {{false, 0, true}, {false, 12, true}, {false, SIZE_MAX, false},
                {true, 0, true},  {true, 16, true},  {true, SIZE_MAX, false}};
    for (const Row& row : rows) {
        const uint32_t w = 8, h = 8;
        const size_t packedRow = PackedRowBytes(w, row.compressed);
        const uint32_t count = PackedRows(h, row.compressed);
        Bytes packed(packedRow * count);
        CStdFileStream stream;
        stream.OpenMemory(file.data(), static_cast<uint32_t>(file.size()));
        CStdGraphicsLoader loader;
        ASSERT_TRUE(loader.Open(&stream, nullptr));
        loader.Decode(packed.data(), w, h, row.compressed);

        const size_t pitch = row.extra == SIZE_MAX ? packedRow - 1 : packedRow + row.extra;
        Bytes surface(pitch * count, 0xEE);
        EXPECT_EQ(DecodeToSurface(loader, surface.data(), pitch, w, h, row.compressed),
                  row.decodes);
        for (uint32_t r = 0; r < count; ++r)
            for (size_t i = 0; i < pitch; ++i) {
                const bool picture = row.decodes && i < packedRow;
                ASSERT_EQ(surface[r * pitch + i], picture ? packed[r * packedRow + i] : 0xEE)
                    << (row.compressed ? "dxt5" : "argb") << " pitch " << pitch << " row " << r
                    << " byte " << i;
            }
        loader.Close();
        EXPECT_FALSE(DecodeToSurface(loader, surface.data(), pitch, w, h, row.compressed));
    }
}

TEST(StdGraphicsLoader, OpensWithTheBMPDecoderAndRewindsOnClose) {
    const Bytes file = MakeBmp({3, 2, 24, {}, 0, 40, Argb});
    RefPtr<CStdFileStream> stream(new CStdFileStream);
    stream->OpenMemory(file.data(), static_cast<uint32_t>(file.size()));
    RefPtr<CStdGraphicsLoader> loader(new CStdGraphicsLoader);
    EXPECT_EQ(loader->GetImageWidth(), 0u);
    ASSERT_TRUE(loader->Open(stream.Get(), nullptr));
    EXPECT_EQ(stream->GetRefCount(), 3);  // ours, the loader's and its decoder's
    EXPECT_FALSE(loader->Open(stream.Get(), nullptr));
    EXPECT_EQ(loader->GetImageWidth(), 3u);
    EXPECT_EQ(loader->GetImageHeight(), 2u);
    std::vector<uint32_t> out(6);
    loader->Decode(out.data(), 3, 2, false);
    EXPECT_EQ(out[5], Argb(2, 1));
    loader->Close();
    EXPECT_EQ(stream->GetPosition(), 0u);
    EXPECT_EQ(stream->GetRefCount(), 2) << "the loader keeps the stream until the next Open";
    EXPECT_EQ(loader->GetImageWidth(), 0u);

    // A plug-in of the caller's: used as given, with a reference of the loader's own.
    RefPtr<CBMPLoader> own(new CBMPLoader);
    ASSERT_TRUE(loader->Open(stream.Get(), own.Get()));
    EXPECT_EQ(own->GetRefCount(), 2);
    EXPECT_EQ(own->GetImageWidth(), 3u);
    loader.Reset();
    EXPECT_EQ(own->GetRefCount(), 1);
    EXPECT_EQ(own->GetImageWidth(), 0u) << "destroying the loader closes its plug-in";
    EXPECT_EQ(stream->GetRefCount(), 1);
}

}  // namespace
