// The benchmarks' clock, their one statistic and their result line.
#pragma once

#ifdef _WIN32
#include <windows.h>
#else
#include <chrono>
#endif

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace bench {

#ifdef _WIN32
// Microseconds from the performance counter.
inline double NowUs() {
    static const LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * 1e6 / static_cast<double>(frequency.QuadPart);
}
#else
// Microseconds from the monotonic clock, for the benchmarks of the host tree.
inline double NowUs() {
    return std::chrono::duration<double, std::micro>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}
#endif

// The middle value (the upper one of an even count); 0 for none. The machine is shared, so
// medians rather than means.
inline double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The result line: "bench: NAME ratio X.XX (aim ...) path P". Both sides of a ratio are
// measured in the same run of the same program, so on the same Wine path; the path (from
// scripts/wine-path.sh, which Wine passes on in the environment) says which one that was, since
// emulated numbers are not comparable with native ones.
inline void PrintRatio(const char* name, double ratio, const char* aim) {
#ifdef _WIN32
    const char* path = std::getenv("KYR_WINE_PATH");
#else
    const char* path = "native";  // a host-tree program: no Wine between it and the CPU
#endif
    std::printf("bench: %s ratio %.2f (aim %s) path %s\n", name, ratio, aim,
                path && *path ? path : "unknown");
}

}  // namespace bench
