#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "GraphicsTestSupport.h"
#include "engine/core/MessageBox.h"
#include "engine/graphics/D3DEffect.h"
#include "engine/graphics/D3DTexture.h"

namespace {

using namespace KYR;
using namespace KYR::test;

struct Box {
    std::string text, caption;
    UINT type;
    HWND owner;
    bool deviceFree;  // another thread could take the device lock while the box was up
};

// Watches the message boxes for its lifetime.
class BoxWatch {
public:
    explicit BoxWatch(CKYRD3D* d3d)
        : previous_(SetMessageBoxHook([this, d3d](HWND owner, const char* text,
                                                  const char* caption, UINT type) {
              bool free = false;
              std::thread([&] {
                  if ((free = d3d->GetDeviceLock()->TryEnter())) d3d->GetDeviceLock()->Leave();
              }).join();
              boxes.push_back({text, caption, type, owner, free});
              return IDOK;
          })) {}
    ~BoxWatch() { SetMessageBoxHook(previous_); }
    std::vector<Box> boxes;

private:
    MessageBoxHook previous_;
};

// A compiled fx_2_0 effect, built by hand because Wine's D3DX compiles no technique source:
// float f = 0.5; texture s; technique t { pass p { ZEnable = TRUE; } }
// technique u { pass p { ZEnable = FALSE; } }. Offsets count from byte 8.
std::string BinaryEffect() {
    const DWORD kFloat = 3, kInt = 2, kScalar = 0, kTexture = 5, kObject = 4;
    const std::vector<DWORD> blob = {
        0xFEFF0901, 136,  // fx_2_0, then where the structure starts
        // 0: the float's type: type, class, name at 28, no semantic (36), not an array, 1 x 1
        kFloat, kScalar, 28, 36, 0, 1, 1,
        2, 'f',  // 28: "f" with its zero
        0,       // 36: an empty string
        0x3F000000,  // 40: 0.5f
        2, 't',      // 44
        2, 'p',      // 52
        kInt, kScalar, 36, 36, 0, 1, 1,  // 60: the state values' type
        FALSE,                           // 88: u's value
        kTexture, kObject, 112, 36, 0,   // 92: the texture's type, name at 112, no elements
        2, 's',                          // 112
        1,                               // 120: the texture's object slot
        2, 'u',                          // 124
        TRUE,                            // 132: t's value
        // 136: two parameters, two techniques, two object slots
        2, 2, 0, 2,
        0, 40, 0, 0,    // parameter: type at 0, value at 40, no flags, no annotations
        92, 120, 0, 0,
        44, 0, 1,       // technique "t", one pass
        52, 0, 1,       // pass "p", one state
        0, 0, 60, 132,  // state 0 of the effect state table: render state ZENABLE
        124, 0, 1,      // technique "u"
        52, 0, 1,
        0, 0, 60, 88,
        0, 0,           // no strings, no resources
    };
    return std::string(reinterpret_cast<const char*>(blob.data()), blob.size() * sizeof(DWORD));
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
        BoxWatch watch(r.d3d);
        RefPtr<ID3DEffect> effect(r.d3d->CreateEffect(r.source));
        ASSERT_TRUE(effect) << r.what;
        ASSERT_EQ(watch.boxes.size(), 1u) << r.what;
        EXPECT_EQ(watch.boxes[0].caption, "ERROR");
        EXPECT_EQ(watch.boxes[0].type, static_cast<UINT>(MB_OK));
        // Up in front of the game's window, with the device free for its other threads.
        EXPECT_EQ(watch.boxes[0].owner, window_->Get()) << r.what;
        EXPECT_TRUE(watch.boxes[0].deviceFree) << r.what;
        EXPECT_FALSE(watch.boxes[0].text.empty());
        std::cout << r.what << ": " << watch.boxes[0].text << "\n";
        ExpectEveryCallRefused(*effect.Get());
    }
}

TEST(EffectNoDevice, CreateEffectStillGivesAnEffect) {
    RefPtr<CKYRD3D> d3d(new CKYRD3D);
    BoxWatch watch(d3d.Get());
    RefPtr<ID3DEffect> effect(d3d->CreateEffect("float f;"));
    ASSERT_TRUE(effect);
    ASSERT_EQ(watch.boxes.size(), 1u);
    EXPECT_EQ(watch.boxes[0].caption, "ERROR");
    EXPECT_EQ(watch.boxes[0].owner, nullptr) << "no device, no window";
    EXPECT_TRUE(watch.boxes[0].deviceFree);
    EXPECT_FALSE(watch.boxes[0].text.empty());
    ExpectEveryCallRefused(*effect.Get());
}

