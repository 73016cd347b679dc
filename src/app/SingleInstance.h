// One copy of the tool per game folder. Two copies would each write Game.ini from what they
// read at their start, and the last OK would quietly undo the other's choices. The first start
// holds a named mutex for its folder for the whole run; a later start brings the first one's
// sheet to the front instead and ends.
#pragma once

#include <windows.h>

#include <string>

#include "engine/core/ScopedHandle.h"

namespace KYR {

class SingleInstance {
public:
    // `folder` is the executable's directory. A folder that cannot be opened (or a mutex that
    // cannot be made) leaves the run unguarded: better two copies than none.
    explicit SingleInstance(const std::wstring& folder);
    bool IsFirst() const { return first_; }

private:
    ScopedHandle mutex_;
    bool first_ = true;
};

// Brings the sheet of the copy that runs from `folder` to the front: restored when minimised,
// and the box it shows, if one is open, in front of it. Waits up to `waitMs` for the sheet to
// appear, since the first copy may still be starting. False when none appeared.
bool ShowRunningSheet(const std::wstring& folder, DWORD waitMs);

}  // namespace KYR
