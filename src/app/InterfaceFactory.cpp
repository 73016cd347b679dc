#include "app/InterfaceFactory.h"

#include <new>

#include "engine/core/KYRWin.h"
#include "engine/core/MessageBox.h"
#include "engine/graphics/KYRD3D.h"
#include "input/KYRDI.h"

namespace KYR {

IKYRInterface* CreateKYRInterface(int kind) {
    switch (kind) {
    case kKindWin:
        return new (std::nothrow) CKYRWin;
    case kKindGraphics:
        return new (std::nothrow) CKYRD3D;
    case kKindInput:
        return new (std::nothrow) CKYRDI;
    case kKindAbout:
        ShowMessageBox(nullptr, "KYR engine core: graphics, sound, input and media services.",
                       "About", MB_OK | MB_ICONINFORMATION);
        return nullptr;
    case kKindStd:    // standard services and sound are the game's; the tool never asks
    case kKindSound:  // for them, and this build does not carry them yet
    default:
        return nullptr;
    }
}

}  // namespace KYR
