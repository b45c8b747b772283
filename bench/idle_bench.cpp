// How much of one core the game uses while the hot seat waits for the player,
// with every stage timer running (mottos, drifting decorations and colours, the
// clocks) and with a question on screen, then with a phone call and with an
// audience vote running. The figure is process CPU time over wall time on the
// real event loop (three spells each, 10 s for the hot seat at rest), with the
// number of times per second the process woke up. Each state is judged beside
// its floor, measured in the same run: a bare Qt window of the same size whose
// one label is recoloured every 150 ms, the pace of the stage's fastest timer.
//
// bench_idle --ticks N [--draws] runs N decoration ticks of the hot seat at
// rest instead, each followed by the painting it causes, with no real timer
// ticking and nothing measured: a fixed amount of work to count instructions
// on (valgrind --tool=callgrind --toggle-collect='*decorationTicks*'). With
// --draws each tick gets fresh random draws, so the glyphs drift and the
// labels change colour; without, the draws are those of the measured states.

#include "../tests/game/hotseat/hotseatfixture.h"
#include "accounts/briefingform.h"
#include "hotseat/hotseatform.h"
#include "legacytimer.h"
#include "studiotheme.h"
#include "testsupport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <sys/resource.h>

namespace {
struct Use {
    double cpu = 0;     // seconds of CPU, user and system
    long wakeups = 0;   // voluntary context switches: the times the process slept and woke
};

Use use()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return {double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6,
            u.ru_nvcsw};
}

struct Spell {
    double share = 0;   // % of one core
    double wakeups = 0; // per second
};

// Runs the event loop for `ms`: the share of one core it took and how often it woke.
Spell spell(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    const Use before = use();
    QElapsedTimer wall;
    wall.start();
    loop.exec();
    const Use after = use();
    const double seconds = double(wall.nsecsElapsed()) / 1e9;
    return {100.0 * (after.cpu - before.cpu) / seconds, double(after.wakeups - before.wakeups) / seconds};
}

// Three spells of `ms`. The machine is shared: other work inflates a spell's CPU
// share, never lowers it, so the lowest share is the one judged; the median and
// the wake-ups (which load does not change) are shown beside it.
struct Figure {
    double lowest, median, wakeups;
};

Figure measure(int ms)
{
    Spell s[3] = {spell(ms), spell(ms), spell(ms)};
    std::sort(s, s + 3, [](const Spell &a, const Spell &b) { return a.share < b.share; });
    return {s[0].share, s[1].share, s[1].wakeups};
}

void settle(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// A state beside the floor: its share, its ratio to the floor's, and the goal
// for that ratio (none when 0).
void report(const char *what, const Figure &f, const Figure &floor, double goal)
{
    const double ratio = floor.lowest > 0 ? f.lowest / floor.lowest : 0;
    std::printf("%-50s %5.2f %% of one core (median %5.2f %%, %4.1f wake-ups/s)  %4.2fx the floor", what, f.lowest,
                f.median, f.wakeups, ratio);
    if (goal > 0)
        std::printf("; goal <= %.1fx %s", goal, ratio <= goal ? "ok" : "OVER");
    std::printf("\n");
}

// The fixed work the instruction counts are taken on: `n` decoration ticks,
// each with the painting it causes.
[[gnu::noinline]] void decorationTicks(HotSeatForm *f, int n, const std::function<void()> &draws)
{
    auto *decorations = f->findChild<LegacyTimer *>(QStringLiteral("Timer15"));
    for (int i = 0; i < n; ++i) {
        draws();
        decorations->fire();
        QCoreApplication::processEvents();
    }
}
} // namespace

