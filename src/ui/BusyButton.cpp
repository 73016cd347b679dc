#include "ui/BusyButton.h"

namespace {

void DropQueued(UINT first, UINT last) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, first, last, PM_REMOVE)) {
    }
}

}  // namespace

BusyButton::BusyButton(HWND button)
    : button_(button),
      hadFocus_(GetFocus() == button),
      previousCursor_(SetCursor(LoadCursorA(nullptr, IDC_WAIT))) {
    EnableWindow(button_, FALSE);
}

BusyButton::~BusyButton() {
    DropQueued(WM_KEYFIRST, WM_KEYLAST);
    DropQueued(WM_MOUSEFIRST, WM_MOUSELAST);
    DropQueued(WM_NCMOUSEMOVE, WM_NCXBUTTONDBLCLK);  // the title bar's buttons and frame
    EnableWindow(button_, TRUE);
    // A disabled window loses the focus; through the dialog, so its default button follows.
    if (hadFocus_)
        SendMessageA(GetParent(button_), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(button_), TRUE);
    SetCursor(previousCursor_);
}
