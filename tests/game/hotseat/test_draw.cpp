// What the hot seat reads when it opens, and the question draw: forward through
// each level table by the counted-down offset, never past its end.

#include "hotseatfixture.h"

using namespace hs;

class HotSeatDrawTest : public QObject {
    Q_OBJECT
private slots:
    void loadReadsAccountSwitchesAndLevelSizes();
    void drawsMoveForwardThroughALevel();
    void eachLevelStartsOnItsOwnTable();
    void tinyTablesNeverDrawPastTheEnd();
    void emptyLevelsStillGiveARangeOfOne();
    void offsetIsWrappedIntoAShrunkRange();
    void clockCountedOffsetMatchesTickByTick();
    void aDrawThatCannotReachTheServerChangesNothing();
    void levelSizesUnreadAtLoadAreReadBeforeTheDraw();
};

void HotSeatDrawTest::loadReadsAccountSwitchesAndLevelSizes()
{
    testkit::GameHarness h;
    fillLevels(*h.database, 41, 30, 25);
    h.addAccount("an", "pw", "2200", "3");
    h.database->updateAccount("an", {{"gio", "2"}, {"phut", "59"}});
    Player p;
    p.lock.hienten = QStringLiteral("1");
    HotSeatForm *f = enter(h, p);

    QCOMPARE(cap(f, "sl"), QStringLiteral("4"));  // the briefing counted this game
    QCOMPARE(cap(f, "phut"), QStringLiteral("0")); // a minute counted at load, turning the hour
    QCOMPARE(cap(f, "gio"), QStringLiteral("3"));
    QCOMPARE(f->levelSize(1), QStringLiteral("41"));
    QCOMPARE(f->levelSize(2), QStringLiteral("30"));
    QCOMPARE(f->levelSize(3), QStringLiteral("25"));
    QCOMPARE(f->ttoan(), QStringLiteral("20"));
    QCOMPARE(f->socauhoi(), QStringLiteral("15"));
    QCOMPARE(f->switchValue(1), QStringLiteral("1"));
    QVERIFY(usable(f, "Label9"));
    for (int i = 0; i < 14; ++i)
        QVERIFY(shown(f, QStringLiteral("met(%1)").arg(i)));
    QVERIFY(shown(f, "cd1") && shown(f, "cd2"));
    QVERIFY(h.app->login()->isVisible());
    QVERIFY(!usable(f, "strart")); // only once the opening is over

    testkit::tick(f, "Timer18", 60);
    QCOMPARE(cap(f, "phut"), QStringLiteral("0"));
    QCOMPARE(cap(f, "gio"), QStringLiteral("4"));
}

void HotSeatDrawTest::drawsMoveForwardThroughALevel()
{
    testkit::GameHarness h;
    fillLevels(*h.database, 40, 40, 40);
    HotSeatForm *f = enter(h);
    testkit::tick(f, "Timer12", 8);
    QVERIFY(setOffset(f, 10));
    testkit::click(label(f, "strart"));
    QCOMPARE(f->questionId(), QStringLiteral("11"));
    QCOMPARE(cap(f, "Label2"), QStringLiteral("muc1 11"));
    QCOMPARE(cap(f, "traloi3"), QStringLiteral("c11"));
    QCOMPARE(f->dapandung(), QStringLiteral("C"));
    QCOMPARE(f->ttoan(), QStringLiteral("14"));
    QCOMPARE(f->drawCount(), 1);
    QCOMPARE(f->liTop(), 4320);
    QCOMPARE(h.s.effects.played.last(), QStringLiteral("Media\\click.qbs"));
    QVERIFY(usable(f, "lock113"));
    QVERIFY(shown(f, "Label4") && !usable(f, "Label4"));
    QVERIFY(!shown(f, "strart"));

    // The next question comes from the same table, 1..14 rows further on.
    answerRight(f);
    QVERIFY(setOffset(f, 14));
    testkit::tick(f, "Timer3");
    QCOMPARE(f->questionId(), QStringLiteral("25"));
    QCOMPARE(f->ttoan(), QStringLiteral("7"));
    QCOMPARE(f->liTop(), 4020);

    // Switching to another window of the game and back leaves the draw where it was.
    h.app->login()->activateWindow();
    f->activateWindow();
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(f, &activate);
    answerRight(f);
    QVERIFY(setOffset(f, 3));
    testkit::tick(f, "Timer3");
    QCOMPARE(f->questionId(), QStringLiteral("28"));
    QCOMPARE(f->ttoan(), QStringLiteral("12")); // the last draw of the level may take all that is left
    QVERIFY(setOffset(f, 12));
    answerRight(f);
    testkit::tick(f, "Timer3");
    QCOMPARE(f->questionId(), QStringLiteral("40"));
    QCOMPARE(f->ttoan(), QStringLiteral("20")); // half of muc2 for its first draw
}

