// Entry point of GameConfig.exe.
#include <windows.h>

#include "app/Application.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    return KYR::RunApplication(instance);
}
