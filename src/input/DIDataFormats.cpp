#include "input/DIDataFormats.h"

#include <cstddef>
#include <vector>

#include "input/JoystickControls.h"

namespace KYR {
namespace {

// The reader decodes through its own mirror of DIJOYSTATE2: keep the two identical.
static_assert(sizeof(JoystickState2) == sizeof(DIJOYSTATE2), "DIJOYSTATE2 mirror");
static_assert(offsetof(JoystickState2, lRz) == offsetof(DIJOYSTATE2, lRz), "DIJOYSTATE2 mirror");
static_assert(offsetof(JoystickState2, rgdwPOV) == offsetof(DIJOYSTATE2, rgdwPOV),
              "DIJOYSTATE2 mirror");
static_assert(offsetof(JoystickState2, rgbButtons) == offsetof(DIJOYSTATE2, rgbButtons),
              "DIJOYSTATE2 mirror");
static_assert(offsetof(JoystickState2, rglFSlider) == offsetof(DIJOYSTATE2, rglFSlider),
              "DIJOYSTATE2 mirror");

// Every object is optional: a device that lacks one simply leaves its bytes zero.
constexpr DWORD kAnyAxis = DIDFT_OPTIONAL | DIDFT_AXIS | DIDFT_ANYINSTANCE;
constexpr DWORD kAnyPov = DIDFT_OPTIONAL | DIDFT_POV | DIDFT_ANYINSTANCE;
constexpr DWORD kAnyButton = DIDFT_OPTIONAL | DIDFT_BUTTON | DIDFT_ANYINSTANCE;

std::vector<DIOBJECTDATAFORMAT> KeyboardObjects() {
    std::vector<DIOBJECTDATAFORMAT> objects;
    for (DWORD code = 0; code < 256; ++code)
        objects.push_back({&GUID_Key, code, DIDFT_OPTIONAL | DIDFT_BUTTON | DIDFT_MAKEINSTANCE(code), 0});
    return objects;
}

// Six axes and two sliders at `base`, all reporting one aspect (position, velocity, ...).
void AddAxisBlock(std::vector<DIOBJECTDATAFORMAT>* objects, DWORD base, DWORD aspect) {
    const GUID* axes[] = {&GUID_XAxis,  &GUID_YAxis,  &GUID_ZAxis, &GUID_RxAxis,
                          &GUID_RyAxis, &GUID_RzAxis, &GUID_Slider, &GUID_Slider};
    for (DWORD i = 0; i < 8; ++i) objects->push_back({axes[i], base + 4 * i, kAnyAxis, aspect});
}

std::vector<DIOBJECTDATAFORMAT> Joystick2Objects() {
    std::vector<DIOBJECTDATAFORMAT> objects;
    AddAxisBlock(&objects, offsetof(DIJOYSTATE2, lX), DIDOI_ASPECTPOSITION);
    for (DWORD i = 0; i < 4; ++i)
        objects.push_back({&GUID_POV, DWORD(offsetof(DIJOYSTATE2, rgdwPOV) + 4 * i), kAnyPov, 0});
    for (DWORD i = 0; i < 128; ++i)
        objects.push_back({nullptr, DWORD(offsetof(DIJOYSTATE2, rgbButtons) + i), kAnyButton, 0});
    AddAxisBlock(&objects, offsetof(DIJOYSTATE2, lVX), DIDOI_ASPECTVELOCITY);
    AddAxisBlock(&objects, offsetof(DIJOYSTATE2, lAX), DIDOI_ASPECTACCEL);
    AddAxisBlock(&objects, offsetof(DIJOYSTATE2, lFX), DIDOI_ASPECTFORCE);
    return objects;
}

DIDATAFORMAT MakeFormat(std::vector<DIOBJECTDATAFORMAT>& objects, DWORD flags, DWORD dataSize) {
    return {sizeof(DIDATAFORMAT), sizeof(DIOBJECTDATAFORMAT), flags, dataSize,
            static_cast<DWORD>(objects.size()), objects.data()};
}

}  // namespace

const DIDATAFORMAT& KeyboardDataFormat() {
    static std::vector<DIOBJECTDATAFORMAT> objects = KeyboardObjects();
    static const DIDATAFORMAT format = MakeFormat(objects, DIDF_RELAXIS, 256);
    return format;
}

const DIDATAFORMAT& Joystick2DataFormat() {
    static std::vector<DIOBJECTDATAFORMAT> objects = Joystick2Objects();
    static const DIDATAFORMAT format = MakeFormat(objects, DIDF_ABSAXIS, sizeof(DIJOYSTATE2));
    return format;
}

}  // namespace KYR
