#pragma once
// Timing helpers the benchmarks share: the median of several runs and one
// printed line a figure.

#include <QElapsedTimer>
#include <QList>
#include <algorithm>
#include <cstdio>
#include <functional>

namespace bench {

// One run, in milliseconds.
inline double timeOnce(const std::function<void()> &f)
{
    QElapsedTimer c;
    c.start();
    f();
    return c.nsecsElapsed() / 1e6;
}

// Median of several runs of f, in milliseconds, each after an untimed setup
// (none when empty).
inline double measureAfter(int runs, const std::function<void()> &setup, const std::function<void()> &f)
{
    QList<double> t;
    for (int i = 0; i < runs; ++i) {
        if (setup)
            setup();
        t.append(timeOnce(f));
    }
    std::sort(t.begin(), t.end());
    return t[t.size() / 2];
}

// Median of several runs, in milliseconds.
inline double measure(int runs, const std::function<void()> &f)
{
    return measureAfter(runs, {}, f);
}

// One figure; a goal of 0 means none.
inline void report(const char *what, double ms, double goal, int width = 58)
{
    if (goal > 0)
        std::printf("%-*s %8.3f ms   (goal < %g ms) %s\n", width, what, ms, goal, ms < goal ? "ok" : "SLOW");
    else
        std::printf("%-*s %8.3f ms\n", width, what, ms);
}

} // namespace bench
