// The streaming DirectSound player driven through its buffer seam: the test moves the play
// cursor of an in-memory buffer and checks what the refill thread wrote and where the
// player says it is.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "FakeStreamBuffer.h"
#include "ScriptedReader.h"
#include "engine/core/ScopedHandle.h"
#include "engine/media/stream/DSoundStream.h"
#include "media/SoundTestSupport.h"

namespace {

using namespace KYR;
using kyrtest::Bytes;
using kyrtest::FakeStreamBuffer;

constexpr DWORD kBuffer = 80000;  // ten seconds of 8-bit mono at 8000 Hz
constexpr DWORD kHalf = kBuffer / 2;

Bytes Slice(const Bytes& b, size_t from, size_t n) {
    return Bytes(b.begin() + from, b.begin() + from + n);
}

class DSoundStreamSeam : public ::testing::Test {
protected:
    RefPtr<CDSoundStream> NewStream(ISoundReader* reader = nullptr) {
        return RefPtr<CDSoundStream>(new CDSoundStream(
            nullptr, reader,
            [this](IDirectSound8*, const DSBUFFERDESC& desc, IDirectSoundBuffer** out) {
                EXPECT_EQ(desc.dwBufferBytes, kBuffer);
                return fake_.Make(out);
            }));
    }
    // Moves the cursor and waits for the refill thread to write the region it uncovered.
    void MoveCursorAndWaitFor(DWORD cursor, DWORD expectedFill) {
        const size_t before = fake_.FillCount();
        fake_.SetCursor(cursor);
        ASSERT_TRUE(fake_.WaitForFill(before, expectedFill)) << "no refill at " << expectedFill;
    }

