// Hot-seat figures with 10,000 questions in each level table: how long each click
// handler and timer tick of Form1 takes, played through the stage like a player
// (real clicks, timer ticks fired by hand). One line per figure: median and worst
// over all the samples taken, in milliseconds.

#include "../tests/game/hotseat/hotseatfixture.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMap>
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
