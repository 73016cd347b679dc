// A start-up timeline taken from outside the program. This process serves as the system's
// debug monitor while the program starts once: the program's marks (OutputDebugString) are
// stamped as they arrive, together with the moments its window appears, turns visible and
// first answers a message (from its message loop, where the first WM_PAINT is handled too).
// A monitored mark waits for the monitor's hand-over, so a monitored start is a little slower
// than a plain one: the timeline shows where the time goes, the ratios come from plain runs.
// (A debugger would also see each DLL load, but Wine under qemu cannot start a debuggee.)
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "BenchClock.h"

namespace bench {

struct TimelineEvent {
    double us;  // on NowUs's clock
    DWORD process;
    std::string what;
};

// The monitor's side of OutputDebugString: the program waits for "buffer ready", writes its
// process id and text into the shared "DBWIN_BUFFER" and signals "data ready".
class DebugMonitor {
public:
    DebugMonitor() {
        mutex_ = CreateMutexA(nullptr, FALSE, "DBWinMutex");
        buffer_ = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kSize,
                                     "DBWIN_BUFFER");
        const bool taken = GetLastError() == ERROR_ALREADY_EXISTS;  // another monitor runs
        bufferReady_ = CreateEventA(nullptr, FALSE, FALSE, "DBWIN_BUFFER_READY");
        dataReady_ = CreateEventA(nullptr, FALSE, FALSE, "DBWIN_DATA_READY");
        stop_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        view_ = buffer_ ? static_cast<const char*>(MapViewOfFile(buffer_, FILE_MAP_READ, 0, 0, 0))
                        : nullptr;
        InitializeCriticalSection(&lock_);
        if (!taken && mutex_ && view_ && bufferReady_ && dataReady_ && stop_)
            thread_ = CreateThread(nullptr, 0, &DebugMonitor::Listen, this, 0, nullptr);
    }
    ~DebugMonitor() {
        if (thread_) {
            SetEvent(stop_);
            WaitForSingleObject(thread_, INFINITE);
            CloseHandle(thread_);
        }
        if (view_) UnmapViewOfFile(view_);
        for (HANDLE h : {mutex_, buffer_, bufferReady_, dataReady_, stop_})
            if (h) CloseHandle(h);
        DeleteCriticalSection(&lock_);
    }
    DebugMonitor(const DebugMonitor&) = delete;
    DebugMonitor& operator=(const DebugMonitor&) = delete;

    bool Listening() const { return thread_ != nullptr; }

    // The marks received so far from one process.
    std::vector<TimelineEvent> MarksOf(DWORD process) {
        EnterCriticalSection(&lock_);
        std::vector<TimelineEvent> marks;
        for (const TimelineEvent& e : marks_)
            if (e.process == process) marks.push_back(e);
        LeaveCriticalSection(&lock_);
        return marks;
    }

private:
    static constexpr DWORD kSize = 4096;

    static DWORD WINAPI Listen(void* self) {
        auto* m = static_cast<DebugMonitor*>(self);
        const HANDLE waits[] = {m->dataReady_, m->stop_};
        SetEvent(m->bufferReady_);
        while (WaitForMultipleObjects(2, waits, FALSE, INFINITE) == WAIT_OBJECT_0) {
            const double now = NowUs();
            DWORD process;
            std::memcpy(&process, m->view_, sizeof(process));
            const char* text = m->view_ + sizeof(process);
            EnterCriticalSection(&m->lock_);
            m->marks_.push_back({now, process, std::string(text, strnlen(text, kSize - 4))});
            LeaveCriticalSection(&m->lock_);
            SetEvent(m->bufferReady_);
        }
        return 0;
    }

    HANDLE mutex_ = nullptr, buffer_ = nullptr, bufferReady_ = nullptr, dataReady_ = nullptr,
           stop_ = nullptr, thread_ = nullptr;
    const char* view_ = nullptr;
    CRITICAL_SECTION lock_;
    std::vector<TimelineEvent> marks_;
};

// Starts exe (in its own folder), waits until its window with the caption answers a message
// and its marks have stopped, closes it, and returns its marks and the window's moments.
inline std::vector<TimelineEvent> TakeTimeline(DebugMonitor& monitor, const std::string& exe,
                                               const wchar_t* caption) {
    std::vector<TimelineEvent> events;
    std::string dir = exe.substr(0, exe.find_last_of("\\/") + 1);
    std::string cmd = "\"" + exe + "\"";
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    const double start = NowUs();
    if (!CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr,
                        dir.empty() ? nullptr : dir.c_str(), &si, &pi))
        return events;
    const auto stamp = [&](const char* what) { events.push_back({NowUs(), 0, what}); };
    HWND sheet = nullptr;
    bool visible = false;
    while (NowUs() - start < 30e6) {
        if (!sheet && (sheet = FindWindowW(nullptr, caption)) != nullptr) stamp("window exists");
        if (sheet && !visible && IsWindowVisible(sheet)) {
            visible = true;
            stamp("window visible");
        }
        DWORD_PTR result = 0;
        if (visible && SendMessageTimeoutW(sheet, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1, &result)) {
            stamp("window answers messages");
            break;
        }
        Sleep(visible ? 0 : 1);
    }
    // Work held back until after the first paint marks its steps too: wait until the marks
    // have stopped coming for a while.
    for (size_t seen = 0, quiet = 0; quiet < 10 && NowUs() - start < 30e6; Sleep(50)) {
        const size_t now = monitor.MarksOf(pi.dwProcessId).size();
        quiet = now == seen ? quiet + 1 : 0;
        seen = now;
    }
    if (sheet) PostMessageW(sheet, WM_SYSCOMMAND, SC_CLOSE, 0);
    if (WaitForSingleObject(pi.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
    for (TimelineEvent& mark : monitor.MarksOf(pi.dwProcessId)) events.push_back(mark);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    for (TimelineEvent& e : events) e.us -= start;
    std::sort(events.begin(), events.end(),
              [](const TimelineEvent& a, const TimelineEvent& b) { return a.us < b.us; });
    return events;
}

// The median moment of each event over several starts, in order.
inline void PrintTimeline(const char* title, const std::vector<std::vector<TimelineEvent>>& runs) {
    std::vector<std::pair<double, std::string>> rows;
    std::vector<std::string> names;
    for (const auto& run : runs)
        for (const TimelineEvent& e : run)
            if (std::find(names.begin(), names.end(), e.what) == names.end())
                names.push_back(e.what);
    for (const std::string& name : names) {
        std::vector<double> moments;
        bool mark = false;
        for (const auto& run : runs)
            for (const TimelineEvent& e : run)
                if (e.what == name) {
                    moments.push_back(e.us / 1000);
                    mark = e.process != 0;
                }
        rows.push_back({Median(moments), (mark ? "mark: " : "") + name});
    }
    std::sort(rows.begin(), rows.end());
    std::printf("timeline of %s (median ms from CreateProcess over %d monitored starts):\n", title,
                static_cast<int>(runs.size()));
    for (const auto& row : rows) std::printf("  %8.1f  %s\n", row.first, row.second.c_str());
}

}  // namespace bench
