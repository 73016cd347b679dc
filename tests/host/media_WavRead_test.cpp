#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "engine/media/sound/WavRead.h"
#include "engine/media/std/StdFileStream.h"
#include "support/WavBuilder.h"

namespace {

using namespace KYR;
using kyrtest::Bytes;
using kyrtest::Chunk;
using kyrtest::FormatBody;
using kyrtest::Ramp;
using kyrtest::Riff;

// A reader opened on a memory stream over its own copy of `bytes`.
struct Opened {
    explicit Opened(Bytes bytes) : file(std::move(bytes)) {
        stream.OpenMemory(file.data(), static_cast<uint32_t>(file.size()));
        ok = reader->Open(&stream);
    }
    // Everything ReadData delivers from here on, in pieces of `piece` bytes.
    Bytes ReadAll(uint32_t piece = 1000) {
        Bytes all, part(piece);
        uint32_t got = 0;
        while (reader->ReadData(piece, part.data(), &got)) {
            EXPECT_GT(got, 0u);
            all.insert(all.end(), part.begin(), part.begin() + got);
        }
        EXPECT_EQ(got, 0u) << "the end delivers nothing";
        return all;
    }
    Bytes file;
    CStdFileStream stream;
    RefPtr<CWavRead> reader{new CWavRead};
    bool ok = false;
};

TEST(WavRead, OneSecondOfCdAudio) {
    const Bytes data = Ramp(176400);
    Opened w(kyrtest::PcmWav(2, 44100, 16, data));
    ASSERT_TRUE(w.ok);
    EXPECT_EQ(w.reader->GetLength(), 1000u);
    SoundFormat f;
    std::memset(&f, 0xCD, sizeof(f));
    w.reader->GetFormat(&f);
    // All 20 bytes, the two after the WAVEFORMATEX included.
    const SoundFormat expected = {1, 2, 44100, 176400, 4, 16, 18, 0};
    EXPECT_EQ(std::memcmp(&f, &expected, sizeof(f)), 0);
    EXPECT_EQ(w.ReadAll(65536), data);
}

// Files that open, and the sound data the reader finds in each.
TEST(WavRead, FindsTheRealDataChunk) {
    const Bytes sound = Ramp(400, 40);
    const Bytes decoy = {'d', 'a', 't', 'a', 0x10, 0, 0, 0, 'n', 'o', 'i', 's', 'e'};
    struct Row {
        const char* what;
        Bytes file;
    } rows[] = {
        {"fmt of 18 bytes", Riff({{"fmt ", FormatBody(1, 8000, 16, 1, 18)}, {"data", sound}})},
        {"fmt of 40 bytes", Riff({{"fmt ", FormatBody(2, 22050, 8, 1, 40)}, {"data", sound}})},
        {"\"data\" in LIST/INFO text first",
         Riff({{"fmt ", FormatBody(1, 8000, 8)}, {"LIST", decoy}, {"data", sound}})},
        {"\"data\" in a chunk ahead of fmt",
         Riff({{"INFO", decoy}, {"fmt ", FormatBody(1, 8000, 8)}, {"data", sound}})},
        {"odd chunk with its pad byte before data",
         Riff({{"fmt ", FormatBody(1, 8000, 8)}, {"junk", Bytes(5, 'x')}, {"data", sound}})},
        // The walk cannot follow a missing pad byte; the byte scan still finds the chunk.
        {"odd chunk without its pad byte",
         Riff({{"fmt ", FormatBody(1, 8000, 8)}, {"junk", Bytes(5, 'x'), -1, false},
               {"data", sound}})},
        {"fmt chunk whose size overshoots (scan finds data)",
         Riff({{"fmt ", FormatBody(1, 8000, 8), 0x7000}, {"data", sound}})},
        {"chunks after data", Riff({{"fmt ", FormatBody(1, 8000, 8)}, {"data", sound},
                                   {"LIST", Bytes(30, 'z')}})},
    };
    for (Row& row : rows) {
        Opened w(row.file);
        ASSERT_TRUE(w.ok) << row.what;
        EXPECT_EQ(w.ReadAll(64), sound) << row.what;
    }
}

TEST(WavRead, DataSizeIsCutToTheFile) {
    const Bytes sound = Ramp(8000);
    struct Row {
        const char* what;
        int64_t stated;
        uint32_t heldBytes, lengthMs;
    } rows[] = {
        {"claims 10 times the file", 80000, 8000, 500},
        {"claims 4 GiB", 0xFFFFFFFF, 8000, 500},  // a streaming writer's placeholder
        {"claims less than the file", 4000, 4000, 250},
    };
    for (const Row& row : rows) {
        Opened w(Riff({{"fmt ", FormatBody(1, 16000, 8)}, {"data", sound, row.stated}}));
        ASSERT_TRUE(w.ok) << row.what;
        EXPECT_EQ(w.reader->GetLength(), row.lengthMs) << row.what;
        const Bytes all = w.ReadAll(3000);
        EXPECT_EQ(all, Bytes(sound.begin(), sound.begin() + row.heldBytes)) << row.what;
    }
}

TEST(WavRead, RefusesWhatItCannotPlay) {
    const Bytes sound = Ramp(100);
    Bytes good = kyrtest::PcmWav(1, 8000, 8, sound);
    Bytes notRiff = good;
    notRiff[0] = 'X';
    Bytes notWave = good;
    notWave[8] = 'A';
    auto With = [&](const Bytes& format) { return Riff({{"fmt ", format}, {"data", sound}}); };
    struct Row {
        const char* what;
        Bytes file;
    } rows[] = {
        {"header cut short", Bytes(good.begin(), good.begin() + 10)},
        {"not RIFF", notRiff},
        {"not WAVE", notWave},
        {"fmt of 14 bytes", With(FormatBody(1, 8000, 8, 1, 14))},
        {"fmt cut off by the end of the file", Bytes(good.begin(), good.begin() + 28)},
        {"no fmt", Riff({{"data", sound}})},
        {"no data", Riff({{"fmt ", FormatBody(1, 8000, 8)}})},
        {"empty data", Riff({{"fmt ", FormatBody(1, 8000, 8)}, {"data", {}}})},
        {"data header but no bytes", Riff({{"fmt ", FormatBody(1, 8000, 8)}, {"data", {}, 100}})},
        {"IEEE float", With(FormatBody(1, 8000, 32, 3))},
        {"extensible", With(FormatBody(2, 8000, 16, 0xFFFE, 40))},
        {"ADPCM", With(FormatBody(1, 8000, 4, 2, 20))},
        {"zero channels", With(FormatBody(0, 8000, 8))},
        {"zero rate", With(FormatBody(1, 0, 8))},
        {"zero bits", With(FormatBody(1, 8000, 0))},
        {"4-bit mono: no whole byte per frame", With(FormatBody(1, 8000, 4))},
        {"block size past 16 bits", With(FormatBody(0x8000, 8000, 16))},
        {"byte rate past 32 bits", With(FormatBody(8, 0x10000000, 32))},
    };
    for (const Row& row : rows) {
        Opened w(row.file);
        EXPECT_FALSE(w.ok) << row.what;
        EXPECT_EQ(w.reader->GetLength(), 0u) << row.what;
        uint32_t got = 99;
        uint8_t byte;
        EXPECT_FALSE(w.reader->ReadData(1, &byte, &got)) << row.what;
        EXPECT_EQ(got, 0u);
    }
    CWavRead reader;
    EXPECT_FALSE(reader.Open(nullptr));
}

TEST(WavRead, LengthsInMillisecondsBeyond4MB) {
    struct Row {
        uint32_t dataBytes;
        uint16_t channels;
        uint32_t rate;
        uint16_t bits;
        uint32_t lengthMs;
    } rows[] = {
        {88200, 2, 44100, 16, 500},           // not truncated to whole seconds
        {5000000, 2, 44100, 16, 28344},       // 5e9 would wrap 32 bits
        {4410, 1, 44100, 8, 100},
        {6, 2, 22050, 8, 0},                  // under a millisecond
        {48000 * 6 * 3, 6, 48000, 24, 1000},  // 5.1 at 24 bits
    };
    for (const Row& row : rows) {
        Opened w(kyrtest::PcmWav(row.channels, row.rate, row.bits, Bytes(row.dataBytes, 7)));
        ASSERT_TRUE(w.ok) << row.dataBytes;
        EXPECT_EQ(w.reader->GetLength(), row.lengthMs) << row.dataBytes;
    }
}

TEST(WavRead, PositionsAndTheEndOfTheData) {
    const Bytes sound = Ramp(176400);  // one second, 16-bit stereo 44.1 kHz
    Opened w(kyrtest::PcmWav(2, 44100, 16, sound));
    ASSERT_TRUE(w.ok);
    struct Row {
        uint32_t setMs;
        uint32_t byte;      // where reading continues
        uint32_t readMs;    // GetPositionMs afterwards
    } rows[] = {
        {0, 0, 0},
        {250, 44100, 250},
        {1, 176, 0},          // 44.1 frames: whole frames only, 0.99 ms truncated
        {999, 176220, 998},   // 44055 whole frames are 998.97 ms
        {1000, 176400, 1000},  // the end
        {1001, 176400, 1000},  // past the end is the end
        {0xFFFFFFFF, 176400, 1000},
    };
    for (const Row& row : rows) {
        w.reader->SetPositionMs(row.setMs);
        EXPECT_EQ(w.reader->GetPositionMs(), row.readMs) << row.setMs;
        uint8_t two[2] = {};
        uint32_t got = 99;
        const bool more = w.reader->ReadData(2, two, &got);
        EXPECT_EQ(more, row.byte < sound.size()) << row.setMs;
        if (more) {
            EXPECT_EQ(got, 2u);
            EXPECT_EQ(two[0], sound[row.byte]) << row.setMs;
            EXPECT_EQ(two[1], sound[row.byte + 1]) << row.setMs;
        } else {
            EXPECT_EQ(got, 0u) << "nothing after the data chunk is sound";
        }
    }
    // Whoever moves the shared stream in between does not change what the reader reads.
    w.reader->SetPositionMs(500);
    w.stream.Seek(0, kSeekBegin);
    uint8_t b = 0;
    ASSERT_TRUE(w.reader->ReadData(1, &b, nullptr));
    EXPECT_EQ(b, sound[88200]);
    w.reader->Rewind();
    EXPECT_EQ(w.reader->GetPositionMs(), 0u);
    EXPECT_EQ(w.ReadAll(50000), sound);
}

TEST(WavRead, OpenCloseAndReopen) {
    const Bytes a = Ramp(800), b = Ramp(1600, 9);
    const Bytes fileA = kyrtest::PcmWav(1, 8000, 8, a), fileB = kyrtest::PcmWav(1, 8000, 8, b);
    CStdFileStream sa, sb;
    sa.OpenMemory(fileA.data(), static_cast<uint32_t>(fileA.size()));
    sb.OpenMemory(fileB.data(), static_cast<uint32_t>(fileB.size()));
    RefPtr<CWavRead> reader(new CWavRead);
    EXPECT_EQ(reader->GetLength(), 0u) << "never opened";
    ASSERT_TRUE(reader->Open(&sa));
    EXPECT_EQ(sa.GetRefCount(), 2) << "the reader holds the stream";
    EXPECT_FALSE(reader->Open(&sb)) << "already open";
    EXPECT_EQ(reader->GetLength(), 100u);
    uint8_t buf[10];
    ASSERT_TRUE(reader->ReadData(10, buf, nullptr));
    reader->Close();
    EXPECT_EQ(reader->GetLength(), 0u);
    EXPECT_EQ(reader->GetPositionMs(), 0u);
    EXPECT_EQ(sa.GetPosition(), 0u) << "Close rewinds the stream";
    EXPECT_FALSE(reader->ReadData(10, buf, nullptr));
    ASSERT_TRUE(reader->Open(&sb));
    EXPECT_EQ(sa.GetRefCount(), 1) << "reopening let the first stream go";
    EXPECT_EQ(reader->GetLength(), 200u);
    reader.Reset();
    EXPECT_EQ(sb.GetRefCount(), 1) << "destruction let the stream go";
}

}  // namespace
