// Start-up benchmark: time from CreateProcess to the sheet window being visible (and to its
// first answer to a message, when its loop runs and paints it), for GameConfig.exe and two
// floors beside it, taken in turn, several runs each:
//   - template_floor.exe, a bare property sheet over the tool's own four dialog templates and
//     manifest (the fair floor: the same controls to create and draw; aim at most 1.1);
//   - sheet_floor.exe, the smallest sheet with one empty page (the old floor; aim at most 1.2).
// Prints the medians and the ratios, then a timeline of GameConfig.exe and of
// template_floor.exe with their marks (DebugTimeline.h), to show where the difference goes.
//   startup_bench.exe <GameConfig.exe> <template_floor.exe> <sheet_floor.exe> [runs]
#include <windows.h>

#include "BenchClock.h"
#include "DebugTimeline.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

double Seconds() { return bench::NowUs() / 1e6; }

struct StartTimes {
    double visible = -1;    // ms until a visible top-level window with the caption exists
    double answering = -1;  // ms until it also answers a message: its loop runs and paints
};

StartTimes TimeToVisible(const std::string& exe, const wchar_t* caption) {
    StartTimes times;
    std::string dir = exe.substr(0, exe.find_last_of("\\/") + 1);
    std::string cmd = "\"" + exe + "\"";
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    const double start = Seconds();
    if (!CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr,
                        dir.empty() ? nullptr : dir.c_str(), &si, &pi))
        return times;
    HWND sheet = nullptr;
    while (Seconds() - start < 20) {
        if (!sheet) sheet = FindWindowW(nullptr, caption);
        if (sheet && times.visible < 0 && IsWindowVisible(sheet))
            times.visible = (Seconds() - start) * 1000;
        // A visible window is shown to the player once its thread runs its message loop: the
        // first WM_PAINT comes from there, as does the answer to WM_NULL.
        DWORD_PTR result = 0;
        if (times.visible >= 0 &&
            SendMessageTimeoutW(sheet, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1, &result)) {
            times.answering = (Seconds() - start) * 1000;
            break;
        }
        if (times.visible < 0) Sleep(1);
    }
    if (sheet) PostMessageW(sheet, WM_SYSCOMMAND, SC_CLOSE, 0);
    if (WaitForSingleObject(pi.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return times;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::printf("usage: startup_bench GameConfig.exe template_floor.exe sheet_floor.exe"
                    " [runs]\n");
        return 2;
    }
    const wchar_t* toolCaption = L"\u30b2\u30fc\u30e0\u306e\u8a2d\u5b9a";  // ゲームの設定
    const int runs = argc > 4 ? std::max(1, std::atoi(argv[4])) : 7;
    std::vector<double> tool, templates, empty, toolAnswering, templatesAnswering;
    // Warm each up once (first starts pay for the wineserver and the file cache).
    TimeToVisible(argv[1], toolCaption);
    TimeToVisible(argv[2], L"template floor");
    TimeToVisible(argv[3], L"floor sheet");
    for (int i = 0; i < runs; ++i) {
        const StartTimes t = TimeToVisible(argv[1], toolCaption);
        const StartTimes f = TimeToVisible(argv[2], L"template floor");
        const StartTimes e = TimeToVisible(argv[3], L"floor sheet");
        if (t.answering < 0 || f.answering < 0 || e.answering < 0) {
            std::printf("a program did not show its sheet\n");
            return 1;
        }
        tool.push_back(t.visible);
        templates.push_back(f.visible);
        empty.push_back(e.visible);
        toolAnswering.push_back(t.answering);
        templatesAnswering.push_back(f.answering);
    }
    const double mt = bench::Median(tool), mf = bench::Median(templates), me = bench::Median(empty);
    const double at = bench::Median(toolAnswering), af = bench::Median(templatesAnswering);
    std::printf("GameConfig.exe:       median %.1f ms to a visible sheet, %.1f ms to one that "
                "answers (%d runs)\n",
                mt, at, runs);
    std::printf("same templates, bare: median %.1f ms, %.1f ms\n", mf, af);
    std::printf("one empty page:       median %.1f ms\n", me);
    bench::PrintRatio("startup", mf > 0 ? mt / mf : 0.0, "at most 1.1");
    bench::PrintRatio("startup_empty_sheet", me > 0 ? mt / me : 0.0, "at most 1.2");
    bench::PrintRatio("startup_answering", af > 0 ? at / af : 0.0, "at most 1.1");
    // Only now: a monitored mark waits for the monitor, which the timed runs must not do.
    bench::DebugMonitor monitor;
    if (!monitor.Listening()) {
        std::printf("no timeline: another debug monitor is running\n");
        return 0;
    }
    std::vector<std::vector<bench::TimelineEvent>> toolRuns, floorRuns;
    for (int i = 0; i < std::min(runs, 5); ++i) {
        toolRuns.push_back(bench::TakeTimeline(monitor, argv[1], toolCaption));
        floorRuns.push_back(bench::TakeTimeline(monitor, argv[2], L"template floor"));
    }
    bench::PrintTimeline("GameConfig.exe", toolRuns);
    bench::PrintTimeline("template_floor.exe", floorRuns);
    return 0;
}
