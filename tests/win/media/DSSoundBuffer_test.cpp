// Sound buffers in real DirectSound buffers (Wine's dsound mixing to the null ALSA device).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "SoundTestSupport.h"
#include "WaitUntil.h"
#include "engine/media/sound/SoundScales.h"

namespace {

using namespace KYR;
using test::CdWav;
using test::MemoryFile;

// A reader of our own whose data ends before the buffer does: it reports `lengthMs` of sound
// but delivers only `deliver` bytes of `value`, a few at a time.
class ShortReader : public RefCounted<ISoundReader> {
public:
    ShortReader(const SoundFormat& format, uint32_t lengthMs, uint32_t deliver, uint8_t value)
        : format_(format), lengthMs_(lengthMs), deliver_(deliver), value_(value) {}
    bool Open(IDataStream* stream) override { return open_ = stream != nullptr; }
    bool ReadData(uint32_t bytes, void* buffer, uint32_t* delivered) override {
        const uint32_t n = std::min({bytes, deliver_ - given_, 97u});
        std::memset(buffer, value_, n);
        given_ += n;
        if (delivered) *delivered = n;
        return open_ && n > 0;
    }
    void Rewind() override { given_ = 0; }
    void GetFormat(SoundFormat* format) override { *format = format_; }
    uint32_t GetLength() override { return open_ ? lengthMs_ : 0; }
    uint32_t GetPositionMs() override { return 0; }
    void SetPositionMs(uint32_t) override {}
    void Close() override {
        open_ = false;
        ++closes;
    }
    int closes = 0;

private:
    SoundFormat format_;
    uint32_t lengthMs_, deliver_, given_ = 0;
    uint8_t value_;
    bool open_ = false;
};

// The whole DirectSound buffer as bytes.
std::vector<uint8_t> BufferBytes(IDirectSoundBuffer8* buffer) {
    void* p1 = nullptr;
    void* p2 = nullptr;
    DWORD n1 = 0, n2 = 0;
    if (FAILED(buffer->Lock(0, 0, &p1, &n1, &p2, &n2, DSBLOCK_ENTIREBUFFER))) return {};
    std::vector<uint8_t> bytes(static_cast<uint8_t*>(p1), static_cast<uint8_t*>(p1) + n1);
    buffer->Unlock(p1, n1, p2, n2);
    return bytes;
}

DWORD PlayPosition(CDSSoundBuffer* sound) {
    DWORD play = 0, write = 0;
    sound->BufferTemp()->GetCurrentPosition(&play, &write);
    return play;
}

// Wine under emulation mixes late and slowly.
template <class F>
bool WaitFor(F done) {
    return kyrtest::WaitUntil(done, 20000, 10);
}

using SoundBuffer = test::SoundTest;

TEST_F(SoundBuffer, WaveFilesFillTheirBuffers) {
    struct Row {
        uint16_t channels, bits;
        uint32_t rate, dataBytes, lengthMs, bufferBytes;
    } rows[] = {
        {2, 16, 44100, 176400, 1000, 176400},  // one second of CD audio
        {1, 8, 8000, 8000, 1000, 8000},
        {1, 8, 11025, 5513, 500, 5512},  // the buffer covers whole milliseconds
    };
    for (const Row& row : rows) {
        const kyrtest::Bytes data = kyrtest::Ramp(row.dataBytes);
        MemoryFile wav(kyrtest::PcmWav(row.channels, row.rate, row.bits, data));
        RefPtr<CDSSoundBuffer> sound = NewBuffer();
        ASSERT_TRUE(sound->Load(wav.Stream(), nullptr)) << row.dataBytes;
        EXPECT_EQ(sound->GetLength(), row.lengthMs);
        const std::vector<uint8_t> bytes = BufferBytes(sound->BufferTemp());
        EXPECT_EQ(sound->GetBufferSize(), row.bufferBytes);
        ASSERT_EQ(bytes.size(), row.bufferBytes);
        EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), data.begin())) << row.dataBytes;
        EXPECT_EQ(sound->GetStatus(), kSoundStopped);
        EXPECT_EQ(wav.Stream()->GetRefCount(), 1) << "the buffer keeps no reference to it";
    }
}

