#include <gtest/gtest.h>

#include <functional>

#include "GraphicsTestSupport.h"

namespace {

using namespace KYR;
using namespace KYR::test;

enum class Where { kRender, kStage0, kSampler0 };

// One cached state as the device holds it, the value BeginScene sends, and another value the
// test writes behind the cache's back so that a state left unsent shows.
struct State {
    const char* name;
    Where where;
    DWORD state;
    DWORD sceneDefault;
    DWORD other;
};

const State kSceneStates[] = {
    {"cull", Where::kRender, D3DRS_CULLMODE, D3DCULL_NONE, D3DCULL_CW},
    {"lighting", Where::kRender, D3DRS_LIGHTING, FALSE, TRUE},
    {"colorop", Where::kStage0, D3DTSS_COLOROP, D3DTOP_MODULATE, D3DTOP_SELECTARG2},
    {"colorarg1", Where::kStage0, D3DTSS_COLORARG1, D3DTA_TEXTURE, D3DTA_CURRENT},
    {"colorarg2", Where::kStage0, D3DTSS_COLORARG2, D3DTA_DIFFUSE, D3DTA_TFACTOR},
    {"alphaop", Where::kStage0, D3DTSS_ALPHAOP, D3DTOP_MODULATE, D3DTOP_ADD},
    {"alphaarg1", Where::kStage0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE, D3DTA_CURRENT},
    {"alphaarg2", Where::kStage0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE, D3DTA_TFACTOR},
    {"blendop", Where::kRender, D3DRS_BLENDOP, D3DBLENDOP_ADD, D3DBLENDOP_MAX},
    {"srcblend", Where::kRender, D3DRS_SRCBLEND, D3DBLEND_SRCALPHA, D3DBLEND_ZERO},
    {"destblend", Where::kRender, D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA, D3DBLEND_ONE},
    {"blendopalpha", Where::kRender, D3DRS_BLENDOPALPHA, D3DBLENDOP_ADD, D3DBLENDOP_MIN},
    {"srcblendalpha", Where::kRender, D3DRS_SRCBLENDALPHA, D3DBLEND_ONE, D3DBLEND_ZERO},
    {"destblendalpha", Where::kRender, D3DRS_DESTBLENDALPHA, D3DBLEND_ZERO, D3DBLEND_ONE},
    {"alphablend", Where::kRender, D3DRS_ALPHABLENDENABLE, FALSE, TRUE},
    {"separatealpha", Where::kRender, D3DRS_SEPARATEALPHABLENDENABLE, FALSE, TRUE},
    {"alphatest", Where::kRender, D3DRS_ALPHATESTENABLE, FALSE, TRUE},
    {"filter", Where::kSampler0, 0, D3DTEXF_POINT, D3DTEXF_LINEAR},
};

void Write(IDirect3DDevice9* device, const State& s, DWORD value) {
    switch (s.where) {
    case Where::kRender:
        device->SetRenderState(static_cast<D3DRENDERSTATETYPE>(s.state), value);
        break;
    case Where::kStage0:
        device->SetTextureStageState(0, static_cast<D3DTEXTURESTAGESTATETYPE>(s.state), value);
        break;
    case Where::kSampler0:
        device->SetSamplerState(0, D3DSAMP_MAGFILTER, value);
        device->SetSamplerState(0, D3DSAMP_MINFILTER, value);
        break;
    }
}

DWORD Read(IDirect3DDevice9* device, const State& s) {
    DWORD v = 0xDEADBEEF, min = 0xDEADBEEF;
    switch (s.where) {
    case Where::kRender:
        device->GetRenderState(static_cast<D3DRENDERSTATETYPE>(s.state), &v);
        return v;
    case Where::kStage0:
        device->GetTextureStageState(0, static_cast<D3DTEXTURESTAGESTATETYPE>(s.state), &v);
        return v;
    case Where::kSampler0:
        device->GetSamplerState(0, D3DSAMP_MAGFILTER, &v);
        device->GetSamplerState(0, D3DSAMP_MINFILTER, &min);
        return v == min ? v : 0xBADF117E;  // the one entry covers both filters
    }
    return v;
}

// Scribbles over every cached state, runs a frame bracket, and checks the defaults arrived.
void ExpectSceneDefaultsAfterScribble(CKYRD3D& d3d, const char* when) {
    IDirect3DDevice9* device = RawDevice(d3d);
    for (const State& s : kSceneStates) Write(device, s, s.other);
    ASSERT_TRUE(d3d.BeginScene()) << when;
    d3d.EndScene();
    for (const State& s : kSceneStates) EXPECT_EQ(Read(device, s), s.sceneDefault)
        << when << ": " << s.name;
    DWORD fvf = 0;
    device->GetFVF(&fvf);
    EXPECT_EQ(fvf, 0x144u) << when;
}

TEST_F(DeviceTest, FirstSceneSendsTheDefaults) {
    ExpectSceneDefaultsAfterScribble(*d3d_.Get(), "first scene");
}

// A new or reset device has Direct3D's own states, so the cache must forget what it sent.
TEST_F(DeviceTest, EveryStateIsSentAgainOnANewOrResetDevice) {
    ASSERT_TRUE(d3d_->BeginScene());
    d3d_->EndScene();
    d3d_->SetAlphaRefOne();
    d3d_->SetAlphaFuncGreaterEqual();
    struct Row {
        const char* what;
        std::function<bool()> renew;
    } rows[] = {
        {"reset", [&] { return d3d_->ResetDevice(640, 480); }},
        {"release and create",
         [&] {
             return d3d_->ReleaseDevice() && CreateReadableDevice(*d3d_.Get(), window_.Get());
         }},
    };
    for (const Row& row : rows) {
        ASSERT_TRUE(row.renew()) << row.what;
        ExpectSceneDefaultsAfterScribble(*d3d_.Get(), row.what);
        IDirect3DDevice9* device = RawDevice(*d3d_.Get());
        device->SetRenderState(D3DRS_ALPHAREF, 77);
        device->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_NEVER);
        d3d_->SetAlphaRefOne();
        d3d_->SetAlphaFuncGreaterEqual();
        DWORD ref = 0, func = 0;
        device->GetRenderState(D3DRS_ALPHAREF, &ref);
        device->GetRenderState(D3DRS_ALPHAFUNC, &func);
        EXPECT_EQ(ref, 1u) << row.what;
        EXPECT_EQ(func, static_cast<DWORD>(D3DCMP_GREATEREQUAL)) << row.what;
    }
}

