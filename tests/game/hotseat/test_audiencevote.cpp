// Ask the audience as a player uses it: the panel, the host and the audience in
// the chat box, the fixed vote by the correct letter drawn as bars; then all three
// lifelines on one question, the vote closed before its chart; and which way
// the call's and the vote's panels move as they unfold and slide away.

#include "lifelinefixture.h"

using namespace hs;

namespace {
const QStringList kVoteTimers = {"Timer14", "Timer9", "Timer5"};
const char *const kBars[4] = {"Shape4", "b", "c", "d"};
const char *const kNumbers[4] = {"dd", "dd2", "dd3", "dd4"};

bool timerOn(HotSeatForm *f, const char *name)
{
    return f->findChild<LegacyTimer *>(QString::fromLatin1(name))->isEnabled();
}
} // namespace

class AudienceVoteTest : public QObject {
    Q_OBJECT
private slots:
    void voteByTheLetter_data();
    void voteByTheLetter();
    void allThreeOnOneQuestion();
    void panelsUnfoldDownwardAndSlideUp_data();
    void panelsUnfoldDownwardAndSlideUp();
    void aFiftyOfAnEarlierQuestionLeavesTheVoteWhole();
    void anOfferOverAnOpenPanelKeepsTheAnswersLocked();
    void theEndAfterAWrongAnswerStopsAVoteStillRunning();
};

void AudienceVoteTest::voteByTheLetter_data()
{
    QTest::addColumn<QString>("letter");
    QTest::addColumn<QList<int>>("votes");
    QTest::newRow("A") << "A" << QList<int>{42, 17, 3, 38};
    QTest::newRow("B") << "B" << QList<int>{3, 41, 17, 39};
    QTest::newRow("C") << "C" << QList<int>{3, 10, 44, 43}; // a near tie
    QTest::newRow("D") << "D" << QList<int>{40, 3, 17, 39}; // points to A, and makes 99
}

void AudienceVoteTest::voteByTheLetter()
{
    QFETCH(QString, letter);
    QFETCH(QList<int>, votes);
    testkit::GameHarness h;
    HotSeatForm *f = questionWithLetter(h, letter);
    Clock clock(f, kVoteTimers);

    offer(h, f, kAudienceVote);
    confirm(h, f);
    QVERIFY(!usable(f, "lock113"));
    QCOMPARE(chat(f, "aaa"), QString(23, QLatin1Char(' ')) + "Lontaris  :-)");

    // The panel unfolds while the host talks (ticks at 0.5, 1, 1.5, 1.8, 2 s).
    clock.run(1500);
    QVERIFY(shown(f, "Shape9") && shown(f, "Label18") && shown(f, "Shape8") && shown(f, "Shape7"));
    QVERIFY(!shown(f, "Picture5"));
    clock.run(500);
    QVERIFY(shown(f, "Picture5") && shown(f, "aaa") && shown(f, "Image11"));
    QCOMPARE(chat(f, "aaa"), QStringLiteral("<MC>: Xin chaøo khaùn giaû...  ") + kCrLf
                                 + "Ngöôøi chôi ñaõ löïa choïn nhôø yù kieán khaùn giaû...");
    clock.run(1800);
    QVERIFY(chat(f, "aaa").endsWith(
        kCrLf + "<MC>: Toâi xin ñoïc laïi caâu hoûi ñeå khaùn giaû trôï giuùp cho ngöôøi chôi..."));
    clock.run(1800 * 4);
    QCOMPARE(chat(f, "aaa"), QStringLiteral("<MC>: Caâu hoûi:") + cap(f, "Label2") + kCrLf + "<MC>:  A."
                                 + cap(f, "traloi1") + "  B." + cap(f, "traloi2") + "  C." + cap(f, "traloi3")
                                 + "  D." + cap(f, "traloi4") + kCrLf + "<MC>: Xin môøi khaùn giaû traû lôøi.."
                                 + kCrLf + "<Khaùn giaû>: ...");
    int total = 0;
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(cap(f, kNumbers[i]), QString::number(votes[i]));
        QVERIFY(!shown(f, kNumbers[i]));
        QCOMPARE(testkit::child<VoteBar>(f, kBars[i])->twips(), 10.0);
        total += votes[i];
    }
    QCOMPARE(total, letter == QLatin1String("D") ? 99 : 100);

    clock.run(1800 * 3); // two more murmurs, then the chart comes into view
    QVERIFY(chat(f, "aaa").endsWith(QStringLiteral("<Khaùn giaû>: ...") + kCrLf + "<Khaùn giaû>: ..."));
    QVERIFY(!shown(f, "aaa"));
    QVERIFY(!shown(f, "dd"));
    clock.run(1800);
    QVERIFY(timerOn(f, "Timer5"));
    QCOMPARE(h.s.effects.played.last(), QStringLiteral("Media\\w.wav"));
    clock.run(500);
    for (int i = 0; i < 4; ++i) {
        QVERIFY(shown(f, kNumbers[i]) && shown(f, QStringLiteral("aaaaa(%1)").arg(i)));
        QCOMPARE(testkit::child<VoteBar>(f, kBars[i])->twips(), votes[i] * 3495 / 100.0);
    }
    clock.run(1300);
    QVERIFY(!timerOn(f, "Timer5"));

    closePanel(f, "Image11", "Picture5", {"Shape7", "Shape8", "Shape9", "Label18"}, "Label13");
}

