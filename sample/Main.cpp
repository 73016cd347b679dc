// KYR Sample: a little game on the KYR engine that plays by the settings the configuration
// tool leaves in Game.ini beside it. It prints one line when it ends, for the tests:
//   KYRSample: frames N late N player X,Y effects N music S
#include <windows.h>

#include <cstdio>
#include <string>

#include "FrameLoop.h"

namespace {

// The program's folder with its trailing backslash (the files it reads sit there).
std::string ProgramFolder() {
    char path[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, n < MAX_PATH ? n : 0);
    return folder.substr(0, folder.find_last_of('\\') + 1);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    GameReport report;
    const int code = RunGame(instance, ProgramFolder(), &report);
    std::printf("KYRSample: frames %u late %u player %d,%d effects %u music %d\n",
                static_cast<unsigned>(report.framesDrawn), static_cast<unsigned>(report.framesLate),
                report.playerX, report.playerY, static_cast<unsigned>(report.effectsPlayed),
                report.musicStatus);
    std::fflush(stdout);
    return code;
}
