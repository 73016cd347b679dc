// A soak of the engine's media and device objects under a game's threads. From a seed it
// prints, three threads make random sequences of the calls a game makes, each from a table:
// the game thread draws scenes (showing the movie's texture), resets and re-creates the
// device, plays sound buffers and shuts DirectSound down and up again; the music thread
// drives two media streams (WAVE through the streaming player, MP3 through DirectShow); the
// movie thread drives a texture video. A watchdog fails the run when a call takes too long,
// printing the seed and each thread's last calls. At the end every object must be back to
// the references the game holds, and the process's handles and threads back to where they
// were. KYR_SOAK_SEED replays one seed, KYR_SOAK_SECONDS sets the time per seed.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "ProcessCounts.h"
#include "video/VideoStandIns.h"
#include "dshow/MediaFixtures.h"
#include "engine/core/ComApartment.h"
#include "engine/graphics/GraphicsObjectIds.h"
#include "engine/graphics/ID3DRender.h"
#include "engine/graphics/ID3DVideoTexture.h"
#include "engine/graphics/KYRD3D.h"
#include "engine/media/sound/SoundObjectIds.h"
#include "engine/media/std/StdFileStream.h"
#include "engine/media/stream/IStreamControl.h"
#include "engine/media/stream/KYRDS.h"
#include "engine/media/video/VideoObjects.h"
#include "graphics/GraphicsTestSupport.h"
#include "support/WavBuilder.h"

namespace {

using namespace KYR;
using kyrtest::Bytes;

// A graph's Open takes seconds on a slow bench, and many more where Wine runs under an
// emulator (scripts/wine-path.sh says which path it took).
const DWORD kCallBoundMs = [] {
    const char* path = std::getenv("KYR_WINE_PATH");
    return path && std::strcmp(path, "emulated") == 0 ? 120000ul : 20000ul;
}();
constexpr int kThreads = 3;
const char* const kThreadNames[kThreads] = {"game", "music", "movie"};

uint32_t EnvNumber(const char* name, uint32_t fallback) {
    const char* value = std::getenv(name);
    return value && *value ? static_cast<uint32_t>(std::strtoul(value, nullptr, 10)) : fallback;
}

// What each thread is doing, for the watchdog: the call under way and the last few made.
struct Trace {
    std::mutex mutex;
    const char* current = nullptr;
    DWORD since = 0;
    std::vector<const char*> last;
    HANDLE thread = nullptr;
    long calls = 0;