// Across a reset the effect is told of the loss; across ReleaseDevice and CreateDevice it is
// compiled again for the new device and lets the old one go. Either way it keeps the
// technique, the parameter values and the textures set on it, and the handles the game holds.
TEST_F(EffectTest, CompiledEffectKeepsWhatWasSetAcrossResetsAndNewDevices) {
    RefPtr<CD3DEffect> effect(new CD3DEffect(d3d_, BinaryEffect()));
    ASSERT_EQ(effect->Compile(nullptr), D3D_OK);
    // D3DX holds the texture set on it, and Reset fails while a default-pool texture lives.
    RefPtr<ID3DTexture> texture(static_cast<ID3DTexture*>(d3d_->CreateObject(kIdD3DTexture)));
    ASSERT_TRUE(texture->Create(16, 16, false, false));
    EXPECT_EQ(effect->SetTexture("s", texture.Get()), D3D_OK);  // a name of the game's own

    D3DXHANDLE f = effect->GetParameterByName(nullptr, "f");
    ASSERT_NE(f, nullptr);
    float value = 0;
    ASSERT_EQ(effect->EffectTemp()->GetFloat(f, &value), D3D_OK);
    EXPECT_EQ(value, 0.5f);
    const D3DXVECTOR4 vector(2.25f, 0, 0, 0);
    EXPECT_EQ(effect->SetVector(f, &vector), D3D_OK);
    D3DXHANDLE u = effect->GetTechniqueByName("u");
    ASSERT_NE(u, nullptr);
    EXPECT_EQ(effect->SetTechnique(u), D3D_OK);  // not the first, which D3DX would choose
    EXPECT_EQ(effect->GetTechniqueByName("none"), nullptr);

    struct Step {
        const char* when;
        bool reset, makeAgain;  // what follows the checks
    } steps[] = {{"before", true, false}, {"after a reset", false, true},
                 {"on the device made again", false, false}};
    for (const Step& step : steps) {
        const char* when = step.when;
        ID3DXEffect* inner = effect->EffectTemp();
        ASSERT_NE(inner, nullptr) << when;
        ASSERT_EQ(inner->GetFloat(f, &value), D3D_OK) << when;
        EXPECT_EQ(value, 2.25f) << when;
        DWORD z = 0;
        Device()->GetRenderState(D3DRS_ZENABLE, &z);
        EXPECT_EQ(z, static_cast<DWORD>(D3DZB_TRUE)) << when;  // the automatic depth buffer
        ASSERT_TRUE(d3d_->BeginScene());
        UINT passes = 0;
        EXPECT_EQ(effect->Begin(&passes, 0), D3D_OK) << when;
        EXPECT_EQ(passes, 1u) << when;
        EXPECT_EQ(effect->BeginPass(0), D3D_OK) << when;
        Device()->GetRenderState(D3DRS_ZENABLE, &z);
        EXPECT_EQ(z, static_cast<DWORD>(FALSE)) << when << ": u's pass";
        EXPECT_EQ(effect->EndPass(), D3D_OK);
        EXPECT_EQ(effect->End(), D3D_OK);
        RefPtr<IDirect3DBaseTexture9> held;  // given back after the reset
        ASSERT_EQ(inner->GetTexture("s", held.Put()), D3D_OK);
        EXPECT_EQ(held.Get(), CD3DTexture::Of(texture.Get())->GetTextureTemp()) << when;
        held.Reset();
        d3d_->EndScene();
        if (step.reset) {
            ASSERT_TRUE(d3d_->ResetDevice(kWidth, kHeight)) << when;  // the effect lets it go
        } else if (step.makeAgain) {
            IDirect3DDevice9* old = Device();
            old->AddRef();
            ASSERT_TRUE(d3d_->ReleaseDevice() &&
                        CreateReadableDevice(*d3d_, window_->Get(), kWidth, kHeight));
            EXPECT_EQ(old->Release(), 0u) << "the effect let the old device go";
        }
    }
}

}  // namespace
