// The game from start to end: engine interfaces, window, device, art, input and sound, then
// the paced frame loop until Escape or the window's close box.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

// What the game reports on its way out.
struct GameReport {
    uint32_t framesDrawn = 0;  // presented
    uint32_t framesLate = 0;   // begun three or more frames behind the pace
    int playerX = 0;
    int playerY = 0;
    uint32_t effectsPlayed = 0;  // button A presses whose sound started
    int musicStatus = 4;         // the music's state at the end: 1 playing
};

// `folder` is the program's own, with a trailing backslash. Returns the exit code: 0 after
// a normal end, 1 when the engine or the device cannot be had (the player has been told).
int RunGame(HINSTANCE instance, const std::string& folder, GameReport* report);
