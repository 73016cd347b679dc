#pragma once

#include "input/IKYRDI.h"

namespace KYR {

// Minimal until the input interface lands: no DirectInput object, no devices.
class CKYRDI : public RefCounted<IKYRDI> {
public:
    void* GetDirectInput(REFGUID) override { return nullptr; }
    bool Initialize(HINSTANCE) override { return false; }
    void Shutdown() override {}
    IDIInput* CreateKeyboard() override { return nullptr; }
    IDIInput* CreateJoystick(int) override { return nullptr; }
};

}  // namespace KYR
