// Start-up benchmark: time from CreateProcess to the sheet window being visible, for
// GameConfig.exe and two floors beside it, taken in turn, several runs each:
//   - template_floor.exe, a bare property sheet over the tool's own four dialog templates and
//     manifest (the fair floor: the same controls to create and draw; aim at most 1.1);
//   - sheet_floor.exe, the smallest sheet with one empty page (the old floor; aim at most 1.2).
// Prints the medians and both ratios, then a timeline of one start of GameConfig.exe and of
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

// Milliseconds until a visible top-level window with the caption appears; -1 on failure.
double TimeToVisible(const std::string& exe, const wchar_t* caption) {
    std::string dir = exe.substr(0, exe.find_last_of("\\/") + 1);
    std::string cmd = "\"" + exe + "\"";
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    const double start = Seconds();
    if (!CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr,
                        dir.empty() ? nullptr : dir.c_str(), &si, &pi))
        return -1;
    double elapsed = -1;
    HWND sheet = nullptr;
    while (Seconds() - start < 20) {
        sheet = FindWindowW(nullptr, caption);
        if (sheet && IsWindowVisible(sheet)) {
            elapsed = (Seconds() - start) * 1000;
            break;
        }
        Sleep(1);
    }
    if (sheet) PostMessageW(sheet, WM_SYSCOMMAND, SC_CLOSE, 0);
    if (WaitForSingleObject(pi.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return elapsed;
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
    std::vector<double> tool, templates, empty;
    // Warm each up once (first starts pay for the wineserver and the file cache).
    TimeToVisible(argv[1], toolCaption);
    TimeToVisible(argv[2], L"template floor");
    TimeToVisible(argv[3], L"floor sheet");
    for (int i = 0; i < runs; ++i) {
        const double t = TimeToVisible(argv[1], toolCaption);
        const double f = TimeToVisible(argv[2], L"template floor");
        const double e = TimeToVisible(argv[3], L"floor sheet");
        if (t < 0 || f < 0 || e < 0) {
            std::printf("a program did not show its sheet\n");
            return 1;
        }
        tool.push_back(t);
        templates.push_back(f);
        empty.push_back(e);
    }
    const double mt = bench::Median(tool), mf = bench::Median(templates), me = bench::Median(empty);
    std::printf("GameConfig.exe:       median %.1f ms to a visible sheet (%d runs)\n", mt, runs);
    std::printf("same templates, bare: median %.1f ms\n", mf);
    std::printf("one empty page:       median %.1f ms\n", me);
    bench::PrintRatio("startup", mf > 0 ? mt / mf : 0.0, "at most 1.1");
    bench::PrintRatio("startup_empty_sheet", me > 0 ? mt / me : 0.0, "at most 1.2");
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
