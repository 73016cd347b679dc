#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <iostream>
#include <new>

#include "GraphicsTestSupport.h"
#include "engine/core/MessageBox.h"
#include "engine/graphics/D3DTexture.h"
#include "engine/graphics/ID3DBackBuffer.h"
#include "engine/graphics/ID3DRender.h"
#include "engine/graphics/ID3DVideo.h"
#include "engine/graphics/ID3DVideoTexture.h"
#include "engine/graphics/VideoMaker.h"
#include "engine/media/video/VideoObjects.h"

namespace {

using namespace KYR;
using namespace KYR::test;

TEST(KYRD3DAdapter, ReportsTheAdapter) {
    RefPtr<CKYRD3D> d3d(new CKYRD3D);
    D3DAdapterInfo info = {};
    ASSERT_TRUE(d3d->GetAdapterInfo(&info, 640, 480));
    EXPECT_GT(strlen(info.description), 0u);
    EXPECT_LT(strlen(info.description), sizeof(info.description));
    EXPECT_GE(info.vertexProcessing, 0);
    EXPECT_LE(info.vertexProcessing, 2);
    EXPECT_GT(info.videoMemory, 0u);  // Wine's DirectDraw reports about 4 GB
    EXPECT_GE(info.maxTextureWidth, 2048u);
    EXPECT_GE(info.maxTextureHeight, 2048u);
    EXPECT_TRUE(info.vertexShader20);
    EXPECT_TRUE(info.pixelShader20);
    std::cout << "adapter: " << info.description << ", vertex processing "
              << info.vertexProcessing << ", " << info.videoMemory << " bytes\n";

    struct Row {
        D3DAdapterInfo* out;
        uint32_t width, height;
    } refused[] = {{&info, 0, 480}, {&info, 640, 0}, {&info, 0, 0}, {nullptr, 640, 480}};
    for (const Row& row : refused) {
        D3DAdapterInfo before = info;
        EXPECT_FALSE(d3d->GetAdapterInfo(row.out, row.width, row.height))
            << row.width << "x" << row.height;
        EXPECT_EQ(memcmp(&before, &info, sizeof(info)), 0) << "a refused query wrote";
    }
}

TEST(KYRD3DCreate, RefusalsLeaveNoDevice) {
    TestWindow window;
    RefPtr<CKYRD3D> d3d(new CKYRD3D);
    struct Row {
        HWND window;
        int32_t type;
        uint32_t width, height;
    } rows[] = {
        {nullptr, 2, 320, 240},        // no window
        {window.Get(), 3, 320, 240},   // past the last type
        {window.Get(), -1, 320, 240},  // before the first
        {window.Get(), 2, 0, 240},
        {window.Get(), 2, 320, 0},
    };
    for (const Row& row : rows) {
        EXPECT_FALSE(d3d->CreateDevice(row.window, row.type, row.width, row.height))
            << row.type << " " << row.width << "x" << row.height;
        EXPECT_EQ(RawDevice(*d3d.Get()), nullptr);
    }
}

// Types below the adapter's best one are refused and the caller moves on to the next;
// each accepted type creates its device with its own behaviour flags.
TEST(KYRD3DCreate, TypesFollowTheAdapterTest) {
    TestWindow window;
    RefPtr<CKYRD3D> d3d(new CKYRD3D);
    D3DAdapterInfo info = {};
    ASSERT_TRUE(d3d->GetAdapterInfo(&info, 640, 480));
    const DWORD flags[] = {0x54, 0x84, 0x24};
    for (int32_t type = 0; type < 3; ++type) {
        const bool created = d3d->CreateDevice(window.Get(), type, 320, 240);
        std::cout << "vertex-processing type " << type << (created ? " passes\n" : " refused\n");
        EXPECT_EQ(created, type >= info.vertexProcessing) << type;
        if (!created) continue;
        D3DDEVICE_CREATION_PARAMETERS cp = {};
        ASSERT_EQ(RawDevice(*d3d.Get())->GetCreationParameters(&cp), D3D_OK);
        EXPECT_EQ(cp.BehaviorFlags, flags[type]) << type;
        EXPECT_EQ(cp.hFocusWindow, window.Get());
        EXPECT_TRUE(d3d->ReleaseDevice());
    }
    EXPECT_FALSE(d3d->ReleaseDevice());
}

TEST(KYRD3DCreate, SecondDeviceIsRefusedAndTheFirstStaysUsable) {
    TestWindow window, other;
    RefPtr<CKYRD3D> d3d(new CKYRD3D);
    ASSERT_TRUE(CreateReadableDevice(*d3d.Get(), window.Get()));
    IDirect3DDevice9* first = RawDevice(*d3d.Get());
    for (int32_t type = 0; type < 3; ++type)
        EXPECT_FALSE(d3d->CreateDevice(other.Get(), type, 640, 480)) << type;
    EXPECT_EQ(RawDevice(*d3d.Get()), first);
    d3d->Clear(0xFF204060);
    EXPECT_TRUE(d3d->BeginScene());
    d3d->EndScene();
    EXPECT_TRUE(d3d->Present());
    EXPECT_EQ(d3d->TestCooperativeLevel(), D3D_OK);
    EXPECT_GT(d3d->GetAvailableTextureMem(), 0u);
    EXPECT_GE(d3d->GetMaxTextureWidth(), 2048u);
}

TEST(KYRD3DCreate, PresentationFollowsTheSizeAndVSync) {
    TestWindow window;
    RefPtr<CKYRD3D> d3d(new CKYRD3D);
    ASSERT_TRUE(d3d->GetVSync());
    ASSERT_TRUE(CreateReadableDevice(*d3d.Get(), window.Get(), 300, 200));
    struct Expect {
        UINT width, height, interval;
    };
    auto check = [&](const Expect& e, const char* when) {
        RefPtr<IDirect3DSwapChain9> chain;
        ASSERT_EQ(RawDevice(*d3d.Get())->GetSwapChain(0, chain.Put()), D3D_OK) << when;
        D3DPRESENT_PARAMETERS pp = {};
        ASSERT_EQ(chain->GetPresentParameters(&pp), D3D_OK) << when;
        EXPECT_EQ(pp.BackBufferWidth, e.width) << when;
        EXPECT_EQ(pp.BackBufferHeight, e.height) << when;
        EXPECT_EQ(pp.PresentationInterval, e.interval) << when;
        EXPECT_TRUE(pp.Windowed) << when;
        EXPECT_EQ(pp.AutoDepthStencilFormat, D3DFMT_D16) << when;
        EXPECT_EQ(pp.BackBufferFormat, D3DFMT_X8R8G8B8) << when;
    };
    check({300, 200, D3DPRESENT_INTERVAL_ONE}, "created");
    d3d->SetVSync(false);
    ASSERT_TRUE(d3d->ResetDevice(400, 300));
    check({400, 300, D3DPRESENT_INTERVAL_IMMEDIATE}, "reset");
}

TEST(KYRD3DCreate, NoDeviceMeansNothingHappens) {
    RefPtr<CKYRD3D> d3d(new CKYRD3D);
    EXPECT_NE(d3d->CreateObject(kIdRawDirect3D), nullptr);
    EXPECT_EQ(d3d->CreateObject(kIdRawDevice), nullptr);
    EXPECT_FALSE(d3d->ReleaseDevice());
    EXPECT_FALSE(d3d->ResetDevice(320, 240));
    EXPECT_FALSE(d3d->SetRenderTarget(nullptr));
    EXPECT_FALSE(d3d->Present());
    EXPECT_EQ(d3d->TestCooperativeLevel(), D3DERR_INVALIDCALL);
    EXPECT_EQ(d3d->GetAvailableTextureMem(), 0u);
    d3d->Clear(0);
    EXPECT_FALSE(d3d->BeginScene());
    d3d->EndScene();
}

// Textures, back buffers, the three batches and the two video objects are made with one
// reference each, and each holds the device. Unknown identifiers give null, and so do the
// video ones until their maker is registered (the maker is process-wide: set back at once).
TEST(KYRD3DCreate, ObjectsAreMadeForTheirIdentifiers) {
    RefPtr<CKYRD3D> d3d(new CKYRD3D);
    SetVideoObjectMaker(nullptr);
    const GUID notMade[] = {IID_IDirect3D9, GUID{}, kIdD3DVideo, kIdD3DVideoTexture};
    for (const GUID& id : notMade) EXPECT_EQ(d3d->CreateObject(id), nullptr);
    RegisterVideoObjects();
    const int32_t before = d3d->GetRefCount();
    {
        RefPtr<ID3DTexture> texture(static_cast<ID3DTexture*>(d3d->CreateObject(kIdD3DTexture)));
        RefPtr<ID3DBackBuffer> backBuffer(
            static_cast<ID3DBackBuffer*>(d3d->CreateObject(kIdD3DBackBuffer)));
        RefPtr<ID3DRender> quads(static_cast<ID3DRender*>(d3d->CreateObject(kIdD3DRender)));
        RefPtr<ID3DTriangleRender> triangles(
            static_cast<ID3DTriangleRender*>(d3d->CreateObject(kIdD3DTriangleRender)));
        RefPtr<ID3DLineRender> lines(
            static_cast<ID3DLineRender*>(d3d->CreateObject(kIdD3DLineRender)));
        RefPtr<ID3DVideo> video(static_cast<ID3DVideo*>(d3d->CreateObject(kIdD3DVideo)));
        RefPtr<ID3DVideoTexture> videoTexture(
            static_cast<ID3DVideoTexture*>(d3d->CreateObject(kIdD3DVideoTexture)));
        ASSERT_TRUE(video);
        ASSERT_TRUE(videoTexture);
        EXPECT_EQ(video->GetState(), kVideoClosed);
        EXPECT_EQ(videoTexture->GetState(), kVideoClosed);
        ASSERT_TRUE(texture);
        ASSERT_TRUE(backBuffer);
        ASSERT_TRUE(quads);
        ASSERT_TRUE(triangles);
        ASSERT_TRUE(lines);
        EXPECT_EQ(texture->GetRefCount(), 1);
        EXPECT_EQ(backBuffer->GetRefCount(), 1);
        EXPECT_EQ(quads->GetRefCount(), 1);
        EXPECT_EQ(triangles->GetRefCount(), 1);
        EXPECT_EQ(lines->GetRefCount(), 1);
        EXPECT_EQ(d3d->GetRefCount(), before + 7);  // each holds the device
        // Without a device a batch has no limits to reserve against.
        EXPECT_FALSE(quads->Reserve(1));
        EXPECT_FALSE(lines->Reserve(2));
        // Without a device nothing can be made, and the objects say so.
        EXPECT_FALSE(texture->Create(16, 16, false, false));
        EXPECT_EQ(texture->GetWidth(), 0u);
        EXPECT_FALSE(backBuffer->Create());
        EXPECT_EQ(CD3DTexture::Of(texture.Get()), texture.Get());
    }
    EXPECT_EQ(d3d->GetRefCount(), before);
}

// Memory runs out on one thread: this program's operator new (at the end of the file) fails
// there after the first `allowed` allocations while an OutOfMemory lives. libstdc++ makes the
// nothrow forms from it.
std::atomic<DWORD> g_failingThread{0};  // no thread has the id 0
std::atomic<int> g_allowed{0};

struct OutOfMemory {
    explicit OutOfMemory(int allowed) {
        g_allowed = allowed;
        g_failingThread = GetCurrentThreadId();
    }
    ~OutOfMemory() { g_failingThread = 0; }
};

// Out of memory every factory answers null, never throws into the game, and leaves nothing
// holding the device: when the object itself cannot be made, and when its constructor runs
// out (a texture's place in the lostable set, an effect's after its object).
TEST(KYRD3DCreate, NothingIsMadeWhenMemoryRunsOut) {
    RefPtr<CKYRD3D> d3d(new CKYRD3D);
    RegisterVideoObjects();
    int boxes = 0;
    const MessageBoxHook previous = SetMessageBoxHook([&](HWND, const char*, const char*, UINT) {
        ++boxes;
        return IDOK;
    });
    struct Row {
        const char* what;
        GUID id;  // GUID_NULL: CreateEffect
        int allowed;
    } rows[] = {
        {"texture", kIdD3DTexture, 0},        {"texture's lostable entry", kIdD3DTexture, 1},
        {"back buffer", kIdD3DBackBuffer, 0}, {"quad batch", kIdD3DRender, 0},
        {"triangle batch", kIdD3DTriangleRender, 0}, {"line batch", kIdD3DLineRender, 0},
        {"video", kIdD3DVideo, 0},            {"video texture", kIdD3DVideoTexture, 0},
        {"effect", GUID_NULL, 0},             {"effect's lostable entry", GUID_NULL, 1},
    };
    for (const Row& r : rows) {
        void* made = nullptr;
        {
            OutOfMemory none(r.allowed);
            made = IsEqualGUID(r.id, GUID_NULL) ? d3d->CreateEffect("float f;")
                                                : d3d->CreateObject(r.id);
        }
        EXPECT_EQ(made, nullptr) << r.what;
        EXPECT_EQ(d3d->GetRefCount(), 1) << r.what;
    }
    SetMessageBoxHook(previous);
    EXPECT_EQ(boxes, 0) << "no effect was made, so none failed to compile";
}

// After ReleaseDevice and CreateDevice, no system-memory copy a texture or a back buffer
// keeps belongs to (and keeps alive) the old device.
TEST_F(DeviceTest, KeptCopiesMoveToTheDeviceMadeAgain) {
    RefPtr<ID3DTexture> texture(static_cast<ID3DTexture*>(d3d_->CreateObject(kIdD3DTexture)));
    RefPtr<ID3DBackBuffer> back(static_cast<ID3DBackBuffer*>(d3d_->CreateObject(kIdD3DBackBuffer)));
    D3DLOCKED_RECT rect = {};
    ASSERT_TRUE(texture->Create(8, 8, false, false) && texture->Lock(&rect, true));
    texture->Unlock();  // keeps its copy
    ASSERT_TRUE(back->Create());
    device_->AddRef();
    ASSERT_TRUE(d3d_->ReleaseDevice() && CreateReadableDevice(*d3d_.Get(), window_.Get()));
    EXPECT_EQ(device_->Release(), 0u);
}

// The bound render-target texture and the device hold each other: released in either order,
// both go, and the Direct3D device with them. Each Release answers the count that remains.
TEST(KYRD3DRelease, BoundRenderTargetKeepsNothingAlive) {
    TestWindow window;
    for (bool textureFirst : {true, false}) {
        auto* d3d = new CKYRD3D;
        ASSERT_TRUE(CreateReadableDevice(*d3d, window.Get()));
        auto* target = static_cast<ID3DTexture*>(d3d->CreateObject(kIdD3DTexture));
        ASSERT_TRUE(target->Create(16, 16, true, false) && d3d->SetRenderTarget(target));
        IDirect3DDevice9* device = RawDevice(*d3d);
        device->AddRef();
        // The first one still held by the other; the second, the last of both.
        EXPECT_EQ(textureFirst ? target->Release() : d3d->Release(), 1) << textureFirst;
        EXPECT_EQ(textureFirst ? d3d->Release() : target->Release(), 0) << textureFirst;
        EXPECT_EQ(device->Release(), 0u) << textureFirst;
    }
}

// The viewport record is zeroed by every create and reset, so returning to the back buffer
// sends a viewport of the back-buffer size.
TEST_F(DeviceTest, BackBufferTargetSendsItsViewport) {
    ASSERT_TRUE(d3d_->ResetDevice(400, 300));
    device_ = RawDevice(*d3d_.Get());
    D3DVIEWPORT9 small = {0, 0, 10, 10, 0.0f, 1.0f};
    ASSERT_EQ(device_->SetViewport(&small), D3D_OK);
    EXPECT_TRUE(d3d_->SetRenderTarget(nullptr));
    EXPECT_EQ(d3d_->GetRenderTarget(), nullptr);
    D3DVIEWPORT9 vp = {};
    ASSERT_EQ(device_->GetViewport(&vp), D3D_OK);
    EXPECT_EQ(vp.Width, 400u);
    EXPECT_EQ(vp.Height, 300u);
    EXPECT_EQ(vp.MaxZ, 1.0f);
}

}  // namespace

// OutOfMemory's side. The default operator delete frees with free(), which matches malloc().
void* operator new(std::size_t size) {
    if (g_failingThread == GetCurrentThreadId() && g_allowed.fetch_sub(1) <= 0)
        throw std::bad_alloc();
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
