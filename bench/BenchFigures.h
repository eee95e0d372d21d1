// What the timed benchmarks print beside their figures: the median of repeated times, and the machine's
// load average, since figures on a shared machine mean little without it.
#pragma once

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

namespace bench {

inline double Median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    const size_t m = v.size() / 2;
    return v.size() % 2 == 1 ? v[m] : (v[m - 1] + v[m]) / 2;
}

// The 1, 5 and 15 minute load averages as /proc/loadavg gives them.
inline std::string LoadAverage() {
    std::ifstream in("/proc/loadavg");
    std::string one, five, fifteen;
    in >> one >> five >> fifteen;
    return one + " " + five + " " + fifteen;
}

} // namespace bench
