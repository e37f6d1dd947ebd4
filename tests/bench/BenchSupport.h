#pragma once

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <functional>
#include <numeric>
#include <string>
#include <vector>

// Small timing helpers shared by the benchmarks. Figures are printed as
// rows "ROW|measure|figure|target|met" that the driver gathers into its
// table; anything else a measure prints goes to stderr.
namespace bench {

inline int64_t NowNs() {
    timespec t{};
    ::clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<int64_t>(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

inline int64_t ProcessCpuNs() {
    timespec t{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<int64_t>(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

struct Stats {
    double mean = 0;
    double median = 0;
    double p99 = 0;
    double max = 0;
    size_t count = 0;
};

inline Stats Summarise(std::vector<double> samples) {
    Stats s;
    if (samples.empty()) {
        return s;
    }
    std::sort(samples.begin(), samples.end());
    s.count = samples.size();
    s.mean = std::accumulate(samples.begin(), samples.end(), 0.0) / static_cast<double>(s.count);
    s.median = samples[s.count / 2];
    s.p99 = samples[std::min(s.count - 1, (s.count * 99) / 100)];
    s.max = samples.back();
    return s;
}

inline std::string Format(const char* format, double a, double b = 0, double c = 0) {
    char text[160];
    std::snprintf(text, sizeof text, format, a, b, c);
    return text;
}

inline void PrintRow(const std::string& measure, const std::string& figure,
                     const std::string& target, bool met) {
    std::printf("ROW|%s|%s|%s|%s\n", measure.c_str(), figure.c_str(), target.c_str(),
                met ? "yes" : "no");
    std::fflush(stdout);
}

// Runs the thread's event loop (a real wait, not a sleep-and-poll loop, so
// that hand-overs from other threads are served at once) until the
// predicate holds or the time is up; true when the predicate held.
inline bool RunUntil(const std::function<bool()>& done, int timeoutMs) {
    if (done()) {
        return true;
    }
    QEventLoop loop;
    QTimer check;
    check.setTimerType(Qt::PreciseTimer);
    check.setInterval(1);
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (done()) {
            loop.quit();
        }
    });
    // Not a QTimer object of its own, which could pass for a poll timer.
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    check.start();
    loop.exec();
    return done();
}

// Runs the event loop for this long, doing nothing else.
inline void RunFor(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

}  // namespace bench
