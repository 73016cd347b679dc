#include "engine/factory/InterfaceFactory.h"

#include <new>

#include "engine/core/KYRWin.h"
#include "engine/core/MessageBox.h"
#include "engine/graphics/KYRD3D.h"
#include "engine/media/std/KYRStd.h"
#include "engine/media/stream/KYRDS.h"
#include "engine/media/video/VideoObjects.h"
#include "input/KYRDI.h"

namespace KYR {

IKYRInterface* CreateKYRInterface(int kind) {
    switch (kind) {
    case kKindStd:
        return new (std::nothrow) CKYRStd;
    case kKindWin:
        return new (std::nothrow) CKYRWin;
    case kKindGraphics:
        // The device hands out video objects, which live in a room above graphics.
        RegisterVideoObjects();
        return new (std::nothrow) CKYRD3D;
    case kKindSound:
        return new (std::nothrow) CKYRDS;
    case kKindInput:
        return new (std::nothrow) CKYRDI;
    case kKindAbout:
        ShowMessageBox(nullptr, "KYR engine core: graphics, sound, input and media services.",
                       "About", MB_OK | MB_ICONINFORMATION);
        return nullptr;
    default:
        return nullptr;
    }
}

}  // namespace KYR