TEST_F(SoundBuffer, DataShorterThanTheBufferIsPaddedWithSilence) {
    struct Row {
        SoundFormat format;
        uint32_t lengthMs, deliver, bufferBytes;
        uint8_t silence;
    } rows[] = {
        // Format fields: tag, channels, rate, bytes per second, block, bits.
        {{1, 1, 8000, 8000, 1, 8, 0, 0}, 100, 300, 800, 128},  // unsigned 8-bit: silence is 128
        {{1, 2, 8000, 16000, 2, 8, 0, 0}, 100, 301, 1600, 128},
        {{1, 1, 8000, 16000, 2, 16, 0, 0}, 100, 301, 1600, 0},  // signed 16-bit: silence is 0
    };
    MemoryFile any(CdWav(10));
    for (const Row& row : rows) {
        RefPtr<ShortReader> reader(new ShortReader(row.format, row.lengthMs, row.deliver, 0x10));
        RefPtr<CDSSoundBuffer> sound = NewBuffer();
        reader->AddRef();  // the reference Load takes over
        ASSERT_TRUE(sound->Load(any.Stream(), reader.Get())) << row.bufferBytes;
        EXPECT_EQ(reader->GetRefCount(), 1) << "Load gives up the reference handed to it";
        EXPECT_EQ(reader->closes, 1);
        const std::vector<uint8_t> bytes = BufferBytes(sound->BufferTemp());
        ASSERT_EQ(bytes.size(), row.bufferBytes);
        for (uint32_t i = 0; i < bytes.size(); ++i) {
            ASSERT_EQ(bytes[i], i < row.deliver ? 0x10 : row.silence)
                << "byte " << i << " of " << row.bufferBytes;
        }
    }
}

TEST_F(SoundBuffer, OneShotStatusSequence) {
    RefPtr<CDSSoundBuffer> sound = NewBuffer();
    MemoryFile wav(CdWav(120));
    ASSERT_TRUE(sound->Load(wav.Stream(), nullptr));
    EXPECT_EQ(sound->GetStatus(), kSoundStopped);
    sound->Play();
    EXPECT_EQ(sound->GetStatus(), kSoundPlaying);
    ASSERT_TRUE(WaitFor([&] { return sound->GetStatus() != kSoundPlaying; }))
        << "a 120 ms sound never ended";
    EXPECT_EQ(sound->GetStatus(), kSoundEnded);
    sound->Play();
    EXPECT_EQ(sound->GetStatus(), kSoundEnded) << "Play does nothing until Pause or Stop";
    sound->Stop();
    EXPECT_EQ(sound->GetStatus(), kSoundStopped);
    sound->Play();
    EXPECT_EQ(sound->GetStatus(), kSoundPlaying) << "played again from the start";
    sound->Unload();
    EXPECT_EQ(sound->GetStatus(), kSoundNotLoaded);
    EXPECT_EQ(sound->GetLength(), 0u);
}

TEST_F(SoundBuffer, PauseKeepsThePositionAndStopOnAPausedSoundToo) {
    RefPtr<CDSSoundBuffer> sound = NewBuffer();
    MemoryFile wav(CdWav(3000));
    ASSERT_TRUE(sound->Load(wav.Stream(), nullptr));
    sound->Play();
    ASSERT_TRUE(WaitFor([&] { return PlayPosition(sound.Get()) > 0; })) << "the sound never moved";
    sound->Pause();
    EXPECT_EQ(sound->GetStatus(), kSoundStopped);
    const DWORD paused = PlayPosition(sound.Get());
    EXPECT_GT(paused, 0u);
    Sleep(50);
    EXPECT_EQ(PlayPosition(sound.Get()), paused) << "a paused sound stands still";
    sound->Stop();
    EXPECT_EQ(PlayPosition(sound.Get()), paused) << "Stop on a paused sound keeps its position";
    sound->Play();
    EXPECT_EQ(sound->GetStatus(), kSoundPlaying);
    sound->Stop();
    EXPECT_EQ(sound->GetStatus(), kSoundStopped);
    EXPECT_EQ(PlayPosition(sound.Get()), 0u) << "Stop on a playing sound rewinds it";
}