// Each setter sends a new value, keeps quiet on a repeat (a value written behind the cache's
// back survives it), and sends again when the value changes.
TEST_F(DeviceTest, SettersSendOnlyChanges) {
    struct Row {
        State state;
        std::function<void(DWORD)> set;
        DWORD first, second;
    } rows[] = {
        {kSceneStates[2], [&](DWORD v) { d3d_->SetColorOp(v); }, D3DTOP_ADD, D3DTOP_SUBTRACT},
        {kSceneStates[3], [&](DWORD v) { d3d_->SetColorArg1(v); }, D3DTA_DIFFUSE, D3DTA_TEXTURE},
        {kSceneStates[5], [&](DWORD v) { d3d_->SetAlphaOp(v); }, D3DTOP_SELECTARG1,
         D3DTOP_MODULATE},
        {kSceneStates[6], [&](DWORD v) { d3d_->SetAlphaArg1(v); }, D3DTA_DIFFUSE, D3DTA_TEXTURE},
        {kSceneStates[8], [&](DWORD v) { d3d_->SetBlendOp(v); }, D3DBLENDOP_SUBTRACT,
         D3DBLENDOP_ADD},
        {kSceneStates[9], [&](DWORD v) { d3d_->SetSrcBlend(v); }, D3DBLEND_ONE,
         D3DBLEND_SRCALPHA},
        {kSceneStates[10], [&](DWORD v) { d3d_->SetDestBlend(v); }, D3DBLEND_ONE,
         D3DBLEND_INVSRCALPHA},
        {kSceneStates[11], [&](DWORD v) { d3d_->SetBlendOpAlpha(v); }, D3DBLENDOP_MAX,
         D3DBLENDOP_ADD},
        {kSceneStates[12], [&](DWORD v) { d3d_->SetSrcBlendAlpha(v); }, D3DBLEND_ZERO,
         D3DBLEND_ONE},
        {kSceneStates[13], [&](DWORD v) { d3d_->SetDestBlendAlpha(v); }, D3DBLEND_ONE,
         D3DBLEND_ZERO},
        {kSceneStates[14], [&](DWORD v) { d3d_->SetAlphaBlendEnable(v != 0); }, TRUE, FALSE},
        {kSceneStates[15], [&](DWORD v) { d3d_->SetSeparateAlphaBlendEnable(v != 0); }, TRUE,
         FALSE},
        {kSceneStates[16], [&](DWORD v) { d3d_->SetAlphaTestEnable(v != 0); }, TRUE, FALSE},
        {kSceneStates[17], [&](DWORD v) { d3d_->SetTextureFilter(v); }, D3DTEXF_LINEAR,
         D3DTEXF_POINT},
    };
    for (const Row& row : rows) {
        const State& s = row.state;
        row.set(row.first);
        EXPECT_EQ(Read(device_, s), row.first) << s.name << " first";
        Write(device_, s, s.other);
        row.set(row.first);
        EXPECT_EQ(Read(device_, s), s.other) << s.name << " repeat was sent";
        row.set(row.second);
        EXPECT_EQ(Read(device_, s), row.second) << s.name << " change";
    }
}

// The fixed setters have one value: the first call sends it, later ones never do.
TEST_F(DeviceTest, FixedSettersSendOnce) {
    struct Row {
        State state;
        std::function<void()> set;
        DWORD value;
    } rows[] = {
        {kSceneStates[0], [&] { d3d_->SetCullModeNone(); }, D3DCULL_NONE},
        {kSceneStates[1], [&] { d3d_->SetLightingOff(); }, FALSE},
        {kSceneStates[4], [&] { d3d_->SetColorArg2Diffuse(); }, D3DTA_DIFFUSE},
        {kSceneStates[7], [&] { d3d_->SetAlphaArg2Diffuse(); }, D3DTA_DIFFUSE},
        {{"alpharef", Where::kRender, D3DRS_ALPHAREF, 1, 200}, [&] { d3d_->SetAlphaRefOne(); },
         1},
        {{"alphafunc", Where::kRender, D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL, D3DCMP_LESS},
         [&] { d3d_->SetAlphaFuncGreaterEqual(); }, D3DCMP_GREATEREQUAL},
    };
    for (const Row& row : rows) {
        const State& s = row.state;
        Write(device_, s, s.other);
        row.set();
        EXPECT_EQ(Read(device_, s), row.value) << s.name << " first";
        Write(device_, s, s.other);
        row.set();
        EXPECT_EQ(Read(device_, s), s.other) << s.name << " repeat was sent";
    }
}

}  // namespace
