// The lifelines played against the verdict and Stop, as a player trying to cheat
// the game would: a lost game never pays, a finished game takes no lifeline, a
// panel ends with its question, no lifeline points at an answer 50:50 took, and
// the music comes back after a call never made.

#include "lifelinefixture.h"

using namespace hs;

namespace {
const QStringList kAllTimers = {"Timer13", "Timer6", "Timer7", "Timer8", "Timer14", "Timer9", "Timer5"};

bool timerOn(HotSeatForm *f, const char *name)
{
    return f->findChild<LegacyTimer *>(QString::fromLatin1(name))->isEnabled();
}

// Takes a lifeline (its offer confirmed) and lets `ms` pass on the clock.
void take(HotSeatForm *f, Clock &clock, const char *lifeline, int ms = 0)
{
    testkit::click(label(f, lifeline));
    testkit::click(label(f, "trunggian"));
    clock.run(ms);
}

// The moves that must not reopen a question that has its verdict.
void tryToPlayOn(HotSeatForm *f)
{
    for (int i = 1; i <= 4; ++i)
        testkit::click(label(f, QStringLiteral("traloi%1").arg(i)));
    testkit::click(label(f, "Label4"));
    testkit::pressKey(f, Qt::Key_Escape);
    testkit::click(label(f, "Image11"));
    testkit::click(label(f, "ok"));
    for (const char *life : {"chon50", "Label5", "Label13"}) {
        testkit::click(label(f, life));
        if (shown(f, "trunggian"))
            testkit::click(label(f, "trunggian"));
    }
}
} // namespace

class FairPlayTest : public QObject {
    Q_OBJECT
private slots:
    void aLostGameNeverPays();
    void noLifelineAfterTheQuestionIsOver_data();
    void noLifelineAfterTheQuestionIsOver();
    void aPanelEndsWithItsQuestion();
    void noLifelinePointsAtARemovedAnswer_data();
    void noLifelinePointsAtARemovedAnswer();
    void musicComesBackWhenNoCallWasMade();
};

void FairPlayTest::aLostGameNeverPays()
{
    testkit::GameHarness h;
    HotSeatForm *f = afterWinning(h, 3, 40); // question 4, 300$ reached
    Clock clock(f, kAllTimers);
    const QString wrong = wrongLetter(f);

    take(f, clock, "Label13", 2000);
    QVERIFY(shown(f, "Picture5"));
    testkit::click(label(f, "Label5")); // offered and declined over the open vote
    testkit::click(label(f, "stop113"));
    QVERIFY(usable(f, "Label5"));
    QVERIFY(!usable(f, "lock113"));
    pick(f, wrong);
    QCOMPARE(f->cuaban(), QStringLiteral("?"));

    testkit::click(label(f, "Image11"));
    QVERIFY(usable(f, "lock113"));
    answer(f, wrong);
    QCOMPARE(tien(f), QStringLiteral("0$"));

    tryToPlayOn(f);
    QVERIFY(!usable(f, "lock113") && !usable(f, "Label4"));
    QCOMPARE(f->cuaban(), QString());
    QCOMPARE(cap(f, "stop113"), QStringLiteral("Keát Thuùc"));
    QVERIFY(!shown(f, "Picture3") && !shown(f, "Picture5"));
    QCOMPARE(f->socauhoi(), QStringLiteral("12"));
    testkit::click(label(f, "stop113"));
    testkit::click(label(f, "Label3"));
    QCOMPARE(h.database->findAccount("an")->sotien, QStringLiteral("1200"));
}

void FairPlayTest::noLifelineAfterTheQuestionIsOver_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("stored"); // sotien on leaving
    QTest::newRow("stopped") << "stop" << "1300";
    QTest::newRow("answered wrong") << "wrong" << "1200";
    QTest::newRow("answered right") << "right" << "1200"; // nothing secured yet
    QTest::newRow("won") << "won" << "101200";
}

void FairPlayTest::noLifelineAfterTheQuestionIsOver()
{
    QFETCH(QString, how);
    QFETCH(QString, stored);
    testkit::GameHarness h;
    HotSeatForm *f = onFirstQuestion(h, 40);
    winUpTo(f, how == QLatin1String("won") ? 15 : 1);
    if (how == QLatin1String("stop") || how == QLatin1String("wrong"))
        testkit::tick(f, "Timer3");
    if (how == QLatin1String("stop"))
        testkit::click(label(f, "stop113"));
    if (how == QLatin1String("wrong"))
        answer(f, wrongLetter(f));
    QVERIFY(shown(f, "Label7")); // over the lifelines
    const QString host = cap(f, "cuaban1");
    const QString second = cap(f, "stop113");
    const QString money = tien(f);

    tryToPlayOn(f);
    QCOMPARE(cap(f, "cuaban1"), host);
    QCOMPARE(cap(f, "stop113"), second);
    QCOMPARE(tien(f), money);
    QVERIFY(!usable(f, "lock113"));
    for (const char *life : {"chon50", "Label5", "Label13"})
        QVERIFY2(label(f, life)->isEnabled(), life); // never offered, so still available
    for (const char *timer : {"Timer13", "Timer14", "Timer9"})
        QVERIFY2(!timerOn(f, timer), timer);
    QCOMPARE(cap(f, "trunggian"), QStringLiteral("Tieáp tuïc"));

    if (second == QLatin1String("Keát Thuùc"))
        testkit::click(label(f, "stop113"));
    testkit::click(label(f, "Label3"));
    QCOMPARE(h.database->findAccount("an")->sotien, stored);
}

