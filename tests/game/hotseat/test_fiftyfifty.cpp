// 50:50 as a player uses it: the fixed pair of answers it takes for each correct
// letter, spent for the game once confirmed, given back when declined.

#include "lifelinefixture.h"

using namespace hs;

class FiftyFiftyTest : public QObject {
    Q_OBJECT
private slots:
    void takesTheFixedPairForTheLetter_data();
    void takesTheFixedPairForTheLetter();
    void offerCancelsAPendingPickAndDeclineGivesItBack();
};

void FiftyFiftyTest::takesTheFixedPairForTheLetter_data()
{
    QTest::addColumn<QString>("letter");
    QTest::addColumn<QString>("left"); // answers still on the board, as traloi numbers
    QTest::newRow("A") << "A" << "14";
    QTest::newRow("B") << "B" << "24";
    QTest::newRow("C") << "C" << "23";
    QTest::newRow("D") << "D" << "14";
}

void FiftyFiftyTest::takesTheFixedPairForTheLetter()
{
    QFETCH(QString, letter);
    QFETCH(QString, left);
    testkit::GameHarness h;
    HotSeatForm *f = questionWithLetter(h, letter);

    hover(label(f, "chon50"));
    QCOMPARE(cap(f, "cuaban1"), kFiftyFifty.hint); // the whole hint

    offer(h, f, kFiftyFifty);

    confirm(h, f);
    QCOMPARE(h.s.effects.played.mid(h.s.effects.played.size() - 2),
             QStringList({QStringLiteral("Media\\click.qbs"), QStringLiteral("Media\\w.wav")}));
    for (int i = 1; i <= 4; ++i)
        QCOMPARE(shown(f, QStringLiteral("traloi%1").arg(i)), left.contains(QString::number(i)));
    QVERIFY(usable(f, "lock113"));
    QVERIFY(!usable(f, "chon50"));

    // Spent for the game; the next question has all four answers again.
    answerRight(f);
    testkit::tick(f, "Timer3");
    for (int i = 1; i <= 4; ++i)
        QVERIFY(shown(f, QStringLiteral("traloi%1").arg(i)));
    QVERIFY(!usable(f, "chon50"));
}

void FiftyFiftyTest::offerCancelsAPendingPickAndDeclineGivesItBack()
{
    testkit::GameHarness h;
    HotSeatForm *f = questionWithLetter(h, "C");
    pick(f, "A"); // about to go: 50:50 takes A and D for C
    testkit::click(label(f, "chon50"));
    QCOMPARE(f->cuaban(), QStringLiteral("?"));
    QVERIFY(!label(f, "Label4")->isEnabled());

    testkit::click(label(f, "stop113"));
    QVERIFY(usable(f, "chon50"));
    QVERIFY(usable(f, "lock113"));
    for (int i = 1; i <= 4; ++i)
        QVERIFY(shown(f, QStringLiteral("traloi%1").arg(i)));
    QVERIFY(shown(f, "Label4") && !usable(f, "Label4"));
    QCOMPARE(cap(f, "Label4"), QStringLiteral("Tieáp Tuïc"));
    QVERIFY(!shown(f, "trunggian") && !shown(f, "Label7"));
    QCOMPARE(cap(f, "stop113"), QStringLiteral("Döøng"));

    // Taken later on the same question: the old pick cannot be confirmed.
    pick(f, "A");
    testkit::click(label(f, "chon50"));
    testkit::click(label(f, "trunggian"));
    QVERIFY(!shown(f, "traloi1") && !shown(f, "traloi4"));
    testkit::click(label(f, "Label4"));
    QCOMPARE(f->socauhoi(), QStringLiteral("15")); // no verdict without a new pick
    answerRight(f);
    QCOMPARE(f->socauhoi(), QStringLiteral("14"));
}

QTEST_MAIN(FiftyFiftyTest)
#include "test_fiftyfifty.moc"
