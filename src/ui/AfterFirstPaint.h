// Start-up work that the first page does not need, held back until the sheet has painted, so
// the player sees the page sooner. The message loop takes its messages through Get, which
// runs the work once the queue first runs dry (Windows hands out paint messages before an
// empty queue, and timer messages only after paint). Anything that may need the work comes
// later still: the player's input runs it first, and so does showing another page, for
// which the sheet's procedure calls RunPending.
#pragma once

#include <windows.h>

#include <functional>

namespace KYR {

class AfterFirstPaint {
public:
    // The work becomes the sheet's pending work until it has run or this holder ends.
    explicit AfterFirstPaint(std::function<void()> work);
    ~AfterFirstPaint();
    AfterFirstPaint(const AfterFirstPaint&) = delete;
    AfterFirstPaint& operator=(const AfterFirstPaint&) = delete;

    // GetMessageA for all windows of the thread, running the pending work first when the
    // queue is empty or the message is input or a timer.
    BOOL Get(MSG* msg);

    // Runs the pending work now, if there is any. Safe to call at any time.
    static void RunPending();
};

}  // namespace KYR
