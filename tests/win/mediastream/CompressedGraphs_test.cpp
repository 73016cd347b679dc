// MIDI and MP3 graphs. Wine has no MIDI parser or renderer, so the MIDI cases run against
// the stand-ins of MidiStandIns.h; MP3 runs on Wine's own MPEG-1 splitter and layer-3
// decoder behind our source.
#include <windows.h>

#include <uuids.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "MidiStandIns.h"
#include "WaitUntil.h"
#include "engine/core/ComApartment.h"
#include "engine/media/stream/DShowAudioGraph.h"
#include "engine/media/stream/DShowStream.h"
#include "media/SoundTestSupport.h"

namespace {

using namespace KYR;
using kyrtest::Bytes;

using kyrtest::WaitUntil;

// A file our stand-in parser takes as `ms` milliseconds of MIDI (10 ms a byte).
Bytes MidiFile(uint32_t ms) {
    Bytes b = kyrtest::Ramp(ms / 10);
    b[0] = 'M', b[1] = 'T', b[2] = 'h', b[3] = 'd';
    return b;
}

// MPEG-1 layer III frames, 128 kbit/s, 44.1 kHz mono, with all-zero side information: each
// decodes to 1152 samples of silence (26.12 ms) and is 417 bytes long.
Bytes Mp3File(int frames) {
    Bytes b;
    for (int i = 0; i < frames; ++i) {
        const uint8_t header[4] = {0xFF, 0xFB, 0x90, 0xC4};
        b.insert(b.end(), header, header + 4);
        b.resize(b.size() + 417 - 4, 0);
    }
    return b;
}

class MidiGraph : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(standIns_.Ok()); }
    kyrtest::StandInMidiRenderer* Renderer() { return standIns_.LastRenderer(); }

    ComApartment apartment_;
    kyrtest::MidiStandInRegistration standIns_;
};

TEST_F(MidiGraph, LoopingMidiRestartsAtItsLoopPositionOnEachCompletion) {
    test::MemoryFile file(MidiFile(10000));
    RefPtr<CDShowStream> s(new CDShowStream("MIDI"));
    ASSERT_TRUE(s->Open(file.Stream(), true, 5000)) << s->LastOpenError();
    ASSERT_NE(Renderer(), nullptr);
    EXPECT_EQ(s->GetLength(), 10000u);
    s->Play();
    for (long lap = 1; lap <= 2; ++lap) {
        Renderer()->Finish();
        ASSERT_TRUE(WaitUntil([&] { return s->CompletionCount() == lap; }));
        EXPECT_EQ(Renderer()->Seeks().back(), 5000 * 10000LL) << "lap " << lap;
        EXPECT_EQ(s->GetStatus(), kStreamPlaying);
    }
    // A loop position at or past the end plays once more and then ends.
    s->SetLoopPosition(20000);
    EXPECT_EQ(s->GetLoopPosition(), 10000u);
    const size_t seeks = Renderer()->Seeks().size();
    Renderer()->Finish();
    ASSERT_TRUE(WaitUntil([&] { return s->GetStatus() == kStreamEnded; }));
    EXPECT_EQ(Renderer()->Seeks().size(), seeks);
}

// A renderer that holds the end of the stream already (one moved to its end) reports it
// inside Run: that completion still ends the stream.
TEST_F(MidiGraph, CompletionInsideRunEndsTheStream) {
    test::MemoryFile file(MidiFile(1000));
    RefPtr<CDShowStream> s(new CDShowStream("mid"));
    ASSERT_TRUE(s->Open(file.Stream(), false, 0)) << s->LastOpenError();
    Renderer()->FinishOnRun(true);
    for (int round = 0; round < 20; ++round, s->Stop()) {
        s->Play();
        ASSERT_TRUE(WaitUntil([&] { return s->GetStatus() == kStreamEnded; }, 30000)) << round;
    }
}

// A completion the monitor took out of the queue just before a Stop belongs to the playback
// that was stopped: the Play after it plays on. The test holds the control lock, so the
// monitor waits with the completion in hand while Stop and Play run.
TEST_F(MidiGraph, CompletionTakenBeforeAStopIsNotAppliedToThePlayAfterIt) {
    test::MemoryFile file(MidiFile(1000));
    RefPtr<CDShowStream> s(new CDShowStream("mid"));
    ASSERT_TRUE(s->Open(file.Stream(), false, 0)) << s->LastOpenError();
    s->Play();
    {
        KYRAutoLock hold(s->ControlLock());
        Renderer()->Finish();
        Sleep(200);  // the monitor takes the completion out and waits for the lock
        s->Stop();
        s->Play();
    }
    Sleep(200);
    EXPECT_EQ(s->GetStatus(), kStreamPlaying);
    EXPECT_EQ(s->CompletionCount(), 0);
}

