// The key page's capture step over doubles of the input devices: which binding remains when
// several controls go down in one tick, latches, and where the focus goes.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "../input/InputDoubles.h"
#include "PageHost.h"
#include "input/Input.h"
#include "resources/resource.h"
#include "ui/KeyConfigPage.h"

namespace {

using input_test::FakeDI;
using input_test::FakeDevice;
using input_test::MakeJoystick;
using KYR::RefPtr;

const int kRowZero = 0;

class KeyPageTest : public PageHost {
protected:
    void SetUp() override {
        OpenPage(IDD_KEYCONFIG, KeyConfigPageProc, reinterpret_cast<LPARAM>(&kRowZero));
        // The page's own timer would capture too; the test runs the steps itself.
        KillTimer(page_, kCaptureTimerId);
        joystick_ = MakeJoystick();
        di_->joysticks.push_back(RefPtr<FakeDevice>::AddRefOf(joystick_.Get()));
        ASSERT_TRUE(input_.Initialize(di_.Get(), sheet_, GetModuleHandleA(nullptr)));
        for (int i = 0; i < 500 && GetForegroundWindow() != sheet_; ++i) {
            SetForegroundWindow(sheet_);
            Pump();
            Sleep(10);
        }
        ASSERT_EQ(GetForegroundWindow(), sheet_);
    }
    static void Pump() {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    }
    std::string Text(int id) {
        char buffer[64] = {};
        GetWindowTextA(Item(id), buffer, sizeof(buffer));
        return buffer;
    }
    int Focused() { return GetDlgCtrlID(GetFocus()); }
    void Keys(std::initializer_list<int> down) {
        std::fill(di_->keyboard->state.begin(), di_->keyboard->state.end(), 0);
        for (int code : down) di_->keyboard->state[static_cast<size_t>(code)] = 0x80;
    }

    RefPtr<FakeDI> di_{new FakeDI};
    RefPtr<FakeDevice> joystick_;
    KYR::CInput input_;
};

TEST_F(KeyPageTest, SeveralControlsInOneTickLeaveTheLastInScanOrder) {
    struct Row {
        const char* what;
        std::initializer_list<int> keys;
        int joystickButton;  // 0-based button held on joystick 1, or -1
        std::string shown;
        std::string stored;
    } rows[] = {
        {"Z and X: the higher scan code", {0x2C, 0x2D}, -1, "Key: X", "0,0x2D"},
        {"a key and a joystick button: the joystick", {0x2C}, 0, "Joy1: 1", "1,0x10"},
        {"an unnamed key with a named one", {0x3A, 0x1E}, -1, "Key: A", "0,0x1E"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        SetFocus(Item(1101));
        Keys(r.keys);
        joystick_->Joy().rgbButtons[0] = r.joystickButton == 0 ? 0x80 : 0;
        EXPECT_TRUE(CaptureBinding(*option_, input_));
        EXPECT_EQ(Text(1101), r.shown);
        EXPECT_EQ(option_->bindingTexts_[Item(1101)], r.stored);
        EXPECT_EQ(Focused(), 1102);  // moved once, not once per control
        // Held into the next tick: latched, nothing is bound to the next field.
        EXPECT_FALSE(CaptureBinding(*option_, input_));
        EXPECT_EQ(Text(1102), "Joy1: ↓");
        // Released: the latches clear.
        Keys({});
        joystick_->Joy().rgbButtons[0] = 0;
        EXPECT_FALSE(CaptureBinding(*option_, input_));
    }
}

TEST_F(KeyPageTest, WhatCaptureIgnores) {
    // An unnamed key alone (Caps Lock) binds nothing and moves nothing.
    SetFocus(Item(1101));
    Keys({0x3A});
    EXPECT_FALSE(CaptureBinding(*option_, input_));
    EXPECT_EQ(Text(1101), "Joy1: ↑");
    EXPECT_EQ(Focused(), 1101);
    // Focus outside the binding fields: no poll at all.
    Keys({0x2C});
    SetFocus(Item(IDC_KEY_DEFAULTS));
    const size_t reads = di_->keyboard->sizesRead.size();
    EXPECT_FALSE(CaptureBinding(*option_, input_));
    EXPECT_EQ(di_->keyboard->sizesRead.size(), reads);
}

TEST_F(KeyPageTest, TheFocusFollowsTheCycleOfEnabledFields) {
    // From each enabled field, a capture moves the focus to the next enabled one.
    const int order[] = {1101, 1102, 1103, 1104, 1105, 1106, 1107, 1108, 1109, 1111, 1114, 1115};
    for (size_t i = 0; i < sizeof(order) / sizeof(order[0]); ++i) {
        SetFocus(Item(order[i]));
        Keys({0x2C});
        EXPECT_TRUE(CaptureBinding(*option_, input_));
        EXPECT_EQ(Focused(), order[(i + 1) % 12]) << order[i];
        Keys({});
        CaptureBinding(*option_, input_);
    }
    for (int disabled : {1110, 1112, 1116, 1117}) EXPECT_FALSE(IsWindowEnabled(Item(disabled)));
}

TEST_F(KeyPageTest, DefaultsButtonReloadsAndAlwaysNotifies) {
    folder_.Write("System.ini", "[KeyConfig1]\r\nBTN6=0,0x39\r\n");
    SetFocus(Item(1101));
    Keys({0x2C});
    CaptureBinding(*option_, input_);
    changedNotices = 0;
    SendMessageA(page_, WM_COMMAND, MAKEWPARAM(IDC_KEY_DEFAULTS, BN_CLICKED), 0);
    EXPECT_EQ(changedNotices, 1);
    EXPECT_EQ(Text(1101), "Joy1: ↑");
    EXPECT_EQ(Text(1110), "Key: Space");  // disabled fields too
    SendMessageA(page_, WM_COMMAND, MAKEWPARAM(IDC_KEY_DEFAULTS, BN_CLICKED), 0);
    EXPECT_EQ(changedNotices, 2);  // even when nothing differs
}

TEST_F(KeyPageTest, FieldsAreWhite) {
    HDC dc = CreateCompatibleDC(nullptr);
    const INT_PTR brush = SendMessageA(page_, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                       reinterpret_cast<LPARAM>(Item(1110)));
    EXPECT_EQ(brush, reinterpret_cast<INT_PTR>(GetStockObject(WHITE_BRUSH)));
    EXPECT_EQ(GetBkColor(dc), RGB(255, 255, 255));
    EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 0));
    DeleteDC(dc);
}

}  // namespace
