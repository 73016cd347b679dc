// Names shown for keyboard scan codes and joystick controls. The settings model keeps them
// in one table of 288 entries: 0-255 by scan code, then the 32 joystick controls.
#pragma once

namespace KYR {

constexpr int kKeyNameTableSize = 288;
constexpr int kJoystickNameBase = 256;

// The name of a scan code, or "" for a code without a name (such keys cannot be bound by
// pressing them) and for any value outside 0-255. Static storage: never freed.
const char* KeyName(int scanCode);

// The name of joystick control 0-31, or "" outside that range. Static storage.
const char* JoystickControlName(int control);

// Entry of the combined table: 0-255 keys, 256-287 joystick controls, "" elsewhere.
const char* KeyNameTableEntry(int index);

}  // namespace KYR