    FakeStreamBuffer fake_{kBuffer};  // outlives every stream of the test
};

TEST_F(DSoundStreamSeam, LoopingStreamRefillsFromTheLoopPositionAndFoldsItsPosition) {
    const Bytes sound = kyrtest::Ramp(80000);  // exactly 10 000 ms
    test::MemoryFile file(kyrtest::PcmWav(1, 8000, 8, sound));
    RefPtr<CDSoundStream> s = NewStream();
    ASSERT_TRUE(s->Open(file.Stream(), true, 2000)) << s->LastOpenError();
    EXPECT_EQ(s->GetLength(), 10000u);
    EXPECT_EQ(fake_.Bytes(0, kBuffer), sound);  // the whole sound is read at open

    s->Play();
    EXPECT_TRUE(fake_.Playing());
    EXPECT_TRUE(fake_.Looping());
    // 7.5 s: the first half is refilled with what follows the end, i.e. the loop from 2 s.
    MoveCursorAndWaitFor(60000, 0);
    EXPECT_EQ(fake_.Bytes(0, kHalf), Slice(sound, 16000, kHalf));
    EXPECT_EQ(s->GetPosition(), 7500u);
    // 12.5 s of play: the cursor wrapped to 2.5 s. The position says so at once, before the
    // refill thread has seen the wrap. The second half carries on where the first stopped
    // and wraps into the loop again.
    fake_.SetCursor(20000);
    EXPECT_EQ(s->GetPosition(), 4500u);
    MoveCursorAndWaitFor(20000, kHalf);
    EXPECT_EQ(fake_.Bytes(kHalf, 24000), Slice(sound, 56000, 24000));
    EXPECT_EQ(fake_.Bytes(kHalf + 24000, 16000), Slice(sound, 16000, 16000));
    EXPECT_EQ(s->GetPosition(), 4500u);
    EXPECT_EQ(s->GetStatus(), kStreamPlaying);
    s->Close();  // nothing of the closed stream answers any more
    EXPECT_FALSE(s->IsLooping());
    EXPECT_EQ(s->GetLoopPosition(), 0u);
}

TEST_F(DSoundStreamSeam, ShortStreamIsReadWholeThenSilenceAndEnds) {
    const Bytes sound = kyrtest::Ramp(8000);  // 1 s
    test::MemoryFile file(kyrtest::PcmWav(1, 8000, 8, sound));
    RefPtr<CDSoundStream> s = NewStream();
    ASSERT_TRUE(s->Open(file.Stream(), false, 0)) << s->LastOpenError();
    EXPECT_EQ(fake_.Bytes(0, 8000), sound);
    EXPECT_EQ(fake_.Bytes(8000, kBuffer - 8000), Bytes(kBuffer - 8000, 128));  // 8-bit silence

    s->Play();
    fake_.SetCursor(4000);
    EXPECT_EQ(s->GetPosition(), 500u);
    EXPECT_EQ(s->GetStatus(), kStreamPlaying);
    fake_.SetCursor(8000);
    EXPECT_EQ(s->GetPosition(), 1000u);
    EXPECT_EQ(s->GetStatus(), kStreamEnded);
    // The cursor runs on through the silence; the position stays at the end.
    MoveCursorAndWaitFor(kHalf + 800, 0);
    EXPECT_EQ(s->GetPosition(), 1000u);
    EXPECT_EQ(fake_.Bytes(0, kHalf), Bytes(kHalf, 128));
    // Round the buffer again: an ended sound stays ended, whether or not the refill thread
    // has seen the cursor wrap yet.
    fake_.SetCursor(400);
    EXPECT_EQ(s->GetPosition(), 1000u);
    EXPECT_EQ(s->GetStatus(), kStreamEnded);
}

TEST_F(DSoundStreamSeam, PauseKeepsThePlaceAndStopThenPlayStartsAtZero) {
    const Bytes sound = kyrtest::Ramp(80000);
    test::MemoryFile file(kyrtest::PcmWav(1, 8000, 8, sound));
    RefPtr<CDSoundStream> s = NewStream();
    ASSERT_TRUE(s->Open(file.Stream(), false, 0));
    s->Play();
    fake_.SetCursor(24000);
    s->Pause();
    EXPECT_FALSE(fake_.Playing());
    EXPECT_EQ(s->GetStatus(), kStreamPaused);
    s->Play();
    EXPECT_EQ(s->GetPosition(), 3000u);
    EXPECT_TRUE(fake_.Playing());

    // Past half, so the first half has been refilled; Stop must undo that too.
    MoveCursorAndWaitFor(kHalf + 8000, 0);
    s->Stop();
    s->Play();  // straight after: nothing left for a refill thread to undo
    EXPECT_TRUE(fake_.Playing());
    EXPECT_EQ(fake_.Cursor(), 0u);
    EXPECT_EQ(s->GetPosition(), 0u);
    EXPECT_EQ(fake_.Bytes(0, kBuffer), sound);
    // A whole pass later the player is still going and counts from the new start.
    MoveCursorAndWaitFor(kHalf, 0);
    EXPECT_TRUE(fake_.Playing());
    EXPECT_EQ(s->GetPosition(), 5000u);
}

// The refill thread reads the next half outside the lock the game's calls take: with the
// reader stuck in a read, the position, status and volume still answer at once, and the
// decoded half lands when the read is done.
TEST_F(DSoundStreamSeam, GameCallsDoNotWaitForTheRefillThreadsRead) {
    const Bytes sound = kyrtest::Ramp(160000);
    RefPtr<kyrtest::ScriptedReader> reader(new kyrtest::ScriptedReader(sound, 20000));
    RefPtr<CDSoundStream> s = NewStream(reader.Get());
    ASSERT_TRUE(s->Open(nullptr, false, 0)) << s->LastOpenError();
    s->Play();
    ScopedHandle gate(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    ScopedHandle reading(CreateEventA(nullptr, FALSE, FALSE, nullptr));
    reader->HoldReadsOn(gate.Get(), reading.Get());
    const size_t fills = fake_.FillCount();
    fake_.SetCursor(kHalf + 8000);
    ASSERT_EQ(WaitForSingleObject(reading.Get(), 5000), WAIT_OBJECT_0);
    const DWORD start = GetTickCount();
    EXPECT_EQ(s->GetPosition(), 6000u);
    EXPECT_EQ(s->GetStatus(), kStreamPlaying);
    s->SetVolume(50);
    EXPECT_LT(GetTickCount() - start, 250u);
    SetEvent(gate.Get());
    ASSERT_TRUE(fake_.WaitForFill(fills, 0));
    EXPECT_EQ(fake_.Bytes(0, kHalf), Slice(sound, kBuffer, kHalf));
    s->Close();
}

// A decoder that finds nothing at the loop position: the rest of the region must be silence,
// not what the buffer held a pass earlier.
TEST_F(DSoundStreamSeam, LoopThatDeliversNothingLeavesSilenceNotStaleSound) {
    const Bytes sound = kyrtest::Ramp(80000);
    RefPtr<kyrtest::ScriptedReader> reader(new kyrtest::ScriptedReader(sound, 10000, true));
    RefPtr<CDSoundStream> s = NewStream(reader.Get());
    ASSERT_TRUE(s->Open(nullptr, true, 2000)) << s->LastOpenError();
    s->Play();
    MoveCursorAndWaitFor(kHalf, 0);
    EXPECT_EQ(fake_.Bytes(0, kHalf), Bytes(kHalf, 128));
}

// After the data ran dry, moving back must refill real sound, not more silence.
TEST_F(DSoundStreamSeam, SetPositionAfterTheEndRefillsSound) {
    const Bytes sound = kyrtest::Ramp(8000);
    test::MemoryFile file(kyrtest::PcmWav(1, 8000, 8, sound));
    RefPtr<CDSoundStream> s = NewStream();
    ASSERT_TRUE(s->Open(file.Stream(), false, 0));
    s->Play();
    MoveCursorAndWaitFor(kHalf + 8, 0);  // the first half is refilled with silence
    s->SetPosition(500);
    EXPECT_EQ(fake_.Bytes(0, 4000), Slice(sound, 4000, 4000));
    EXPECT_EQ(s->GetPosition(), 500u);
    EXPECT_TRUE(fake_.Playing());
    // The refill thread counts from the new start: no whole-buffer lap is added.
    fake_.SetCursor(800);
    EXPECT_EQ(s->GetPosition(), 600u);
    EXPECT_EQ(s->GetStatus(), kStreamPlaying);
}

TEST_F(DSoundStreamSeam, FailedOpenReleasesEverything) {
    struct Row {
        const char* name;
        uint32_t lengthMs;
        bool opens;
        bool bufferFails;
        const char* error;
    } rows[] = {
        {"reader refuses the data", 1000, false, false, "Open Failed"},
        {"zero duration", 0, true, false, "Audio Length Invalid"},
        {"no buffer", 1000, true, true, "CreateSoundBuffer Failed"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        RefPtr<kyrtest::ScriptedReader> reader(
            new kyrtest::ScriptedReader(kyrtest::Ramp(8000), r.lengthMs, false, r.opens));
        RefPtr<CDSoundStream> s(new CDSoundStream(
            nullptr, reader.Get(),
            [&](IDirectSound8*, const DSBUFFERDESC&, IDirectSoundBuffer** out) {
                return r.bufferFails ? DSERR_OUTOFMEMORY : fake_.Make(out);
            }));
        EXPECT_FALSE(s->Open(nullptr, true, 500));
        EXPECT_STREQ(s->LastOpenError(), r.error);
        EXPECT_FALSE(reader->IsOpen());
        EXPECT_EQ(fake_.Refs(), 0);
        EXPECT_EQ(s->GetStatus(), kStreamClosed);
        EXPECT_EQ(s->GetLoopPosition(), 0u);
        EXPECT_FALSE(s->IsLooping());
    }
}

// Another thread keeps asking while Close runs: the calls see an open or a closed stream,
// Close returns, and the buffer is given back.
TEST_F(DSoundStreamSeam, CloseDuringPlaybackFromAnotherThread) {
    test::MemoryFile file(kyrtest::PcmWav(1, 8000, 8, kyrtest::Ramp(80000)));
    RefPtr<CDSoundStream> s = NewStream();
    ASSERT_TRUE(s->Open(file.Stream(), true, 0));
    s->Play();
    MoveCursorAndWaitFor(kHalf, 0);  // the refill thread is alive and working
    std::atomic<bool> sawClosed{false};
    std::thread asker([&] {
        for (int i = 0; i < 200000 && !sawClosed; ++i) {
            s->GetPosition();
            s->SetVolume(50);
            if (s->GetStatus() == kStreamClosed) sawClosed = true;
        }
    });
    fake_.SetCursor(100);  // a refill pass may be under way while Close runs
    s->Close();
    asker.join();
    EXPECT_TRUE(sawClosed);
    EXPECT_EQ(fake_.Refs(), 0);
    EXPECT_FALSE(fake_.Playing());
    EXPECT_TRUE(s->Open(file.Stream(), false, 0)) << "a closed stream opens again";
}

}  // namespace
