// How much of one core the game uses while the hot seat waits for the player:
// with a question on screen and with the stage idle after the opening. Real
// timers run; the figure is process CPU time over wall time.

#include "accounts/briefingform.h"
#include "hotseat/hotseatform.h"
#include "legacylabel.h"
#include "legacytimer.h"
#include "testsupport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <cstdio>
#include <sys/resource.h>

namespace {
double cpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

void measure(const char *what, int ms)
{
    const double cpu0 = cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    QTest::qWait(ms);
    const double share = 100.0 * (cpuSeconds() - cpu0) / (double(wall.elapsed()) / 1000.0);
    std::printf("%-52s %6.2f %% of one core   (goal < 2 %%)\n", what, share);
}
} // namespace

int main(int argc, char *argv[])
{
    QApplication qapp(argc, argv);
    testkit::GameHarness h;
    h.addAccount(QStringLiteral("an"), QStringLiteral("pw"), QStringLiteral("2200"), QStringLiteral("3"));
    h.setLock(QStringLiteral("1"));
    h.login(QStringLiteral("an"), QStringLiteral("pw"));
    BriefingForm *b = h.app->briefing();
    testkit::click(testkit::widget(b, QStringLiteral("Check1")));
    testkit::click(testkit::widget(b, QStringLiteral("Command2")));
    if (!h.app->hasHotseat()) {
        std::fprintf(stderr, "the hot seat did not open\n");
        return 1;
    }
    HotSeatForm *f = h.app->hotseat();
    f->resize(1280, 760);
    QTest::qWait(300);

    testkit::tick(f, QStringLiteral("Timer12"), 8);
    QTest::qWait(300);
    measure("idle stage after the opening, before Start", 5000);

    testkit::click(testkit::widget(f, QStringLiteral("strart")));
    QTest::qWait(300);
    measure("question on screen, waiting for a pick", 5000);
    return 0;
}
