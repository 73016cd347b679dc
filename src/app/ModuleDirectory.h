// The executable's directory, as every INI path of the program is built from it.
#pragma once

#include <windows.h>

#include <string>

namespace KYR {

// GetModuleFileNameW's shape, so tests can hand in paths of any length.
using ModulePathReader = DWORD(WINAPI*)(HMODULE, LPWSTR, DWORD);

// The directory of the module's file including the final backslash, in the ANSI code page.
// The buffer grows until the whole path fits (paths longer than MAX_PATH exist). Empty when
// the path cannot be read.
std::string ReadModuleDirectory(HMODULE module, ModulePathReader reader = &GetModuleFileNameW);

// The engine's process-wide copy, written once by the application object.
std::string& GlobalModuleDirectory();

}  // namespace KYR