void AudienceVoteTest::allThreeOnOneQuestion()
{
    testkit::GameHarness h;
    HotSeatForm *f = questionWithLetter(h, "B");
    Clock clock(f, {"Timer13", "Timer6", "Timer7", "Timer8", "Timer14", "Timer9", "Timer5"});
    testkit::click(label(f, "chon50"));
    testkit::click(label(f, "trunggian"));
    QVERIFY(!shown(f, "traloi1") && !shown(f, "traloi3"));

    // Declining the audience keeps the 50:50 on this question.
    testkit::click(label(f, "Label13"));
    testkit::click(label(f, "stop113"));
    QVERIFY(usable(f, "Label13"));
    QVERIFY(!shown(f, "traloi1") && !shown(f, "traloi3"));

    testkit::click(label(f, "Label5"));
    testkit::click(label(f, "trunggian"));
    clock.run(2000);
    testkit::click(label(f, "ok"));
    testkit::click(label(f, "Label13"));
    testkit::click(label(f, "trunggian"));
    clock.run(1800 * 5);
    testkit::click(label(f, "Image11")); // before the chart: it is never seen
    QVERIFY(usable(f, "lock113"));
    clock.run(1800 * 6); // the script runs on unseen
    QCOMPARE(cap(f, "dd2"), QStringLiteral("51")); // B and D share what 50:50 took
    QVERIFY(!shown(f, "Picture5") && !shown(f, "dd2"));
    finishAnimations(f);
    QVERIFY(!shown(f, "Shape7") && !shown(f, "traloi1") && !shown(f, "traloi3"));

    answerRight(f);
    testkit::tick(f, "Timer3");
    for (int i = 1; i <= 4; ++i)
        QVERIFY(shown(f, QStringLiteral("traloi%1").arg(i)));
    for (const char *life : {"chon50", "Label5", "Label13"})
        QVERIFY2(!usable(f, life), life);
    QVERIFY(usable(f, "lock113"));
}

void AudienceVoteTest::panelsUnfoldDownwardAndSlideUp_data()
{
    QTest::addColumn<QString>("lifeline");
    QTest::addColumn<QString>("close");
    QTest::addColumn<QStringList>("pieces"); // the box, then the ribbons
    QTest::newRow("phone call") << "Label5" << "ok" << QStringList{"Shape6", "Shape1", "Shape5"};
    QTest::newRow("audience vote") << "Label13" << "Image11" << QStringList{"Shape7", "Shape9", "Shape8"};
}

