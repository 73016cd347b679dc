// Reads one button's binding from a profile (INI) file: section "KeyConfig<n>", the
// button's key, falling back to the built-in default when the key is missing, empty or
// unreadable.
#pragma once

#include <string>

#include "input/BindingDefaults.h"

namespace KYR {

// `iniPath` is a full path in the ANSI code page (a bare file name would make the profile
// functions look in the Windows directory). Player 1-4, button 0-15; anything else, or an
// empty path, reads nothing and loads as ResolveStoredBinding says.
LoadedBinding LoadBindingFromIni(const std::string& iniPath, int player, int button);

}  // namespace KYR
