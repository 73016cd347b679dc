// Both video players on Wine's real filter graph: our stream source, Wine's AVI splitter
// (GStreamer-backed), the converter stand-in where Wine has no colour space converter, and
// either our texture renderer on a real device under Xvfb or Wine's VMR-9 in windowless mode.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <functional>
#include <thread>
#include <vector>

#include "ProcessCounts.h"
#include "VideoStandIns.h"
#include "WaitUntil.h"
#include "dshow/MediaFixtures.h"
#include "engine/core/ComApartment.h"
#include "engine/media/graph/DShowDecoders.h"
#include "engine/media/video/D3DVideo.h"
#include "engine/media/video/D3DVideoTexture.h"
#include "engine/media/video/VideoObjects.h"
#include "graphics/TextureTestSupport.h"
#include "media/SoundTestSupport.h"

namespace {

using namespace KYR;

using kyrtest::WaitUntil;

class VideoPlayers : public test::SharedDeviceTest {
protected:
    void SetUp() override {
        SharedDeviceTest::SetUp();
        RegisterVideoObjects();  // the device is made directly, not by the application
        ASSERT_TRUE(converter_.Ok());
    }
    RefPtr<CD3DVideoTexture> NewTextureVideo() {
        auto* made = static_cast<ID3DVideoTexture*>(d3d_->CreateObject(kIdD3DVideoTexture));
        return RefPtr<CD3DVideoTexture>(static_cast<CD3DVideoTexture*>(made));
    }
    RefPtr<CD3DVideo> NewWindowVideo() {
        auto* made = static_cast<ID3DVideo*>(d3d_->CreateObject(kIdD3DVideo));
        return RefPtr<CD3DVideo>(static_cast<CD3DVideo*>(made));
    }

