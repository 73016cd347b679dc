// Shared by the graphics tests: a real window to present into, and a device on it.
#pragma once

#include <windows.h>

#include <d3d9.h>

#include "engine/core/RefPtr.h"
#include "engine/graphics/GraphicsObjectIds.h"
#include "engine/graphics/KYRD3D.h"

namespace KYR {
namespace test {

class TestWindow {
public:
    TestWindow()
        : hwnd_(CreateWindowExA(0, "STATIC", "graphics test", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                0, 0, 320, 240, nullptr, nullptr, GetModuleHandleA(nullptr),
                                nullptr)) {}
    ~TestWindow() { DestroyWindow(hwnd_); }
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;
    HWND Get() const { return hwnd_; }

private:
    HWND hwnd_;
};

inline IDirect3DDevice9* RawDevice(CKYRD3D& d3d) {
    return static_cast<IDirect3DDevice9*>(d3d.CreateObject(kIdRawDevice));
}

// A device whose states can be read back: a pure device (type 0) refuses GetRenderState.
inline bool CreateReadableDevice(CKYRD3D& d3d, HWND window, UINT width = 320,
                                 UINT height = 240) {
    return d3d.CreateDevice(window, 1, width, height) ||
           d3d.CreateDevice(window, 2, width, height);
}

// A device and its window, made fresh for each test.
class DeviceTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(window_.Get(), nullptr);
        ASSERT_TRUE(CreateReadableDevice(*d3d_.Get(), window_.Get()));
        device_ = RawDevice(*d3d_.Get());
        ASSERT_NE(device_, nullptr);
    }

    TestWindow window_;
    RefPtr<CKYRD3D> d3d_{new CKYRD3D};
    IDirect3DDevice9* device_ = nullptr;  // borrowed from d3d_
};

// One device for a whole suite: creating one takes seconds under Wine. Each case leaves the
// device at its starting size with the back buffer as target.
class SharedDeviceTest : public ::testing::Test {
protected:
    static constexpr UINT kWidth = 320, kHeight = 240;
    static void SetUpTestSuite() {
        window_ = new TestWindow;
        d3d_ = new CKYRD3D;
        CreateReadableDevice(*d3d_, window_->Get(), kWidth, kHeight);
    }
    static void TearDownTestSuite() {
        d3d_->Release();
        d3d_ = nullptr;
        delete window_;
        window_ = nullptr;
    }
    void SetUp() override { ASSERT_NE(RawDevice(*d3d_), nullptr); }
    void TearDown() override {
        d3d_->SetRenderTarget(nullptr);
        D3DPRESENT_PARAMETERS pp = {};
        RefPtr<IDirect3DSwapChain9> chain;
        if (SUCCEEDED(RawDevice(*d3d_)->GetSwapChain(0, chain.Put())) &&
            SUCCEEDED(chain->GetPresentParameters(&pp)) &&
            (pp.BackBufferWidth != kWidth || pp.BackBufferHeight != kHeight))
            d3d_->ResetDevice(kWidth, kHeight);
    }
    IDirect3DDevice9* Device() const { return RawDevice(*d3d_); }

    static TestWindow* window_;
    static CKYRD3D* d3d_;
};
inline TestWindow* SharedDeviceTest::window_ = nullptr;
inline CKYRD3D* SharedDeviceTest::d3d_ = nullptr;

}  // namespace test
}  // namespace KYR
