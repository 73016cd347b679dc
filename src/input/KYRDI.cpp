#include "input/KYRDI.h"

#include <new>
#include <utility>

#include "engine/core/DxEntryPoints.h"
#include "input/DIDataFormats.h"
#include "input/DIInput.h"

namespace KYR {
namespace {

// Background and non-exclusive with no window: the devices report whichever window is in
// front, and the reader applies its own foreground test. Exclusive or foreground modes would
// need a top-level window of our own, which the engine's users do not always have.
constexpr DWORD kCooperation = DISCL_BACKGROUND | DISCL_NONEXCLUSIVE;

constexpr int kMaxJoystickIndex = 15;
constexpr LONG kAxisMin = -1000;
constexpr LONG kAxisMax = 1000;

// CreateDevice into a fresh owner; the out-parameter is trusted only on success.
RefPtr<IDirectInputDevice8A> CreateDevice(IDirectInput8A* di, REFGUID instance) {
    IDirectInputDevice8A* raw = nullptr;
    if (FAILED(di->CreateDevice(instance, &raw, nullptr))) return {};
    return RefPtr<IDirectInputDevice8A>(raw);
}

}  // namespace

void* CKYRDI::GetDirectInput(REFGUID id) {
    return IsEqualGUID(id, kDirectInputObjectId) ? directInput_.Get() : nullptr;
}

bool CKYRDI::Initialize(HINSTANCE instance) {
    RefPtr<IDirectInput8A> di;
    HRESULT hr = dx::DirectInput8Create(instance, 0x0800, IID_IDirectInput8A,
                                        reinterpret_cast<void**>(di.Put()), nullptr);
    if (FAILED(hr) || !di) return false;
    directInput_ = std::move(di);
    return true;
}

void CKYRDI::Shutdown() { directInput_.Reset(); }

IDIInput* CKYRDI::WrapDevice(RefPtr<IDirectInputDevice8A> device) {
    return new (std::nothrow) CDIInput(this, std::move(device));
}

IDIInput* CKYRDI::CreateKeyboard() {
    if (!directInput_) return nullptr;
    deviceSlot_ = CreateDevice(directInput_.Get(), GUID_SysKeyboard);
    if (!deviceSlot_) return nullptr;
    RefPtr<IDirectInputDevice8A> device = std::move(deviceSlot_);
    // Set-up results are not examined: a device that refuses simply reports nothing.
    device->SetDataFormat(&KeyboardDataFormat());
    device->SetCooperativeLevel(nullptr, kCooperation);
    device->Acquire();
    return WrapDevice(std::move(device));
}

BOOL CALLBACK CKYRDI::PickJoystick(LPCDIDEVICEINSTANCEA instance, LPVOID context) {
    try {
        CKYRDI* self = static_cast<CKYRDI*>(context);
        if (self->countdown_ > 0) {
            --self->countdown_;
            return DIENUM_CONTINUE;
        }
        self->deviceSlot_ = CreateDevice(self->directInput_.Get(), instance->guidInstance);
        self->countdown_ = -1;
    } catch (...) {
        // Nothing may unwind through dinput8.dll.
    }
    return DIENUM_STOP;
}

BOOL CALLBACK CKYRDI::SetAxisRange(LPCDIDEVICEOBJECTINSTANCEA object, LPVOID context) {
    try {
        DIPROPRANGE range = {};
        range.diph.dwSize = sizeof(range);
        range.diph.dwHeaderSize = sizeof(range.diph);
        range.diph.dwHow = DIPH_BYID;
        range.diph.dwObj = object->dwType;
        range.lMin = kAxisMin;
        range.lMax = kAxisMax;
        static_cast<IDirectInputDevice8A*>(context)->SetProperty(DIPROP_RANGE, &range.diph);
    } catch (...) {
    }
    return DIENUM_CONTINUE;
}

IDIInput* CKYRDI::CreateJoystick(int index) {
    // A negative index would open the first controller: refuse it like one above 15.
    if (!directInput_ || index < 0 || index > kMaxJoystickIndex) return nullptr;
    countdown_ = index;
    deviceSlot_.Reset();
    directInput_->EnumDevices(DI8DEVCLASS_GAMECTRL, &CKYRDI::PickJoystick, this,
                              DIEDFL_ATTACHEDONLY);
    if (!deviceSlot_) return nullptr;
    RefPtr<IDirectInputDevice8A> device = std::move(deviceSlot_);
    device->SetDataFormat(&Joystick2DataFormat());
    device->SetCooperativeLevel(nullptr, kCooperation);
    // Every axis the same range, so the reader can use one threshold. No dead zone.
    device->EnumObjects(&CKYRDI::SetAxisRange, device.Get(), DIDFT_AXIS);
    device->Acquire();
    return WrapDevice(std::move(device));
}

}  // namespace KYR
