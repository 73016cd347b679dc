// The two text forms of a binding: the value stored in the INI files ("1,0x10") and the
// text the key page shows ("Joy1: 1"). No Windows API: also built for the host tests and
// the fuzzer.
#pragma once

#include <string>

#include "input/KeyBinding.h"

namespace KYR {

// The stored form: decimal device, a comma, "0x" and the code in upper-case hex with at
// least two digits ("0,0xC8", "1,0x10").
std::string FormatBindingValue(const KeyBinding& binding);

// Reads a stored value: white space, a decimal device, white space, exactly one separator
// character of any kind, white space, a hexadecimal code with an optional 0x/0X prefix.
// Trailing text is ignored and the numbers are not range-checked: a file may hold any
// device and code, and only the reader decides whether such a binding can ever be down.
// Returns false (leaving *out alone) when one of the three reads fails. The device
// saturates at the int32 limits; the code is taken modulo 2^32, the way a 32-bit "%x"
// conversion stores it, so whatever is accepted formats back to a text that reads the same.
bool ParseBindingValue(const char* text, KeyBinding* out);

// The display form: "Key: <name>" for device 0, "Joy<device>: <name>" otherwise. A code
// that has no name slot (above 255 for a key, above 31 for a joystick, or negative) shows
// the prefix alone.
std::string BindingDisplayText(const KeyBinding& binding);

}  // namespace KYR
