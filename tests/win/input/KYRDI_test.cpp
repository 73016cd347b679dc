// The engine's DirectInput interface against Wine's real dinput8: a keyboard, no joystick.
#include <gtest/gtest.h>

#include <cstring>
#include <utility>
#include <vector>

#include "InputDoubles.h"
#include "InputTestSupport.h"
#include "engine/core/RefPtr.h"
#include "input/DIDataFormats.h"
#include "input/DIInput.h"
#include "input/Input.h"
#include "input/KYRDI.h"

namespace {

using KYR::CKYRDI;
using KYR::IDIInput;
using KYR::RefPtr;

RefPtr<CKYRDI> InitializedDI() {
    RefPtr<CKYRDI> di(new CKYRDI);
    EXPECT_TRUE(di->Initialize(GetModuleHandleA(nullptr)));
    return di;
}

TEST(KYRDI, HandsOutTheDirectInputObjectOnlyForItsIdentifier) {
    RefPtr<CKYRDI> di(new CKYRDI);
    EXPECT_EQ(di->GetDirectInput(KYR::kDirectInputObjectId), nullptr);  // before Initialize
    ASSERT_TRUE(di->Initialize(GetModuleHandleA(nullptr)));
    void* object = di->GetDirectInput(KYR::kDirectInputObjectId);
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(di->GetDirectInput(IID_IDirectInput8A), nullptr);
    // A second Initialize replaces the object; the old one is released.
    ASSERT_TRUE(di->Initialize(GetModuleHandleA(nullptr)));
    EXPECT_NE(di->GetDirectInput(KYR::kDirectInputObjectId), nullptr);
    di->Shutdown();
    EXPECT_EQ(di->GetDirectInput(KYR::kDirectInputObjectId), nullptr);
}

TEST(KYRDI, OpensTheKeyboardAndNoJoystickUnderWine) {
    RefPtr<CKYRDI> di = InitializedDI();
    RefPtr<IDIInput> keyboard(di->CreateKeyboard());
    ASSERT_TRUE(keyboard);
    EXPECT_EQ(di->GetRefCount(), 2) << "the device holds its owner";
    BYTE state[256];
    EXPECT_TRUE(SUCCEEDED(keyboard->GetState(sizeof(state), state)));

    struct Row {
        int index;
        const char* why;
    } rows[] = {{0, "no controller attached"}, {3, "no controller attached"},
                {15, "last index"}, {16, "past the index limit"}, {-1, "negative"}};
    for (const Row& row : rows)
        EXPECT_EQ(di->CreateJoystick(row.index), nullptr) << row.index << ": " << row.why;

    keyboard.Reset();
    EXPECT_EQ(di->GetRefCount(), 1);
}

TEST(KYRDI, NothingOpensAfterShutdownOrBeforeInitialize) {
    RefPtr<CKYRDI> fresh(new CKYRDI);
    EXPECT_EQ(fresh->CreateKeyboard(), nullptr);
    EXPECT_EQ(fresh->CreateJoystick(0), nullptr);

    RefPtr<CKYRDI> di = InitializedDI();
    RefPtr<IDIInput> early(di->CreateKeyboard());
    ASSERT_TRUE(early);
    di->Shutdown();
    EXPECT_EQ(di->CreateKeyboard(), nullptr);
    EXPECT_EQ(di->CreateJoystick(0), nullptr);
    BYTE state[256];
    EXPECT_TRUE(SUCCEEDED(early->GetState(sizeof(state), state)))
        << "a device opened before Shutdown keeps working";
}

TEST(DIInput, WithoutADeviceReportsNotReady) {
    RefPtr<CKYRDI> di(new CKYRDI);
    RefPtr<KYR::CDIInput> empty(new KYR::CDIInput(di.Get(), {}));
    BYTE state[256] = {};
    EXPECT_EQ(empty->Poll(), static_cast<HRESULT>(0x80070015));
    EXPECT_EQ(empty->GetState(sizeof(state), state), static_cast<HRESULT>(0x80070015));
    EXPECT_EQ(di->GetRefCount(), 2);
    empty.Reset();
    EXPECT_EQ(di->GetRefCount(), 1);
}

// A device that has lost its input (unplugged and plugged in again, or taken by another
// program) is acquired again and read once more, once per read at most.
TEST(DIInput, ALostDeviceIsAcquiredAgainAndReadOnceMore) {
    struct Row {
        const char* what;
        std::vector<HRESULT> reads;  // what the device answers, in order
        HRESULT acquire;
        HRESULT result;
        int readsMade, acquiresMade;
    } rows[] = {
        {"reading as ever", {}, DI_OK, DI_OK, 1, 0},
        {"input lost once", {DIERR_INPUTLOST}, DI_OK, DI_OK, 2, 1},
        {"not acquired once", {DIERR_NOTACQUIRED}, DI_OK, DI_OK, 2, 1},
        {"lost again at once: no second try", {DIERR_INPUTLOST, DIERR_INPUTLOST}, DI_OK,
         DIERR_INPUTLOST, 2, 1},
        {"still unplugged: Acquire fails, no second read", {DIERR_INPUTLOST},
         static_cast<HRESULT>(DIERR_UNPLUGGED), DIERR_INPUTLOST, 1, 1},
        {"another failure is passed on", {DIERR_INVALIDPARAM}, DI_OK, DIERR_INVALIDPARAM, 1, 0},
    };
    RefPtr<CKYRDI> di(new CKYRDI);
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        input_test::ScriptedDIDevice device;
        device.readResults = r.reads;
        device.acquireResult = r.acquire;
        {
            device.AddRef();  // the engine's device takes over this reference
            RefPtr<KYR::CDIInput> input(
                new KYR::CDIInput(di.Get(), RefPtr<IDirectInputDevice8A>(&device)));
            BYTE state[256] = {};
            EXPECT_EQ(input->GetState(sizeof(state), state), r.result);
            EXPECT_EQ(state[255], SUCCEEDED(r.result) ? 0x80 : 0);
        }
        EXPECT_EQ(device.reads, r.readsMade);
        EXPECT_EQ(device.acquires, r.acquiresMade);
        EXPECT_EQ(device.refs, 1u);
    }
}

