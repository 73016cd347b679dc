// The executable's directory, as every INI path of the program is built from it.
#pragma once

#include <windows.h>

#include <string>

namespace KYR {

// GetModuleFileNameW's shape, so tests can hand in paths of any length.
using ModulePathReader = DWORD(WINAPI*)(HMODULE, LPWSTR, DWORD);
// GetShortPathNameW's shape, so tests can take the short name away.
using ShortPathReader = DWORD(WINAPI*)(LPCWSTR, LPWSTR, DWORD);

// The directory of the module's file including the final backslash, in the ANSI code page.
// The buffer grows until the whole path fits (paths longer than MAX_PATH exist). A directory
// whose name the ANSI code page cannot spell (Korean letters on a Japanese system, say) is
// given by its short (8.3) path instead, which the profile functions then reach. Empty when
// the path cannot be read, or cannot be spelled and has no short form: no file of the
// program can be named then.
std::string ReadModuleDirectory(HMODULE module, ModulePathReader reader = &GetModuleFileNameW,
                                ShortPathReader shortPath = &GetShortPathNameW);

// The same directory as the system names it (UTF-16, any length), with its final backslash;
// empty when the path cannot be read.
std::wstring ReadModuleDirectoryW(HMODULE module, ModulePathReader reader = &GetModuleFileNameW);

// The text in the ANSI code page when every character survives the conversion; false when
// one would be replaced or approximated (best fit), since such a path names another file.
bool ToAnsiExactly(const std::wstring& wide, std::string* ansi);

// The engine's process-wide copy, written once by the application object.
std::string& GlobalModuleDirectory();

}  // namespace KYR