int main(int argc, char *argv[])
{
    QApplication qapp(argc, argv);
    studio::applyApplicationStyle(qapp);
    constexpr int kLongMs = 10000;
    const QSize size(1280, 760);
    const QStringList args = qapp.arguments();
    const qsizetype ticksAt = args.indexOf(QStringLiteral("--ticks"));
    const int profiledTicks = ticksAt > 0 && ticksAt + 1 < args.size() ? args[ticksAt + 1].toInt() : 0;

    Figure bare{}, floor{};
    if (profiledTicks == 0) {
        // An empty window of the same size, shown, doing nothing.
        {
            QWidget window;
            studio::styleForm(&window);
            window.resize(size);
            window.show();
            settle(500);
            bare = measure(kLongMs / 2);
        }
        // The floor: what the toolkit alone costs on this machine for the stage's
        // fastest timer (150 ms, coarse like the game's), the same window woken at
        // that pace to recolour one short text.
        {
            QWidget window;
            studio::styleForm(&window);
            window.resize(size);
            auto *label = new QLabel(QStringLiteral("Ai là triệu phú"), &window);
            label->move(40, 40);
            label->resize(300, 40);
            QTimer pace;
            pace.setTimerType(Qt::CoarseTimer);
            int n = 0;
            QObject::connect(&pace, &QTimer::timeout, label, [label, &n] {
                QPalette p = label->palette();
                p.setColor(QPalette::WindowText, n++ % 2 ? QColor(255, 213, 74) : QColor(127, 215, 255));
                label->setPalette(p);
            });
            window.show();
            pace.start(150);
            settle(500);
            floor = measure(kLongMs / 2);
        }
        std::printf("%-50s %5.2f %% of one core (median %5.2f %%, %4.1f wake-ups/s)\n",
                    "bare Qt window, doing nothing", bare.lowest, bare.median, bare.wakeups);
        std::printf("%-50s %5.2f %% of one core (median %5.2f %%, %4.1f wake-ups/s)  the floor\n",
                    "floor: bare window, one label recoloured /150 ms", floor.lowest, floor.median, floor.wakeups);
    }

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
    if (profiledTicks > 0) {
        hs::freeze(f); // only the ticks below
        quint64 seed = 12345;
        const bool fresh = args.contains(QStringLiteral("--draws"));
        decorationTicks(f, profiledTicks, [&] {
            for (int i = 0; fresh && i < 46; ++i) { // two a glyph, three a coloured label
                seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
                h.s.randoms.push_back(double(seed >> 11) / double(1ULL << 53));
            }
        });
        return 0;
    }

    report("hot seat at rest, every stage timer running", measure(kLongMs), floor, 1.0);
    // For comparison: the same stage standing still (mottos, decorations, wall clock).
    QList<LegacyTimer *> stage;
    for (const char *name : {"Timer2", "Timer15", "Timer16"})
        stage << f->findChild<LegacyTimer *>(QString::fromLatin1(name));
    for (LegacyTimer *t : stage)
        t->setEnabled(false);
    report("hot seat at rest, stage timers stopped", measure(kLongMs), floor, 0);
    for (LegacyTimer *t : stage)
        t->setEnabled(true);

    testkit::click(testkit::widget(f, QStringLiteral("strart")));
    settle(500);
    report("hot seat, question on screen, waiting for a pick", measure(kLongMs / 2), floor, 1.0);

    // A call: the panel unfolds on its own, then the ringing script, the
    // countdown and the conversation.
    auto click = [f](const char *name) { testkit::click(testkit::widget(f, QString::fromLatin1(name))); };
    click("Label5");
    click("trunggian");
    settle(2300);
    testkit::type(testkit::widget(f, QStringLiteral("Text5")), QStringLiteral("Minh Tuấn"));
    click("Command1");
    report("phone call ringing (Timer6 script)", measure(kLongMs / 2), floor, 1.5);
    testkit::tick(f, QStringLiteral("Timer6"), 6); // on to the countdown
    click("Command2");
    report("phone call: countdown and conversation running", measure(kLongMs / 2), floor, 1.5);
    click("ok");
    settle(800);

    // A vote: the panel and the script, then the chart.
    click("Label13");
    click("trunggian");
    settle(2300);
    report("audience vote: script running in the chat", measure(kLongMs / 2), floor, 1.5);
    testkit::tick(f, QStringLiteral("Timer9"), 10 - 4); // on to the chart
    std::printf("%-50s %5.2f %% of one core (one second, no goal)\n", "audience vote: bars growing (0.65 s animation)",
                spell(1000).share);
    report("audience vote: chart shown, at rest", measure(kLongMs / 2), floor, 1.5);
    return 0;
}
