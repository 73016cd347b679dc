// The process's life from entry to exit, behind WinMain so tests can run it with their own
// factory and sheet.
#pragma once

#include <windows.h>

#include "app/InterfaceFactory.h"

namespace KYR {

// Runs the configuration sheet until its loop ends.
using SheetRunner = void (*)();

// Builds the application object, creates the engine interfaces and runs the sheet. Returns
// 0 after a normal run, 1 when an engine interface could not be created.
int RunApplication(HINSTANCE instance, InterfaceFactory factory, SheetRunner runSheet);

}  // namespace KYR
