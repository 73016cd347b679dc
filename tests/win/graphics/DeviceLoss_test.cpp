#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "GraphicsTestSupport.h"

namespace {

using namespace KYR;
using namespace KYR::test;

struct Call {
    const ILostable* who;
    bool lost;  // OnLostDevice, else OnResetDevice
    bool operator==(const Call& o) const { return who == o.who && lost == o.lost; }
};

// Records its calls; optionally owns a default-pool vertex buffer like a real graphics object,
// so a loss sequence that runs too late makes Reset fail.
class RecordingLostable : public ILostable {
public:
    RecordingLostable() = default;
    RecordingLostable(std::vector<Call>* log, CKYRD3D* d3d, bool ownsBuffer)
        : log_(log), d3d_(d3d), ownsBuffer_(ownsBuffer) {}
    void Init(std::vector<Call>* log) { log_ = log; }

    void OnLostDevice() override {
        log_->push_back({this, true});
        if (!leak_) buffer_.Reset();
    }
    bool OnResetDevice() override {
        log_->push_back({this, false});
        if (!ownsBuffer_) return true;
        return SUCCEEDED(RawDevice(*d3d_)->CreateVertexBuffer(
            4096, D3DUSAGE_WRITEONLY, 0, D3DPOOL_DEFAULT, buffer_.Put(), nullptr));
    }
    int32_t GetLostableKind() override { return kLostableTexture; }

