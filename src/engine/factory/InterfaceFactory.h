// The factory of the engine's top-level interfaces.
#pragma once

#include "engine/core/IKYRInterface.h"

namespace KYR {

enum InterfaceKind {
    kKindStd = 0,       // CKYRStd, standard services
    kKindWin = 1,       // CKYRWin, window and system services
    kKindGraphics = 2,  // CKYRD3D, Direct3D 9
    kKindSound = 3,     // CKYRDS, DirectSound
    kKindInput = 4,     // CKYRDI, DirectInput
    kKindAbout = 5,     // shows the engine notice, creates nothing
};

// A new object with one reference the caller owns, or null (unknown kind, kind 5, no memory).
// The result is the concrete class's IKYRInterface: cast to the kind's interface.
IKYRInterface* CreateKYRInterface(int kind);

using InterfaceFactory = IKYRInterface* (*)(int kind);

}  // namespace KYR
