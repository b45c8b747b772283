#pragma once
// Timing helpers the benchmarks share: the median of several runs and one
// printed line a figure.

#include <QElapsedTimer>
#include <QList>
#include <QLocale>
#include <QMap>
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

// The table sizes (rows) the scaling figures are measured at; the first is
// the baseline.
inline const QList<int> kSizes = {1000, 10000, 100000};

// A figure in `unit` at each of kSizes; its goal (0 for none) is for the
// largest size.
struct BySize {
    const char *what;
    const char *unit;
    double goal;
    QMap<int, double> at;
};

// The figures, a line each: the baseline's, then each larger size's with its
// ratio to the baseline, then the goal.
inline void printBySize(const QList<BySize> &figures, int width)
{
    const QLocale english(QLocale::English);
    std::printf("%-*s", width, "");
    for (int n : kSizes)
        std::printf(" %*s", n == kSizes.first() ? 12 : 22, qPrintable(english.toString(n) + QStringLiteral(" rows")));
    std::printf("\n");
    const int largest = kSizes.last();
    for (const BySize &f : figures) {
        const double base = f.at[kSizes.first()];
        std::printf("%-*s %9.3f %-4s", width, f.what, base, f.unit);
        for (int n : kSizes.mid(1))
            std::printf(" %9.3f %-4s(%5.1fx)", f.at[n], f.unit, base > 0 ? f.at[n] / base : 0.0);
        if (f.goal > 0)
            std::printf("   goal < %g %s at %s: %s", f.goal, f.unit, qPrintable(english.toString(largest)),
                        f.at[largest] < f.goal ? "ok" : "SLOW");
        std::printf("\n");
    }
}

} // namespace bench
