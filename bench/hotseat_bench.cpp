// Hot-seat figures with 10,000 questions in each level table: how long each click
// handler and timer tick of Form1 takes, played through the stage like a player
// (real clicks, timer ticks fired by hand), the three lifelines on question 2 of
// every game. One line per figure: median and worst over all the samples taken,
// in milliseconds.

#include "../tests/game/hotseat/hotseatfixture.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMap>
#include <QPropertyAnimation>
#include <QRandomGenerator>
#include <algorithm>
#include <cstdio>

namespace {

constexpr int kQuestions = 10000;
constexpr int kGames = 12;

class Figures {
public:
    template <typename F> void time(const QString &what, F &&f)
    {
        QElapsedTimer c;
        c.start();
        f();
        add(what, c.nsecsElapsed() / 1e6);
    }
    void add(const QString &what, double ms)
    {
        if (!m_samples.contains(what))
            m_order.append(what);
        m_samples[what].append(ms);
    }
    void print() const
    {
        std::printf("%-58s %9s %9s %7s\n", "handler", "median", "worst", "samples");
        for (const QString &what : m_order) {
            QList<double> t = m_samples.value(what);
            std::sort(t.begin(), t.end());
            std::printf("%-58s %6.3f ms %6.3f ms %7lld\n", qPrintable(what), t[t.size() / 2], t.last(),
                        static_cast<long long>(t.size()));
        }
    }

private:
    QStringList m_order;
    QMap<QString, QList<double>> m_samples;
};

void fillLevels(db::GameDb &d)
{
    d.beginWrite();
    for (db::QuestionTable t : {db::QuestionTable::Muc1, db::QuestionTable::Muc2, db::QuestionTable::Muc3}) {
        for (const db::Question &q : d.questions(t))
            d.deleteQuestionsWithId(t, q.id);
        for (int i = 1; i <= kQuestions; ++i) {
            db::Question q;
            q.id = i;
            q.cauhoi = QStringLiteral("Caâu hoûi soá %1 cuûa baûng %2 ?").arg(i).arg(db::tableName(t));
            q.a = QStringLiteral("Ñaùp aùn thöù nhaát %1").arg(i);
            q.b = QStringLiteral("Ñaùp aùn thöù hai %1").arg(i);
            q.c = QStringLiteral("Ñaùp aùn thöù ba %1").arg(i);
            q.d = QStringLiteral("Ñaùp aùn thöù tö %1").arg(i);
            q.traloi = QString(QLatin1Char("ABCD"[(i * 7) % 4]));
            d.appendQuestion(t, q);
        }
    }
    d.commit();
}

// The offset the draw takes depends on the moment of the click: let a random
// number of tg ticks pass, each one timed.
void letTimePass(Figures &fig, HotSeatForm *f, QRandomGenerator &rng)
{
    const int ticks = 1 + int(rng.bounded(quint32(qMax(1, f->ttoan().toInt()))));
    for (int i = 0; i < ticks; ++i)
        fig.time(QStringLiteral("tg tick (draw offset)"), [&] { testkit::tick(f, "tg"); });
}

// The box of a closed panel slides away over several frames of its animation:
// each frame timed.
void timeSlide(Figures &fig, HotSeatForm *f, const char *box)
{
    auto *slide = testkit::widget(f, QString::fromLatin1(box))->findChild<QPropertyAnimation *>(QStringLiteral("slide"));
    if (!slide)
        return;
    const int frames = 12;
    for (int i = 1; i <= frames; ++i)
        fig.time(QStringLiteral("panel slide frame (box, ribbons, glyph move)"),
                 [&] { slide->setCurrentTime(slide->totalDuration() * i / frames); });
}

void click(Figures &fig, HotSeatForm *f, const char *name, const char *what)
{
    fig.time(QString::fromLatin1(what), [&] { testkit::click(testkit::widget(f, QString::fromLatin1(name))); });
}

void tick(Figures &fig, HotSeatForm *f, const char *timer, int times, const char *what)
{
    for (int i = 0; i < times; ++i)
        fig.time(QString::fromLatin1(what), [&] { testkit::tick(f, QString::fromLatin1(timer)); });
}

// All three lifelines on one question: each offered and declined, then taken and
// played to its end, every click and tick timed.
void useLifelines(Figures &fig, HotSeatForm *f)
{
    hs::pick(f, hs::wrongLetter(f));
    const struct { const char *button, *offer, *decline; } offers[3] = {
        {"chon50", "chon50 click (offer 50:50, cancels a pick)", "stop113 click, decline 50:50"},
        {"Label5", "Label5 click (offer the call)", "stop113 click, decline the call"},
        {"Label13", "Label13 click (offer the vote)", "stop113 click, decline the vote"}};
    for (const auto &o : offers) {
        click(fig, f, o.button, o.offer);
        click(fig, f, "stop113", o.decline);
    }

    click(fig, f, "chon50", "chon50 click (offer 50:50, cancels a pick)");
    click(fig, f, "trunggian", "trunggian click (confirm 50:50)");

    click(fig, f, "Label5", "Label5 click (offer the call)");
    click(fig, f, "trunggian", "trunggian click (confirm the call)");
    tick(fig, f, "Timer13", 5, "Timer13 tick (call panel unfolds)");
    testkit::type(testkit::widget(f, QStringLiteral("Text5")), QStringLiteral("Minh Tuấn"));
    click(fig, f, "Command1", "Command1 click (connect the call)");
    tick(fig, f, "Timer6", 10, "Timer6 tick (ringing script)");
    click(fig, f, "Command2", "Command2 click (begin the conversation)");
    for (int s = 0; s < 30; ++s) {
        if (s % 5 == 2)
            tick(fig, f, "Timer7", 2, "Timer7 tick (conversation script)");
        tick(fig, f, "Timer8", 1, "Timer8 tick (countdown)");
    }
    click(fig, f, "ok", "ok click (close the call panel)");
    timeSlide(fig, f, "Shape6");

    click(fig, f, "Label13", "Label13 click (offer the vote)");
    click(fig, f, "trunggian", "trunggian click (confirm the vote)");
    tick(fig, f, "Timer14", 5, "Timer14 tick (vote panel unfolds)");
    tick(fig, f, "Timer9", 10, "Timer9 tick (audience script)");
    tick(fig, f, "Timer5", 3, "Timer5 tick (vote bars)");
    tick(fig, f, "Timer9", 2, "Timer9 tick (audience script)");
    click(fig, f, "Image11", "Image11 click (close the vote panel)");
    timeSlide(fig, f, "Shape7");
}

enum class Ending { Win, Stop, Wrong };

void playGame(Figures &fig, testkit::GameHarness &h, Ending ending, int lastQuestion, QRandomGenerator &rng)
{
    const QString nick = QStringLiteral("player");
    h.database->updateAccount(nick, {{QStringLiteral("sotien"), QStringLiteral("5000")}});
    h.login(nick, QStringLiteral("pw"));
    BriefingForm *b = h.app->briefing();
    testkit::click(testkit::widget(b, QStringLiteral("Check1")));
    fig.time(QStringLiteral("Form1 load (briefing Start shows the hot seat)"),
             [&] { testkit::click(testkit::widget(b, QStringLiteral("Command2"))); });
    HotSeatForm *f = h.app->hotseat();
    hs::freeze(f);

    for (int step = 1; step <= 8; ++step) {
        fig.time(QStringLiteral("Timer12 tick (opening step)"), [&] { testkit::tick(f, "Timer12"); });
        if (step >= 2 && step < 8)
            for (int i = 0; i < 5; ++i)
                fig.time(QStringLiteral("Timer11 tick (ladder sweep)"), [&] { testkit::tick(f, "Timer11"); });
    }
    fig.time(QStringLiteral("Timer12 tick (idle)"), [&] { testkit::tick(f, "Timer12"); });

    letTimePass(fig, f, rng);
    fig.time(QStringLiteral("strart click (first question, opens muc1)"),
             [&] { testkit::click(hs::label(f, "strart")); });

    for (int q = 1;; ++q) {
        if (q == 2)
            useLifelines(fig, f);
        const QString right = f->dapandung();
        const QString wrong = hs::wrongLetter(f);
        // A pick withdrawn, then the real one.
        fig.time(QStringLiteral("traloi click (pick)"), [&] { hs::pick(f, wrong); });
        fig.time(QStringLiteral("stop113 click, caption No (withdraw the pick)"),
                 [&] { testkit::click(hs::label(f, "stop113")); });

        if (q == lastQuestion && ending == Ending::Stop) {
            fig.time(QStringLiteral("stop113 click, caption Stop (keep the prize)"),
                     [&] { testkit::click(hs::label(f, "stop113")); });
            break;
        }
        if (q == lastQuestion && ending == Ending::Wrong) {
            hs::pick(f, wrong);
            fig.time(QStringLiteral("Label4 click (verdict: wrong)"), [&] { testkit::click(hs::label(f, "Label4")); });
            for (int i = 0; i < 3; ++i)
                fig.time(QStringLiteral("Timer1 tick (flash)"), [&] { testkit::tick(f, "Timer1"); });
            fig.time(QStringLiteral("stop113 click, caption End (after a wrong answer)"),
                     [&] { testkit::click(hs::label(f, "stop113")); });
            break;
        }

        fig.time(QStringLiteral("traloi click (pick)"), [&] { hs::pick(f, right); });
        const QString verdict = q == 15            ? QStringLiteral("Label4 click (verdict: right, game won)")
                                : q == 5 || q == 10 ? QStringLiteral("Label4 click (verdict: right, milestone)")
                                                    : QStringLiteral("Label4 click (verdict: right)");
        fig.time(verdict, [&] { testkit::click(hs::label(f, "Label4")); });
        if (q == 15)
            break;
        for (int i = 0; i < 3; ++i)
            fig.time(QStringLiteral("Timer1 tick (flash)"), [&] { testkit::tick(f, "Timer1"); });
        letTimePass(fig, f, rng);
        const QString next = q == 4 || q == 9 ? QStringLiteral("Timer3 tick (Continue + Start, opens a new level)")
                                              : QStringLiteral("Timer3 tick (Continue + Start, same level)");
        fig.time(next, [&] { testkit::tick(f, "Timer3"); });
    }

    for (int i = 0; i < 40; ++i)
        fig.time(QStringLiteral("Timer10 tick (closing text)"), [&] { testkit::tick(f, "Timer10"); });
    for (int i = 0; i < 5; ++i)
        fig.time(QStringLiteral("Timer18 tick (play clock)"), [&] { testkit::tick(f, "Timer18"); });
    fig.time(QStringLiteral("Label3 click (leave: save account and switches)"),
             [&] { testkit::click(hs::label(f, "Label3")); });
}

} // namespace

