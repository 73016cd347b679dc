// The DirectShow player on Wine's real filter graph: our stream source, Wine's WAVE parser
// and DirectSound renderer (on the null ALSA device), and the facade choosing its player.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "ScriptedReader.h"
#include "WaitUntil.h"
#include "engine/core/ComApartment.h"
#include "engine/media/stream/DSMediaStream.h"
#include "engine/media/stream/DShowStream.h"
#include "engine/media/stream/DSoundStream.h"
#include "media/SoundTestSupport.h"

namespace {

using namespace KYR;
using kyrtest::Bytes;

// 16-bit mono at 8000 Hz: 16 bytes a millisecond.
Bytes Wave(uint32_t ms) { return kyrtest::PcmWav(1, 8000, 16, kyrtest::Ramp(ms * 16)); }

using kyrtest::WaitUntil;

class DShowStreamGraph : public ::testing::Test {
protected:
    ComApartment apartment_;
};

TEST_F(DShowStreamGraph, WaveReportsItsDurationPlaysToTheEndAndStopsBackToTheStart) {
    test::MemoryFile file(Wave(1500));
    RefPtr<CDShowStream> s(new CDShowStream("wave"));
    ASSERT_TRUE(s->Open(file.Stream(), false, 0)) << s->LastOpenError();
    EXPECT_EQ(s->GetLength(), 1500u);
    EXPECT_EQ(s->GetStatus(), kStreamStopped);
    EXPECT_EQ(s->GetVolume(), 100);
    EXPECT_EQ(s->GetPan(), 0);
    EXPECT_EQ(s->GetSpeed(), 100);

    s->Play();
    EXPECT_EQ(s->GetStatus(), kStreamPlaying);
    ASSERT_TRUE(WaitUntil([&] { return s->GetStatus() == kStreamEnded; }));
    EXPECT_EQ(s->CompletionCount(), 1);
    s->Play();  // an ended stream waits for Stop
    EXPECT_EQ(s->GetStatus(), kStreamEnded);
    s->Stop();
    EXPECT_EQ(s->GetStatus(), kStreamStopped);
    EXPECT_EQ(s->GetPosition(), 0u);
    s->Play();
    EXPECT_EQ(s->GetStatus(), kStreamPlaying);
    s->Close();
    EXPECT_EQ(s->GetStatus(), kStreamClosed);
    EXPECT_EQ(s->GetLength(), 0u);
}

TEST_F(DShowStreamGraph, LoopingWaveStartsAgainFromTheLoopPosition) {
    test::MemoryFile file(Wave(1000));
    RefPtr<CDShowStream> s(new CDShowStream("WAV"));
    ASSERT_TRUE(s->Open(file.Stream(), true, 400)) << s->LastOpenError();
    EXPECT_TRUE(s->IsLooping());
    EXPECT_EQ(s->GetLoopPosition(), 400u);
    s->Play();
    ASSERT_TRUE(WaitUntil([&] { return s->CompletionCount() >= 2; }))
        << "completions: " << s->CompletionCount();
    EXPECT_EQ(s->GetStatus(), kStreamPlaying);
    EXPECT_LE(s->GetPosition(), 1000u);
    // A loop position past the end cannot loop: the next completion ends the stream.
    s->SetLoopPosition(5000);
    EXPECT_EQ(s->GetLoopPosition(), 1000u);
    ASSERT_TRUE(WaitUntil([&] { return s->GetStatus() == kStreamEnded; }));
}

TEST_F(DShowStreamGraph, PauseKeepsThePositionAndVolumeAndPanReadBack) {
    test::MemoryFile file(Wave(3000));
    RefPtr<CDShowStream> s(new CDShowStream("wave"));
    ASSERT_TRUE(s->Open(file.Stream(), false, 0)) << s->LastOpenError();
    s->SetPosition(1200);
    EXPECT_EQ(s->GetPosition(), 1200u);
    s->Play();
    s->Pause();
    EXPECT_EQ(s->GetStatus(), kStreamPaused);
    EXPECT_GE(s->GetPosition(), 1200u);
    struct Row {
        int32_t set, expect;
    } volumes[] = {{100, 100}, {50, 50}, {0, 0}}, pans[] = {{-100, -100}, {30, 29}, {0, 0}};
    for (const Row& r : volumes) {
        s->SetVolume(r.set);
        EXPECT_EQ(s->GetVolume(), r.expect) << "volume " << r.set;
    }
    for (const Row& r : pans) {
        s->SetPan(r.set);
        EXPECT_EQ(s->GetPan(), r.expect) << "pan " << r.set;
    }
}

TEST_F(DShowStreamGraph, FailedOpenSaysWhichStepFailed) {
    struct Row {
        const char* type;
        Bytes data;
        const char* error;
    } rows[] = {
        {"ogg", Wave(500), "Not Support File Type"},
        {"wave", kyrtest::Ramp(4000), "Splitter Connect Failed"},  // not a RIFF file
        {"wave", Wave(0), "Audio Length Invalid"},  // a data chunk with no sound
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.type);
        test::MemoryFile file(r.data);
        RefPtr<CDShowStream> s(new CDShowStream(r.type));
        EXPECT_FALSE(s->Open(file.Stream(), true, 0));
        EXPECT_STREQ(s->LastOpenError(), r.error);
        EXPECT_EQ(s->GetStatus(), kStreamClosed);
        // The graph, the module and our reference on the stream are all gone.
        EXPECT_EQ(file.Stream()->GetRefCount(), 1);
    }
}