    void Begin(const char* name) {
        std::lock_guard<std::mutex> hold(mutex);
        current = name;
        since = GetTickCount();
        last.push_back(name);
        ++calls;
        if (last.size() > 8) last.erase(last.begin());
    }
    void End() {
        std::lock_guard<std::mutex> hold(mutex);
        current = nullptr;
    }
};

Bytes Resource(int id) {
    HMODULE self = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(self, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(10));  // RT_RCDATA
    const auto* at = static_cast<const uint8_t*>(LockResource(LoadResource(self, found)));
    return found ? Bytes(at, at + SizeofResource(self, found)) : Bytes();
}

RefPtr<CStdFileStream> MemoryStream(const Bytes& bytes) {
    RefPtr<CStdFileStream> stream(new CStdFileStream);
    stream->OpenMemory(bytes.data(), static_cast<uint32_t>(bytes.size()));
    return stream;
}

// Everything the game holds. Each object is driven by one thread, except the movie, whose
// texture the game thread draws: the game keeps the movie alive for that under movieLock.
struct World {
    HWND window = nullptr;
    RefPtr<CKYRD3D> d3d{new CKYRD3D};
    RefPtr<CKYRDS> ds{new CKYRDS};
    Bytes waveBytes, mp3Bytes, aviBytes, toneBytes;
    RefPtr<CStdFileStream> wave, mp3, avi, tone;
    RefPtr<IDSMediaStream> streams[2];  // WAVE, MP3
    RefPtr<IDSSoundBuffer> buffers[2];
    RefPtr<ID3DRender> quads;
    std::mutex movieLock;
    RefPtr<ID3DVideoTexture> movie;
    std::atomic<int> positionFaults{0};
    // Opens that may make a filter graph: Wine keeps a handle of its own for each graph.
    std::atomic<int> graphOpens{0};
};

using Rng = std::mt19937;
int Pick(Rng& rng, int n) { return static_cast<int>(rng() % static_cast<uint32_t>(n)); }

struct Action {
    const char* name;
    int weight;
    void (*run)(World&, Rng&);
};

// The position must lie within the length, whatever state the object is in.
template <class T>
void CheckPosition(World& w, T* object) {
    const uint32_t length = object->GetLength(), position = object->GetPosition();
    if (position > length) ++w.positionFaults;
}

// ---- the game thread
void Scene(World& w, Rng& rng) {
    if (!w.d3d->BeginScene()) return;
    w.d3d->Clear(0xFF000000u | rng());
    ID3DTexture* shown = nullptr;
    {
        std::lock_guard<std::mutex> hold(w.movieLock);
        if (w.movie) shown = w.movie->GetTexture();
        if (w.quads) {
            w.quads->SetTexture(shown);
            QuadDesc q = {};
            for (int i = 0; i < 4; ++i) {
                q.x[i] = (i == 1 || i == 2) ? 200 : 20;
                q.y[i] = i >= 2 ? 150 : 10;
                q.u[i] = (i == 1 || i == 2) ? 8 : 0;
                q.v[i] = i >= 2 ? 6 : 0;
                q.rhw[i] = 1;
                q.colour[i] = 0xFFFFFFFFu;
            }
            w.quads->AddQuad(&q, 0, 0, 0, 0);
            w.quads->Draw();
            w.quads->SetTexture(nullptr);
        }
    }
    Sleep(Pick(rng, 12));  // the rest of the scene
    w.d3d->EndScene();
    w.d3d->Present();
}
void Reset(World& w, Rng& rng) { w.d3d->ResetDevice(Pick(rng, 2) ? 320 : 256, 240); }
void Recreate(World& w, Rng&) {
    w.d3d->ReleaseDevice();
    test::CreateReadableDevice(*w.d3d.Get(), w.window);
}
void BufferPlay(World& w, Rng& rng) {
    IDSSoundBuffer* b = w.buffers[Pick(rng, 2)].Get();
    if (b) b->Play();
}
void BufferFrequency(World& w, Rng& rng) {
    IDSSoundBuffer* b = w.buffers[Pick(rng, 2)].Get();
    if (b) b->SetFrequency(50 + Pick(rng, 200));
}
void BufferReload(World& w, Rng& rng) {
    IDSSoundBuffer* b = w.buffers[Pick(rng, 2)].Get();
    if (!b) return;
    b->Unload();
    b->Load(w.tone.Get(), nullptr);
}
void SoundRestart(World& w, Rng& rng) {
    w.ds->Shutdown();
    Sleep(Pick(rng, 300));  // the music thread meets DirectSound gone meanwhile
    w.ds->Initialize(w.window);
}

const Action kGameActions[] = {
    {"Scene", 40, Scene},           {"ResetDevice", 3, Reset},
    {"ReleaseDevice+CreateDevice", 2, Recreate},
    {"SoundBuffer Play", 6, BufferPlay}, {"SoundBuffer SetFrequency", 4, BufferFrequency},
    {"SoundBuffer Unload+Load", 3, BufferReload}, {"DS Shutdown+Initialize", 1, SoundRestart},
};

// ---- the music thread
IDSMediaStream* AnyStream(World& w, Rng& rng, int* which = nullptr) {
    const int i = Pick(rng, 2);
    if (which) *which = i;
    if (!w.streams[i])
        w.streams[i] = RefPtr<IDSMediaStream>(
            static_cast<IDSMediaStream*>(w.ds->CreateObject(kIdDSMediaStream)));
    return w.streams[i].Get();
}
void StreamOpen(World& w, Rng& rng) {
    int i = 0;
    IDSMediaStream* s = AnyStream(w, rng, &i);
    if (s && i) ++w.graphOpens;
    if (s) s->Open(i ? w.mp3.Get() : w.wave.Get(), i ? "mp3" : "wav", Pick(rng, 2) != 0,
                   Pick(rng, 2500), nullptr);
}
void StreamPlay(World& w, Rng& rng) { if (IDSMediaStream* s = AnyStream(w, rng)) s->Play(); }
void StreamPause(World& w, Rng& rng) { if (IDSMediaStream* s = AnyStream(w, rng)) s->Pause(); }
void StreamStop(World& w, Rng& rng) { if (IDSMediaStream* s = AnyStream(w, rng)) s->Stop(); }
void StreamSeek(World& w, Rng& rng) {
    if (IDSMediaStream* s = AnyStream(w, rng)) s->SetPosition(Pick(rng, 2600));
}
void StreamVolume(World& w, Rng& rng) {
    if (IDSMediaStream* s = AnyStream(w, rng)) s->SetVolume(Pick(rng, 101));
}
void StreamAsk(World& w, Rng& rng) {
    if (IDSMediaStream* s = AnyStream(w, rng)) {
        CheckPosition(w, s);
        s->GetStatus();
    }
}
void StreamClose(World& w, Rng& rng) { if (IDSMediaStream* s = AnyStream(w, rng)) s->Close(); }
void StreamRelease(World& w, Rng& rng) { w.streams[Pick(rng, 2)].Reset(); }

const Action kMusicActions[] = {
    {"Stream Open", 6, StreamOpen},   {"Stream Play", 8, StreamPlay},
    {"Stream Pause", 3, StreamPause}, {"Stream Stop", 3, StreamStop},
    {"Stream SetPosition", 5, StreamSeek}, {"Stream SetVolume", 3, StreamVolume},
    {"Stream GetPosition+GetStatus", 20, StreamAsk}, {"Stream Close", 3, StreamClose},
    {"Stream Release", 1, StreamRelease},
};

// ---- the movie thread
// The game's lock over the movie is never held while calling the engine: its scene thread
// takes it inside a scene, and making or letting go of an engine object may wait for the
// scene to end.
ID3DVideoTexture* Movie(World& w) {
    if (!w.movie) {
        RefPtr<ID3DVideoTexture> made(
            static_cast<ID3DVideoTexture*>(w.d3d->CreateObject(kIdD3DVideoTexture)));
        std::lock_guard<std::mutex> hold(w.movieLock);
        w.movie = std::move(made);
    }
    return w.movie.Get();
}
void MovieOpen(World& w, Rng& rng) {
    ++w.graphOpens;
    if (ID3DVideoTexture* m = Movie(w)) m->Open(w.avi.Get(), "avi", Pick(rng, 2) != 0, Pick(rng, 2200), nullptr);
}
void MoviePlay(World& w, Rng&) { if (ID3DVideoTexture* m = Movie(w)) m->Play(); }
void MoviePause(World& w, Rng&) { if (ID3DVideoTexture* m = Movie(w)) m->Pause(); }
void MovieStop(World& w, Rng&) { if (ID3DVideoTexture* m = Movie(w)) m->Stop(); }
void MovieSeek(World& w, Rng& rng) { if (ID3DVideoTexture* m = Movie(w)) m->SetPosition(Pick(rng, 2200)); }
void MovieAsk(World& w, Rng&) {
    if (ID3DVideoTexture* m = Movie(w)) {
        CheckPosition(w, m);
        m->GetState();
    }
}
void MovieClose(World& w, Rng&) { if (ID3DVideoTexture* m = Movie(w)) m->Close(); }
void MovieRelease(World& w, Rng&) {
    RefPtr<ID3DVideoTexture> going;
    {
        std::lock_guard<std::mutex> hold(w.movieLock);
        going = std::move(w.movie);
    }
}

const Action kMovieActions[] = {
    {"Video Open", 6, MovieOpen},     {"Video Play", 8, MoviePlay},
    {"Video Pause", 3, MoviePause},   {"Video Stop", 3, MovieStop},
    {"Video SetPosition", 5, MovieSeek}, {"Video GetPosition+GetState", 20, MovieAsk},
    {"Video Close", 3, MovieClose},   {"Video Release", 1, MovieRelease},
};

template <size_t N>
const Action& Choose(const Action (&table)[N], Rng& rng) {
    int total = 0;
    for (const Action& a : table) total += a.weight;
    int at = Pick(rng, total);
    for (const Action& a : table)
        if ((at -= a.weight) < 0) return a;
    return table[0];
}

template <size_t N>
void Drive(World& w, const Action (&table)[N], uint32_t seed, DWORD untilTick, Trace* trace) {
    ComApartment apartment;
    {
        std::lock_guard<std::mutex> hold(trace->mutex);
        trace->thread = OpenThread(THREAD_SUSPEND_RESUME | THREAD_GET_CONTEXT, FALSE,
                                   GetCurrentThreadId());
    }
    Rng rng(seed);
    while (static_cast<LONG>(untilTick - GetTickCount()) > 0) {
        const Action& a = Choose(table, rng);
        trace->Begin(a.name);
        a.run(w, rng);
        trace->End();
        Sleep(Pick(rng, 4));
    }
}

// "module+offset" of an address in a loaded module; for `codeOnly`, "" unless it lies in a
// module's executable pages.
std::string Place(DWORD address, bool codeOnly = false) {
    HMODULE module = nullptr;
    MEMORY_BASIC_INFORMATION m;
    if (!VirtualQuery(reinterpret_cast<void*>(address), &m, sizeof(m)) || m.State != MEM_COMMIT ||
        (codeOnly && !(m.Protect & (PAGE_EXECUTE_READ | PAGE_EXECUTE | PAGE_EXECUTE_READWRITE))) ||
        !GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<const char*>(address), &module))
        return codeOnly ? "" : "?";
    char path[MAX_PATH] = "?";
    GetModuleFileNameA(module, path, MAX_PATH);
    const char* name = std::strrchr(path, '\\');
    char out[MAX_PATH + 16];
    std::snprintf(out, sizeof(out), "%s+0x%lx", name ? name + 1 : path,
                  address - reinterpret_cast<DWORD>(module));
    return out;
}

