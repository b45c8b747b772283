// How much of one core the game uses while the hot seat waits for the player:
// with the stage idle after the opening, with a question on screen (the bare
// stage, the baseline), and with a phone call or an audience vote running. Real
// timers run on the real event loop; the figure is process CPU time over wall
// time.

#include "accounts/briefingform.h"
#include "hotseat/hotseatform.h"
#include "legacylabel.h"
#include "legacytimer.h"
#include "testsupport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLineEdit>
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

// Lets the event loop run for a while, nothing else.
void spin(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

double measure(int ms)
{
    const double cpu0 = cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    spin(ms);
    return 100.0 * (cpuSeconds() - cpu0) / (double(wall.elapsed()) / 1000.0);
}

void report(const char *what, double share, double goal, double baseline = -1)
{
    if (baseline < 0)
        std::printf("%-52s %6.2f %% of one core   (goal < %g %%)\n", what, share, goal);
    else
        std::printf("%-52s %6.2f %% of one core   (bare stage %.2f %%; goal < %g %%)\n", what, share, baseline,
                    goal);
}

void click(QWidget *form, const char *name)
{
    testkit::click(testkit::widget(form, QString::fromLatin1(name)));
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
    spin(300);

    testkit::tick(f, QStringLiteral("Timer12"), 8);
    spin(300);
    report("idle stage after the opening, before Start", measure(5000), 2);

    click(f, "strart");
    spin(300);
    const double bare = measure(5000);
    report("question on screen, waiting for a pick", bare, 2);

    // A call: the panel unfolds on its own, then the ringing script, the
    // countdown and the conversation.
    click(f, "Label5");
    click(f, "trunggian");
    spin(2300);
    testkit::type(testkit::widget(f, QStringLiteral("Text5")), QStringLiteral("Minh Tuấn"));
    click(f, "Command1");
    report("phone call ringing (Timer6 script)", measure(5000), 1, bare);
    testkit::tick(f, QStringLiteral("Timer6"), 6); // on to the countdown
    click(f, "Command2");
    report("phone call: countdown and conversation running", measure(8000), 1, bare);
    click(f, "ok");
    spin(800);

    // A vote: the panel and the script, then the chart.
    click(f, "Label13");
    click(f, "trunggian");
    spin(2300);
    report("audience vote: script running in the chat", measure(5000), 1, bare);
    testkit::tick(f, QStringLiteral("Timer9"), 10 - 4); // on to the chart
    std::printf("%-52s %6.2f %% of one core   (one second, no goal)\n", "audience vote: bars growing (0.65 s animation)",
                measure(1000));
    report("audience vote: chart shown, at rest", measure(5000), 1, bare);
    return 0;
}
