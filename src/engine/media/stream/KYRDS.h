// CKYRDS: the engine's DirectSound interface object. Owns the DirectSound 8 object (bound
// lazily from dsound.dll) and makes the sound objects that play through it.
#pragma once

#include <windows.h>

#include <dsound.h>

#include "engine/core/RefPtr.h"
#include "engine/media/sound/IKYRDS.h"

namespace KYR {

class CKYRDS : public RefCounted<IKYRDS> {
public:
    CKYRDS() = default;
    ~CKYRDS() override { Shutdown(); }

    void* CreateObject(REFGUID id) override;
    bool Initialize(HWND window) override;
    // Gives the device back to other programs (normal level) and drops the DirectSound
    // object. Buffers loaded and streams opened earlier keep the object alive until they are
    // unloaded or closed.
    void Shutdown() override;

private:
    RefPtr<IDirectSound8> directSound_;
};

}  // namespace KYR
