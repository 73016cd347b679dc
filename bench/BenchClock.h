// The benchmarks' clock and their one statistic.
#pragma once

#include <windows.h>

#include <algorithm>
#include <vector>

namespace bench {

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

// The middle value (the upper one of an even count); 0 for none. The machine is shared, so
// medians rather than means.
inline double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace bench
