#include "input/DIInput.h"

#include <utility>

namespace KYR {

CDIInput::CDIInput(IKYRDI* owner, RefPtr<IDirectInputDevice8A> device)
    : owner_(RefPtr<IKYRDI>::AddRefOf(owner)), device_(std::move(device)) {}

HRESULT CDIInput::Poll() {
    // Keyboards and many joysticks are not polled devices; DirectInput answers DI_NOEFFECT.
    return device_ ? device_->Poll() : kDeviceNotReady;
}

HRESULT CDIInput::GetState(DWORD size, void* buffer) {
    if (!device_) return kDeviceNotReady;
    HRESULT hr = device_->GetDeviceState(size, buffer);
    // A controller unplugged and plugged in again, or a device another program took, stays
    // unacquired until it is asked for again. Once per read at most: a device that is gone
    // costs one Acquire a tick, never a loop.
    if ((hr == DIERR_INPUTLOST || hr == DIERR_NOTACQUIRED) && SUCCEEDED(device_->Acquire()))
        hr = device_->GetDeviceState(size, buffer);
    return hr;
}

CDIInput::~CDIInput() {
    if (device_) device_->Unacquire();
}

}  // namespace KYR
