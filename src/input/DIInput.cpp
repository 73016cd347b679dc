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
    return device_ ? device_->GetDeviceState(size, buffer) : kDeviceNotReady;
}

CDIInput::~CDIInput() {
    if (device_) device_->Unacquire();
}

}  // namespace KYR