// Fails the whole run when a call has taken longer than the bound: the threads are stuck,
// so nothing could be joined or released. Prints what each thread was doing, and where.
void Watch(Trace* traces, uint32_t seed, const std::atomic<bool>* done) {
    while (!*done) {
        Sleep(100);
        int stuck = -1;
        for (int t = 0; t < kThreads && stuck < 0; ++t) {
            std::lock_guard<std::mutex> hold(traces[t].mutex);
            if (traces[t].current && GetTickCount() - traces[t].since >= kCallBoundMs) stuck = t;
        }
        if (stuck < 0) continue;
        std::printf("soak: seed %u: the %s thread's call took longer than %lu ms\n", seed,
                    kThreadNames[stuck], kCallBoundMs);
        for (int u = 0; u < kThreads; ++u) {
            std::string calls;
            HANDLE thread = nullptr;
            const char* current = nullptr;
            {
                std::lock_guard<std::mutex> hold(traces[u].mutex);
                for (const char* c : traces[u].last) calls += std::string(" / ") + c;
                thread = traces[u].thread;
                current = traces[u].current;
            }
            // Where it is: the module and offset of its instruction pointer and of the
            // return addresses on its stack that fall in a module (no symbols here:
            // addr2line on the module turns an offset of ours into a line).
            CONTEXT context = {};
            context.ContextFlags = CONTEXT_CONTROL;
            SuspendThread(thread);
            std::string where;
            if (GetThreadContext(thread, &context)) {
                where = Place(context.Eip);
                const auto* stack = reinterpret_cast<const DWORD*>(context.Esp);
                for (int i = 0, shown = 0; i < 4096 && shown < 12; ++i) {
                    MEMORY_BASIC_INFORMATION m;
                    if (!VirtualQuery(stack + i, &m, sizeof(m)) || m.State != MEM_COMMIT) break;
                    const std::string p = Place(stack[i], true);
                    if (!p.empty()) where += " < " + p, ++shown;
                }
            }
            ResumeThread(thread);
            std::printf("soak:   %s thread in %s at %s\n          last calls%s\n", kThreadNames[u],
                        current ? current : "(between calls)", where.c_str(), calls.c_str());
        }
        std::fflush(stdout);
        ADD_FAILURE() << "seed " << seed << ": a call took longer than " << kCallBoundMs << " ms";
        // The threads are stuck: nothing could be joined or released.
        TerminateProcess(GetCurrentProcess(), 1);
    }
}

