// The tool's reader of the keyboard and up to four joysticks. Each Poll turns what the
// devices report into flat "down" tables: one byte per keyboard scan code, 32 controls per
// joystick (see KeyBinding.h for the numbering) and the players' sixteen buttons from
// their bindings. There is one instance, reached through its singleton pointer.
#pragma once

#include <windows.h>

#include <boost/noncopyable.hpp>

#include <cstdint>
#include <vector>

#include "engine/core/RefPtr.h"
#include "engine/core/singleton.h"
#include "input/IKYRDI.h"
#include "input/JoystickControls.h"
#include "input/KeyBinding.h"

namespace KYR {

class CInput : public singleton<CInput>, private boost::noncopyable {
public:
    // All tables zero; player 1 bound to the keyboard defaults (arrows, Z X LShift RCtrl,
    // A S D F, Q W E R).
    CInput();
    ~CInput() override;

    // Opens the keyboard and up to four joysticks through `input` (borrowed: the application
    // object's input interface, handed down by whoever makes the reader). `window` is the
    // window whose being in front allows reading; null means `mainWindow`, the handle of the
    // engine's main window when the application has one. False when DirectInput or the
    // keyboard cannot be opened, and for a second call once devices are open (those stay as
    // they are).
    bool Initialize(IKYRDI* input, HWND window, HINSTANCE instance, HWND mainWindow = nullptr);

    // Refreshes every table; everything reads as up unless the focus window is in front.
    // True when the devices were read, false when the tables were cleared instead (another
    // window in front, or no keyboard open).
    bool Poll();

    // The state byte of a scan code as of the last Poll (bit 7 = down); 0 outside 0-255.
    uint8_t KeyState(int scanCode) const;
    // Joystick 1-4, control 0-31; false outside those ranges.
    bool IsJoystickControlDown(int joystick, int control) const;
    // Opened devices, the keyboard included: 2 or more means a joystick is open.
    int DeviceCount() const { return static_cast<int>(devices_.size()); }

    // Player 0-4, button 0-15, else ignored. A device or code the reader cannot resolve
    // (a device above 4, a key code above 255, a control above 31, anything negative) is
    // kept as a binding that never reads as down.
    void SetBinding(int player, int button, int device, int code);
    // Player 1-4, button 0-15, as of the last Poll; false outside those ranges.
    bool IsPlayerButtonDown(int player, int button) const;

private:
    void ClearFlags();
    void ReadJoystick(int device);
    int32_t BindingFlag(int player, int button) const;

    std::vector<RefPtr<IDIInput>> devices_;  // 0 = keyboard, then joysticks 1 to 4
    HWND focusWindow_ = nullptr;
    uint8_t keyboard_[kScanCodeCount];
    JoystickState2 joystickRaw_[kDeviceRows];  // row 0 unused
    int32_t controlFlags_[kDeviceRows][kJoystickControlCount];  // row 0 stays zero
    int32_t playerButtons_[kPlayerRows][kButtonCount];         // row 0 never computed
    uint8_t bindingDevices_[kPlayerRows][kButtonCount];
    uint8_t bindingCodes_[kPlayerRows][kButtonCount];
};

}  // namespace KYR