    bool HasBuffer() const { return static_cast<bool>(buffer_); }
    void SetLeak(bool leak) { leak_ = leak; }
    void DropBuffer() { buffer_.Reset(); }

private:
    std::vector<Call>* log_ = nullptr;
    CKYRD3D* d3d_ = nullptr;
    bool ownsBuffer_ = false;
    bool leak_ = false;
    RefPtr<IDirect3DVertexBuffer9> buffer_;
};

std::vector<Call> Expected(std::vector<const ILostable*> who, std::vector<bool> phases) {
    std::sort(who.begin(), who.end());  // the set is ordered by pointer value
    std::vector<Call> calls;
    for (bool lost : phases)
        for (const ILostable* l : who) calls.push_back({l, lost});
    return calls;
}

// The slots the bindings test fills: the first and last pixel sampler, the last vertex
// sampler, the first and last stream, render target 3.
const DWORD kStages[] = {0, 15, D3DVERTEXTEXTURESAMPLER3};
const UINT kStreams[] = {0, 15};

// Counts what is still bound in those slots (and the indices) when the device says it is lost.
struct BindingCount : ILostable {
    explicit BindingCount(CKYRD3D* d3d) : d3d(d3d) {}
    void OnLostDevice() override {
        IDirect3DDevice9* device = RawDevice(*d3d);
        RefPtr<IDirect3DBaseTexture9> texture;
        RefPtr<IDirect3DVertexBuffer9> vertices;
        RefPtr<IDirect3DIndexBuffer9> indices;
        RefPtr<IDirect3DSurface9> target;
        UINT offset, stride;
        bound = 0;
        for (DWORD stage : kStages) {
            device->GetTexture(stage, texture.Put());
            bound += texture ? 1 : 0;
        }
        for (UINT stream : kStreams) {
            device->GetStreamSource(stream, vertices.Put(), &offset, &stride);
            bound += vertices ? 1 : 0;
        }
        device->GetIndices(indices.Put());
        device->GetRenderTarget(3, target.Put());
        bound += (indices ? 1 : 0) + (target ? 1 : 0);
    }
    bool OnResetDevice() override { return true; }
    int32_t GetLostableKind() override { return kLostableTexture; }
    CKYRD3D* d3d;
    int bound = -1;
};

TEST(DeviceLoss, EveryRegisteredObjectIsReleasedThenRestoredInSetOrder) {
    TestWindow window;
    RefPtr<CKYRD3D> d3d(new CKYRD3D);
    std::vector<Call> log;
    RecordingLostable objects[3], dropped;
    for (auto& o : objects) o.Init(&log);
    dropped.Init(&log);
    // Registered in reverse address order, and one registered and then unregistered.
    for (int i = 2; i >= 0; --i) d3d->RegisterLostable(&objects[i]);
    d3d->RegisterLostable(&dropped);
    d3d->RegisterLostable(&objects[1]);  // twice is once
    d3d->UnregisterLostable(&dropped);
    const std::vector<const ILostable*> all = {&objects[0], &objects[1], &objects[2]};

    struct Step {
        const char* what;
        bool (*run)(CKYRD3D&, HWND);
        std::vector<bool> phases;
    } steps[] = {
        {"create", [](CKYRD3D& d, HWND w) { return CreateReadableDevice(d, w); }, {false}},
        {"reset", [](CKYRD3D& d, HWND) { return d.ResetDevice(640, 480); }, {true, false}},
        {"refused reset", [](CKYRD3D& d, HWND) { return !d.ResetDevice(0, 480); }, {}},
        {"release", [](CKYRD3D& d, HWND) { return d.ReleaseDevice(); }, {true}},
        {"create again", [](CKYRD3D& d, HWND w) { return CreateReadableDevice(d, w); }, {false}},
    };
    for (const Step& step : steps) {
        log.clear();
        ASSERT_TRUE(step.run(*d3d.Get(), window.Get())) << step.what;
        EXPECT_TRUE(log == Expected(all, step.phases)) << step.what << ": " << log.size()
                                                      << " calls";
    }
    d3d->ReleaseDevice();
    for (auto& o : objects) d3d->UnregisterLostable(&o);
}

TEST(DeviceLoss, RefusedResetLeavesTheDeviceAlone) {
    TestWindow window;
    RefPtr<CKYRD3D> d3d(new CKYRD3D);
    ASSERT_TRUE(CreateReadableDevice(*d3d.Get(), window.Get(), 320, 240));
    IDirect3DDevice9* device = RawDevice(*d3d.Get());
    RefPtr<IDirect3DSurface9> before;
    ASSERT_EQ(device->GetRenderTarget(0, before.Put()), D3D_OK);
    EXPECT_FALSE(d3d->ResetDevice(0, 240));
    EXPECT_FALSE(d3d->ResetDevice(320, 0));
    EXPECT_EQ(RawDevice(*d3d.Get()), device);
    // A reset would have made a new back buffer; the default target is still the one bound.
    RefPtr<IDirect3DSurface9> after;
    ASSERT_EQ(device->GetRenderTarget(0, after.Put()), D3D_OK);
    EXPECT_EQ(after.Get(), before.Get());
    before.Reset();
    after.Reset();
    EXPECT_TRUE(d3d->SetRenderTarget(nullptr));
    EXPECT_TRUE(d3d->BeginScene());
    d3d->EndScene();
    EXPECT_TRUE(d3d->Present());
}

// Direct3D refuses Reset while a default-pool resource lives: the objects must be released
// before the reset and rebuilt after it. An object that keeps its buffer makes every try fail.
TEST(DeviceLoss, DefaultPoolResourcesSurviveAReset) {
    TestWindow window;
    RefPtr<CKYRD3D> d3d(new CKYRD3D);
    std::vector<Call> log;
    RecordingLostable holder(&log, d3d.Get(), true);
    d3d->RegisterLostable(&holder);
    ASSERT_TRUE(CreateReadableDevice(*d3d.Get(), window.Get()));
    ASSERT_TRUE(holder.HasBuffer());
    EXPECT_TRUE(d3d->ResetDevice(640, 480));
    EXPECT_TRUE(holder.HasBuffer());

    holder.SetLeak(true);
    const DWORD start = GetTickCount();
    EXPECT_FALSE(d3d->ResetDevice(320, 240));
    const DWORD elapsed = GetTickCount() - start;
    EXPECT_GE(elapsed, 850u);  // ten tries, 100 ms apart
    EXPECT_LT(elapsed, 30000u);  // bounded, with room for an emulated machine
    EXPECT_FALSE(d3d->SetRenderTarget(nullptr));  // no back buffer to go back to

    holder.DropBuffer();
    holder.SetLeak(false);
    EXPECT_TRUE(d3d->ResetDevice(320, 240));
    EXPECT_TRUE(holder.HasBuffer());
    EXPECT_TRUE(d3d->SetRenderTarget(nullptr));
    d3d->ReleaseDevice();
    d3d->UnregisterLostable(&holder);
}

// What an effect, or the game on the raw device, leaves bound keeps a default-pool resource
// alive after its owner has let it go, and Windows then refuses every Reset (Wine's own Reset
// lets such bindings go, so the test looks at what is bound when the objects are told).
TEST(DeviceLoss, NothingIsLeftBoundWhenTheObjectsAreTold) {
    TestWindow window;
    RefPtr<CKYRD3D> d3d(new CKYRD3D);
    ASSERT_TRUE(CreateReadableDevice(*d3d.Get(), window.Get()));
    IDirect3DDevice9* device = RawDevice(*d3d.Get());
    {  // bound, then let go: the device's bindings hold the only references
        RefPtr<IDirect3DTexture9> texture;
        RefPtr<IDirect3DVertexBuffer9> vertices;
        RefPtr<IDirect3DIndexBuffer9> indices;
        RefPtr<IDirect3DSurface9> target;
        device->CreateTexture(16, 16, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, texture.Put(),
                              nullptr);
        device->CreateVertexBuffer(4096, 0, 0, D3DPOOL_DEFAULT, vertices.Put(), nullptr);
        device->CreateIndexBuffer(4096, 0, D3DFMT_INDEX16, D3DPOOL_DEFAULT, indices.Put(),
                                  nullptr);
        device->CreateRenderTarget(320, 240, D3DFMT_A8R8G8B8, D3DMULTISAMPLE_NONE, 0, FALSE,
                                   target.Put(), nullptr);
        for (DWORD stage : kStages) device->SetTexture(stage, texture.Get());
        for (UINT stream : kStreams) device->SetStreamSource(stream, vertices.Get(), 0, 28);
        device->SetIndices(indices.Get());
        device->SetRenderTarget(3, target.Get());
    }
    BindingCount probe(d3d.Get());
    probe.OnLostDevice();
    ASSERT_EQ(probe.bound, 7) << "what the probe sees bound";
    d3d->RegisterLostable(&probe);
    EXPECT_TRUE(d3d->ResetDevice(320, 240));
    EXPECT_EQ(probe.bound, 0);
    d3d->UnregisterLostable(&probe);
}

}  // namespace
