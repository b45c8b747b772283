#pragma once
// Shared by the hot-seat tests: known level tables, a player brought to the hot
// seat through login and briefing, and the player's moves.

#include "accounts/briefingform.h"
#include "accounts/loginform.h"
#include "gamedb.h"
#include "hotseat/hotseatform.h"
#include "legacylabel.h"
#include "legacytimer.h"
#include "testsupport.h"

#include <QEvent>
#include <QLineEdit>
#include <QTest>

namespace hs {

// Replaces a level table by n questions with IDs 1..n. Question i of table t reads
// "<table> <i>" and its correct letter is A, B, C, D, A, ... by ID.
inline void fillLevel(db::GameDb &d, db::QuestionTable t, int n)
{
    for (const db::Question &q : d.questions(t))
        d.deleteQuestionsWithId(t, q.id);
    static const char letters[] = "ABCD";
    for (int i = 1; i <= n; ++i) {
        db::Question q;
        q.id = i;
        q.cauhoi = QStringLiteral("%1 %2").arg(db::tableName(t)).arg(i);
        q.a = QStringLiteral("a%1").arg(i);
        q.b = QStringLiteral("b%1").arg(i);
        q.c = QStringLiteral("c%1").arg(i);
        q.d = QStringLiteral("d%1").arg(i);
        q.traloi = QString(QLatin1Char(letters[(i - 1) % 4]));
        if (!d.appendQuestion(t, q))
            qFatal("appendQuestion: %s", qPrintable(d.lastError()));
    }
}

inline void fillLevels(db::GameDb &d, int n1, int n2, int n3)
{
    fillLevel(d, db::QuestionTable::Muc1, n1);
    fillLevel(d, db::QuestionTable::Muc2, n2);
    fillLevel(d, db::QuestionTable::Muc3, n3);
}

// Keeps real time out of the tests: the form's timers never tick on their own
// (a timer the game enables would otherwise start counting), while fire() and
// testkit::tick still run a tick on demand.
class TimerGate : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject *, QEvent *e) override { return e->type() == QEvent::Timer; }
};

inline void freeze(QObject *form)
{
    auto *gate = new TimerGate(form);
    for (LegacyTimer *t : form->findChildren<LegacyTimer *>())
        t->installEventFilter(gate);
}

struct Player {
    QString nick = QStringLiteral("an");
    QString money = QStringLiteral("2200"); // 1200 after the fee
    db::LockRow lock;                       // thuthach is always 1: no qualifying round
};

// Logs in, pays the fee and starts from the briefing (qualifying round switched off).
inline HotSeatForm *enter(testkit::GameHarness &h, const Player &p = Player())
{
    if (!h.database->findAccount(p.nick))
        h.addAccount(p.nick, QStringLiteral("pw"), p.money, QStringLiteral("3"));
    db::LockRow lock = p.lock;
    lock.thuthach = QStringLiteral("1");
    h.database->writeLock(lock);
    h.login(p.nick, QStringLiteral("pw"));
    BriefingForm *b = h.app->briefing();
    testkit::click(testkit::widget(b, QStringLiteral("Check1")));
    testkit::click(testkit::widget(b, QStringLiteral("Command2")));
    if (!h.app->hasHotseat())
        qFatal("the briefing did not lead to the hot seat");
    HotSeatForm *f = h.app->hotseat();
    freeze(f);
    return f;
}

inline LegacyLabel *label(HotSeatForm *f, const QString &name)
{
    return testkit::child<LegacyLabel>(f, name);
}

inline QString cap(HotSeatForm *f, const QString &name)
{
    return testkit::caption(f, name);
}

inline QString tien(HotSeatForm *f)
{
    return testkit::child<QLineEdit>(f, QStringLiteral("tien"))->text();
}

// What the player can press: shown and enabled.
inline bool usable(HotSeatForm *f, const QString &name)
{
    QWidget *w = testkit::widget(f, name);
    return w && w->isVisibleTo(f) && w->isEnabled();
}

inline bool shown(HotSeatForm *f, const QString &name)
{
    QWidget *w = testkit::widget(f, name);
    return w && w->isVisibleTo(f);
}

// Counts the draw offset down to `offset` (1..ttoan) with ticks of tg; false when
// the countdown cannot get there.
[[nodiscard]] inline bool setOffset(HotSeatForm *f, int offset)
{
    const int range = f->ttoan().toInt();
    if (range < 1 || offset < 1 || offset > range)
        return false;
    const int ticks = ((f->so().toInt() - offset) % range + range) % range;
    testkit::tick(f, QStringLiteral("tg"), ticks);
    return f->so().toInt() == offset;
}

// Runs the opening to its end and presses Start.
inline void firstQuestion(HotSeatForm *f)
{
    testkit::tick(f, QStringLiteral("Timer12"), 8);
    testkit::click(label(f, QStringLiteral("strart")));
}

inline int indexOf(const QString &letter)
{
    return QStringLiteral("ABCD").indexOf(letter);
}

inline void pick(HotSeatForm *f, const QString &letter)
{
    testkit::click(label(f, QStringLiteral("traloi%1").arg(indexOf(letter) + 1)));
}

// Picks the answer with this letter, then confirms it.
inline void answer(HotSeatForm *f, const QString &letter)
{
    pick(f, letter);
    testkit::click(label(f, QStringLiteral("Label4")));
}

inline void answerRight(HotSeatForm *f)
{
    answer(f, f->dapandung());
}

inline QString wrongLetter(HotSeatForm *f)
{
    return f->dapandung() == QLatin1String("A") ? QStringLiteral("B") : QStringLiteral("A");
}

inline int questionsWon(HotSeatForm *f)
{
    return f->socauhoi() == QLatin1String("END") ? 15 : 15 - f->socauhoi().toInt();
}

// Wins questions until `count` are won in all, the first one already on screen;
// each next question follows by the auto-continue timer.
inline void winUpTo(HotSeatForm *f, int count)
{
    for (int won = questionsWon(f); won < count; ++won) {
        if (won > 0)
            testkit::tick(f, QStringLiteral("Timer3"));
        answerRight(f);
    }
}

// Level tables of n questions each, the player in the hot seat and question 1
// on screen.
inline HotSeatForm *onFirstQuestion(testkit::GameHarness &h, int n = 30, const Player &p = Player())
{
    fillLevels(*h.database, n, n, n);
    HotSeatForm *f = enter(h, p);
    firstQuestion(f);
    return f;
}

// The same with `won` questions won and the next one on screen.
inline HotSeatForm *afterWinning(testkit::GameHarness &h, int won, int n = 30, const Player &p = Player())
{
    HotSeatForm *f = onFirstQuestion(h, n, p);
    winUpTo(f, won);
    testkit::tick(f, QStringLiteral("Timer3"));
    return f;
}

} // namespace hs
