// The engine's DirectInput interface (kind 4 of the interface factory) and the devices it
// opens. Slot order is fixed: AddRef, Release, GetRefCount, then the operations below in
// declaration order, the virtual destructor last.
#pragma once

#include <windows.h>

#include "engine/core/IKYRInterface.h"

namespace KYR {

// Identifier under which GetDirectInput hands out the DirectInput 8 object.
// {6C51D291-7459-4734-8BE4-EEDE1D226EDA}
inline const GUID kDirectInputObjectId = {
    0x6C51D291, 0x7459, 0x4734, {0x8B, 0xE4, 0xEE, 0xDE, 0x1D, 0x22, 0x6E, 0xDA}};

// Result of Poll and GetState on a device object that holds no device:
// HRESULT_FROM_WIN32(ERROR_NOT_READY).
constexpr HRESULT kDeviceNotReady = static_cast<HRESULT>(0x80070015);

// One opened, acquired DirectInput device.
class IDIInput : public IKYRInterface {
public:
    virtual HRESULT Poll() = 0;
    // Copies the device state into the caller's buffer: 256 bytes for the keyboard, 272
    // (DIJOYSTATE2) for a joystick.
    virtual HRESULT GetState(DWORD size, void* buffer) = 0;
    virtual ~IDIInput() = default;
};

class IKYRDI : public IKYRInterface {
public:
    // The IDirectInput8A object when `id` is kDirectInputObjectId, else null (also before
    // Initialize). Borrowed: no reference added.
    virtual void* GetDirectInput(REFGUID id) = 0;
    virtual bool Initialize(HINSTANCE instance) = 0;
    // Drops the DirectInput object; devices opened earlier keep working until released.
    virtual void Shutdown() = 0;
    // New devices with one reference for the caller, or null.
    virtual IDIInput* CreateKeyboard() = 0;
    // `index` counts attached game controllers from 0 in DirectInput's enumeration order.
    virtual IDIInput* CreateJoystick(int index) = 0;
    virtual ~IKYRDI() = default;
};

}  // namespace KYR