TEST_F(SoundBuffer, VolumePanAndFrequencyOnTheRealBuffer) {
    RefPtr<CDSSoundBuffer> sound = NewBuffer();
    MemoryFile wav(CdWav(100));
    ASSERT_TRUE(sound->Load(wav.Stream(), nullptr));
    IDirectSoundBuffer8* raw = sound->BufferTemp();
    struct Level {
        int32_t set, millibels, read;
    } volumes[] = {
        {0, -10000, 0}, {50, -2499, 50}, {99, -1, 99}, {100, 0, 100},
        {-5, -10000, 0}, {150, 0, 100},
    }, pans[] = {
        {-100, -10000, -100}, {-30, -899, -29}, {0, 0, 0}, {30, 899, 29}, {100, 10000, 100},
        {-101, -10000, -100},
    };
    for (const Level& v : volumes) {
        sound->SetVolume(v.set);
        LONG mb = 1;
        ASSERT_TRUE(SUCCEEDED(raw->GetVolume(&mb)));
        EXPECT_EQ(mb, v.millibels) << "volume " << v.set;
        EXPECT_EQ(sound->GetVolume(), v.read) << "volume " << v.set;
    }
    for (const Level& p : pans) {
        sound->SetPan(p.set);
        LONG mb = 1;
        ASSERT_TRUE(SUCCEEDED(raw->GetPan(&mb)));
        EXPECT_EQ(mb, p.millibels) << "pan " << p.set;
        EXPECT_EQ(sound->GetPan(), p.read) << "pan " << p.set;
    }
    struct Rate {
        int32_t set;
        DWORD hz;
        int32_t read;
    } rates[] = {{50, 22050, 50}, {200, 88200, 200}, {-5, 88200, 200},  // negative: unchanged
                 {0, 44100, 100}, {100, 44100, 100}};
    for (const Rate& r : rates) {
        sound->SetFrequency(r.set);
        DWORD hz = 0;
        ASSERT_TRUE(SUCCEEDED(raw->GetFrequency(&hz)));
        EXPECT_EQ(hz, r.hz) << "percent " << r.set;
        EXPECT_EQ(sound->GetFrequency(), r.read) << "percent " << r.set;
    }
}

TEST_F(SoundBuffer, LoadReplacesOnlyOnSuccess) {
    RefPtr<CDSSoundBuffer> sound = NewBuffer();
    MemoryFile first(CdWav(100)), second(CdWav(200));
    ASSERT_TRUE(sound->Load(first.Stream(), nullptr));
    IDirectSoundBuffer8* old = sound->BufferTemp();
    old->AddRef();
    ASSERT_TRUE(sound->Load(second.Stream(), nullptr));
    EXPECT_EQ(sound->GetLength(), 200u);
    EXPECT_EQ(old->Release(), 0u) << "the replaced buffer was let go";

    sound->Play();
    kyrtest::Bytes broken = CdWav(100);
    broken[20] = 3;  // format tag 3: IEEE float
    MemoryFile bad(broken);
    EXPECT_FALSE(sound->Load(bad.Stream(), nullptr));
    EXPECT_FALSE(sound->Load(nullptr, nullptr));
    RefPtr<ShortReader> tooShort(new ShortReader({1, 2, 44100, 176400, 4, 16, 0, 0}, 0, 0, 0));
    tooShort->AddRef();
    EXPECT_FALSE(sound->Load(first.Stream(), tooShort.Get())) << "a sound of 0 ms";
    EXPECT_EQ(tooShort->GetRefCount(), 1);
    EXPECT_EQ(tooShort->closes, 1) << "a failed Load closes the reader too";
    EXPECT_EQ(sound->GetLength(), 200u) << "a failed Load keeps the loaded sound";
    EXPECT_EQ(sound->GetStatus(), kSoundPlaying);
}

TEST_F(SoundBuffer, BuffersOutliveShutdown) {
    RefPtr<CDSSoundBuffer> sound = NewBuffer();
    MemoryFile wav(CdWav(2000));
    ASSERT_TRUE(sound->Load(wav.Stream(), nullptr));
    sound->Play();
    ds_->Shutdown();
    EXPECT_EQ(sound->GetStatus(), kSoundPlaying);
    sound->SetVolume(40);
    EXPECT_EQ(sound->GetVolume(), 40);
    EXPECT_FALSE(sound->Load(wav.Stream(), nullptr)) << "no DirectSound object to load into";
    RefPtr<ShortReader> unused(new ShortReader({1, 1, 8000, 8000, 1, 8, 0, 0}, 10, 80, 0));
    unused->AddRef();
    EXPECT_FALSE(sound->Load(wav.Stream(), unused.Get()));
    EXPECT_EQ(unused->GetRefCount(), 1) << "given up even when Load fails at once";
    sound->Stop();
    sound.Reset();  // releases the buffer and then the DirectSound object it kept
}

}  // namespace