void HotSeatDrawTest::eachLevelStartsOnItsOwnTable()
{
    testkit::GameHarness h;
    fillLevels(*h.database, 10, 12, 14);
    HotSeatForm *f = enter(h);
    QCOMPARE(f->ttoan(), QStringLiteral("5"));
    testkit::tick(f, "Timer12", 8);
    const int offsets[15] = {5, 2, 1, 1, 6, 2, 1, 1, 1, 7, 3, 1, 1, 1, 1};
    // The last question of each level may be its last row; a range left at 0
    // still moves on by one row, and a move past the end stays on the last row.
    const char *expected[15] = {"muc1 6",  "muc1 8",  "muc1 9",  "muc1 10", "muc2 7",
                                "muc2 9",  "muc2 10", "muc2 11", "muc2 12", "muc3 8",
                                "muc3 11", "muc3 12", "muc3 13", "muc3 14", "muc3 14"};
    for (int q = 0; q < 15; ++q) {
        QVERIFY(setOffset(f, offsets[q]));
        if (q == 0)
            testkit::click(label(f, "strart"));
        else
            testkit::tick(f, "Timer3");
        QCOMPARE(cap(f, "Label2"), QString::fromLatin1(expected[q]));
        answerRight(f);
    }
    QCOMPARE(f->socauhoi(), QStringLiteral("END"));
}

void HotSeatDrawTest::tinyTablesNeverDrawPastTheEnd()
{
    testkit::GameHarness h;
    fillLevels(*h.database, 3, 1, 2);
    HotSeatForm *f = enter(h);
    QCOMPARE(f->ttoan(), QStringLiteral("1"));
    QCOMPARE(f->so(), QStringLiteral("1")); // the designed 10 is brought into the range at once
    testkit::tick(f, "tg", 7);
    QCOMPARE(f->so(), QStringLiteral("1"));
    firstQuestion(f);
    const int sizes[3] = {3, 1, 2};
    for (int q = 1; q <= 15; ++q) {
        if (q > 1)
            testkit::tick(f, "Timer3");
        const int level = q <= 4 ? 1 : q <= 9 ? 2 : 3;
        const qint64 id = f->questionId().toLongLong();
        QVERIFY2(id >= 1 && id <= sizes[level - 1], qPrintable(QStringLiteral("question %1: id %2").arg(q).arg(id)));
        QCOMPARE(cap(f, "Label2"), QStringLiteral("muc%1 %2").arg(level).arg(id));
        QVERIFY(f->ttoan().toInt() >= 1);
        QVERIFY(f->so().toInt() >= 1 && f->so().toInt() <= f->ttoan().toInt());
        answerRight(f);
    }
    QCOMPARE(f->socauhoi(), QStringLiteral("END"));
}

void HotSeatDrawTest::emptyLevelsStillGiveARangeOfOne()
{
    testkit::GameHarness h;
    fillLevels(*h.database, 0, 0, 0);
    HotSeatForm *f = enter(h);
    QCOMPARE(f->levelSize(1), QString());
    QCOMPARE(f->ttoan(), QStringLiteral("1"));
    testkit::tick(f, "tg", 5);
    QCOMPARE(f->so(), QStringLiteral("1"));
    firstQuestion(f);
    QCOMPARE(f->questionId(), QStringLiteral("0"));
    QCOMPARE(cap(f, "Label2"), QString());
    QCOMPARE(f->ttoan(), QStringLiteral("1"));
}

void HotSeatDrawTest::offsetIsWrappedIntoAShrunkRange()
{
    testkit::GameHarness h;
    fillLevels(*h.database, 40, 40, 40);
    HotSeatForm *f = enter(h);
    testkit::tick(f, "Timer12", 8);
    QVERIFY(setOffset(f, 20));
    testkit::click(label(f, "strart"));
    QCOMPARE(f->questionId(), QStringLiteral("21"));
    QCOMPARE(f->ttoan(), QStringLiteral("9"));
    QCOMPARE(f->so(), QStringLiteral("2")); // 20 counted on within 1..9
    answerRight(f);
    testkit::tick(f, "Timer3");
    QCOMPARE(f->questionId(), QStringLiteral("23"));
    QCOMPARE(f->ttoan(), QStringLiteral("8"));
    testkit::tick(f, "tg", 2);
    QCOMPARE(f->so(), QStringLiteral("8"));
}

