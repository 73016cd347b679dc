// Doubles of the input interface and its devices: Wine has no joystick, so these play the
// keyboard and the controllers for the reader's tests and the key page's.
#pragma once

#include <windows.h>

#include <cstring>
#include <vector>

#include "engine/core/RefPtr.h"
#include "input/IKYRDI.h"
#include "input/JoystickControls.h"

namespace input_test {

using KYR::RefPtr;

// A device whose state the test sets; records how it is read.
struct FakeDevice : KYR::RefCounted<KYR::IDIInput> {
    std::vector<unsigned char> state;
    HRESULT result = S_OK;
    int polls = 0;
    std::vector<DWORD> sizesRead;

    explicit FakeDevice(size_t size) : state(size, 0) {}
    HRESULT Poll() override {
        ++polls;
        return S_OK;
    }
    HRESULT GetState(DWORD size, void* buffer) override {
        sizesRead.push_back(size);
        if (FAILED(result)) return result;
        std::memcpy(buffer, state.data(), size < state.size() ? size : state.size());
        return S_OK;
    }
    KYR::JoystickState2& Joy() { return *reinterpret_cast<KYR::JoystickState2*>(state.data()); }
};

inline RefPtr<FakeDevice> MakeJoystick() {
    RefPtr<FakeDevice> j(new FakeDevice(sizeof(KYR::JoystickState2)));
    for (uint32_t& pov : j->Joy().rgdwPOV) pov = 0xFFFFFFFF;
    return j;
}

// The input interface: a keyboard (or none) and one entry per attached controller index;
// a null entry is a controller that fails to open.
struct FakeDI : KYR::RefCounted<KYR::IKYRDI> {
    bool initializes = true;
    RefPtr<FakeDevice> keyboard{new FakeDevice(256)};
    std::vector<RefPtr<FakeDevice>> joysticks;
    std::vector<int> joystickRequests;
    int keyboardRequests = 0;

    void* GetDirectInput(REFGUID) override { return nullptr; }
    bool Initialize(HINSTANCE) override { return initializes; }
    void Shutdown() override {}
    KYR::IDIInput* CreateKeyboard() override {
        ++keyboardRequests;
        return Handout(keyboard.Get());
    }
    KYR::IDIInput* CreateJoystick(int index) override {
        joystickRequests.push_back(index);
        if (index < 0 || index >= static_cast<int>(joysticks.size())) return nullptr;
        return Handout(joysticks[static_cast<size_t>(index)].Get());
    }
    static KYR::IDIInput* Handout(FakeDevice* d) {
        if (d) d->AddRef();
        return d;
    }
};

}  // namespace input_test
