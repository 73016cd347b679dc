// Start-up benchmark: time from CreateProcess to the sheet window being visible, for
// GameConfig.exe and for the minimal sheet program beside it, alternating, several runs each.
// Prints both medians and their ratio (aim: at most 1.2).
//   startup_bench.exe <GameConfig.exe> <sheet_floor.exe> [runs]
#include <windows.h>

#include "BenchClock.h"

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
    if (argc < 3) {
        std::printf("usage: startup_bench GameConfig.exe sheet_floor.exe [runs]\n");
        return 2;
    }
    const int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 7;
    std::vector<double> tool, floor;
    TimeToVisible(argv[1], L"\u30b2\u30fc\u30e0\u306e\u8a2d\u5b9a");  // warm both up once
    TimeToVisible(argv[2], L"floor sheet");
    for (int i = 0; i < runs; ++i) {
        const double t = TimeToVisible(argv[1], L"\u30b2\u30fc\u30e0\u306e\u8a2d\u5b9a");
        const double f = TimeToVisible(argv[2], L"floor sheet");
        if (t < 0 || f < 0) {
            std::printf("a program did not show its sheet\n");
            return 1;
        }
        tool.push_back(t);
        floor.push_back(f);
    }
    const double mt = bench::Median(tool), mf = bench::Median(floor);
    std::printf("GameConfig.exe: median %.1f ms to a visible sheet (%d runs)\n", mt, runs);
    std::printf("minimal sheet:  median %.1f ms\n", mf);
    bench::PrintRatio("startup", mf > 0 ? mt / mf : 0.0, "at most 1.2");
    return 0;
}