    ComApartment apartment_;
    kyrtest::ConverterStandIn converter_;
};

// Half a second at 10 frames per second, 8x6 pixels of 24 bits.
kyrtest::AviFixture ShortAvi() { return kyrtest::MakeAvi(8, 6, 5); }

TEST_F(VideoPlayers, Rgb24FramesReachTheTextureTopRowFirstAndTheEndWaitsForStop) {
    const kyrtest::AviFixture avi = ShortAvi();
    test::MemoryFile file(avi.file);
    RefPtr<CD3DVideoTexture> v = NewTextureVideo();
    ASSERT_TRUE(v);
    EXPECT_EQ(v->GetState(), kVideoClosed);
    EXPECT_EQ(v->GetTexture(), nullptr);
    ASSERT_TRUE(v->Open(file.Stream(), "AvI", false, 0, nullptr)) << v->LastOpenError();
    EXPECT_EQ(v->GetLength(), 500u);
    EXPECT_EQ(v->GetState(), kVideoStopped);
    EXPECT_EQ(v->GetVolume(), 100);
    EXPECT_EQ(v->GetRate(), 100);
    ASSERT_NE(v->GetTexture(), nullptr);

    v->Play();
    ASSERT_TRUE(WaitUntil([&] { return v->GetState() == kVideoEnded; }));
    ID3DTexture* taken = v->GetTexture();  // a render thread's, for its next scene
    // The last frame stays: source row 0 is the bottom of the picture.
    const std::vector<uint8_t>& last = avi.frames.back();
    std::vector<uint32_t> expected;
    for (uint32_t y = 0; y < 6; ++y)
        for (uint32_t x = 0; x < 8; ++x) {
            const uint8_t* p = &last[(5 - y) * 24 + x * 3];
            expected.push_back(0xFF000000u | p[2] << 16 | p[1] << 8 | p[0]);
        }
    EXPECT_EQ(test::ReadTarget(*v->GetTexture(), 8, 6), expected);

    v->Play();  // an ended movie waits for Stop
    EXPECT_EQ(v->GetState(), kVideoEnded);
    v->Stop();
    EXPECT_EQ(v->GetState(), kVideoStopped);
    EXPECT_EQ(v->GetPosition(), 0u);
    std::thread([&] { v->Close(); }).join();  // the game thread's
    EXPECT_EQ(test::ReadTarget(*taken, 8, 6), expected);  // still whole for that scene
    EXPECT_EQ(v->GetState(), kVideoClosed);
    EXPECT_EQ(v->GetTexture(), nullptr);
    EXPECT_EQ(file.Stream()->GetRefCount(), 1);
}

TEST_F(VideoPlayers, LoopsUntilTheLoopStartIsPastTheLength) {
    test::MemoryFile file(ShortAvi().file);
    RefPtr<CD3DVideoTexture> v = NewTextureVideo();
    ASSERT_TRUE(v->Open(file.Stream(), "avi", true, 200, nullptr)) << v->LastOpenError();
    EXPECT_TRUE(v->IsLoop());
    EXPECT_EQ(v->GetLoopStart(), 200u);
    v->Play();
    ASSERT_TRUE(WaitUntil([&] { return v->CompletionCount() >= 2; }));
    EXPECT_EQ(v->GetState(), kVideoPlaying);
    EXPECT_TRUE(WaitUntil([&] { return v->GetFrameRate() > 0; }));
    // Frames go on arriving after each loop and after a seek, counted where they are drawn:
    // a pass from 200 ms holds three of them. The last seek is a game's inside its scene,
    // with every sample bringing its type, so the frames after it arrive while the renderer
    // cannot take the device lock.
    for (int round = 0; round < 4; ++round) {
        const long drawn = v->FramesDrawn(), completions = v->CompletionCount();
        if (round == 2) v->SetPosition(100);
        if (round == 3) {
            kyrtest::ConverterStandIn::typeOnEverySample = true;
            KYRAutoLock scene(d3d_->GetDeviceLock());
            v->SetPosition(100);
            Sleep(100);
        }
        EXPECT_TRUE(WaitUntil([&] {
            return v->CompletionCount() >= completions + 2 && v->FramesDrawn() >= drawn + 4;
        }, 30000)) << "round " << round << ": " << v->FramesDrawn() - drawn << " frames in "
                   << v->CompletionCount() - completions << " passes";
    }
    v->SetLoopStart(100000);
    EXPECT_EQ(v->GetLoopStart(), 500u);
    ASSERT_TRUE(WaitUntil([&] { return v->GetState() == kVideoEnded; }));
}

// A game holds the device lock from BeginScene to EndScene and may call a movie's operations
// from any thread meanwhile, and its scene thread asks for the position and the texture
// itself. Each row runs one operation on another thread while a scene is open (every sample
// bringing its type, so formats change on the streaming thread too): both must return.
TEST_F(VideoPlayers, OperationsOnAnotherThreadWhileASceneIsOpen) {
    kyrtest::ConverterStandIn::typeOnEverySample = true;
    test::MemoryFile file(kyrtest::MakeAvi(8, 6, 400, 1000).file);  // frames always due
    RefPtr<CD3DVideoTexture> v = NewTextureVideo();
    struct Row {
        const char* name;
        std::function<void()> op;
    } const rows[] = {
        {"Open", [&] { v->Open(file.Stream(), "avi", true, 0, nullptr); }},
        {"Play", [&] { v->Play(); }},
        {"SetPosition", [&] { v->SetPosition(50); }},
        {"Pause", [&] { v->Pause(); }},
        {"Play again", [&] { v->Play(); }},
        {"Stop", [&] { v->Stop(); }},
        {"Close", [&] { v->Close(); }},
    };
    for (int round = 0; round < 5; ++round) {
        for (const Row& row : rows) {
            std::atomic<int> finished{0};
            std::atomic<bool> inScene{false};
            std::thread scene([&] {
                KYRAutoLock hold(d3d_->GetDeviceLock());
                inScene = true;
                Sleep(30);  // the operation is under way meanwhile
                v->GetPosition();
                v->GetTexture();
                Sleep(30);
                ++finished;
            });
            while (!inScene) Sleep(1);
            std::thread other([&] {
                row.op();
                ++finished;
            });
            if (!WaitUntil([&] { return finished == 2; }, 30000)) {
                // Two threads wait for each other for good: nothing can be joined.
                ADD_FAILURE() << row.name << " and the scene wait for each other, round " << round;
                std::fflush(stdout);
                TerminateProcess(GetCurrentProcess(), 1);
            }
            scene.join();
            other.join();
        }
        EXPECT_EQ(v->GetState(), kVideoClosed);
    }
    EXPECT_EQ(file.Stream()->GetRefCount(), 1);
}

// A game that renders at 60 frames a second holds the device lock for 90 % of each frame (a
// timed wait inside its scene stands in for the vertical blank). A 30 fps movie keeps time
// all the same: sampled through its five seconds, at least 90 % of the time the frames drawn
// are no more than one behind those due.
TEST_F(VideoPlayers, MovieKeepsTimeWhileTheGameHoldsTheDeviceLockMostOfEachFrame) {
    test::MemoryFile file(kyrtest::MakeAvi(8, 6, 150, 30).file);
    RefPtr<CD3DVideoTexture> v = NewTextureVideo();
    ASSERT_TRUE(v->Open(file.Stream(), "avi", false, 0, nullptr)) << v->LastOpenError();
    std::atomic<bool> done{false};
    std::thread game([&] {
        while (!done) {
            {
                KYRAutoLock scene(d3d_->GetDeviceLock());
                v->GetTexture();
                Sleep(15);
            }
            Sleep(1);
        }
    });
    v->Play();
    std::vector<std::pair<DWORD, long>> seen;  // (tick, frames drawn)
    const DWORD start = GetTickCount();
    while (v->GetState() != kVideoEnded && GetTickCount() - start < 20000) {
        seen.push_back({GetTickCount(), v->FramesDrawn()});
        Sleep(10);
    }
    done = true;
    game.join();
    // Counted from the first frame drawn: the graph starts its stream a little after Run.
    size_t first = 0;
    while (first < seen.size() && seen[first].second == 0) ++first;
    ASSERT_LT(first, seen.size()) << "no frame drawn";
    size_t onTime = 0, samples = 0;
    for (size_t i = first; i < seen.size(); ++i) {
        const long due = 1 + static_cast<long>((seen[i].first - seen[first].first) * 30 / 1000);
        if (due > 150) break;
        ++samples;
        if (seen[i].second + 1 >= due) ++onTime;
    }
    EXPECT_GE(onTime * 10, samples * 9) << onTime << " of " << samples << " samples on time";
    EXPECT_GE(v->FramesDrawn(), 135);
}

// A filter of the caller's goes between the decoder and the renderer: here a second
// pass-through converter, made the way the decoder is.
TEST_F(VideoPlayers, CallersFilterSitsBetweenDecoderAndRenderer) {
    RefPtr<IBaseFilter> filter;
    ASSERT_EQ(CoCreateInstance(kClsidColourSpaceConverter, nullptr, CLSCTX_INPROC_SERVER,
                               IID_IBaseFilter, reinterpret_cast<void**>(filter.Put())),
              S_OK);
    test::MemoryFile file(ShortAvi().file);
    RefPtr<CD3DVideoTexture> v = NewTextureVideo();
    ASSERT_TRUE(v->Open(file.Stream(), "avi", false, 0, filter.Get())) << v->LastOpenError();
    FILTER_INFO info = {};
    ASSERT_EQ(filter->QueryFilterInfo(&info), S_OK);
    EXPECT_STREQ(info.achName, L"TransFormFilter");
    if (info.pGraph) info.pGraph->Release();
    // Frames reach the end only through it: it is the only way from decoder to renderer.
    v->Play();
    ASSERT_TRUE(WaitUntil([&] { return v->GetState() == kVideoEnded; }));
    v->Close();
}

TEST_F(VideoPlayers, FailedOpensSayWhyAndGiveEverythingBack) {
    const kyrtest::AviFixture avi = ShortAvi();
    struct Row {
        const char* format;
        kyrtest::Bytes data;
        bool zeroDuration;
        const char* error;
    } rows[] = {
        {"wmv", avi.file, false, "Not Support File Type"},
        {"avi", kyrtest::Ramp(4000), false, "Splitter Connect Failed"},
        {"MPEG", kyrtest::Ramp(4000), false, "Splitter Connect Failed"},
        {"avi", avi.file, true, "Video Length Invalid"},  // through the converter's seeking
    };
    const DWORD graphCost = kyrtest::GraphHandleCost();
    // The first pass also loads what Wine's filters keep for good (seen: a few handles on
    // first use of the splitter and the renderers); only the second pass counts handles.
    for (int pass = 0; pass < 2; ++pass) {
        for (const Row& r : rows) {
            SCOPED_TRACE(r.error);
            kyrtest::ConverterStandIn::zeroDuration = r.zeroDuration;
            test::MemoryFile file(r.data);
            RefPtr<CD3DVideoTexture> v = NewTextureVideo();
            const int32_t deviceRefs = d3d_->GetRefCount();
            const DWORD handles = kyrtest::HandleCount();
            ASSERT_NE(handles, 0u);
            EXPECT_FALSE(v->Open(file.Stream(), r.format, false, 0, nullptr));
            EXPECT_STREQ(v->LastOpenError(), r.error);
            EXPECT_EQ(v->GetState(), kVideoClosed);
            EXPECT_EQ(v->GetLength(), 0u);
            EXPECT_EQ(file.Stream()->GetRefCount(), 1);
            EXPECT_EQ(d3d_->GetRefCount(), deviceRefs);
            if (pass == 1) {
                EXPECT_LE(kyrtest::HandleCount(), handles + graphCost);
            }
        }
    }
    kyrtest::ConverterStandIn::zeroDuration = false;
}

TEST_F(VideoPlayers, WindowPlayerPlaysThroughTheVmr9) {
    kyrtest::WatchedVmrStandIn vmr;  // Wine's own renderer, asked afterwards what it was told
    ASSERT_TRUE(vmr.Ok());
    test::MemoryFile file(ShortAvi().file);
    RefPtr<CD3DVideo> v = NewWindowVideo();
    ASSERT_TRUE(v);
    const RECT rect = {10, 10, 90, 70};
    ASSERT_TRUE(v->Open(file.Stream(), "AVI", false, 0, nullptr, window_->Get(), &rect))
        << v->LastOpenError();
    EXPECT_EQ(v->GetLength(), 500u);
    RefPtr<IVMRWindowlessControl9> windowless;
    ASSERT_EQ(vmr.Vmr()->QueryInterface(IID_IVMRWindowlessControl9,
                                        reinterpret_cast<void**>(windowless.Put())),
              S_OK);
    RECT source = {}, shown = {};
    ASSERT_EQ(windowless->GetVideoPosition(&source, &shown), S_OK);
    EXPECT_TRUE(EqualRect(&shown, &rect) != FALSE)
        << shown.left << "," << shown.top << "," << shown.right << "," << shown.bottom;
    v->Play();
    ASSERT_TRUE(WaitUntil([&] { return v->GetState() == kVideoEnded; }));
    v->Close();
    EXPECT_EQ(file.Stream()->GetRefCount(), 1);
}

TEST_F(VideoPlayers, WindowPlayerWithoutAVmr9FailsCleanly) {
    kyrtest::FailingVmrStandIn failingVmr;
    ASSERT_TRUE(failingVmr.Ok());
    const DWORD graphCost = kyrtest::GraphHandleCost();
    for (int pass = 0; pass < 2; ++pass) {  // as above: the second pass counts handles
        test::MemoryFile file(ShortAvi().file);
        RefPtr<CD3DVideo> v = NewWindowVideo();
        const int32_t deviceRefs = d3d_->GetRefCount();
        const DWORD handles = kyrtest::HandleCount();
        ASSERT_NE(handles, 0u);
        EXPECT_FALSE(v->Open(file.Stream(), "avi", false, 0, nullptr, window_->Get(), nullptr));
        EXPECT_STREQ(v->LastOpenError(), "Video Renderer Failed");
        EXPECT_EQ(file.Stream()->GetRefCount(), 1);
        EXPECT_EQ(d3d_->GetRefCount(), deviceRefs);
        if (pass == 1) {
            EXPECT_LE(kyrtest::HandleCount(), handles + graphCost);
        }
    }
}

// Wine registers no colour space converter: without the stand-in there is no decoder for
// uncompressed RGB.
TEST(VideoPlayersOnWine, NoColourSpaceConverterWithoutTheStandIn) {
    ComApartment apartment;
    test::MemoryFile file(ShortAvi().file);
    RefPtr<CKYRD3D> d3d(new CKYRD3D);
    RefPtr<CD3DVideoTexture> v(new CD3DVideoTexture(d3d.Get()));
    EXPECT_FALSE(v->Open(file.Stream(), "avi", false, 0, nullptr));
    EXPECT_STREQ(v->LastOpenError(), "FindCodec Failed");
}

}  // namespace
