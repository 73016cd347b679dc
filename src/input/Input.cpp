#include "input/Input.h"

#include <cstring>

namespace KYR {
namespace {

constexpr uint8_t kPlayer1Defaults[kButtonCount] = {
    0xC8, 0xD0, 0xCB, 0xCD,  // DIK_UP, DIK_DOWN, DIK_LEFT, DIK_RIGHT
    0x2C, 0x2D, 0x2A, 0x9D,  // DIK_Z, DIK_X, DIK_LSHIFT, DIK_RCONTROL
    0x1E, 0x1F, 0x20, 0x21,  // DIK_A, DIK_S, DIK_D, DIK_F
    0x10, 0x11, 0x12, 0x13,  // DIK_Q, DIK_W, DIK_E, DIK_R
};

// Stored for bindings the reader cannot resolve: no device has this number, so Poll never
// indexes a table with it. Keeping the raw values instead would truncate them to a byte,
// and "256,0x2C" would then read as the Z key.
constexpr uint8_t kUnreadable = 0xFF;

constexpr DWORD kKeyboardStateSize = kScanCodeCount;
constexpr DWORD kJoystickStateSize = sizeof(JoystickState2);

}  // namespace

CInput::CInput() {
    SetInstance(this);
    std::memset(keyboard_, 0, sizeof(keyboard_));
    std::memset(joystickRaw_, 0, sizeof(joystickRaw_));
    std::memset(controlFlags_, 0, sizeof(controlFlags_));
    std::memset(playerButtons_, 0, sizeof(playerButtons_));
    std::memset(bindingDevices_, 0, sizeof(bindingDevices_));
    std::memset(bindingCodes_, 0, sizeof(bindingCodes_));
    for (int b = 0; b < kButtonCount; ++b) bindingCodes_[1][b] = kPlayer1Defaults[b];
}

CInput::~CInput() {
    devices_.clear();  // each device releases its DirectInput device, then the CKYRDI
}

bool CInput::Initialize(IKYRDI* input, HWND window, HINSTANCE instance, HWND mainWindow) {
    // A second call would open every device again beside the first set; the reader keeps
    // the devices it has and reports the call as failed.
    if (!devices_.empty()) return false;
    if (!input || !input->Initialize(instance)) return false;

    focusWindow_ = window ? window : mainWindow;

    RefPtr<IDIInput> keyboard(input->CreateKeyboard());
    if (!keyboard) return false;
    devices_.push_back(std::move(keyboard));

    std::memset(keyboard_, 0, sizeof(keyboard_));
    std::memset(joystickRaw_, 0, sizeof(joystickRaw_));

    // The index counts attached controllers, so a gap (one that fails to open) is skipped
    // and the devices after it close up.
    for (int index = 0; index < kMaxJoysticks; ++index) {
        RefPtr<IDIInput> joystick(input->CreateJoystick(index));
        if (joystick) devices_.push_back(std::move(joystick));
    }
    return true;
}

void CInput::ClearFlags() {
    std::memset(keyboard_, 0, sizeof(keyboard_));
    std::memset(controlFlags_, 0, sizeof(controlFlags_));
    std::memset(playerButtons_, 0, sizeof(playerButtons_));
}

void CInput::ReadJoystick(int device) {
    IDIInput* joystick = devices_[static_cast<size_t>(device)].Get();
    // Failures are not examined: a device that fails keeps its last state.
    joystick->Poll();
    joystick->GetState(kJoystickStateSize, &joystickRaw_[device]);
    DecodeJoystickControls(joystickRaw_[device], controlFlags_[device]);
}

int32_t CInput::BindingFlag(int player, int button) const {
    const int device = bindingDevices_[player][button];
    const int code = bindingCodes_[player][button];
    if (!IsReadableBinding(device, code)) return 0;
    if (device == 0) return (keyboard_[code] & 0x80) ? 1 : 0;
    return controlFlags_[device][code] != 0 ? 1 : 0;
}

bool CInput::Poll() {
    // The devices are opened in background mode and keep reporting while another program
    // is in front, so the reader itself drops everything unless our window is foreground.
    // Without a keyboard (a failed Initialize) nothing is read at all.
    if (GetForegroundWindow() != focusWindow_ || devices_.empty()) {
        ClearFlags();
        return false;
    }
    // The keyboard is not a polled device: its state is read directly.
    devices_[0]->GetState(kKeyboardStateSize, keyboard_);
    for (int d = 1; d < DeviceCount() && d < kDeviceRows; ++d) ReadJoystick(d);

    for (int p = 1; p < kPlayerRows; ++p)
        for (int b = 0; b < kButtonCount; ++b) playerButtons_[p][b] = BindingFlag(p, b);
    return true;
}

uint8_t CInput::KeyState(int scanCode) const {
    if (scanCode < 0 || scanCode >= kScanCodeCount) return 0;
    return keyboard_[scanCode];
}

bool CInput::IsJoystickControlDown(int joystick, int control) const {
    if (joystick < 1 || joystick > kMaxJoysticks || control < 0 || control >= kJoystickControlCount)
        return false;
    return controlFlags_[joystick][control] != 0;
}

void CInput::SetBinding(int player, int button, int device, int code) {
    if (player < 0 || player >= kPlayerRows || button < 0 || button >= kButtonCount) return;
    const bool readable = IsReadableBinding(device, code);
    bindingDevices_[player][button] = readable ? static_cast<uint8_t>(device) : kUnreadable;
    bindingCodes_[player][button] = readable ? static_cast<uint8_t>(code) : kUnreadable;
}

bool CInput::IsPlayerButtonDown(int player, int button) const {
    if (player < 1 || player >= kPlayerRows || button < 0 || button >= kButtonCount) return false;
    return playerButtons_[player][button] != 0;
}

}  // namespace KYR