// The offscreen platform reports every window it cannot size: noise here.
void quietHandler(QtMsgType type, const QMessageLogContext &, const QString &msg)
{
    if (type != QtDebugMsg && !msg.contains(QLatin1String("propagateSizeHints"))
        && !msg.contains(QLatin1String("XDG_RUNTIME_DIR")))
        std::fprintf(stderr, "%s\n", qPrintable(msg));
}

int main(int argc, char *argv[])
{
    qInstallMessageHandler(quietHandler);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("LONTARIS_MUTE"))
        qputenv("LONTARIS_MUTE", "1");
    QApplication app(argc, argv);

    testkit::GameHarness h;
    fillLevels(*h.database);
    h.addAccount(QStringLiteral("player"), QStringLiteral("pw"), QStringLiteral("5000"), QStringLiteral("1"));
    db::LockRow lock;
    lock.thuthach = QStringLiteral("1");
    lock.hienten = QStringLiteral("1");
    lock.hien19 = QStringLiteral("1");
    h.database->writeLock(lock);
    std::printf("level tables: %d, %d, %d questions\n", h.database->questionCount(db::QuestionTable::Muc1),
                h.database->questionCount(db::QuestionTable::Muc2), h.database->questionCount(db::QuestionTable::Muc3));

    Figures fig;
    QRandomGenerator rng(20261207);
    const Ending endings[3] = {Ending::Win, Ending::Stop, Ending::Wrong};
    for (int game = 0; game < kGames; ++game) {
        if (game > 0) // a fresh program on the same database
            h.app = std::make_unique<GameApp>(h.s.make(h.folder.path(), h.database.get()));
        const Ending ending = endings[game % 3];
        playGame(fig, h, ending, ending == Ending::Win ? 15 : 3 + game, rng);
    }

    // Closing the window instead of leaving.
    h.app = std::make_unique<GameApp>(h.s.make(h.folder.path(), h.database.get()));
    h.login(QStringLiteral("player"), QStringLiteral("pw"));
    testkit::click(testkit::widget(h.app->briefing(), QStringLiteral("Check1")));
    testkit::click(testkit::widget(h.app->briefing(), QStringLiteral("Command2")));
    HotSeatForm *f = h.app->hotseat();
    hs::freeze(f);
    fig.time(QStringLiteral("Form1 close (window closed, nothing saved)"), [&] { f->close(); });

    fig.print();
    return 0;
}
