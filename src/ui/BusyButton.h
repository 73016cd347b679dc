// A button whose click runs a request that blocks the sheet's thread (the link page's steps,
// up to the web client's time-outs). For the holder's lifetime the button is disabled and the
// wait cursor shows. At its end the mouse and key messages that queued up meanwhile are
// dropped, since the player made them at a sheet that did not answer (the second click of a
// double click would run the next step at once, with an empty PIN); then the button is
// enabled again and gets back the focus it had.
#pragma once

#include <windows.h>

class BusyButton {
public:
    explicit BusyButton(HWND button);
    ~BusyButton();
    BusyButton(const BusyButton&) = delete;
    BusyButton& operator=(const BusyButton&) = delete;

private:
    HWND button_;
    bool hadFocus_;
    HCURSOR previousCursor_;
};