void AudienceVoteTest::panelsUnfoldDownwardAndSlideUp()
{
    QFETCH(QString, lifeline);
    QFETCH(QString, close);
    QFETCH(QStringList, pieces);
    testkit::GameHarness h;
    HotSeatForm *f = questionWithLetter(h, "A");
    Clock clock(f, {"Timer13", "Timer6", "Timer7", "Timer8", "Timer14", "Timer9", "Timer5"});
    testkit::click(label(f, lifeline));
    testkit::click(label(f, "trunggian"));

    // In: each piece unfolding at a tick grows from its top left corner, right
    // and down, and never back.
    int grown = 0;
    for (int ms = 0; ms < 2000; ms += 100) {
        clock.run(100);
        for (QPropertyAnimation *a : f->findChildren<QPropertyAnimation *>(QStringLiteral("unfold"))) {
            if (a->state() != QAbstractAnimation::Running)
                continue;
            auto *piece = qobject_cast<QWidget *>(a->targetObject());
            QRect before = a->startValue().toRect();
            for (int step = 1; step <= 8; ++step) {
                a->setCurrentTime(a->totalDuration() * step / 8);
                const QRect now = piece->geometry();
                QCOMPARE(now.topLeft(), before.topLeft());
                QVERIFY2(now.width() >= before.width() && now.height() >= before.height(), qPrintable(piece->objectName()));
                before = now;
            }
            QVERIFY(before.width() * before.height() > a->startValue().toRect().width() * a->startValue().toRect().height());
            ++grown;
        }
    }
    QCOMPARE(grown, 3);

    // Out: up at every step, the ribbons with the box.
    testkit::click(label(f, close));
    auto *slide = testkit::widget(f, pieces[0])->findChild<QPropertyAnimation *>(QStringLiteral("slide"));
    QVERIFY(slide);
    auto *box = testkit::child<PanelBox>(f, pieces[0]);
    int top = box->top();
    QList<int> ys;
    for (const QString &piece : pieces)
        ys << testkit::widget(f, piece)->y();
    for (int step = 1; step <= 8; ++step) {
        slide->setCurrentTime(slide->totalDuration() * step / 8);
        QVERIFY(box->top() < top);
        top = box->top();
        for (qsizetype i = 0; i < pieces.size(); ++i) {
            const int y = testkit::widget(f, pieces[i])->y();
            QVERIFY2(y <= ys[i], qPrintable(pieces[i]));
            ys[i] = y;
        }
    }
    QCOMPARE(top, -2820);
    QVERIFY(ys[0] + testkit::widget(f, pieces[0])->height() <= 0);
}

void AudienceVoteTest::aFiftyOfAnEarlierQuestionLeavesTheVoteWhole()
{
    testkit::GameHarness h;
    HotSeatForm *f = questionWithLetter(h, "A");
    Clock clock(f, kVoteTimers);
    testkit::click(label(f, "chon50"));
    testkit::click(label(f, "trunggian"));
    answerRight(f);
    testkit::tick(f, "Timer3");
    testkit::click(label(f, "Label13"));
    testkit::click(label(f, "trunggian"));
    clock.run(1800 * 6);
    int total = 0;
    for (const char *number : kNumbers) {
        QVERIFY2(cap(f, number) != QLatin1String("0"), number);
        total += cap(f, number).toInt();
    }
    QCOMPARE(total, f->dapandung() == QLatin1String("D") ? 99 : 100);
}

void AudienceVoteTest::anOfferOverAnOpenPanelKeepsTheAnswersLocked()
{
    testkit::GameHarness h;
    HotSeatForm *f = questionWithLetter(h, "C");
    Clock clock(f, kVoteTimers);
    testkit::click(label(f, "Label13"));
    testkit::click(label(f, "trunggian"));
    clock.run(2000);
    // 50:50 offered and declined over the open vote: still locked.
    testkit::click(label(f, "chon50"));
    testkit::click(label(f, "stop113"));
    QVERIFY(!usable(f, "lock113"));
    // Offered again, then the vote closed: locked while the offer stands.
    testkit::click(label(f, "chon50"));
    testkit::click(label(f, "Image11"));
    QVERIFY(!usable(f, "lock113"));
    testkit::click(label(f, "stop113"));
    QVERIFY(usable(f, "lock113"));
}

void AudienceVoteTest::theEndAfterAWrongAnswerStopsAVoteStillRunning()
{
    testkit::GameHarness h;
    HotSeatForm *f = questionWithLetter(h, "B");
    Clock clock(f, kVoteTimers);
    testkit::click(label(f, "Label13"));
    testkit::click(label(f, "trunggian"));
    clock.run(1800 * 3);
    testkit::click(label(f, "Image11")); // the script runs on unseen
    answer(f, wrongLetter(f));
    testkit::click(label(f, "stop113")); // End
    QVERIFY(!timerOn(f, "Timer9") && !timerOn(f, "Timer5"));
    const QString said = chat(f, "aaa");
    clock.run(1800 * 8);
    QCOMPARE(chat(f, "aaa"), said);
}

QTEST_MAIN(AudienceVoteTest)
#include "test_audiencevote.moc"
