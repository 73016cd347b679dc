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

// Each makes a default-pool resource and binds it at `at` (a stage, a stream, a target), then
// lets go of its own reference, as an object released while its resource is bound does; or,
// with `make` false, says whether anything is bound there.
bool Texture(IDirect3DDevice9* device, DWORD at, bool make) {
    RefPtr<IDirect3DBaseTexture9> bound;
    if (!make) return SUCCEEDED(device->GetTexture(at, bound.Put())) && bound;
    RefPtr<IDirect3DTexture9> texture;
    return SUCCEEDED(device->CreateTexture(16, 16, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT,
                                           texture.Put(), nullptr)) &&
           SUCCEEDED(device->SetTexture(at, texture.Get()));
}

bool Stream(IDirect3DDevice9* device, DWORD at, bool make) {
    RefPtr<IDirect3DVertexBuffer9> buffer;
    UINT offset = 0, stride = 0;
    if (!make)
        return SUCCEEDED(device->GetStreamSource(at, buffer.Put(), &offset, &stride)) && buffer;
    return SUCCEEDED(device->CreateVertexBuffer(4096, D3DUSAGE_WRITEONLY, 0, D3DPOOL_DEFAULT,
                                                buffer.Put(), nullptr)) &&
           SUCCEEDED(device->SetStreamSource(at, buffer.Get(), 0, 28));
}

bool Indices(IDirect3DDevice9* device, DWORD, bool make) {
    RefPtr<IDirect3DIndexBuffer9> indices;
    if (!make) return SUCCEEDED(device->GetIndices(indices.Put())) && indices;
    return SUCCEEDED(device->CreateIndexBuffer(4096, D3DUSAGE_WRITEONLY, D3DFMT_INDEX16,
                                               D3DPOOL_DEFAULT, indices.Put(), nullptr)) &&
           SUCCEEDED(device->SetIndices(indices.Get()));
}

bool Target(IDirect3DDevice9* device, DWORD at, bool make) {
    RefPtr<IDirect3DSurface9> surface;
    if (!make) return SUCCEEDED(device->GetRenderTarget(at, surface.Put())) && surface;
    return SUCCEEDED(device->CreateRenderTarget(320, 240, D3DFMT_A8R8G8B8, D3DMULTISAMPLE_NONE,
                                                0, FALSE, surface.Put(), nullptr)) &&
           SUCCEEDED(device->SetRenderTarget(at, surface.Get()));
}

// Asks, when the device is lost, whether the binding of the current row is still there.
class BindingProbe : public ILostable {
public:
    BindingProbe(CKYRD3D* d3d, bool (*binding)(IDirect3DDevice9*, DWORD, bool), DWORD at)
        : d3d_(d3d), binding_(binding), at_(at) {}
    void OnLostDevice() override { boundAtLoss = binding_(RawDevice(*d3d_), at_, false); }
    bool OnResetDevice() override { return true; }
    int32_t GetLostableKind() override { return kLostableTexture; }
    bool boundAtLoss = true;

private:
    CKYRD3D* d3d_;
    bool (*binding_)(IDirect3DDevice9*, DWORD, bool);
    DWORD at_;
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
// lets such bindings go). The device unbinds every stage, stream, the indices and the extra
// render targets before it tells its objects and resets, also when it releases the device.
TEST(DeviceLoss, NothingIsLeftBoundWhenTheObjectsAreTold) {
    TestWindow window;
    RefPtr<CKYRD3D> d3d(new CKYRD3D);
    ASSERT_TRUE(CreateReadableDevice(*d3d.Get(), window.Get()));
    D3DCAPS9 caps = {};
    ASSERT_EQ(RawDevice(*d3d.Get())->GetDeviceCaps(&caps), D3D_OK);
    ASSERT_GE(caps.NumSimultaneousRTs, 2u);
    struct Row {
        const char* what;
        bool (*binding)(IDirect3DDevice9*, DWORD, bool);
        DWORD at;
        bool release;  // ReleaseDevice and CreateDevice, else ResetDevice
    } rows[] = {
        {"texture stage 0", Texture, 0, false},
        {"last pixel texture stage", Texture, caps.MaxSimultaneousTextures - 1, false},
        {"last vertex texture stage", Texture, D3DVERTEXTEXTURESAMPLER3, false},
        {"stream 0", Stream, 0, false},
        {"last stream", Stream, caps.MaxStreams - 1, false},
        {"indices", Indices, 0, false},
        {"render target 1", Target, 1, false},
        {"last render target", Target, caps.NumSimultaneousRTs - 1, false},
        {"texture stage 3, released", Texture, 3, true},
        {"stream 1, released", Stream, 1, true},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        BindingProbe probe(d3d.Get(), r.binding, r.at);
        ASSERT_TRUE(r.binding(RawDevice(*d3d.Get()), r.at, true));
        ASSERT_TRUE(r.binding(RawDevice(*d3d.Get()), r.at, false));
        d3d->RegisterLostable(&probe);
        if (r.release)
            EXPECT_TRUE(d3d->ReleaseDevice() && CreateReadableDevice(*d3d.Get(), window.Get()));
        else
            EXPECT_TRUE(d3d->ResetDevice(320, 240));
        EXPECT_FALSE(probe.boundAtLoss);
        d3d->UnregisterLostable(&probe);
    }
}

}  // namespace
