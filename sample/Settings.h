// What the configuration tool leaves for the game: [General] and player 1's [KeyConfig1] of
// "Game.ini" beside the program ("System.ini" holds the shipped bindings until the player
// has saved any).
#pragma once

#include <string>

// The game's buttons in the tool's order: up, down, left, right, A, B, X, Y, L1, L2, R1, R2,
// S, P, C1, C2.
enum Button { kUp, kDown, kLeft, kRight, kA, kB, kX, kY, kButtonCount = 16 };

// A button's binding: a keyboard scan code (device 0) or a control of joystick 1 to 4.
struct Binding {
    int device = 0;
    int code = 0;
};

struct GameSettings {
    bool fullScreen = false;
    bool showFps = false;
    int screenSize = 0;  // 0 to 4: the window is 1.0 + 0.5 x screenSize times the game's size
    Binding bindings[kButtonCount];
};

// `folder` ends with a backslash. Missing files and keys give the tool's defaults.
GameSettings ReadGameSettings(const std::string& folder);

// The stored binding form: a decimal device number, any one separator, a hexadecimal code
// ("0x" optional), blanks allowed between them. False when one of the three is missing.
bool ParseBinding(const char* text, Binding* binding);
