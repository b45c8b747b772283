// The game's own referee asked as a form would, and as a player trying it on
// would: what each kind of end pays, no right answer before its verdict, each
// lifeline once and only on an open question, every call out of turn refused
// with nothing changed.

#include "../hotseat/lifelinefixture.h"
#include "referee/localreferee.h"

using namespace hs;
using referee::Outcome;

namespace {
struct Game {
    testkit::GameHarness h;
    LocalReferee r{*h.database};
    Game()
    {
        fillLevels(*h.database, 40, 40, 40); // question ID i has the letter "ABCD"[(i - 1) % 4]
        h.addAccount(QStringLiteral("an"), QStringLiteral("pw"), QStringLiteral("1200"));
    }
    // The next question, `offset` rows on.
    bool ask(qint64 offset = 1) { return r.nextQuestion(offset).outcome == Outcome::Done; }
    bool answerRight() { return r.judge(r.heldAnswer()).right; }
    void win(int count)
    {
        for (int i = 0; i < count; ++i)
            QVERIFY(ask() && answerRight());
    }
    QString wrongLetter() const
    {
        return r.heldAnswer() == QLatin1String("A") ? QStringLiteral("B") : QStringLiteral("A");
    }
    db::WriteStatus end()
    {
        return r.endGame(QStringLiteral("an"), 3, db::LockRow::asStored(), db::LockWait::Patient).status;
    }
    QString money() { return h.database->findAccount(QStringLiteral("an"))->sotien; }
};
} // namespace

class LocalRefereeTest : public QObject {
    Q_OBJECT
private slots:
    void theEndPaysWhatTheRecordSays_data();
    void theEndPaysWhatTheRecordSays();
    void noRightAnswerBeforeItsVerdict();
    void eachLifelineOnceOnAnOpenQuestion();
    void theQualifyingOrderIsJudgedOnce();
    void aCallFollowsTheFiftyFiftyTakenDuringIt();
};

void LocalRefereeTest::theEndPaysWhatTheRecordSays_data()
{
    QTest::addColumn<int>("won");
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("paid");
    QTest::newRow("left before a question") << 0 << "leave" << 0;
    QTest::newRow("stopped before a question") << 0 << "stop" << 0;
    QTest::newRow("wrong at the first") << 0 << "wrong" << 0;
    QTest::newRow("stopped after 4") << 4 << "stop" << 500;
    QTest::newRow("left after 4") << 4 << "leave" << 0;
    QTest::newRow("wrong after 5") << 5 << "wrong" << 1000;
    QTest::newRow("stopped after 9 on a question") << 9 << "stop on a question" << 12000;
    QTest::newRow("left after 12 on a question") << 12 << "leave on a question" << 18000;
    QTest::newRow("wrong after 14") << 14 << "wrong" << 18000;
    QTest::newRow("won") << 15 << "leave" << 100000;
}

void LocalRefereeTest::theEndPaysWhatTheRecordSays()
{
    QFETCH(int, won);
    QFETCH(QString, how);
    QFETCH(int, paid);
    Game g;
    g.win(won);
    if (how.endsWith(QLatin1String("on a question")) || how == QLatin1String("wrong"))
        QVERIFY(g.ask());
    if (how.startsWith(QLatin1String("stop")))
        QCOMPARE(g.r.stop(), Outcome::Done);
    if (how == QLatin1String("wrong"))
        QVERIFY(!g.r.judge(g.wrongLetter()).right);

    // Over: no more questions, verdicts, lifelines or stops.
    if (!how.startsWith(QLatin1String("leave")) || won == 15) {
        QCOMPARE(g.r.nextQuestion(1).outcome, Outcome::Refused);
        QCOMPARE(g.r.judge(g.r.heldAnswer()).outcome, Outcome::Refused);
        QCOMPARE(g.r.fiftyFifty().outcome, Outcome::Refused);
        QCOMPARE(g.r.stop(), Outcome::Refused);
    }
    QCOMPARE(g.end(), db::WriteStatus::Done);
    QCOMPARE(g.money(), QString::number(1200 + paid));
    QCOMPARE(g.h.database->findAccount(QStringLiteral("an"))->phut, QStringLiteral("3"));

    // Once: a second end, or play after it, changes nothing.
    QVERIFY(g.end() != db::WriteStatus::Done);
    QCOMPARE(g.r.nextQuestion(1).outcome, Outcome::Refused);
    QCOMPARE(g.r.stop(), Outcome::Refused);
    QCOMPARE(g.money(), QString::number(1200 + paid));
}

void LocalRefereeTest::noRightAnswerBeforeItsVerdict()
{
    Game g;
    QCOMPARE(g.r.judge(QStringLiteral("A")).outcome, Outcome::Refused); // nothing asked yet
    QVERIFY(g.ask(2));                                                  // ID 3: C
    QCOMPARE(g.r.nextQuestion(1).outcome, Outcome::Refused);            // no skipping it
    QCOMPARE(g.r.revealAnswer(false).outcome, Outcome::Refused);
    QCOMPARE(g.r.revealAnswer(true).answer, QStringLiteral("C")); // the board's switch shows it

    const referee::Verdict v = g.r.judge(QStringLiteral("C"));
    QCOMPARE(v.outcome, Outcome::Done);
    QVERIFY(v.right);
    QCOMPARE(v.answer, QStringLiteral("C"));
    QCOMPARE(g.r.judge(QStringLiteral("C")).outcome, Outcome::Refused); // one verdict a question
    QCOMPARE(g.r.revealAnswer(false).answer, QStringLiteral("C"));

    // The next question's answer is hidden again, and a wrong verdict names it.
    QVERIFY(g.ask(1)); // ID 4: D
    QCOMPARE(g.r.revealAnswer(false).outcome, Outcome::Refused);
    const referee::Verdict wrong = g.r.judge(QStringLiteral("?"));
    QVERIFY(!wrong.right);
    QCOMPARE(wrong.answer, QStringLiteral("D"));
}

