// Cost of one keyboard-only CInput::Poll against one bare GetDeviceState of the same kind of
// keyboard device, measured in the same run. The key page polls every 32 ms, so a Poll must
// stay far below 1% of that period (320 us). Poll is one device read and one foreground query,
// so it should cost at most about one and a half bare reads.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "BenchClock.h"
#include "engine/core/RefPtr.h"
#include "input/Input.h"
#include "input/KYRDI.h"

namespace {

constexpr int kBlocks = 15;
constexpr int kCallsPerBlock = 400;
constexpr double kTimerPeriodUs = 32000.0;

using bench::NowUs;

template <class F>
double BlockUs(F call) {
    const double start = NowUs();
    for (int i = 0; i < kCallsPerBlock; ++i) call();
    return (NowUs() - start) / kCallsPerBlock;
}

// The machine is shared: blocks of the measured calls alternate, and each one's median
// block is reported, so a burst of outside load does not land on one side only.
struct Medians {
    double a, b, c;
};
template <class A, class B, class C>
Medians InterleavedMedians(A a, B b, C c) {
    std::vector<double> ta, tb, tc;
    BlockUs(a), BlockUs(b), BlockUs(c);  // warm-up
    for (int i = 0; i < kBlocks; ++i) {
        ta.push_back(BlockUs(a));
        tb.push_back(BlockUs(b));
        tc.push_back(BlockUs(c));
    }
    return {bench::Median(ta), bench::Median(tb), bench::Median(tc)};
}

}  // namespace

int main() {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    HWND window = CreateWindowExA(0, "STATIC", "input bench", WS_POPUP | WS_VISIBLE, 0, 0, 100,
                                  100, nullptr, nullptr, instance, nullptr);
    SetForegroundWindow(window);
    // Without our window in front Poll only clears its tables: that would measure nothing.
    if (!window || GetForegroundWindow() != window) {
        std::fprintf(stderr, "input bench: cannot bring a window to the front\n");
        return 1;
    }

    KYR::RefPtr<KYR::CKYRDI> di(new KYR::CKYRDI);
    KYR::CInput input;
    if (!input.Initialize(di.Get(), window, instance)) {
        std::fprintf(stderr, "input bench: DirectInput keyboard unavailable\n");
        return 1;
    }
    KYR::RefPtr<KYR::IDIInput> bare(di->CreateKeyboard());
    if (!bare) return 1;

    BYTE state[256];
    // Poll's other system call, the foreground query, is a wineserver round trip under Wine.
    volatile HWND front = nullptr;
    const Medians m = InterleavedMedians([&] { bare->GetState(sizeof(state), state); },
                                         [&] { input.Poll(); },
                                         [&] { front = GetForegroundWindow(); });
    const double getStateUs = m.a, pollUs = m.b, foregroundUs = m.c;

    std::printf("devices opened:              %d (keyboard%s)\n", input.DeviceCount(),
                input.DeviceCount() > 1 ? " and joysticks" : " only");
    std::printf("bare GetDeviceState (256 B): %8.2f us\n", getStateUs);
    std::printf("GetForegroundWindow:         %8.2f us\n", foregroundUs);
    std::printf("CInput::Poll:                %8.2f us\n", pollUs);
    std::printf("Poll share of the 32 ms tick: %7.4f %%\n", 100.0 * pollUs / kTimerPeriodUs);
    bench::PrintRatio("input_poll", pollUs / getStateUs, "at most 1.5");
    DestroyWindow(window);
    return 0;
}
