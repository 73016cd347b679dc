// Where a stream is, as a game reads it through a loop, a seek and an end: one table, run
// on the MP3 player (our source and the platform's real splitter and decoder, as the engine
// builds the graph) and on the WAVE streaming player (the real DirectSound). The bench plays
// sound at real time (scripts/pulse.sh), so the timings are the players' own.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "MediaResources.h"
#include "engine/core/ComApartment.h"
#include "engine/media/stream/DShowStream.h"
#include "engine/media/stream/DSoundStream.h"
#include "media/SoundTestSupport.h"

namespace {

using namespace KYR;
using kyrtest::Bytes;

Bytes Resource(int id) {
    HMODULE self = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(self, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(10));  // RT_RCDATA
    const auto* at = static_cast<const uint8_t*>(LockResource(LoadResource(self, found)));
    return found ? Bytes(at, at + SizeofResource(self, found)) : Bytes();
}

struct Row {
    const char* name;
    bool loop;
    uint32_t loopAt;
    // Where SetPosition puts it before Play: -1 none; below -1, counted back from one past
    // the length (-2: exactly the length, -27: the last frame of 26 ms).
    int64_t seekTo;
};

const Row kRows[] = {
    {"loops to 0", true, 0, -1},
    {"loops to 500", true, 500, -1},
    {"one-shot from the start", false, 0, -1},
    {"one-shot after a seek to the middle", false, 0, 1000},
    {"one-shot after a seek to its last frame", false, 0, -27},
    {"one-shot after a seek to exactly its length", false, 0, -2},
    {"one-shot after a seek beyond its length", false, 0, 100000},
};

struct Sample {
    DWORD t;
    uint32_t position;
    int32_t status;
};

// Plays one row on a new player and checks what a game reading the stream every 10 ms
// would see.
template <class MakePlayer>
void PlayRow(MakePlayer make, Bytes file, const Row& row) {
    SCOPED_TRACE(row.name);
    test::MemoryFile data(std::move(file));
    RefPtr<IStreamControl> s(make());
    ASSERT_TRUE(s->Open(data.Stream(), row.loop, row.loopAt));
    const uint32_t length = s->GetLength();
    ASSERT_GT(length, 1500u);
    uint32_t start = 0;
    if (row.seekTo >= 0) start = static_cast<uint32_t>(row.seekTo);
    if (row.seekTo < -1) start = length + 1 - static_cast<uint32_t>(-row.seekTo);
    if (row.seekTo != -1) s->SetPosition(start);
    start = start < length ? start : length;

    std::vector<Sample> seen;
    const DWORD begin = GetTickCount();
    s->Play();
    int wraps = 0;
    // Generous bounds: a slow bench ends late; only a wrong player ends early or never.
    const DWORD limit = (row.loop ? 3 * length : length - start) + 15000;
    while (GetTickCount() - begin < limit) {
        seen.push_back({GetTickCount() - begin, s->GetPosition(), s->GetStatus()});
        const Sample& now = seen.back();
        ASSERT_LE(now.position, length) << "at " << now.t << " ms";
        if (seen.size() > 1 && now.position + 300 < seen[seen.size() - 2].position) {
            ++wraps;
            // Back at the loop position, not somewhere else.
            EXPECT_GE(now.position + 50, row.loopAt) << "wrap " << wraps << " at " << now.t;
            EXPECT_LT(now.position, row.loopAt + 600) << "wrap " << wraps << " at " << now.t;
        } else if (seen.size() > 1) {
            EXPECT_GE(now.position + 30, seen[seen.size() - 2].position)
                << "ran backwards at " << now.t << " ms";
        }
        if (row.loop) {
            EXPECT_EQ(now.status, kStreamPlaying) << "at " << now.t << " ms";
            if (wraps == 3) break;
        } else if (now.status == kStreamEnded) {
            break;
        }
        Sleep(10);
    }
    const Sample& last = seen.back();
    if (row.loop) {
        EXPECT_EQ(wraps, 3) << "passes seen in " << last.t << " ms";
    } else {
        ASSERT_EQ(last.status, kStreamEnded) << "still " << last.status << " at " << last.position;
        EXPECT_EQ(last.position, length);
        // Not before the sound that was left could have played.
        EXPECT_GE(last.t + 400, length - start) << "ended early";
        // An ended stream waits for Stop; then it plays from the start.
        s->Play();
        EXPECT_EQ(s->GetStatus(), kStreamEnded);
        s->Stop();
        EXPECT_EQ(s->GetPosition(), 0u);
        s->Play();
        Sleep(300);
        EXPECT_EQ(s->GetStatus(), kStreamPlaying);
        EXPECT_LT(s->GetPosition(), 1000u);
    }
    s->Close();
    s.Reset();  // a WAVE reader gives up its stream only when it goes
    EXPECT_EQ(data.Stream()->GetRefCount(), 1) << "the stream is given back";
}

class StreamPositions : public test::SoundTest {
protected:
    ComApartment apartment_;
};

TEST_F(StreamPositions, Mp3ThroughThePlatformsSplitterAndDecoder) {
    const Bytes mp3 = Resource(KYR_TONE_MP3);
    ASSERT_FALSE(mp3.empty());
    for (const Row& row : kRows) PlayRow([] { return new CDShowStream("mp3"); }, mp3, row);
}

TEST_F(StreamPositions, WaveThroughTheStreamingPlayer) {
    const Bytes wave =
        kyrtest::PcmWav(1, 22050, 16, kyrtest::ToneSamples(22050, {{440, 1000}, {660, 1000}}));
    for (const Row& row : kRows)
        PlayRow([this] { return new CDSoundStream(ds_.Get(), nullptr); }, wave, row);
}

}  // namespace
