// The engine's DirectInput interface (kind 4 of the interface factory) and its devices.
#pragma once

#include <windows.h>

#include "engine/core/IKYRInterface.h"

namespace KYR {

// One opened DirectInput device.
class IDIInput : public IKYRInterface {
public:
    virtual HRESULT Poll() = 0;
    virtual HRESULT GetState(DWORD size, void* buffer) = 0;
    virtual ~IDIInput() = default;
};

class IKYRDI : public IKYRInterface {
public:
    // The DirectInput 8 object for its identifier, else null. Borrowed: no reference added.
    virtual void* GetDirectInput(REFGUID id) = 0;
    virtual bool Initialize(HINSTANCE instance) = 0;
    virtual void Shutdown() = 0;
    // New devices with one reference for the caller, or null.
    virtual IDIInput* CreateKeyboard() = 0;
    virtual IDIInput* CreateJoystick(int index) = 0;
    virtual ~IKYRDI() = default;
};

}  // namespace KYR
