#include "ui/AfterFirstPaint.h"

#include <utility>

namespace KYR {
namespace {

// The one sheet's pending work; the tool's single GUI thread is the only one to touch it.
std::function<void()>& Pending() {
    static std::function<void()> work;
    return work;
}

bool MayNeedTheWork(UINT message) {
    const UINT kSystemTimer = 0x0118;  // WM_SYSTIMER: caret blinks, scrolling
    return (message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
           (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) ||
           (message >= WM_NCMOUSEMOVE && message <= WM_NCXBUTTONDBLCLK) ||
           message == WM_TIMER || message == kSystemTimer;
}

}  // namespace

AfterFirstPaint::AfterFirstPaint(std::function<void()> work) { Pending() = std::move(work); }

AfterFirstPaint::~AfterFirstPaint() { Pending() = nullptr; }

BOOL AfterFirstPaint::Get(MSG* msg) {
    // PeekMessage also delivers messages sent from other threads, and a page shown by one of
    // them runs the work through RunPending before it needs it.
    if (Pending() && !PeekMessageA(msg, nullptr, 0, 0, PM_NOREMOVE)) RunPending();
    const BOOL got = GetMessageA(msg, nullptr, 0, 0);
    if (got > 0 && Pending() && MayNeedTheWork(msg->message)) RunPending();
    return got;
}

void AfterFirstPaint::RunPending() {
    // Taken out first: the work may show a message box, whose loop can come back here.
    std::function<void()> work = std::move(Pending());
    Pending() = nullptr;
    if (work) work();
}

}  // namespace KYR
