// The boxes that tell the player a save did not happen. Both are wide: the first names a
// file whose path the ANSI code page may not spell, and the second appears exactly where the
// code page cannot spell the game's folder, that is on systems whose code page is not
// Shift-JIS, where a narrow Japanese text would come out garbled.
#pragma once

#include <windows.h>

namespace KYR {
class IniFile;
}

// A write to `file` did not reach it (a protected folder, a read-only file, a lock, a full
// disk): names the file and what the player can do. Owned by `sheet`, so the sheet waits.
void ShowSaveFailure(HWND sheet, const KYR::IniFile& file);

// The game's folder has a name the program cannot spell, so no settings file has a place.
void ShowNoPlaceToSave(HWND sheet);
