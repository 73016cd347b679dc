// The process's life from entry to exit, behind WinMain so tests can run it with their own
// factory and sheet.
#pragma once

#include <windows.h>

#include "engine/factory/InterfaceFactory.h"

class CGOption;

namespace KYR {

// Runs the configuration sheet until its loop ends; false when the sheet could not be made.
using SheetRunner = bool (*)(CGOption& settings);

bool RunRealSheet(CGOption& settings);

// Builds the application object, creates the engine interfaces, builds the settings model and
// runs the sheet. Returns 0 after a normal run, 1 when an engine interface or the sheet could
// not be created. While a copy runs from the same folder, it brings that copy's sheet to the
// front instead and returns 0.
int RunApplication(HINSTANCE instance, InterfaceFactory factory = &CreateKYRInterface,
                   SheetRunner runSheet = &RunRealSheet);

}  // namespace KYR
