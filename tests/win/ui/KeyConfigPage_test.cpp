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
#include "ui/PageHelpers.h"

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
        SendMessageA(page_, WM_COMMAND, MAKEWPARAM(IDC_KEY_DEFAULTS, BN_CLICKED), 0);
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

// Controls that are down before a field gains the focus (a trigger resting at full
// deflection, a pedal at its end, a key still held) are latched, not bound; a new press binds
// the field, and a released control binds again once pressed.
TEST_F(KeyPageTest, AControlHeldBeforeTheFocusMovesIsNotBound) {
    struct Row {
        const char* what;
        std::initializer_list<int> keys;  // held before the focus moves
        LONG rx, ry;                       // the axes at rest
        bool readerOpen;                   // else the field is focused before it can read
    } rows[] = {
        {"a key still held", {0x2C}, 0, 0, true},
        {"a trigger resting at full deflection on Rx", {}, 1000, 0, true},
        {"a pedal resting at the other end of Ry", {}, 0, -1000, true},
        {"everything at once", {0x2C, 0x1E}, 1000, -1000, true},
        // The latching waits for the first step that reads.
        {"a key held before the reader can read", {0x2C}, 0, 0, false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        SendMessageA(page_, WM_COMMAND, MAKEWPARAM(IDC_KEY_DEFAULTS, BN_CLICKED), 0);
        SetFocus(Item(1101));
        Keys(r.keys);
        joystick_->Joy().lRx = r.rx;
        joystick_->Joy().lRy = r.ry;
        if (r.readerOpen) {
            SetFocus(Item(1102));
        } else {
            KYR::CInput unopened;  // the page's reader for the moment, with no device open
            SetFocus(Item(1102));
        }
        EXPECT_FALSE(CaptureBinding(*option_, input_));
        EXPECT_FALSE(CaptureBinding(*option_, input_));
        EXPECT_EQ(Text(1102), "Joy1: ↓");
        EXPECT_EQ(Focused(), 1102);
        // Button 1 pressed anew binds, the resting controls still held.
        joystick_->Joy().rgbButtons[0] = 0x80;
        EXPECT_TRUE(CaptureBinding(*option_, input_));
        EXPECT_EQ(Text(1102), "Joy1: 1");
        EXPECT_EQ(Focused(), 1103);
        // Released and pressed again, a held key binds the field it now has.
        joystick_->Joy().rgbButtons[0] = 0;
        Keys({});
        CaptureBinding(*option_, input_);
        Keys({0x2D});
        EXPECT_TRUE(CaptureBinding(*option_, input_));
        EXPECT_EQ(Text(1103), "Key: X");
        Keys({});
        joystick_->Joy().lRx = joystick_->Joy().lRy = 0;
        CaptureBinding(*option_, input_);
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

// Only the rows that have a page are written: the other players' sections of an existing
// Game.ini stay byte for byte, odd spellings, comments and unreadable values included.
// (Wine's profile functions write the whole file back, dropping blank lines and blanks
// around "=", so the sections are written here as any profile writer leaves them.)
TEST_F(KeyPageTest, SavingLeavesTheOtherPlayersSectionsAsTheyWere) {
    const std::string others =
        "[KeyConfig2]\r\nUP=0,0x2c\r\n; a player's note\r\nBTN3=2;1b\r\n"
        "[keyconfig3]\r\nDOWN=not a binding\r\nBTN12=\r\n"
        "[KeyConfig4]\r\nLEFT=4,0x1B\r\nLEFT=0,0x01\r\nRIGHT=9,0xFFFF\r\n";
    folder_.Write("Game.ini", "[General]\r\nConfigVersion=2.0\r\n[KeyConfig1]\r\nUP=0,0xC8\r\n" +
                                  others);
    SetFocus(Item(1101));
    Keys({0x2C});
    ASSERT_TRUE(CaptureBinding(*option_, input_));
    ASSERT_TRUE(option_->keyPageInitialised_);
    ASSERT_TRUE(option_->SaveSettings());
    const std::string saved = folder_.Read("Game.ini");
    const size_t at = saved.find("[KeyConfig2]");
    ASSERT_NE(at, std::string::npos) << saved;
    EXPECT_EQ(saved.substr(at), others);
    EXPECT_NE(saved.find("[KeyConfig1]\r\nUP=0,0x2C\r\n"), std::string::npos) << saved;
}

// Keys are kept from the dialog manager only where they would be bound: Tab, the page keys
// and the system keys (Alt, F10, Alt+key) in a binding field. Elsewhere on the sheet Tab
// moves the focus and Alt opens the menu as ever.
TEST_F(KeyPageTest, OnlyKeysOfABindingFieldAreKeptFromTheDialogManager) {
    struct Row {
        const char* what;
        UINT message;
        WPARAM key;
        int control;  // 0: the page itself
        bool kept;
    } rows[] = {
        {"Tab in ↑", WM_KEYDOWN, VK_TAB, 1101, true},
        {"Tab in L1", WM_KEYDOWN, VK_TAB, 1109, true},
        {"Tab in a disabled field", WM_KEYDOWN, VK_TAB, 1110, true},
        {"Tab released", WM_KEYUP, VK_TAB, 1109, false},
        {"Tab on the defaults button", WM_KEYDOWN, VK_TAB, IDC_KEY_DEFAULTS, false},
        {"Tab on the page", WM_KEYDOWN, VK_TAB, 0, false},
        {"Z in a field", WM_KEYDOWN, 'Z', 1101, false},
        {"the arrow keys move nothing either way", WM_KEYDOWN, VK_DOWN, 1101, false},
        {"Page Down in ↑ (with Ctrl the next page)", WM_KEYDOWN, VK_NEXT, 1101, true},
        {"Page Up in ↑", WM_KEYDOWN, VK_PRIOR, 1101, true},
        {"Page Down on the page", WM_KEYDOWN, VK_NEXT, 0, false},
        {"Alt in ↑", WM_SYSKEYDOWN, VK_MENU, 1101, true},
        {"Alt released in ↑ (menu mode)", WM_SYSKEYUP, VK_MENU, 1101, true},
        {"F10 in L1", WM_SYSKEYDOWN, VK_F10, 1109, true},
        {"F10 released", WM_SYSKEYUP, VK_F10, 1109, true},
        {"A with Alt held", WM_SYSKEYDOWN, 'A', 1101, true},
        {"Alt+A's character (Apply's mnemonic)", WM_SYSCHAR, 'a', 1101, true},
        {"Alt on the defaults button", WM_SYSKEYDOWN, VK_MENU, IDC_KEY_DEFAULTS, false},
        {"Alt+A's character on the page", WM_SYSCHAR, 'a', 0, false},
    };
    for (const Row& r : rows) {
        MSG msg = {};
        msg.hwnd = r.control ? Item(r.control) : page_;
        msg.message = r.message;
        msg.wParam = r.key;
        EXPECT_EQ(IsKeyToCapture(*option_, msg), r.kept) << r.what;
    }
}

}  // namespace
