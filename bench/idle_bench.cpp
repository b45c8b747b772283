// How much of one core the game uses while the hot seat waits for the player,
// with every stage timer running (mottos, drifting decorations and colours, the
// clocks) and with a question on screen. The figure is process CPU time over wall
// time on the real event loop, beside the same figure for a bare Qt window of the
// same size measured in the same run.

#include "accounts/briefingform.h"
#include "hotseat/hotseatform.h"
#include "legacytimer.h"
#include "studiotheme.h"
#include "testsupport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <cstdio>
#include <sys/resource.h>

namespace {
double cpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// Runs the event loop for `ms` and returns the share of one core it took, in %.
double share(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    const double cpu0 = cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    loop.exec();
    return 100.0 * (cpuSeconds() - cpu0) / (double(wall.nsecsElapsed()) / 1e9);
}

void settle(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

void report(const char *what, double pct, double bare, double goal)
{
    std::printf("%-50s %6.2f %% of one core   (bare Qt window %5.2f %%; goal < %g %%) %s\n", what, pct, bare, goal,
                pct < goal ? "ok" : "OVER");
}
} // namespace

int main(int argc, char *argv[])
{
    QApplication qapp(argc, argv);
    studio::applyApplicationStyle(qapp);
    constexpr int kLongMs = 12000;
    const QSize size(1280, 760);

    // The baseline: an empty window of the same size, shown, doing nothing.
    double bare = 0;
    {
        QWidget window;
        studio::styleForm(&window);
        window.resize(size);
        window.show();
        settle(500);
        bare = share(kLongMs);
    }
    std::printf("%-50s %6.2f %% of one core\n", "bare Qt window, shown and idle", bare);

    testkit::GameHarness h;
    h.addAccount(QStringLiteral("an"), QStringLiteral("pw"), QStringLiteral("2200"), QStringLiteral("3"));
    // Qualifying round skipped; the top five and decorations switched on, so the
    // glyphs and mottos are on screen.
    h.setLock(QStringLiteral("1"), QStringLiteral("1"));
    h.login(QStringLiteral("an"), QStringLiteral("pw"));
    BriefingForm *b = h.app->briefing();
    testkit::click(testkit::widget(b, QStringLiteral("Check1")));
    testkit::click(testkit::widget(b, QStringLiteral("Command2")));
    if (!h.app->hasHotseat()) {
        std::fprintf(stderr, "the hot seat did not open\n");
        return 1;
    }
    HotSeatForm *f = h.app->hotseat();
    f->resize(size);
    testkit::tick(f, QStringLiteral("Timer12"), 8);
    settle(500);
    for (const char *name : {"Timer2", "Timer15", "Timer16", "Timer18"}) {
        auto *t = f->findChild<LegacyTimer *>(QString::fromLatin1(name));
        if (!t || !t->isActive()) {
            std::fprintf(stderr, "%s is not running\n", name);
            return 1;
        }
    }
    report("hot seat at rest, every stage timer running", share(kLongMs), bare, 0.5);

    testkit::click(testkit::widget(f, QStringLiteral("strart")));
    settle(500);
    report("hot seat, question on screen, waiting for a pick", share(kLongMs / 2), bare, 0.5);
    return 0;
}