class Soak : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterVideoObjects();
        ASSERT_TRUE(converter_.Ok());
        w_.window = window_.Get();
        ASSERT_TRUE(test::CreateReadableDevice(*w_.d3d.Get(), w_.window));
        ASSERT_TRUE(w_.ds->Initialize(w_.window));
        w_.waveBytes = kyrtest::PcmWav(1, 22050, 16, kyrtest::ToneSamples(22050, {{440, 1500}}));
        w_.toneBytes = kyrtest::PcmWav(1, 22050, 16, kyrtest::ToneSamples(22050, {{660, 200}}));
        w_.mp3Bytes = Resource(301);
        w_.aviBytes = kyrtest::MakeAvi(8, 6, 20).file;  // 2 s at 10 fps
        ASSERT_FALSE(w_.mp3Bytes.empty());
        w_.wave = MemoryStream(w_.waveBytes);
        w_.mp3 = MemoryStream(w_.mp3Bytes);
        w_.avi = MemoryStream(w_.aviBytes);
        w_.tone = MemoryStream(w_.toneBytes);
        w_.quads = RefPtr<ID3DRender>(static_cast<ID3DRender*>(w_.d3d->CreateObject(kIdD3DRender)));
        for (auto& b : w_.buffers) {
            b = RefPtr<IDSSoundBuffer>(static_cast<IDSSoundBuffer*>(w_.ds->CreateObject(kIdDSSoundBuffer)));
            ASSERT_TRUE(b && b->Load(w_.tone.Get(), nullptr));
        }
    }

    // One short round of everything, so the platform's own once-only threads and handles
    // (quartz, GStreamer, the mixer) exist before anything is counted.
    void WarmUp() {
        Rng rng(0);
        for (int i = 0; i < 2; ++i) {
            w_.streams[i] = RefPtr<IDSMediaStream>(
                static_cast<IDSMediaStream*>(w_.ds->CreateObject(kIdDSMediaStream)));
            w_.streams[i]->Open(i ? w_.mp3.Get() : w_.wave.Get(), i ? "mp3" : "wav", true, 0, nullptr);
            w_.streams[i]->Play();
        }
        MovieOpen(w_, rng);
        MoviePlay(w_, rng);
        Sleep(1500);
        Scene(w_, rng);
        EndEverything();
    }

    // What a game does before it quits: everything closed and given back.
    void EndEverything() {
        for (auto& s : w_.streams) {
            if (!s) continue;
            s->Close();
            EXPECT_EQ(s->GetRefCount(), 1) << "a media stream holds more than the game's";
            s.Reset();
        }
        if (w_.movie) {  // the other threads have ended
            w_.movie->Close();
            EXPECT_EQ(w_.movie->GetRefCount(), 1) << "the movie holds more than the game's";
            w_.movie.Reset();
        }
    }

    void RunSeed(uint32_t seed, uint32_t seconds) {
        std::printf("soak: seed %u for %u s\n", seed, seconds);
        std::fflush(stdout);
        Trace traces[kThreads];
        std::atomic<bool> done{false};
        const DWORD until = GetTickCount() + seconds * 1000;
        std::thread threads[kThreads] = {
            std::thread(Drive<std::size(kGameActions)>, std::ref(w_), std::cref(kGameActions), seed, until, &traces[0]),
            std::thread(Drive<std::size(kMusicActions)>, std::ref(w_), std::cref(kMusicActions), seed * 31 + 1, until, &traces[1]),
            std::thread(Drive<std::size(kMovieActions)>, std::ref(w_), std::cref(kMovieActions), seed * 57 + 2, until, &traces[2]),
        };
        std::thread watchdog(Watch, traces, seed, &done);
        for (std::thread& t : threads) t.join();
        done = true;
        watchdog.join();
        for (Trace& t : traces) CloseHandle(t.thread);
        std::printf("soak: seed %u: %ld game, %ld music and %ld movie calls\n", seed,
                    traces[0].calls, traces[1].calls, traces[2].calls);
        EXPECT_EQ(w_.positionFaults.load(), 0) << "seed " << seed << ": positions beyond the length";
        w_.ds->Initialize(w_.window);  // the game thread may have ended with it shut down
        test::CreateReadableDevice(*w_.d3d.Get(), w_.window);
        EndEverything();
    }

    ComApartment apartment_;
    kyrtest::ConverterStandIn converter_;
    test::TestWindow window_;
    World w_;
};

