#pragma once
// Shared by the lifeline tests: a first question with a chosen correct letter, a
// clock that runs the lifelines' timers as the event loop would, the chat boxes'
// texts and the panels' slides brought to their end.

#include "hotseat/chatbox.h"
#include "hotseat/lifelinepanel.h"
#include "hotseatfixture.h"

#include <QApplication>
#include <QHash>
#include <QMouseEvent>
#include <QPropertyAnimation>

namespace hs {

const QString kCrLf = QStringLiteral("\r\n");

// Enters the hot seat and starts question 1 with this correct letter (level
// tables of 40, where question ID i has the letter "ABCD"[(i - 1) % 4]).
inline HotSeatForm *questionWithLetter(testkit::GameHarness &h, const QString &letter)
{
    fillLevels(*h.database, 40, 40, 40);
    // On a server the server draws, whatever the offset: every question of
    // the first level has the letter.
    if (testkit::onServer() && !testkit::execAll(*h.database, {QStringLiteral("UPDATE muc1 SET traloi = '%1'").arg(letter)}))
        qFatal("cannot set the letters");
    HotSeatForm *f = enter(h);
    testkit::tick(f, QStringLiteral("Timer12"), 8);
    if (!setOffset(f, 4 + indexOf(letter)))
        qFatal("cannot reach the offset");
    testkit::click(label(f, QStringLiteral("strart")));
    if (f->dapandung() != letter)
        qFatal("question 1 has the wrong letter");
    return f;
}

// The mouse moving over a widget.
inline void hover(QWidget *w)
{
    const QPointF at = w->rect().center();
    QMouseEvent move(QEvent::MouseMove, at, w->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &move);
}

inline QString chat(HotSeatForm *f, const char *box)
{
    return testkit::child<ChatBox>(f, QString::fromLatin1(box))->legacyText();
}

inline int boxTop(HotSeatForm *f, const char *box)
{
    return testkit::child<PanelBox>(f, QString::fromLatin1(box))->top();
}

// Brings every running animation of the form (unfolding, slides, bars) to its end.
inline void finishAnimations(HotSeatForm *f)
{
    for (QPropertyAnimation *a : f->findChildren<QPropertyAnimation *>())
        if (a->state() == QAbstractAnimation::Running)
            a->setCurrentTime(a->totalDuration());
}

// Runs the named timers over virtual time in 100 ms steps: each ticks every
// interval from the moment it was enabled (by a click between runs or by another
// tick), as the real timers would; simultaneous ticks run in the order named.
class Clock {
public:
    Clock(HotSeatForm *f, QStringList timers) : m_form(f), m_names(std::move(timers)) {}
    int now() const { return m_now; }
    void run(int ms)
    {
        for (const int end = m_now + ms; m_now < end;) {
            for (const QString &name : m_names) {
                LegacyTimer *t = timer(name);
                if (!t->isEnabled() || t->legacyInterval() <= 0)
                    m_due.remove(name);
                else if (!m_due.contains(name))
                    m_due[name] = m_now + t->legacyInterval();
            }
            m_now += 100;
            for (const QString &name : m_names) {
                if (m_due.contains(name) && m_now >= m_due[name] && timer(name)->fire())
                    m_due[name] += timer(name)->legacyInterval();
            }
        }
    }

private:
    LegacyTimer *timer(const QString &name) const { return m_form->findChild<LegacyTimer *>(name); }
    HotSeatForm *m_form;
    QStringList m_names;
    QHash<QString, int> m_due;
    int m_now = 0;
};

// A lifeline as its offer shows it: the button, the start of the hint it
// gives when hovered, the offer's text and the captions to take or decline it.
struct Lifeline {
    const char *button;
    QString hint, offered, use, decline;
};
inline const Lifeline kFiftyFifty{"chon50", QStringLiteral("Tråü giuïp 50:50 cho pheïp baûn loaûi boí 2 cáu khäng âuïng"),
                                  QStringLiteral("Baûn sæí duûng læûa choün 50:50 ? Maïy tênh seî boí 2 âaïp aïn "
                                                 "sai...Chuïc baûn may màõn."),
                                  QStringLiteral("Söû Duïng"), QStringLiteral("Khoâng Söû Duïng")};
inline const Lifeline kPhoneCall{"Label5", QStringLiteral("Tråü giuïp naìy cho pheïp baûn kãút näúi"),
                                 QStringLiteral("Baûn sæí duûng sæû tråü giuïp goüi âiãûn thoaûi cho ngæåìi "
                                                "thán,maïy tênh seî kãút näúi cho baûn...Chuïc may màõn"),
                                 QStringLiteral(" Söû duïng"), QStringLiteral("Ko söû duïng")};
inline const Lifeline kAudienceVote{"Label13", QStringLiteral("Tråü giuïp yï kiãún khaïn giaí aío"),
                                    QStringLiteral("Baûn sæí duûng sæû tråü giuïp xin yï kiãún khaïn giaí maïy tênh "
                                                   "seî täøng håüp tè lãû %...Chuïc baûn may màõn..."),
                                    QStringLiteral("söû duïng"), QStringLiteral("Ko söû duïng ")};

// A lifeline's button hovered and clicked: the hint, the ring, the offer's
// text, and the stage of an offer.
inline void offer(testkit::GameHarness &h, HotSeatForm *f, const Lifeline &l)
{
    const char *button = l.button;
    hover(label(f, button));
    QVERIFY(cap(f, "cuaban1").startsWith(l.hint));
    testkit::click(label(f, button));
    QCOMPARE(h.s.effects.played.last(), QStringLiteral("Media\\ringout.wav"));
    QCOMPARE(cap(f, "cuaban1"), l.offered);
    QVERIFY(!usable(f, button));
    QVERIFY(shown(f, "Label7"));
    QCOMPARE(cap(f, "Label7"), QString());
    QVERIFY(!usable(f, "lock113"));
    QVERIFY(!shown(f, "Label4"));
    QVERIFY(usable(f, "trunggian"));
    QCOMPARE(cap(f, "trunggian"), l.use);
    QCOMPARE(cap(f, "stop113"), l.decline);
    for (int i = 0; i < 4; ++i)
        QVERIFY(!testkit::child<ShapeBox>(f, QStringLiteral("da(%1)").arg(i))->isOpaque());
}

// A lifeline's offer confirmed: its sound, and the stage back on the question.
inline void confirm(testkit::GameHarness &h, HotSeatForm *f)
{
    testkit::click(label(f, "trunggian"));
    QCOMPARE(h.s.effects.played.last(), QStringLiteral("Media\\w.wav"));
    QVERIFY(!shown(f, "trunggian"));
    QCOMPARE(cap(f, "trunggian"), QStringLiteral("Tieáp tuïc"));
    QVERIFY(shown(f, "Label4"));
    QCOMPARE(cap(f, "stop113"), QStringLiteral("Döøng"));
    QVERIFY(!shown(f, "Label7"));
}

// A lifeline's panel closed with its button `close`: the answers can be played
// again, the box (the first of `pieces`) slides up and away with its ribbons and
// glyph, and the lifeline is spent.
inline void closePanel(HotSeatForm *f, const char *close, const char *panel, const QStringList &pieces,
                       const char *button)
{
    testkit::click(label(f, close));
    QVERIFY(!shown(f, panel));
    QVERIFY(usable(f, "lock113"));
    finishAnimations(f);
    QCOMPARE(boxTop(f, qPrintable(pieces.first())), -2820);
    for (const QString &piece : pieces)
        QVERIFY2(!shown(f, piece), qPrintable(piece));
    QVERIFY(!usable(f, button));
}

} // namespace hs
