// The engine's DirectInput interface object: owns the DirectInput 8 object (bound lazily
// from dinput8.dll) and opens the system keyboard and attached game controllers.
#pragma once

#include <windows.h>

#include <dinput.h>

#include <cstdint>

#include "engine/core/RefPtr.h"
#include "input/IKYRDI.h"

namespace KYR {

class CKYRDI : public RefCounted<IKYRDI> {
public:
    CKYRDI() = default;

    void* GetDirectInput(REFGUID id) override;
    bool Initialize(HINSTANCE instance) override;
    void Shutdown() override;
    IDIInput* CreateKeyboard() override;
    // Null for an index outside 0-15, without enumerating.
    IDIInput* CreateJoystick(int index) override;

    ~CKYRDI() override = default;

private:
    static BOOL CALLBACK PickJoystick(LPCDIDEVICEINSTANCEA instance, LPVOID self);
    static BOOL CALLBACK SetAxisRange(LPCDIDEVICEOBJECTINSTANCEA object, LPVOID device);
    // Wraps the device slot's device in a new CDIInput; null only when memory runs out.
    IDIInput* WrapDevice(RefPtr<IDirectInputDevice8A> device);

    RefPtr<IDirectInput8A> directInput_;
    RefPtr<IDirectInputDevice8A> deviceSlot_;  // filled only while a device is being opened
    int32_t countdown_ = 0;                    // controllers still to skip while enumerating
};

}  // namespace KYR
