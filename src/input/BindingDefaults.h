// Where bindings live in the INI files and what they are when nothing usable is stored:
// section "KeyConfig<n>", one key per button, and a built-in default that binds player n to
// joystick n (the stick's four directions, then buttons 1 to 12).
#pragma once

#include <string>

#include "input/KeyBinding.h"

namespace KYR {

// Player 1 to 4 and button 0 to 15; null outside those ranges. Static storage.
const char* DefaultBindingText(int player, int button);

// "UP", "DOWN", "LEFT", "RIGHT", "BTN1" ... "BTN12" by button index; null outside 0-15.
const char* BindingIniKey(int button);

// "KeyConfig<player>".
std::string KeyConfigSection(int player);

// A button's binding as loaded: the text kept (written back unchanged on save) and what it
// reads as.
struct LoadedBinding {
    std::string text;
    KeyBinding binding;
};

// What a player or button out of range loads as: no text, and a device no reader resolves.
constexpr KeyBinding kUnboundBinding = {-1, -1};

// The decision after the INI read: an empty value, or one that does not read as a
// binding, is replaced by the built-in default. `stored` is what the profile read returned
// (the default text already when the key is missing). A player outside 1-4 or a button
// outside 0-15 gives the empty text and kUnboundBinding.
LoadedBinding ResolveStoredBinding(const char* stored, int player, int button);

}  // namespace KYR
