#include "ui/KeyConfigPage.h"

#include <commctrl.h>
#include <prsht.h>

#include <boost/format.hpp>

#include "input/BindingIni.h"
#include "input/BindingText.h"
#include "input/Input.h"
#include "input/KeyNames.h"
#include "resources/resource.h"
#include "settings/GOption.h"
#include "ui/PageHelpers.h"

using namespace KYR;

namespace {

int FieldId(int button) { return button < 12 ? IDC_KEY_FIRST + button : IDC_KEY_FIRST + button + 1; }

// Where the focus goes after a capture, by button: the enabled fields form the cycle
// ↑ ↓ ← → A B X Y L1 R1 S P, skipping the disabled L2, R2, C1 and C2.
const int kNextButton[CGOption::kButtons] = {1, 2, 3, 4, 5, 6, 7, 8, 10, 10, 12, 12, 13, 0, 15, 0};

// Writes one captured binding into the focused field and moves the focus on.
void Bind(CGOption& o, HWND field, const std::string& display, const std::string& value) {
    SetWindowTextA(field, display.c_str());
    o.bindingTexts_[field] = value;
    auto next = o.nextFields_.find(field);
    if (next == o.nextFields_.end()) return;
    // The next field's focus notice comes back inside this call. The step goes on with its
    // own reading, and what is down is latched by the step itself.
    o.captureMovesFocus_ = true;
    SetFocus(next->second);
    o.captureMovesFocus_ = false;
}

// Each named key and each joystick control latched when down and released when up, as of
// the reader's last reading; nothing is bound.
void LatchHeld(CGOption& o, const CInput& input) {
    for (int code = 0; code < 256; ++code)
        if (!o.keyNames_[code].empty())
            o.keyLatches_[code] = (input.KeyState(code) & 0x80) ? 1 : 0;
    for (int joystick = 1; joystick <= 4; ++joystick)
        for (int control = 0; control < 32; ++control)
            o.joystickLatches_[joystick - 1][control] =
                input.IsJoystickControlDown(joystick, control) ? 1 : 0;
}

int RowOfPage(const CGOption& o, HWND page) {
    for (int r = 0; r < CGOption::kPlayers; ++r)
        if (o.pages_[r] == page) return r;
    return -1;
}

void InitKeyPage(HWND page, CGOption& o, int row) {
    CenterSheetOnce(page);
    o.pages_[row] = page;
    for (int b = 0; b < CGOption::kButtons; ++b)
        o.bindingFields_[b][row] = GetDlgItem(page, FieldId(b));
    for (int b = 0; b < CGOption::kButtons; ++b)
        o.nextFields_[o.bindingFields_[b][row]] = o.bindingFields_[kNextButton[b]][row];
    for (int i = 0; i < CGOption::kKeyNames; ++i) o.keyNames_[i] = KeyNameTableEntry(i);
    o.LoadKeyConfig(false, row);
    SetTimer(page, kCaptureTimerId, kCaptureTimerPeriodMs, nullptr);
    o.keyPageInitialised_ = true;
}

}  // namespace

void CGOption::LoadKeyConfig(bool useDefaults, int row) {
    if (row < 0 || row >= kPlayers) return;
    const IniFile& source = (useDefaults || !gameIni_.Exists()) ? systemIni_ : gameIni_;
    for (int button = 0; button < kButtons; ++button) {
        HWND field = bindingFields_[button][row];
        if (!field) continue;
        const LoadedBinding loaded = LoadBindingFromIni(source.Path(), row + 1, button);
        bindingTexts_[field] = loaded.text;
        SetWindowTextA(field, BindingDisplayText(loaded.binding).c_str());
    }
}

bool CaptureBinding(CGOption& o, CInput& input) {
    HWND field = GetFocus();
    if (!IsBindingField(o, field)) return false;
    if (o.nextFields_.find(field) == o.nextFields_.end()) return false;
    const bool read = input.Poll();
    if (o.latchHeldControls_) {
        if (read) {
            LatchHeld(o, input);
            o.latchHeldControls_ = false;
        }
        return false;
    }
    bool changed = false;
    for (int code = 0; code < 256; ++code) {
        if (o.keyNames_[code].empty()) continue;  // unnamed keys cannot be bound, latch included
        const bool down = (input.KeyState(code) & 0x80) != 0;
        if (!down) {
            o.keyLatches_[code] = 0;
        } else if (!o.keyLatches_[code]) {
            Bind(o, field, "Key: " + o.keyNames_[code], (boost::format("0,0x%02X") % code).str());
            o.keyLatches_[code] = 1;
            changed = true;
        }
    }
    for (int joystick = 1; joystick <= 4; ++joystick) {
        for (int control = 0; control < 32; ++control) {
            uint8_t& latch = o.joystickLatches_[joystick - 1][control];
            if (!input.IsJoystickControlDown(joystick, control)) {
                latch = 0;
            } else if (!latch) {
                Bind(o, field,
                     (boost::format("Joy%d: %s") % joystick % o.keyNames_[256 + control]).str(),
                     (boost::format("%d,0x%02X") % joystick % control).str());
                latch = 1;
                changed = true;
            }
        }
    }
    return changed;
}

void BindingFieldFocused(CGOption& o, CInput* input) {
    if (o.captureMovesFocus_) return;
    // Without a reading (the reader not open yet, or the sheet not yet in front) the next
    // step that reads does it.
    o.latchHeldControls_ = true;
    if (input && input->Poll()) {
        LatchHeld(o, *input);
        o.latchHeldControls_ = false;
    }
}

INT_PTR CALLBACK KeyConfigPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    return HandlePageMessage([&](CGOption& o) -> INT_PTR {
        switch (message) {
        case WM_INITDIALOG: {
            const auto* entry = reinterpret_cast<const PROPSHEETPAGEA*>(lParam);
            const int* row = entry ? reinterpret_cast<const int*>(entry->lParam) : nullptr;
            if (row && *row >= 0 && *row < CGOption::kPlayers) InitKeyPage(page, o, *row);
            return 0;
        }
        case WM_TIMER:
            if (wParam == kCaptureTimerId) {
                CInput* input = CInput::GetInstance();
                if (input && CaptureBinding(o, *input)) NotifyPageChanged(page);
            }
            return 0;
        case WM_COMMAND:
            if (HIWORD(wParam) == EN_SETFOCUS && IsBindingField(o, reinterpret_cast<HWND>(lParam)))
                BindingFieldFocused(o, CInput::GetInstance());
            if (LOWORD(wParam) == IDC_KEY_DEFAULTS) {
                const int row = RowOfPage(o, page);
                if (row >= 0) {
                    o.LoadKeyConfig(true, row);
                    NotifyPageChanged(page);
                }
            }
            return 0;
        case WM_CTLCOLORSTATIC: {
            HWND control = reinterpret_cast<HWND>(lParam);
            if (IsBindingField(o, control) || control == o.reportField_)
                return PaintWhiteField(reinterpret_cast<HDC>(wParam));
            return 0;
        }
        case WM_DESTROY:
            KillTimer(page, kCaptureTimerId);
            return 0;
        default:
            return 0;
        }
    });
}
