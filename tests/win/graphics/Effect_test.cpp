#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "GraphicsTestSupport.h"
#include "engine/core/DxEntryPoints.h"
#include "engine/core/MessageBox.h"
#include "engine/graphics/D3DEffect.h"
#include "engine/graphics/D3DTexture.h"

namespace {

using namespace KYR;
using namespace KYR::test;

struct Box {
    std::string text, caption;
    UINT type;
};

// Watches the message boxes for its lifetime.
class BoxWatch {
public:
    BoxWatch()
        : previous_(SetMessageBoxHook([this](HWND, const char* text, const char* caption,
                                             UINT type) {
              boxes.push_back({text, caption, type});
              return IDOK;
          })) {}
    ~BoxWatch() { SetMessageBoxHook(previous_); }
    std::vector<Box> boxes;

private:
    MessageBoxHook previous_;
};

// A compiled fx_2_0 effect, built by hand because Wine's D3DX compiles no technique source:
// float f = 0.5; texture s; technique t { pass p { ZEnable = FALSE; } }. Offsets count from
// byte 8.
std::vector<DWORD> BinaryEffect() {
    const DWORD kFloat = 3, kInt = 2, kScalar = 0, kTexture = 5, kObject = 4;
    return {
        0xFEFF0901, 124,  // fx_2_0, then where the structure starts
        // 0: the float's type: type, class, name at 28, no semantic (36), not an array, 1 x 1
        kFloat, kScalar, 28, 36, 0, 1, 1,
        2, 'f',  // 28: "f" with its zero
        0,       // 36: an empty string
        0x3F000000,  // 40: 0.5f
        2, 't',      // 44
        2, 'p',      // 52
        kInt, kScalar, 36, 36, 0, 1, 1,  // 60: the state value's type
        FALSE,                           // 88: its value
        kTexture, kObject, 112, 36, 0,   // 92: the texture's type, name at 112, no elements
        2, 's',                          // 112
        1,                               // 120: the texture's object slot
        // 124: two parameters, one technique, two object slots
        2, 1, 0, 2,
        0, 40, 0, 0,    // parameter: type at 0, value at 40, no flags, no annotations
        92, 120, 0, 0,
        44, 0, 1,       // technique "t", one pass
        52, 0, 1,       // pass "p", one state
        0, 0, 60, 88,   // state 0 of the effect state table: render state ZENABLE
        0, 0,           // no strings, no resources
    };
}

using EffectTest = SharedDeviceTest;

void ExpectEveryCallRefused(ID3DEffect& effect) {
    UINT passes = 7;
    EXPECT_TRUE(FAILED(effect.Begin(&passes, 0)));
    EXPECT_EQ(passes, 0u);
    EXPECT_TRUE(FAILED(effect.Begin(nullptr, 0)));
    EXPECT_TRUE(FAILED(effect.BeginPass(0)));
    EXPECT_TRUE(FAILED(effect.EndPass()));
    EXPECT_TRUE(FAILED(effect.End()));
    const float values[2] = {1, 2};
    const D3DXVECTOR4 vector(1, 2, 3, 4);
    EXPECT_TRUE(FAILED(effect.SetFloat("f", 1)));
    EXPECT_TRUE(FAILED(effect.SetFloatArray("f", values, 2)));
    EXPECT_TRUE(FAILED(effect.SetTexture("f", nullptr)));
    EXPECT_TRUE(FAILED(effect.SetVector("f", &vector)));
    EXPECT_TRUE(FAILED(effect.SetTechnique("t")));
    EXPECT_EQ(effect.GetTechniqueByName("t"), nullptr);
    EXPECT_EQ(effect.GetParameterByName(nullptr, "f"), nullptr);
}

TEST_F(EffectTest, FailedCompileShowsOneBoxAndGivesAnInertEffect) {
    struct Row {
        const char* what;
        CKYRD3D* d3d;
        const char* source;
    } rows[] = {
        {"technique source", d3d_, "float f; technique t { pass p { ZEnable = FALSE; } }"},
        {"null source", d3d_, nullptr},
    };
    for (const Row& r : rows) {
        BoxWatch watch;
        RefPtr<ID3DEffect> effect(r.d3d->CreateEffect(r.source));
        ASSERT_TRUE(effect) << r.what;
        ASSERT_EQ(watch.boxes.size(), 1u) << r.what;
        EXPECT_EQ(watch.boxes[0].caption, "ERROR");
        EXPECT_EQ(watch.boxes[0].type, static_cast<UINT>(MB_OK));
        EXPECT_FALSE(watch.boxes[0].text.empty());
        std::cout << r.what << ": " << watch.boxes[0].text << "\n";
        ExpectEveryCallRefused(*effect.Get());
    }
}

TEST(EffectNoDevice, CreateEffectStillGivesAnEffect) {
    RefPtr<CKYRD3D> d3d(new CKYRD3D);
    BoxWatch watch;
    RefPtr<ID3DEffect> effect(d3d->CreateEffect("float f;"));
    ASSERT_TRUE(effect);
    ASSERT_EQ(watch.boxes.size(), 1u);
    EXPECT_EQ(watch.boxes[0].caption, "ERROR");
    EXPECT_FALSE(watch.boxes[0].text.empty());
    ExpectEveryCallRefused(*effect.Get());
}

TEST_F(EffectTest, CompiledEffectRunsItsPassAndSurvivesAReset) {
    const std::vector<DWORD> blob = BinaryEffect();
    RefPtr<ID3DXEffect> raw;
    ASSERT_EQ(dx::D3DXCreateEffect(Device(), blob.data(), blob.size() * sizeof(DWORD), nullptr,
                                   nullptr, 0, nullptr, raw.Put(), nullptr),
              D3D_OK);
    ID3DXEffect* inner = raw.Get();
    RefPtr<ID3DEffect> effect(new CD3DEffect(d3d_, std::move(raw)));
    // D3DX holds the texture set on it, and Reset fails while a default-pool texture lives.
    RefPtr<ID3DTexture> texture(static_cast<ID3DTexture*>(d3d_->CreateObject(kIdD3DTexture)));
    ASSERT_TRUE(texture->Create(16, 16, false, false));
    EXPECT_EQ(effect->SetTexture("s", texture.Get()), D3D_OK);

    D3DXHANDLE f = effect->GetParameterByName(nullptr, "f");
    ASSERT_NE(f, nullptr);
    float value = 0;
    ASSERT_EQ(inner->GetFloat(f, &value), D3D_OK);
    EXPECT_EQ(value, 0.5f);
    EXPECT_EQ(effect->SetFloat(f, 2.25f), D3D_OK);
    ASSERT_EQ(inner->GetFloat(f, &value), D3D_OK);
    EXPECT_EQ(value, 2.25f);
    D3DXHANDLE t = effect->GetTechniqueByName("t");
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(effect->SetTechnique(t), D3D_OK);
    EXPECT_EQ(effect->GetTechniqueByName("none"), nullptr);

    for (const char* when : {"before", "after a reset"}) {
        DWORD z = 0;
        Device()->GetRenderState(D3DRS_ZENABLE, &z);
        EXPECT_EQ(z, static_cast<DWORD>(D3DZB_TRUE)) << when;  // the automatic depth buffer
        ASSERT_TRUE(d3d_->BeginScene());
        UINT passes = 0;
        EXPECT_EQ(effect->Begin(&passes, 0), D3D_OK) << when;
        EXPECT_EQ(passes, 1u) << when;
        EXPECT_EQ(effect->BeginPass(0), D3D_OK) << when;
        Device()->GetRenderState(D3DRS_ZENABLE, &z);
        EXPECT_EQ(z, static_cast<DWORD>(FALSE)) << when;
        EXPECT_EQ(effect->EndPass(), D3D_OK);
        EXPECT_EQ(effect->End(), D3D_OK);
        RefPtr<IDirect3DBaseTexture9> held;  // given back after the reset
        ASSERT_EQ(inner->GetTexture("s", held.Put()), D3D_OK);
        EXPECT_EQ(held.Get(), CD3DTexture::Of(texture.Get())->GetTextureTemp()) << when;
        held.Reset();
        d3d_->EndScene();
        ASSERT_TRUE(d3d_->ResetDevice(kWidth, kHeight)) << when;  // the effect lets it go
    }
}

}  // namespace
