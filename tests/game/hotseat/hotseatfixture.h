#pragma once
// Shared by the hot-seat tests: known level tables, a player brought to the hot
// seat through login and briefing, and the player's moves.

#include "accounts/briefingform.h"
#include "gamedb.h"
#include "hotseat/hotseatform.h"
#include "legacylabel.h"
#include "legacytimer.h"
#include "testsupport.h"

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

// Real-time ticking off: the tests run the timers by hand (fire() still works).
inline void freeze(QObject *form)
{
    for (LegacyTimer *t : form->findChildren<LegacyTimer *>())
        t->stop();
}

struct Player {
    QString nick = QStringLiteral("an");
    QString money = QStringLiteral("2200"); // 1200 after the fee
    QString hienten = QStringLiteral("0");
    QString hien19 = QStringLiteral("0");
};

// Logs in, pays the fee and starts from the briefing (qualifying round switched off).
inline HotSeatForm *enter(testkit::GameHarness &h, const Player &p = Player())
{
    if (!h.database->findAccount(p.nick))
        h.addAccount(p.nick, QStringLiteral("pw"), p.money, QStringLiteral("3"));
    h.setLock(QStringLiteral("1"), p.hienten, p.hien19);
    h.login(p.nick, QStringLiteral("pw"));
    BriefingForm *b = h.app->briefing();
    testkit::click(testkit::widget(b, QStringLiteral("Check1")));
    testkit::click(testkit::widget(b, QStringLiteral("Command2")));
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

// Picks the answer with this letter, then confirms it.
inline void answer(HotSeatForm *f, const QString &letter)
{
    testkit::click(label(f, QStringLiteral("traloi%1").arg(indexOf(letter) + 1)));
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

// Wins questions until `count` are won in all; the next question follows by the timer.
inline void winUpTo(HotSeatForm *f, int count)
{
    for (int won = 16 - int(f->socauhoi().toInt()) - 1; won < count; ++won) {
        if (won > 0)
            testkit::tick(f, QStringLiteral("Timer3"));
        answerRight(f);
    }
}

} // namespace hs
