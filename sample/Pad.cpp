#include "Pad.h"

#include <algorithm>
#include <iterator>

bool Pad::Open(KYR::IKYRDI* input, HINSTANCE instance, const Binding (&bindings)[kButtonCount]) {
    for (int b = 0; b < kButtonCount; ++b) bindings_[b] = bindings[b];
    if (!input->Initialize(instance)) return false;
    keyboard_ = Own<KYR::IDIInput>(input->CreateKeyboard());
    // The first four attached controllers; one that cannot be opened is skipped and the
    // device numbers of those after it close up. The tool numbers them the same way, so a
    // binding it stored as joystick n means the same stick here.
    for (int i = 0; i < 4; ++i) {
        Own<KYR::IDIInput> stick(input->CreateJoystick(i));
        if (stick) joysticks_.push_back(std::move(stick));
    }
    return static_cast<bool>(keyboard_);
}

void Pad::Poll(bool foreground) {
    previous_ = down_;
    down_ = 0;
    if (!foreground || !keyboard_) {
        std::fill(std::begin(keys_), std::end(keys_), 0);
        return;
    }
    // A device that fails to answer (unplugged) leaves its last state: the next frames read
    // the same, as the tool's reader does.
    keyboard_->GetState(sizeof(keys_), keys_);
    for (size_t j = 0; j < joysticks_.size(); ++j) {
        joysticks_[j]->Poll();
        joysticks_[j]->GetState(sizeof(DIJOYSTATE2), &sticks_[j]);
    }
    for (int b = 0; b < kButtonCount; ++b)
        if (BindingDown(bindings_[b])) down_ |= 1u << b;
}

bool Pad::BindingDown(const Binding& b) const {
    if (b.device == 0) return b.code >= 0 && b.code < 256 && KeyDown(b.code);
    if (b.device < 1 || b.device > static_cast<int>(joysticks_.size())) return false;
    return JoystickControlDown(sticks_[b.device - 1], b.code);
}

bool JoystickControlDown(const DIJOYSTATE2& s, int control) {
    if (control < 0 || control >= 32) return false;
    if (control >= 16) return (s.rgbButtons[control - 16] & 0x80) != 0;
    if (control >= 12) {
        // Only the eight exact directions count; centred (0xFFFFFFFF) and in-between angles
        // set none.
        const DWORD pov = s.rgdwPOV[0];
        if (pov > 31500 || pov % 4500 != 0) return false;
        const int octant = static_cast<int>(pov / 4500);  // 0 up, 2 right, 4 down, 6 left
        switch (control) {
        case 12: return octant == 7 || octant <= 1;
        case 13: return octant >= 3 && octant <= 5;
        case 14: return octant >= 5 && octant <= 7;
        default: return octant >= 1 && octant <= 3;
        }
    }
    const LONG axes[6] = {s.lY, s.lX, s.lZ, s.lRy, s.lRx, s.lRz};
    const LONG value = axes[control / 2];
    return control % 2 == 0 ? value < -500 : value > 500;
}
