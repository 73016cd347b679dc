// The two DirectInput data formats the engine opens devices with: the standard keyboard
// format (256 bytes, one per scan code) and the standard extended joystick format
// (DIJOYSTATE2). MinGW ships them only inside libdinput8.a, which the program does not link
// (dinput8.dll is bound on first use), so they are built here from the same object layout.
#pragma once

#include <windows.h>

#include <dinput.h>

namespace KYR {

// Both live for the whole process; DirectInput copies what it needs in SetDataFormat.
const DIDATAFORMAT& KeyboardDataFormat();
const DIDATAFORMAT& Joystick2DataFormat();

}  // namespace KYR