// The draw counter is not woken for each 50 ms tick: the ticks due on the clock
// are applied when the offset is read. Any stretch of time must give exactly what
// that many ticks would, across the wrap to the bound and after the bound changes.
void HotSeatDrawTest::clockCountedOffsetMatchesTickByTick()
{
    testkit::GameHarness timed, ticked;
    for (testkit::GameHarness *h : {&timed, &ticked})
        fillLevels(*h->database, 40, 40, 40);
    HotSeatForm *a = enter(timed);
    HotSeatForm *b = enter(ticked);
    for (HotSeatForm *f : {a, b})
        testkit::tick(f, "Timer12", 8);
    const QDateTime from = timed.s.clock;
    qint64 total = 0;
    for (int ticks : {0, 1, 7, 19, 20, 21, 57, 400, 1, 3}) {
        total += ticks;
        timed.s.clock = from.addMSecs(50 * total + 10); // a little past the tick: no rounding at the edge
        testkit::tick(b, "tg", ticks);
        QCOMPARE(a->so(), b->so());
        if (ticks == 57) { // a Start in between: the bound changes
            for (HotSeatForm *f : {a, b})
                testkit::click(label(f, "strart"));
            QCOMPARE(a->questionId(), b->questionId());
            QCOMPARE(a->ttoan(), b->ttoan());
        }
    }
}

void HotSeatDrawTest::aDrawThatCannotReachTheServerChangesNothing()
{
    if (!testkit::onServer())
        QSKIP("a file is never out of reach");
    testkit::GameHarness h;
    fillLevels(*h.database, 40, 40, 40);
    HotSeatForm *f = enter(h);
    testkit::tick(f, "Timer12", 8);
    QVERIFY(setOffset(f, 10));
    // The board refills when the form is activated: let that happen before the cut.
    QVERIFY(QTest::qWaitForWindowActive(f));
    const auto before = h.s.messages.size();
    QVERIFY(testkit::cutOff(h, true));
    testkit::click(label(f, "strart"));
    QCOMPARE(h.s.messages.size(), before + 1);
    QCOMPARE(h.s.messages.last().text, GameApp::offlineText());
    QCOMPARE(f->drawCount(), 0);
    QVERIFY(usable(f, "strart"));
    QVERIFY(testkit::cutOff(h, false));
    testkit::click(label(f, "strart"));
    QCOMPARE(f->questionId(), QStringLiteral("11"));
    QCOMPARE(cap(f, "Label2"), QStringLiteral("muc1 11"));
    QCOMPARE(f->drawCount(), 1);
}

// Cutting the link while the hot seat loads must not leave a range of one row
// (questions in bank order once the link is back): the sizes are read at Start,
// and the offset counted since the load falls in the real range.
void HotSeatDrawTest::levelSizesUnreadAtLoadAreReadBeforeTheDraw()
{
    if (!testkit::onServer())
        QSKIP("a file is never out of reach");
    testkit::GameHarness h;
    fillLevels(*h.database, 40, 40, 40);
    h.addAccount(QStringLiteral("an"), QStringLiteral("pw"), QStringLiteral("2200"), QStringLiteral("3"));
    h.setLock(QStringLiteral("1"));
    h.login(QStringLiteral("an"), QStringLiteral("pw"));
    QVERIFY(testkit::cutOff(h, true));
    HotSeatForm *f = h.app->hotseat();
    freeze(f);
    f->show();
    QCOMPARE(f->levelSize(1), QString());
    QCOMPARE(h.s.messages.size(), 1);
    testkit::tick(f, "Timer12", 8);
    testkit::click(label(f, "strart")); // still cut off: told, nothing drawn
    QCOMPARE(h.s.messages.size(), 2);
    QCOMPARE(h.s.messages.last().text, GameApp::offlineText());
    QCOMPARE(f->drawCount(), 0);
    QVERIFY(usable(f, "strart"));

    QVERIFY(testkit::cutOff(h, false));
    h.s.clock = h.s.clock.addMSecs(50 * 13 + 10); // 13 ticks of tg from 10 in 1..20
    testkit::click(label(f, "strart"));
    QCOMPARE(f->levelSize(1), QStringLiteral("40"));
    QCOMPARE(f->levelSize(3), QStringLiteral("40"));
    QCOMPARE(f->questionId(), QStringLiteral("18"));
    QCOMPARE(f->ttoan(), QStringLiteral("11"));
    QCOMPARE(h.s.messages.size(), 2);
}

QTEST_MAIN(HotSeatDrawTest)
#include "test_draw.moc"
