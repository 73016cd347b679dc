#include "input/BindingDefaults.h"

#include <cstdio>

#include "input/BindingText.h"

namespace KYR {
namespace {

constexpr const char* kDefaults[kPlayerCount][kButtonCount] = {
    {"1,0x00", "1,0x01", "1,0x02", "1,0x03", "1,0x10", "1,0x11", "1,0x12", "1,0x13",
     "1,0x14", "1,0x15", "1,0x16", "1,0x17", "1,0x18", "1,0x19", "1,0x1A", "1,0x1B"},
    {"2,0x00", "2,0x01", "2,0x02", "2,0x03", "2,0x10", "2,0x11", "2,0x12", "2,0x13",
     "2,0x14", "2,0x15", "2,0x16", "2,0x17", "2,0x18", "2,0x19", "2,0x1A", "2,0x1B"},
    {"3,0x00", "3,0x01", "3,0x02", "3,0x03", "3,0x10", "3,0x11", "3,0x12", "3,0x13",
     "3,0x14", "3,0x15", "3,0x16", "3,0x17", "3,0x18", "3,0x19", "3,0x1A", "3,0x1B"},
    {"4,0x00", "4,0x01", "4,0x02", "4,0x03", "4,0x10", "4,0x11", "4,0x12", "4,0x13",
     "4,0x14", "4,0x15", "4,0x16", "4,0x17", "4,0x18", "4,0x19", "4,0x1A", "4,0x1B"},
};

constexpr const char* kIniKeys[kButtonCount] = {
    "UP",   "DOWN", "LEFT", "RIGHT", "BTN1", "BTN2",  "BTN3",  "BTN4",
    "BTN5", "BTN6", "BTN7", "BTN8",  "BTN9", "BTN10", "BTN11", "BTN12",
};

}  // namespace

const char* DefaultBindingText(int player, int button) {
    if (player < 1 || player > kPlayerCount || button < 0 || button >= kButtonCount)
        return nullptr;
    return kDefaults[player - 1][button];
}

const char* BindingIniKey(int button) {
    if (button < 0 || button >= kButtonCount) return nullptr;
    return kIniKeys[button];
}

std::string KeyConfigSection(int player) {
    char name[32];
    std::snprintf(name, sizeof(name), "KeyConfig%d", player);
    return name;
}

LoadedBinding ResolveStoredBinding(const char* stored, int player, int button) {
    const char* fallback = DefaultBindingText(player, button);
    LoadedBinding loaded;
    // Out of range there is no default to fall back on: an empty text and a binding the
    // reader cannot resolve, so nothing is ever read as this button.
    if (!fallback) {
        loaded.binding = kUnboundBinding;
        return loaded;
    }
    if (stored && *stored && ParseBindingValue(stored, &loaded.binding)) {
        loaded.text = stored;
        return loaded;
    }
    loaded.text = fallback;
    ParseBindingValue(fallback, &loaded.binding);
    return loaded;
}

}  // namespace KYR
