// One DirectInput device as the engine hands it out: already formatted, set to background,
// non-exclusive mode and acquired. Holds a reference on the CKYRDI that opened it, so the
// DirectInput object outlives every device made from it.
#pragma once

#include <windows.h>

#include <dinput.h>

#include "engine/core/RefPtr.h"
#include "input/IKYRDI.h"

namespace KYR {

class CDIInput : public RefCounted<IDIInput> {
public:
    // Takes its own reference on `owner` and takes over the caller's reference on `device`
    // (which may be null: Poll and GetState then report kDeviceNotReady).
    CDIInput(IKYRDI* owner, RefPtr<IDirectInputDevice8A> device);

    HRESULT Poll() override;
    // A device that reports its input lost, or itself not acquired, is acquired again and
    // read once more.
    HRESULT GetState(DWORD size, void* buffer) override;

    // Unacquires the device, then releases it, then the owner.
    ~CDIInput() override;

private:
    RefPtr<IKYRDI> owner_;  // declared first: released last
    RefPtr<IDirectInputDevice8A> device_;
};

}  // namespace KYR