// A graph that runs past its end and never completes (a splitter that stalled after a seek)
// is taken as complete three seconds later: a one-shot ends, a looping stream seeks to its loop
// position. The stand-in renderer completes only when told, and is never told here.
TEST_F(MidiGraph, StreamPastItsEndWithoutACompletionEndsOrLoops) {
    for (const bool loop : {false, true}) {
        test::MemoryFile file(MidiFile(300));
        RefPtr<CDShowStream> s(new CDShowStream("mid"));
        ASSERT_TRUE(s->Open(file.Stream(), loop, 100)) << s->LastOpenError();
        const size_t seeks = Renderer()->Seeks().size();
        const DWORD start = GetTickCount();
        s->Play();
        ASSERT_TRUE(WaitUntil([&] { return s->CompletionCount() == 1; }, 10000)) << loop;
        EXPECT_GE(GetTickCount() - start, 300u + CGraphPlayback::kOverrunMs - 50) << loop;
        EXPECT_EQ(s->GetStatus(), loop ? kStreamPlaying : kStreamEnded) << loop;
        if (loop) EXPECT_EQ(Renderer()->Seeks().back(), 100 * 10000LL);
        else EXPECT_EQ(Renderer()->Seeks().size(), seeks);
        EXPECT_LE(s->GetPosition(), 300u);
    }
}

// Graphs are connected one at a time in the process, whatever thread opens them: on Wine two
// GStreamer parsers connecting at once can wait for each other for good (found by the soak,
// seed 11; Wine's own RenderFile graphs on two threads do the same).
TEST_F(MidiGraph, GraphsOpenedOnTwoThreadsConnectOneAtATime) {
    kyrtest::mostParsersConnecting = 0;
    auto opens = [] {
        ComApartment apartment;
        kyrtest::MidiStandInRegistration standIns;  // class objects are the apartment's
        test::MemoryFile file(MidiFile(1000));
        for (int i = 0; i < 8; ++i) {
            RefPtr<CDShowStream> s(new CDShowStream("mid"));
            EXPECT_TRUE(s->Open(file.Stream(), false, 0)) << s->LastOpenError();
        }
    };
    std::thread other(opens);
    opens();
    other.join();
    EXPECT_EQ(kyrtest::mostParsersConnecting, 1);
}

TEST_F(MidiGraph, FailuresSayWhichStepFailed) {
    struct Row {
        const char* name;
        Bytes data;
        const char* error;
    } rows[] = {
        {"not a MIDI file", kyrtest::Ramp(300), "Splitter Connect Failed"},
        {"shorter than a header", Bytes{'M', 'T', 'h'}, "Splitter Connect Failed"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        test::MemoryFile file(r.data);
        RefPtr<CDShowStream> s(new CDShowStream("mid"));
        EXPECT_FALSE(s->Open(file.Stream(), false, 0));
        EXPECT_STREQ(s->LastOpenError(), r.error);
        EXPECT_EQ(file.Stream()->GetRefCount(), 1);
    }
}

// Wine registers neither MIDI filter: without the stand-ins the graph cannot be built.
TEST(MidiGraphOnWine, NoMidiParserWithoutTheStandIn) {
    ComApartment apartment;
    test::MemoryFile file(MidiFile(1000));
    RefPtr<CDShowStream> s(new CDShowStream("mid"));
    EXPECT_FALSE(s->Open(file.Stream(), false, 0));
    EXPECT_STREQ(s->LastOpenError(), "MIDIParser CreateInstance Failed");
}

// The splitter is offered the source's own type first, and only one that refuses it (as
// Wine's MPEG-1 splitter does) is told the stream is MPEG audio: here one that takes only
// the former, in the place of the splitter this platform gets.
TEST(Mp3Graph, SplitterIsOfferedTheSourcesOwnTypeFirst) {
    ComApartment apartment;
    kyrtest::MidiStandInRegistration parserAsSplitter(kClsidWineDecodebinParser);
    test::MemoryFile file(MidiFile(1000));
    RefPtr<CDShowStream> s(new CDShowStream("mp3"));
    EXPECT_FALSE(s->Open(file.Stream(), false, 0));
    EXPECT_STREQ(s->LastOpenError(), "Splitter GetPin Failed");  // connected; no audio out
}

TEST(Mp3Graph, SplitterAndLayer3DecoderPlayToTheEnd) {
    ComApartment apartment;
    test::MemoryFile file(Mp3File(60));  // 60 x 1152 samples: 1567 ms
    RefPtr<CDShowStream> s(new CDShowStream("MP3"));
    ASSERT_TRUE(s->Open(file.Stream(), false, 0)) << s->LastOpenError();
    EXPECT_NEAR(s->GetLength(), 1567u, 30u);
    s->Play();
    ASSERT_TRUE(WaitUntil([&] { return s->GetStatus() == kStreamEnded; }));
    s->Close();
    EXPECT_EQ(file.Stream()->GetRefCount(), 1);
}

}  // namespace
