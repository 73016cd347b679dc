#include "Settings.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace {

const char* const kButtonKeys[kButtonCount] = {
    "UP",   "DOWN", "LEFT", "RIGHT", "BTN1", "BTN2",  "BTN3",  "BTN4",
    "BTN5", "BTN6", "BTN7", "BTN8",  "BTN9", "BTN10", "BTN11", "BTN12"};

// A key's text; `fallback` when the key is missing (a key present and empty reads as empty).
std::string ReadKey(const std::string& file, const char* section, const char* key,
                    const char* fallback) {
    char buffer[256];
    GetPrivateProfileStringA(section, key, fallback, buffer, sizeof(buffer), file.c_str());
    return buffer;
}

bool IsYes(const std::string& text) {
    if (text.size() != 3) return false;
    const char* yes = "yes";
    for (size_t i = 0; i < 3; ++i)
        if ((text[i] | 0x20) != yes[i]) return false;  // ASCII letters in any case
    return true;
}

int ScreenSizeOf(const std::string& text) {
    char* end = nullptr;
    const long n = std::strtol(text.c_str(), &end, 10);
    if (end == text.c_str() || n < 0 || n > 4) return 0;
    return static_cast<int>(n);
}

// Player 1's built-in binding of a button: joystick 1's stick directions, then its buttons.
Binding DefaultBinding(int button) {
    Binding b;
    b.device = 1;
    b.code = button < 4 ? button : 0x10 + (button - 4);
    return b;
}

}  // namespace

bool ParseBinding(const char* text, Binding* binding) {
    int device = 0;
    char separator = 0;
    unsigned code = 0;
    // " %c" skips blanks and takes one character whatever it is; %x takes an optional 0x.
    if (std::sscanf(text, " %d %c %x", &device, &separator, &code) != 3) return false;
    binding->device = device;
    binding->code = static_cast<int>(code);
    return true;
}

GameSettings ReadGameSettings(const std::string& folder) {
    GameSettings s;
    const std::string game = folder + "Game.ini";
    s.fullScreen = IsYes(ReadKey(game, "General", "FullScreen", "No"));
    s.showFps = IsYes(ReadKey(game, "General", "ShowFPS", "No"));
    s.screenSize = ScreenSizeOf(ReadKey(game, "General", "ScreenSize", "0"));

    // The player's bindings once the tool has saved them, the shipped ones before that.
    const std::string bindings =
        GetFileAttributesA(game.c_str()) != INVALID_FILE_ATTRIBUTES ? game : folder + "System.ini";
    for (int b = 0; b < kButtonCount; ++b) {
        const std::string text = ReadKey(bindings, "KeyConfig1", kButtonKeys[b], "");
        if (!ParseBinding(text.c_str(), &s.bindings[b])) s.bindings[b] = DefaultBinding(b);
    }
    return s;
}