// Our own copy of the extended joystick format must place each object on its DIJOYSTATE2
// field; Wine has no joystick to check it against.
TEST(DIDataFormats, JoystickObjectsLandOnTheirFields) {
    const DIDATAFORMAT& f = KYR::Joystick2DataFormat();
    ASSERT_EQ(f.dwDataSize, sizeof(DIJOYSTATE2));
    ASSERT_EQ(f.dwNumObjs, 164u);
    struct Row {
        DWORD index;
        const GUID* guid;
        DWORD offset;
        DWORD typeBits;
    } rows[] = {
        {0, &GUID_XAxis, DIJOFS_X, DIDFT_AXIS},      {1, &GUID_YAxis, DIJOFS_Y, DIDFT_AXIS},
        {2, &GUID_ZAxis, DIJOFS_Z, DIDFT_AXIS},      {3, &GUID_RxAxis, DIJOFS_RX, DIDFT_AXIS},
        {4, &GUID_RyAxis, DIJOFS_RY, DIDFT_AXIS},    {5, &GUID_RzAxis, DIJOFS_RZ, DIDFT_AXIS},
        {6, &GUID_Slider, DIJOFS_SLIDER(0), DIDFT_AXIS},
        {8, &GUID_POV, DIJOFS_POV(0), DIDFT_POV},    {11, &GUID_POV, DIJOFS_POV(3), DIDFT_POV},
        {12, nullptr, DIJOFS_BUTTON(0), DIDFT_BUTTON},
        {139, nullptr, DIJOFS_BUTTON(127), DIDFT_BUTTON},
        {140, &GUID_XAxis, offsetof(DIJOYSTATE2, lVX), DIDFT_AXIS},
        {148, &GUID_XAxis, offsetof(DIJOYSTATE2, lAX), DIDFT_AXIS},
        {163, &GUID_Slider, offsetof(DIJOYSTATE2, rglFSlider) + 4, DIDFT_AXIS},
    };
    for (const Row& row : rows) {
        const DIOBJECTDATAFORMAT& o = f.rgodf[row.index];
        EXPECT_EQ(o.dwOfs, row.offset) << row.index;
        EXPECT_TRUE(row.guid ? (o.pguid && IsEqualGUID(*o.pguid, *row.guid)) : !o.pguid)
            << row.index;
        EXPECT_TRUE(o.dwType & row.typeBits) << row.index;
        EXPECT_TRUE(o.dwType & DIDFT_OPTIONAL) << row.index;
    }
    const DIDATAFORMAT& k = KYR::KeyboardDataFormat();
    ASSERT_EQ(k.dwNumObjs, 256u);
    for (DWORD code = 0; code < 256; ++code) EXPECT_EQ(k.rgodf[code].dwOfs, code);
}

// Wine delivers SendInput keys to a background, non-exclusive keyboard while a window of
// this process is in front.
TEST(InputOnWine, SentKeyShowsInBitSevenUntilReleased) {
    input_test::FrontWindow window("input test");
    ASSERT_TRUE(window.BringToFront());
    RefPtr<CKYRDI> di(new CKYRDI);
    KYR::CInput input;
    ASSERT_TRUE(input.Initialize(di.Get(), window.Get(), GetModuleHandleA(nullptr)));
    EXPECT_EQ(input.DeviceCount(), 1);

    auto send = [](bool down) {
        INPUT in = {};
        in.type = INPUT_KEYBOARD;
        in.ki.wScan = 0x2C;  // Z
        in.ki.dwFlags = KEYEVENTF_SCANCODE | (down ? 0 : KEYEVENTF_KEYUP);
        return SendInput(1, &in, sizeof(in)) == 1;
    };
    // Polled on the key page's 32 ms tick; the bound leaves room for an emulated machine.
    auto pollUntil = [&](bool down) {
        for (int tick = 0; tick < 300; ++tick) {
            input_test::PumpMessages();
            input.Poll();
            if (((input.KeyState(0x2C) & 0x80) != 0) == down) return true;
            Sleep(32);
        }
        return false;
    };
    ASSERT_TRUE(send(true));
    EXPECT_TRUE(pollUntil(true));
    EXPECT_TRUE(input.IsPlayerButtonDown(1, 4)) << "Z is player 1's A button by default";
    EXPECT_EQ(input.KeyState(0x2D) & 0x80, 0) << "X was not sent";
    ASSERT_TRUE(send(false));
    EXPECT_TRUE(pollUntil(false));
    EXPECT_FALSE(input.IsPlayerButtonDown(1, 4));
}

}  // namespace
