// Doubles of the input interface and its devices: Wine has no joystick, so these play the
// keyboard and the controllers for the reader's tests and the key page's.
#pragma once

#include <windows.h>

#include <dinput.h>

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

// A DirectInput device that answers reads from a script (then S_OK) and counts Acquire
// calls: a controller that is unplugged and plugged in again, seen from the engine's device.
struct ScriptedDIDevice : IDirectInputDevice8A {
    std::vector<HRESULT> readResults;  // one per GetDeviceState call, in order
    HRESULT acquireResult = DI_OK;
    int reads = 0, acquires = 0;
    ULONG refs = 1;

    STDMETHOD(QueryInterface)(REFIID, void** out) override {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHOD_(ULONG, AddRef)() override { return ++refs; }
    STDMETHOD_(ULONG, Release)() override { return --refs; }  // lives in the test's frame
    STDMETHOD(Acquire)() override {
        ++acquires;
        return acquireResult;
    }
    STDMETHOD(Unacquire)() override { return DI_OK; }
    STDMETHOD(GetDeviceState)(DWORD size, LPVOID data) override {
        const HRESULT hr = reads < static_cast<int>(readResults.size()) ? readResults[reads] : S_OK;
        ++reads;
        if (SUCCEEDED(hr)) std::memset(data, 0x80, size);
        return hr;
    }
    STDMETHOD(Poll)() override { return DI_NOEFFECT; }
    // Nothing else is called on an opened device.
    STDMETHOD(GetCapabilities)(LPDIDEVCAPS) override { return E_NOTIMPL; }
    STDMETHOD(EnumObjects)(LPDIENUMDEVICEOBJECTSCALLBACKA, LPVOID, DWORD) override {
        return E_NOTIMPL;
    }
    STDMETHOD(GetProperty)(REFGUID, LPDIPROPHEADER) override { return E_NOTIMPL; }
    STDMETHOD(SetProperty)(REFGUID, LPCDIPROPHEADER) override { return E_NOTIMPL; }
    STDMETHOD(GetDeviceData)(DWORD, LPDIDEVICEOBJECTDATA, LPDWORD, DWORD) override {
        return E_NOTIMPL;
    }
    STDMETHOD(SetDataFormat)(LPCDIDATAFORMAT) override { return E_NOTIMPL; }
    STDMETHOD(SetEventNotification)(HANDLE) override { return E_NOTIMPL; }
    STDMETHOD(SetCooperativeLevel)(HWND, DWORD) override { return E_NOTIMPL; }
    STDMETHOD(GetObjectInfo)(LPDIDEVICEOBJECTINSTANCEA, DWORD, DWORD) override {
        return E_NOTIMPL;
    }
    STDMETHOD(GetDeviceInfo)(LPDIDEVICEINSTANCEA) override { return E_NOTIMPL; }
    STDMETHOD(RunControlPanel)(HWND, DWORD) override { return E_NOTIMPL; }
    STDMETHOD(Initialize)(HINSTANCE, DWORD, REFGUID) override { return E_NOTIMPL; }
    STDMETHOD(CreateEffect)(REFGUID, LPCDIEFFECT, LPDIRECTINPUTEFFECT*, LPUNKNOWN) override {
        return E_NOTIMPL;
    }
    STDMETHOD(EnumEffects)(LPDIENUMEFFECTSCALLBACKA, LPVOID, DWORD) override { return E_NOTIMPL; }
    STDMETHOD(GetEffectInfo)(LPDIEFFECTINFOA, REFGUID) override { return E_NOTIMPL; }
    STDMETHOD(GetForceFeedbackState)(LPDWORD) override { return E_NOTIMPL; }
    STDMETHOD(SendForceFeedbackCommand)(DWORD) override { return E_NOTIMPL; }
    STDMETHOD(EnumCreatedEffectObjects)(LPDIENUMCREATEDEFFECTOBJECTSCALLBACK, LPVOID,
                                        DWORD) override {
        return E_NOTIMPL;
    }
    STDMETHOD(Escape)(LPDIEFFESCAPE) override { return E_NOTIMPL; }
    STDMETHOD(SendDeviceData)(DWORD, LPCDIDEVICEOBJECTDATA, LPDWORD, DWORD) override {
        return E_NOTIMPL;
    }
    STDMETHOD(EnumEffectsInFile)(LPCSTR, LPDIENUMEFFECTSINFILECALLBACK, LPVOID, DWORD) override {
        return E_NOTIMPL;
    }
    STDMETHOD(WriteEffectToFile)(LPCSTR, DWORD, LPDIFILEEFFECT, DWORD) override {
        return E_NOTIMPL;
    }
    STDMETHOD(BuildActionMap)(LPDIACTIONFORMATA, LPCSTR, DWORD) override { return E_NOTIMPL; }
    STDMETHOD(SetActionMap)(LPDIACTIONFORMATA, LPCSTR, DWORD) override { return E_NOTIMPL; }
    STDMETHOD(GetImageInfo)(LPDIDEVICEIMAGEINFOHEADERA) override { return E_NOTIMPL; }
};

}  // namespace input_test