void LocalRefereeTest::eachLifelineOnceOnAnOpenQuestion()
{
    Game g;
    QCOMPARE(g.r.fiftyFifty().outcome, Outcome::Refused);
    QCOMPARE(g.r.phoneFriend().outcome, Outcome::Refused);
    QCOMPARE(g.r.askAudience().outcome, Outcome::Refused);

    QVERIFY(g.ask(1)); // ID 2: B
    const referee::Call call = g.r.phoneFriend();
    QCOMPARE(call.advice->pair, QStringLiteral(">: Khaû naêng caâu B hay C "));
    QCOMPARE(call.advice->guess, QStringLiteral(">:Coù theå laø caâu C"));
    QCOMPARE(g.r.phoneFriend().outcome, Outcome::Refused);
    QVERIFY(g.answerRight());
    QCOMPARE(g.r.askAudience().outcome, Outcome::Refused); // the question has its verdict

    // The next question: the vote, then 50:50, which keeps the vote to its
    // board but says nothing more of the call taken on the question before.
    QVERIFY(g.ask(1)); // ID 3: C
    QVERIFY(g.r.askAudience().votes == (referee::Votes{3, 10, 44, 43}));
    const referee::FiftyFifty fifty = g.r.fiftyFifty();
    QCOMPARE(fifty.removed, 1 << 0 | 1 << 3);
    QVERIFY(fifty.votes == (referee::Votes{0, 33, 67, 0}));
    QVERIFY(!fifty.advice);
    QCOMPARE(g.r.fiftyFifty().outcome, Outcome::Refused);
    QCOMPARE(g.r.stop(), Outcome::Done);
    QCOMPARE(g.r.askAudience().outcome, Outcome::Refused);
}

void LocalRefereeTest::theQualifyingOrderIsJudgedOnce()
{
    Game g;
    QCOMPARE(g.r.judgeOrder(QStringLiteral("ABCD")).outcome, Outcome::Refused);
    for (const db::Question &old : g.h.database->questions(db::QuestionTable::Thuthach))
        g.h.database->deleteQuestionsWithId(db::QuestionTable::Thuthach, old.id);
    for (const QString &order : {QStringLiteral("BADC"), QString(), QStringLiteral("DCBA")}) {
        db::Question q;
        q.id = g.h.database->nextId(db::QuestionTable::Thuthach).value_or(1);
        q.cauhoi = QStringLiteral("order %1").arg(q.id);
        q.traloi = order;
        QVERIFY(g.h.database->appendQuestion(db::QuestionTable::Thuthach, q));
    }
    // The row after the counter; one without an order is passed over.
    const referee::OrderQuestion q = g.r.orderQuestion(1);
    QCOMPARE(q.outcome, Outcome::Done);
    QCOMPARE(q.texts.cauhoi, QStringLiteral("order 3"));
    QCOMPARE(g.r.orderQuestion(1).outcome, Outcome::Refused);
    const referee::Verdict v = g.r.judgeOrder(QStringLiteral("dcba"));
    QVERIFY(!v.right);
    QCOMPARE(v.answer, QStringLiteral("DCBA"));
    QCOMPARE(g.r.judgeOrder(QStringLiteral("DCBA")).outcome, Outcome::Refused);
}

// The friend's lines come from the referee when the call is taken; a 50:50
// taken before the friend speaks must still reach them.
void LocalRefereeTest::aCallFollowsTheFiftyFiftyTakenDuringIt()
{
    testkit::GameHarness h;
    HotSeatForm *f = questionWithLetter(h, QStringLiteral("B"));
    Clock clock(f, {"Timer13", "Timer6", "Timer7", "Timer8"});
    testkit::click(label(f, "Label5"));
    testkit::click(label(f, "trunggian"));
    clock.run(2000);
    testkit::type(testkit::child<QLineEdit>(f, "Text5"), QStringLiteral("Minh"));
    testkit::click(testkit::widget(f, "Command1"));
    clock.run(13500);
    testkit::click(testkit::widget(f, "Command2"));
    clock.run(2500 * 2);
    testkit::click(label(f, "chon50"));
    testkit::click(label(f, "trunggian"));
    clock.run(2500 * 4);
    const QString said = chat(f, "a");
    QVERIFY2(said.contains(kCrLf + "<Minh>: Khaû naêng caâu B hay D " + kCrLf), qPrintable(said));
    QVERIFY(said.endsWith(kCrLf + "<Minh>:Coù theå laø caâu D"));
}

QTEST_MAIN(LocalRefereeTest)
#include "test_localreferee.moc"