// The player holds the only reference on the stream, so Close must have stopped every reader
// of it (the graph's threads, the source's worker) before it lets the stream go.
TEST_F(DShowStreamGraph, CloseDuringPlaybackFromAnotherThread) {
    const Bytes bytes = Wave(1000);
    RefPtr<CDShowStream> s(new CDShowStream("wave"));
    {
        RefPtr<CStdFileStream> only(new CStdFileStream);
        ASSERT_TRUE(only->OpenMemory(bytes.data(), static_cast<uint32_t>(bytes.size())));
        ASSERT_TRUE(s->Open(only.Get(), true, 0)) << s->LastOpenError();
    }
    s->Play();
    // The asker keeps going until Close has returned, however long the playback takes; once
    // it has, the status it reads next must say closed.
    std::atomic<bool> closeReturned{false};
    std::atomic<bool> sawClosed{false};
    std::thread asker([&] {
        while (!sawClosed) {
            const bool after = closeReturned;
            s->GetPosition();
            if (s->GetStatus() == kStreamClosed) sawClosed = true;
            else if (after) break;
        }
    });
    const bool completed = WaitUntil([&] { return s->CompletionCount() >= 1; });
    s->Close();
    closeReturned = true;
    asker.join();
    EXPECT_TRUE(completed);
    EXPECT_TRUE(sawClosed);
}

// The facade over a real CKYRDS.
class MediaStreamFacade : public test::SoundTest {
protected:
    RefPtr<CDSMediaStream> NewMediaStream() {
        auto* made = static_cast<IDSMediaStream*>(ds_->CreateObject(kIdDSMediaStream));
        return RefPtr<CDSMediaStream>(static_cast<CDSMediaStream*>(made));
    }
    ComApartment apartment_;
};

TEST_F(MediaStreamFacade, ChoosesThePlayerByLowerCasedTypeName) {
    test::MemoryFile file(Wave(500));
    RefPtr<kyrtest::ScriptedReader> reader;
    struct Row {
        const char* type;
        bool withReader;
        bool directShow;
    } rows[] = {
        {"MID", false, true}, {"Mp3", false, true}, {"WAVE", false, false},
        {"ogg", false, false}, {"mid", true, false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.type);
        RefPtr<CDSMediaStream> m = NewMediaStream();
        RefPtr<kyrtest::ScriptedReader> own(new kyrtest::ScriptedReader(kyrtest::Ramp(800), 100));
        m->Open(file.Stream(), r.type, false, 0, r.withReader ? own.Get() : nullptr);
        EXPECT_EQ(dynamic_cast<CDShowStream*>(m->PlayerTemp()) != nullptr, r.directShow);
        EXPECT_EQ(dynamic_cast<CDSoundStream*>(m->PlayerTemp()) != nullptr, !r.directShow);
        m->Close();
    }
}

TEST_F(MediaStreamFacade, StreamsWaveThroughDirectSound) {
    test::MemoryFile file(test::CdWav(2000));
    RefPtr<CDSMediaStream> m = NewMediaStream();
    EXPECT_EQ(m->GetStatus(), kStreamClosed);  // the unopened player answers
    ASSERT_TRUE(m->Open(file.Stream(), "wave", true, 500, nullptr));
    EXPECT_FALSE(m->Open(file.Stream(), "wave", true, 500, nullptr)) << "already open";
    EXPECT_EQ(m->GetLength(), 2000u);
    EXPECT_EQ(m->GetLoopPosition(), 500u);
    m->Play();
    EXPECT_EQ(m->GetStatus(), kStreamPlaying);
    ASSERT_TRUE(WaitUntil([&] { return m->GetPosition() > 0; }, 60000));
    m->Close();
    EXPECT_EQ(m->GetStatus(), kStreamClosed);
    EXPECT_TRUE(m->Open(file.Stream(), "wave", false, 0, nullptr)) << "opens again after Close";
}

// A game may shut the sound interface down with its music still open. DirectSound destroys
// the buffers of an object whose last reference goes, so the stream keeps the object: its
// refill thread passes on, the music plays on, and Close still has a buffer to stop.
TEST_F(MediaStreamFacade, MusicPlaysOnAfterShutdown) {
    test::MemoryFile file(test::CdWav(2000));
    RefPtr<CDSMediaStream> m = NewMediaStream();
    ASSERT_TRUE(m->Open(file.Stream(), "wave", true, 0, nullptr));
    m->Play();
    ds_->Shutdown();
    Sleep(3 * CDSoundStream::kRefillPeriodMs);
    EXPECT_EQ(m->GetStatus(), kStreamPlaying);
    m->SetVolume(40);
    EXPECT_EQ(m->GetVolume(), 40);
    const uint32_t at = m->GetPosition();
    EXPECT_TRUE(WaitUntil([&] { return m->GetPosition() != at; }, 60000)) << "stalled at " << at;
    m->Close();
    EXPECT_EQ(m->GetStatus(), kStreamClosed);
}

TEST(MediaStreamFacadeAlone, NeedsTheDirectSoundObject) {
    RefPtr<CKYRDS> ds(new CKYRDS);  // never initialised
    RefPtr<IDSMediaStream> m(static_cast<IDSMediaStream*>(ds->CreateObject(kIdDSMediaStream)));
    ASSERT_TRUE(m);
    test::MemoryFile file(Wave(500));
    EXPECT_FALSE(m->Open(file.Stream(), "wave", false, 0, nullptr));
    EXPECT_EQ(m->GetStatus(), kStreamClosed);
}

}  // namespace