void FairPlayTest::aPanelEndsWithItsQuestion()
{
    testkit::GameHarness h;
    HotSeatForm *f = questionWithLetter(h, "A");
    LegacyTimer *music = h.app->login()->musicTimer();
    Clock clock(f, kAllTimers);

    // The vote still unfolding when the call is taken: it closes for good.
    take(f, clock, "Label13", 1000);
    QVERIFY(shown(f, "Shape9") && !shown(f, "Picture5"));
    take(f, clock, "Label5", 2000);
    QVERIFY(shown(f, "Picture3") && !shown(f, "Picture5"));
    QVERIFY(!timerOn(f, "Timer14"));
    finishAnimations(f);
    QVERIFY(!shown(f, "Shape7") && !shown(f, "Shape9"));
    QVERIFY(!usable(f, "lock113"));

    // A call in its countdown, then Stop: the panel, its script and timers end,
    // and the music comes back.
    auto *text5 = testkit::child<QLineEdit>(f, "Text5");
    testkit::type(text5, QStringLiteral("Minh"));
    testkit::click(testkit::widget(f, "Command1"));
    clock.run(15000);
    QVERIFY(timerOn(f, "Timer8") && !music->isEnabled());
    testkit::click(label(f, "stop113"));
    QCOMPARE(tien(f), QStringLiteral("0$"));
    QVERIFY(!shown(f, "Picture3") && music->isEnabled());
    for (const char *timer : {"Timer13", "Timer6", "Timer7", "Timer8", "Timer9"})
        QVERIFY2(!timerOn(f, timer), timer);
    const QString chatAtStop = chat(f, "a");
    clock.run(40000);
    finishAnimations(f);
    QCOMPARE(chat(f, "a"), chatAtStop);
    for (const char *piece : {"Picture3", "Shape6", "Shape1", "Label15"})
        QVERIFY2(!shown(f, piece), piece);
    testkit::click(label(f, "ok")); // nothing left to close, nothing freed
    QVERIFY(!testkit::widget(f, "lock113")->isEnabled());
}

void FairPlayTest::noLifelinePointsAtARemovedAnswer_data()
{
    QTest::addColumn<QString>("letter");
    QTest::addColumn<QList<int>>("votes");
    QTest::addColumn<QString>("pair");
    QTest::addColumn<QString>("guess");
    QTest::newRow("A") << "A" << QList<int>{52, 0, 0, 48} << ">: Khaû naêng caâu A hay D" << ">:Coù theå laø caâu A";
    QTest::newRow("B") << "B" << QList<int>{0, 51, 0, 49} << ">: Khaû naêng caâu B hay D " << ">:Coù theå laø caâu D";
    QTest::newRow("C") << "C" << QList<int>{0, 33, 67, 0} << ">: Khaû naêng caâu C hay B" << ">:Coù theå laø caâu C";
    QTest::newRow("D") << "D" << QList<int>{50, 0, 0, 49} << ">: Khaû naêng caâu A hay D" << ">:Coù theå laø caâu A";
}

void FairPlayTest::noLifelinePointsAtARemovedAnswer()
{
    QFETCH(QString, letter);
    QFETCH(QList<int>, votes);
    QFETCH(QString, pair);
    QFETCH(QString, guess);
    testkit::GameHarness h;
    HotSeatForm *f = questionWithLetter(h, letter);
    Clock clock(f, kAllTimers);
    const char *const numbers[4] = {"dd", "dd2", "dd3", "dd4"};
    const char *const bars[4] = {"Shape4", "b", "c", "d"};

    // The vote is given, then 50:50 is taken over it: the numbers follow the board
    // and the answers stay locked until the panel is closed.
    take(f, clock, "Label13", 1800 * 10 + 500);
    take(f, clock, "chon50");
    QVERIFY(!usable(f, "lock113"));
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(cap(f, numbers[i]), QString::number(votes[i]));
        QCOMPARE(testkit::child<VoteBar>(f, bars[i])->twips(), votes[i] * 3495 / 100.0);
    }
    testkit::click(label(f, "Image11"));
    QVERIFY(usable(f, "lock113"));

    take(f, clock, "Label5", 2000);
    testkit::type(testkit::child<QLineEdit>(f, "Text5"), QStringLiteral("Minh"));
    testkit::click(testkit::widget(f, "Command1"));
    clock.run(13500);
    testkit::click(testkit::widget(f, "Command2"));
    clock.run(2500 * 6);
    QVERIFY2(chat(f, "a").contains(kCrLf + "<Minh" + pair + kCrLf), qPrintable(chat(f, "a")));
    QVERIFY(chat(f, "a").endsWith(kCrLf + "<Minh" + guess));

    // Leaving mid-call ends the call with the game.
    testkit::click(label(f, "Label3"));
    QVERIFY(!shown(f, "Picture3") && !timerOn(f, "Timer7") && !timerOn(f, "Timer8"));
    QVERIFY(h.app->login()->musicTimer()->isEnabled());
    QCOMPARE(h.database->findAccount("an")->sotien, QStringLiteral("1200"));
}

void FairPlayTest::musicComesBackWhenNoCallWasMade()
{
    testkit::GameHarness h;
    HotSeatForm *f = questionWithLetter(h, "C");
    LegacyTimer *music = h.app->login()->musicTimer();
    Clock clock(f, kAllTimers);
    take(f, clock, "Label5", 2000);
    testkit::click(testkit::widget(f, "Command1")); // no name: refused, the music stops
    QCOMPARE(h.s.messages.size(), 1);
    QVERIFY(!music->isEnabled());
    testkit::click(label(f, "ok"));
    QVERIFY(music->isEnabled());
    QVERIFY(usable(f, "lock113"));
    clock.run(60000);
    QVERIFY(music->isEnabled());
}

QTEST_MAIN(FairPlayTest)
#include "test_fairplay.moc"
