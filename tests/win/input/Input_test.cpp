// The device reader over test doubles of the input interface: Wine has no joystick, so the
// doubles play the keyboard and the controllers.
#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <memory>
#include <vector>

#include <dinput.h>

#include "InputDoubles.h"
#include "InputTestSupport.h"
#include "engine/core/RefPtr.h"
#include "input/Input.h"
#include "input/JoystickControls.h"

namespace {

using KYR::RefPtr;
using input_test::FakeDevice;
using input_test::FakeDI;
using input_test::MakeJoystick;

class InputTest : public ::testing::Test {
protected:
    // One window for the suite: Wine spends about two seconds on each top-level window.
    static void SetUpTestSuite() { window_ = new input_test::FrontWindow("reader test"); }
    static void TearDownTestSuite() {
        delete window_;
        window_ = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(window_->BringToFront()); }
    bool Init(KYR::CInput& input) {
        return input.Initialize(di_.Get(), window_->Get(), GetModuleHandleA(nullptr));
    }
    // One entry per controller index; false is one that fails to open.
    void Attach(std::initializer_list<bool> present) {
        di_->joysticks.clear();
        for (bool p : present) di_->joysticks.push_back(p ? MakeJoystick() : RefPtr<FakeDevice>());
    }
    // Every key (scan code 0 is no key and stays up), stick up-right, hat at 4500, and the
    // first sixteen buttons of every attached controller.
    void HoldEverything() {
        if (di_->keyboard) std::memset(di_->keyboard->state.data() + 1, 0x80, 255);
        for (auto& j : di_->joysticks) {
            if (!j) continue;
            j->Joy().lY = -1000;
            j->Joy().lX = 1000;
            j->Joy().rgdwPOV[0] = 4500;
            std::memset(j->Joy().rgbButtons, 0x80, 16);
        }
    }
    static input_test::FrontWindow* window_;
    RefPtr<FakeDI> di_{new FakeDI};
};
input_test::FrontWindow* InputTest::window_ = nullptr;

TEST_F(InputTest, OpensFourOfFiveControllersInOrder) {
    Attach({true, true, true, true, true});
    for (int i = 0; i < 5; ++i) di_->joysticks[i]->Joy().rgbButtons[i] = 0x80;  // button i+1
    KYR::CInput input;
    ASSERT_TRUE(Init(input));
    EXPECT_EQ(input.DeviceCount(), 5);
    EXPECT_EQ(di_->joystickRequests, (std::vector<int>{0, 1, 2, 3}));
    input.Poll();
    for (int device = 1; device <= 4; ++device) {
        for (int control = 0; control < 32; ++control) {
            const bool expected = control == 16 + (device - 1);
            EXPECT_EQ(input.IsJoystickControlDown(device, control), expected)
                << "joystick " << device << " control " << control;
        }
        // Each joystick is polled, then read as a DIJOYSTATE2; the keyboard only read.
        EXPECT_EQ(di_->joysticks[device - 1]->polls, 1);
        EXPECT_EQ(di_->joysticks[device - 1]->sizesRead, (std::vector<DWORD>{272}));
    }
    EXPECT_EQ(di_->joysticks[4]->polls, 0);
    EXPECT_EQ(di_->keyboard->polls, 0);
    EXPECT_EQ(di_->keyboard->sizesRead, (std::vector<DWORD>{256}));
}

TEST_F(InputTest, ASecondInitializeFailsAndKeepsTheOpenDevices) {
    Attach({true});
    KYR::CInput input;
    ASSERT_TRUE(Init(input));
    EXPECT_FALSE(Init(input));
    EXPECT_EQ(input.DeviceCount(), 2);
    EXPECT_EQ(di_->keyboardRequests, 1) << "nothing is opened a second time";
    di_->keyboard->state[0x2C] = 0x80;
    input.Poll();
    EXPECT_EQ(input.KeyState(0x2C), 0x80);
}

TEST_F(InputTest, AnIndexThatYieldsNothingIsSkipped) {
    Attach({false, true, false, true});
    di_->joysticks[3]->Joy().lRz = 501;  // control 11
    KYR::CInput input;
    ASSERT_TRUE(Init(input));
    EXPECT_EQ(di_->joystickRequests, (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(input.DeviceCount(), 3);
    input.Poll();
    EXPECT_FALSE(input.IsJoystickControlDown(1, 11));
    EXPECT_TRUE(input.IsJoystickControlDown(2, 11)) << "the devices after a gap close up";
}

TEST_F(InputTest, FailuresToOpen) {
    {   // no DirectInput object: nothing else is asked for
        di_->initializes = false;
        KYR::CInput input;
        EXPECT_FALSE(Init(input));
        EXPECT_EQ(di_->keyboardRequests, 0);
        EXPECT_EQ(input.DeviceCount(), 0);
    }
    {   // no keyboard: false, and Poll reads nothing even with everything held
        di_->initializes = true;
        di_->keyboard.Reset();
        Attach({true});
        HoldEverything();
        KYR::CInput input;
        EXPECT_FALSE(Init(input));
        EXPECT_TRUE(di_->joystickRequests.empty());
        EXPECT_FALSE(input.Poll());
        EXPECT_EQ(input.DeviceCount(), 0);
        for (int code = 0; code < 256; ++code) EXPECT_EQ(input.KeyState(code), 0) << code;
        EXPECT_FALSE(input.IsPlayerButtonDown(1, 0));
    }
    {   // no joystick: one device, nothing down on any joystick
        di_->keyboard = RefPtr<FakeDevice>(new FakeDevice(256));
        di_->joysticks.clear();
        KYR::CInput input;
        EXPECT_TRUE(Init(input));
        input.Poll();
        EXPECT_EQ(input.DeviceCount(), 1);
        for (int d = 0; d <= 5; ++d)
            for (int c = 0; c <= 32; ++c) EXPECT_FALSE(input.IsJoystickControlDown(d, c));
    }
}

TEST_F(InputTest, NothingReadsWhileAnotherWindowIsInFront) {
    Attach({true});
    HoldEverything();
    KYR::CInput input;
    ASSERT_TRUE(Init(input));
    EXPECT_TRUE(input.Poll());
    ASSERT_EQ(input.KeyState(0x2C), 0x80);
    ASSERT_TRUE(input.IsJoystickControlDown(1, 16));
    ASSERT_TRUE(input.IsPlayerButtonDown(1, 0));

    input_test::FrontWindow other("someone else");
    ASSERT_TRUE(other.BringToFront());
    EXPECT_FALSE(input.Poll());
    for (int code = 0; code < 256; ++code) EXPECT_EQ(input.KeyState(code), 0) << code;
    for (int c = 0; c < 32; ++c) EXPECT_FALSE(input.IsJoystickControlDown(1, c)) << c;
    for (int b = 0; b < 16; ++b) EXPECT_FALSE(input.IsPlayerButtonDown(1, b)) << b;

    ASSERT_TRUE(window_->BringToFront());
    input.Poll();
    EXPECT_EQ(input.KeyState(0x2C), 0x80);
}

// Bindings as a file may hold them: only a keyboard code 0-255 or a control 0-31 of
// joystick 1-4 can be down, whatever the devices report.
TEST_F(InputTest, PlayerButtonsFollowTheBindings) {
    Attach({true, true});
    HoldEverything();
    std::memset(di_->joysticks[1]->Joy().rgbButtons, 0, 16);  // joystick 2: stick only
    KYR::CInput input;
    ASSERT_TRUE(Init(input));
    struct Row {
        int device, code;
        bool down;
    } rows[] = {
        {0, 0x2C, true},      // Z
        {0, 0xFF, true},      // last scan code
        {1, 16, true},        // joystick 1, button 1
        {2, 16, false},       // joystick 2, button 1 not held
        {2, 0, true},         // joystick 2, stick up
        {2, 15, true},        // hat at 4500: right
        {2, 14, false},
        {3, 0, false},        // joystick 3 is not attached
        {7, 5, false},        // "7,0x05"
        {0, 0x1FF, false},    // "0,0x1FF": must not read as 0xFF
        {-3, 0xFF, false},    // "-3;ff"
        {256, 0x2C, false},   // must not read as device 0
        {1, 32, false},       // past the controls
        {1, 0x110, false},    // must not read as control 16
        {0, -1, false},
    };
    for (const Row& row : rows) {
        input.SetBinding(2, 3, row.device, row.code);
        input.Poll();
        EXPECT_EQ(input.IsPlayerButtonDown(2, 3), row.down) << row.device << "," << row.code;
    }
    // Player 1's keyboard defaults are all held; the other players' device 0, code 0 is not.
    for (int b = 0; b < 16; ++b) EXPECT_TRUE(input.IsPlayerButtonDown(1, b)) << b;
    EXPECT_FALSE(input.IsPlayerButtonDown(3, 0));
    // Out-of-range players and buttons are ignored, not written anywhere.
    input.SetBinding(5, 0, 0, 0x2C);
    input.SetBinding(-1, 0, 0, 0x2C);
    input.SetBinding(1, 16, 0, 0x2C);
    input.Poll();
    EXPECT_FALSE(input.IsPlayerButtonDown(5, 0));
    EXPECT_FALSE(input.IsPlayerButtonDown(1, 16));
}

TEST_F(InputTest, AFailingJoystickKeepsItsLastState) {
    Attach({true});
    di_->joysticks[0]->Joy().lY = -501;
    KYR::CInput input;
    ASSERT_TRUE(Init(input));
    input.Poll();
    ASSERT_TRUE(input.IsJoystickControlDown(1, 0));
    di_->joysticks[0]->Joy().lY = 0;
    di_->joysticks[0]->result = DIERR_INPUTLOST;
    input.Poll();
    EXPECT_TRUE(input.IsJoystickControlDown(1, 0));
}

TEST_F(InputTest, ReleasesEveryDeviceWhenDestroyed) {
    Attach({true, true});
    {
        KYR::CInput input;
        EXPECT_EQ(KYR::CInput::GetInstance(), &input);
        ASSERT_TRUE(Init(input));
        EXPECT_EQ(di_->keyboard->GetRefCount(), 2);
        EXPECT_EQ(di_->joysticks[1]->GetRefCount(), 2);
    }
    EXPECT_EQ(KYR::CInput::GetInstance(), nullptr);
    EXPECT_EQ(di_->keyboard->GetRefCount(), 1);
    EXPECT_EQ(di_->joysticks[0]->GetRefCount(), 1);
    EXPECT_EQ(di_->joysticks[1]->GetRefCount(), 1);
}

// Without a window of its own the reader goes by the engine's main window, which the
// application hands down with its input interface.
TEST_F(InputTest, FallsBackToTheApplicationsMainWindow) {
    std::memset(di_->keyboard->state.data(), 0x80, 256);

    KYR::CInput input;
    ASSERT_TRUE(input.Initialize(di_.Get(), nullptr, GetModuleHandleA(nullptr), window_->Get()));
    input.Poll();
    EXPECT_EQ(input.KeyState(0x01), 0x80);
}

}  // namespace
