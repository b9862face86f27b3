#pragma once
// What the benchmarks share: clocks, the process's own memory accounting,
// figures gathered from alternating rounds, and the one-line result format
//   TARGET|<work>|<median>|<min>|<max>|<target>|<met: yes/no>
// that `make bench` gathers into one table.
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <string>
#include <vector>

namespace bench {

inline long StatusKiB(const char* key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(key, 0) == 0)
            return std::stol(line.substr(std::strlen(key)));
    return 0;
}
inline long RssKiB() {
    return StatusKiB("VmRSS:");
}
inline long PeakKiB() {
    return StatusKiB("VmHWM:");
}
inline void ResetPeak() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

inline double ThreadCpuMs() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

// Wall and thread CPU time since construction or Restart().
class Stopwatch {
public:
    Stopwatch() { Restart(); }
    void Restart() {
        m_wall.start();
        m_cpu = ThreadCpuMs();
    }
    double Ms() const { return double(m_wall.nsecsElapsed()) / 1e6; }
    double CpuMs() const { return ThreadCpuMs() - m_cpu; }

private:
    QElapsedTimer m_wall;
    double m_cpu = 0;
};

// Samples of one figure: median, min and max.
struct Samples {
    std::vector<double> values;
    void Add(double v) { values.push_back(v); }
    double Median() const {
        std::vector<double> v = values;
        std::sort(v.begin(), v.end());
        return v.empty() ? 0 : v[v.size() / 2];
    }
    double Min() const {
        return values.empty() ? 0 : *std::min_element(values.begin(), values.end());
    }
    double Max() const {
        return values.empty() ? 0 : *std::max_element(values.begin(), values.end());
    }
};

// Prints a TARGET line. unit is "x" for ratios, "" for plain values; met is
// judged on the median against limit (at most, or below with strict).
inline void Target(const char* work, const Samples& s, const char* unit, double limit,
                   bool strict = false, int decimals = 2) {
    const double m = s.Median();
    const bool met = strict ? m < limit : m <= limit;
    std::printf("TARGET|%s|%.*f%s|%.*f%s|%.*f%s|%s%.*f%s|%s\n", work, decimals, m, unit, decimals,
                s.Min(), unit, decimals, s.Max(), unit, strict ? "<" : "<=", decimals, limit, unit,
                met ? "yes" : "no");
    std::fflush(stdout);
}

} // namespace bench