TEST_F(Soak, GameThreadsLeaveNothingBehind) {
    WarmUp();
    Sleep(500);
    const DWORD graphCost = kyrtest::GraphHandleCost();
    const DWORD handles = kyrtest::HandleCount(), threads = kyrtest::ThreadCount();
    const int opensBefore = w_.graphOpens;
    ASSERT_GT(handles, 0u);
    ASSERT_GT(threads, 0u);
    const uint32_t seconds = EnvNumber("KYR_SOAK_SECONDS", 20);
    const uint32_t only = EnvNumber("KYR_SOAK_SEED", 0);
    const std::vector<uint32_t> seeds = only ? std::vector<uint32_t>{only}
                                             : std::vector<uint32_t>{1, 2, 3};
    for (uint32_t seed : seeds) {
        RunSeed(seed, seconds);
        // The engine's threads end a little after the objects that own them.
        const DWORD start = GetTickCount();
        while (kyrtest::ThreadCount() > threads + 2 && GetTickCount() - start < 10000) Sleep(50);
        EXPECT_LE(kyrtest::ThreadCount(), threads + 2) << "seed " << seed << ": threads left";
        const DWORD wines = graphCost * static_cast<DWORD>(w_.graphOpens - opensBefore);
        EXPECT_LE(kyrtest::HandleCount(), handles + wines + 16)
            << "seed " << seed << ": handles left, beyond Wine's " << wines << " for its graphs";
        if (HasFailure()) break;
    }
    for (auto& b : w_.buffers) {
        EXPECT_EQ(b->GetRefCount(), 1);
        b.Reset();
    }
    w_.quads.Reset();
    EXPECT_EQ(w_.wave->GetRefCount(), 1);
    EXPECT_EQ(w_.mp3->GetRefCount(), 1);
    EXPECT_EQ(w_.avi->GetRefCount(), 1);
    EXPECT_EQ(w_.tone->GetRefCount(), 1);
    EXPECT_EQ(w_.d3d->GetRefCount(), 1);
    EXPECT_EQ(w_.ds->GetRefCount(), 1);
}

}  // namespace
