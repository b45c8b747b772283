// The qualifying round, driven like a player: intro, draw, Start, answering by
// clicks and keys, countdown, verdict, and the ways out.

#include "accounts/loginform.h"
#include "hotseat/hotseatform.h"
#include "legacylabel.h"
#include "legacytimer.h"
#include "qualifying/qualifyingform.h"
#include "testsupport.h"

#include <QLineEdit>
#include <QPushButton>

using testkit::caption;
using testkit::child;

namespace {
const QString kStart = QStringLiteral("Baét ñaàu");
const QString kExit = QStringLiteral("Thoaùt");
const QString kContinue = QStringLiteral("Tieáp tuïc");
const QString kIntro = QStringLiteral("Xin thäng baïo baûn coï thãø bàõt âáöu våïi voìng thæí thaïch cuía troì chåi "
                                      "Lontaris... Chuïc baûn may màõn... ");
const QString kInstructions = QStringLiteral(
    "Baïn coù 20 giaây vöøa ñoïc caâu hoûi vöøa traû lôøi nhaäp vaøo textbox phía döôùi baèng baøn phím hay "
    "duøng chuoät ...Chuùc baïn may maén...");

QString vni(const QString &unicode)
{
    return vn::encode(unicode, vn::Encoding::Vni).value();
}

// Row n (1-based) of the fixture table: its own question, answers and order.
db::Question row(int n)
{
    static const char *const orders[] = {"ABCD", "BDAC", "CABD", "DCBA", "ADBC"};
    db::Question q;
    q.id = n;
    q.cauhoi = vni(QStringLiteral("Câu số %1: sắp xếp theo thứ tự").arg(n));
    q.a = vni(QStringLiteral("Một %1").arg(n));
    q.b = vni(QStringLiteral("Hai %1").arg(n));
    q.c = vni(QStringLiteral("Ba %1").arg(n));
    q.d = vni(QStringLiteral("Bốn %1").arg(n));
    q.traloi = QString::fromLatin1(orders[(n - 1) % 5]);
    return q;
}

void setRows(testkit::GameHarness &h, int count)
{
    for (const db::Question &q : h.database->questions(db::QuestionTable::Thuthach))
        QVERIFY(h.database->deleteQuestionsWithId(db::QuestionTable::Thuthach, q.id));
    for (int n = 1; n <= count; ++n) {
        db::Question q = row(n);
        QVERIFY(h.database->appendQuestion(db::QuestionTable::Thuthach, q));
    }
}

QualifyingForm *openRound(testkit::GameHarness &h)
{
    QualifyingForm *f = h.app->qualifying();
    f->show();
    return f;
}

void finishIntro(QualifyingForm *f)
{
    for (int i = 0; i < 1000 && testkit::tick(f, QStringLiteral("Timer3")); ++i) {
    }
}

// Runs the draw counter to k from its start at 0 and presses Start.
void startAt(QualifyingForm *f, int k)
{
    finishIntro(f);
    testkit::tick(f, QStringLiteral("Timer1"), k);
    QCOMPARE(f->drawCounter(), QString::number(k));
    testkit::click(testkit::widget(f, QStringLiteral("bdau")));
}

// A round on `rows` fixture rows, its draw counter run to k and Start pressed.
QualifyingForm *roundStartedAt(testkit::GameHarness &h, int rows, int k)
{
    setRows(h, rows);
    QualifyingForm *f = openRound(h);
    startAt(f, k);
    return f;
}

bool visible(QObject *root, const char *name)
{
    return testkit::widget(root, QString::fromLatin1(name))->isVisible();
}

QString shown(QObject *root, const char *name)
{
    return child<QLabel>(root, QString::fromLatin1(name))->text();
}
} // namespace

class QualifyingTest : public QObject {
    Q_OBJECT
private slots:
    void introTypesOutThenShowsInstructions();
    void drawCounterCyclesAndFlickersTheLamp();
    void startDrawsTheRowAfterTheCounter_data();
    void startDrawsTheRowAfterTheCounter();
    void counterOutsideTheTableIsClamped();
    void passByClickingTheAnswersInOrder();
    void aNearMissFailsWithNoSecondTry_data();
    void aNearMissFailsWithNoSecondTry();
    void typedLettersAreUpperCasedAndEnterSubmits();
    void answerClickedBeforeStartStaysUsed();
    void countdownWarnsAtTenAndStopsAtZero();
    void roundWithoutQuestionsOffersOnlyExit_data();
    void roundWithoutQuestionsOffersOnlyExit();
    void questionsGoneByStartOfferOnlyExit();
    void aDrawnRowWithoutAnAnswerGivesWayToTheNextOne_data();
    void aDrawnRowWithoutAnAnswerGivesWayToTheNextOne();
    void continueOpensTheHotSeat();
    void closingTheWindowEndsTheProgram();
};

void QualifyingTest::introTypesOutThenShowsInstructions()
{
    testkit::GameHarness h;
    setRows(h, 4);
    QualifyingForm *f = openRound(h);
    const int len = int(kIntro.size());

    testkit::tick(f, QStringLiteral("Timer3"));
    QCOMPARE(caption(f, QStringLiteral("Label7")), QStringLiteral("X _"));
    testkit::tick(f, QStringLiteral("Timer3"), 4);
    QCOMPARE(caption(f, QStringLiteral("Label7")), QStringLiteral("Xin t _"));

    // The cursor stays behind the whole text for 20 ticks; Start is not offered yet.
    testkit::tick(f, QStringLiteral("Timer3"), len + 19 - 5);
    QCOMPARE(caption(f, QStringLiteral("Label7")), kIntro + QStringLiteral(" _"));
    QVERIFY(visible(f, "Picture3"));
    QVERIFY(!visible(f, "bdau"));
    QVERIFY(!visible(f, "Label4"));

    QVERIFY(testkit::tick(f, QStringLiteral("Timer3")));
    QCOMPARE(f->introCount(), len + 20);
    QCOMPARE(caption(f, QStringLiteral("Label7")), kIntro);
    QVERIFY(!testkit::tick(f, QStringLiteral("Timer3")));
    QVERIFY(!visible(f, "Picture3"));
    QVERIFY(!visible(f, "Label3"));
    QVERIFY(visible(f, "Label4"));
    QCOMPARE(caption(f, QStringLiteral("Label4")), QStringLiteral("Hæåïng Dáùn"));
    QCOMPARE(caption(f, QStringLiteral("cauhoi")), kInstructions);
    QCOMPARE(shown(f, "cauhoi").left(10), QStringLiteral("Bạn có 20 "));
    QVERIFY(visible(f, "Shape1(2)"));
    auto *bdau = child<LegacyLabel>(f, QStringLiteral("bdau"));
    QVERIFY(bdau->isVisible() && bdau->isEnabled());
    QCOMPARE(bdau->caption(), kStart);
    QCOMPARE(bdau->text(), QStringLiteral("Bắt đầu"));
    QVERIFY(!f->withoutQuestions());
}

void QualifyingTest::drawCounterCyclesAndFlickersTheLamp()
{
    testkit::GameHarness h;
    setRows(h, 4);
    QualifyingForm *f = openRound(h);
    QCOMPARE(f->lastQuestionId(), QStringLiteral("4"));

    // 1 .. last id - 1, then round again: the first row (counter 0) never comes up.
    QStringList seen;
    for (int i = 0; i < 7; ++i) {
        testkit::tick(f, QStringLiteral("Timer1"));
        seen << f->drawCounter();
    }
    QCOMPARE(seen, QStringList({"1", "2", "3", "1", "2", "3", "1"}));

    // Three draws per tick, red, green, blue, scaled to 0..255 and rounded.
    h.s.randoms = {0.0, 0.5, 0.999};
    testkit::tick(f, QStringLiteral("Timer1"));
    QCOMPARE(child<ShapeBox>(f, QStringLiteral("Shape1(2)"))->fillColor(), QColor(0, 128, 255));
    QVERIFY(h.s.randoms.empty());
}

void QualifyingTest::startDrawsTheRowAfterTheCounter_data()
{
    QTest::addColumn<int>("k");
    QTest::newRow("first count") << 1;
    QTest::newRow("middle") << 2;
    QTest::newRow("last row") << 4;
}

void QualifyingTest::startDrawsTheRowAfterTheCounter()
{
    QFETCH(int, k);
    testkit::GameHarness h;
    QualifyingForm *f = roundStartedAt(h, 5, k);

    const db::Question q = row(k + 1);
    QCOMPARE(caption(f, QStringLiteral("cauhoi")), q.cauhoi);
    QCOMPARE(shown(f, "cauhoi"), QStringLiteral("Câu số %1: sắp xếp theo thứ tự").arg(k + 1));
    QCOMPARE(caption(f, QStringLiteral("caua")), q.a);
    QCOMPARE(caption(f, QStringLiteral("caud")), q.d);
    QCOMPARE(shown(f, "caud"), QStringLiteral("Bốn %1").arg(k + 1));
    QCOMPARE(f->correctAnswer(), q.traloi);

    // The round is running.
    QCOMPARE(caption(f, QStringLiteral("bdau")), kExit);
    QCOMPARE(caption(f, QStringLiteral("Label4")), QStringLiteral("Cáu hoíi:"));
    QVERIFY(visible(f, "Label4"));
    QVERIFY(child<QPushButton>(f, QStringLiteral("Command1"))->isEnabled());
    auto *text1 = child<QLineEdit>(f, QStringLiteral("Text1"));
    QVERIFY(text1->text().isEmpty());
    QVERIFY(!text1->isReadOnly());
    QVERIFY(f->findChild<LegacyTimer *>(QStringLiteral("Timer2"))->isEnabled());
    for (const char *s : {"Shape2(0)", "Shape2(2)", "Shape2(3)", "Shape2(4)", "Shape1(1)"})
        QVERIFY2(child<ShapeBox>(f, QString::fromLatin1(s))->isOpaque(), s);
}

void QualifyingTest::counterOutsideTheTableIsClamped()
{
    {
        // Rows removed after the form read the last id: the last row left is drawn.
        testkit::GameHarness h;
        setRows(h, 5);
        QualifyingForm *f = openRound(h);
        finishIntro(f);
        testkit::tick(f, QStringLiteral("Timer1"), 4);
        QVERIFY(h.database->deleteQuestionsWithId(db::QuestionTable::Thuthach, 5));
        QVERIFY(h.database->deleteQuestionsWithId(db::QuestionTable::Thuthach, 4));
        testkit::click(testkit::widget(f, QStringLiteral("bdau")));
        QCOMPARE(caption(f, QStringLiteral("cauhoi")), row(3).cauhoi);
        QCOMPARE(f->correctAnswer(), row(3).traloi);
    }
    {
        // Start before the counter moved: still not the first row.
        testkit::GameHarness h;
        setRows(h, 3);
        QualifyingForm *f = openRound(h);
        finishIntro(f);
        testkit::click(testkit::widget(f, QStringLiteral("bdau")));
        QCOMPARE(caption(f, QStringLiteral("cauhoi")), row(2).cauhoi);
    }
}

void QualifyingTest::passByClickingTheAnswersInOrder()
{
    testkit::GameHarness h;
    QualifyingForm *f = roundStartedAt(h, 4, 1); // row 2, "BDAC"

    for (const char *name : {"caub", "caud", "caua", "cauc"})
        testkit::click(testkit::widget(f, QString::fromLatin1(name)));
    QCOMPARE(child<QLineEdit>(f, QStringLiteral("Text1"))->text(), QStringLiteral("BDAC"));
    for (const char *name : {"caua", "caub", "cauc", "caud"})
        QVERIFY2(!testkit::widget(f, QString::fromLatin1(name))->isEnabled(), name);
    for (const char *s : {"Shape2(0)", "Shape2(2)", "Shape2(3)", "Shape2(4)"})
        QCOMPARE(child<ShapeBox>(f, QString::fromLatin1(s))->fillColor(), QColor(0, 0, 128));

    testkit::click(testkit::widget(f, QStringLiteral("Command1")));
    QCOMPARE(caption(f, QStringLiteral("bdau")), kContinue);
    QCOMPARE(caption(f, QStringLiteral("cauhoi")),
             QStringLiteral("Xin chuùc möøng baïn ñaõ vöôït qua voøng thöû thaùch..."));
    QCOMPARE(h.s.effects.played, QStringList({QStringLiteral("Media\\dung.wav")}));
    QVERIFY(!testkit::widget(f, QStringLiteral("Command1"))->isEnabled());
    QVERIFY(!visible(f, "Label4"));
    QVERIFY(!testkit::tick(f, QStringLiteral("Timer1")));
    QVERIFY(!testkit::tick(f, QStringLiteral("Timer2")));
    QCOMPARE(h.s.endCount, 0);
}

void QualifyingTest::aNearMissFailsWithNoSecondTry_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("enter"); // submitted with Enter, else with the button
    QTest::newRow("right letters in another order") << "ABCD" << false;
    QTest::newRow("a blank after them") << "bdac " << true; // the comparison is exact
}

void QualifyingTest::aNearMissFailsWithNoSecondTry()
{
    QFETCH(QString, typed);
    QFETCH(bool, enter);
    testkit::GameHarness h;
    QualifyingForm *f = roundStartedAt(h, 4, 1); // "BDAC"
    auto *text1 = child<QLineEdit>(f, QStringLiteral("Text1"));
    testkit::type(text1, typed);
    if (enter)
        testkit::pressKey(text1, Qt::Key_Enter);
    else
        testkit::click(testkit::widget(f, QStringLiteral("Command1")));
    QCOMPARE(caption(f, QStringLiteral("bdau")), kExit);
    QCOMPARE(caption(f, QStringLiteral("cauhoi")), QStringLiteral("Raá tieác caâu traû lôøi ñuùng laø BDAC"));
    QCOMPARE(h.s.effects.played, QStringList({QStringLiteral("Media\\sai.wav")}));
    QVERIFY(!testkit::widget(f, QStringLiteral("Command1"))->isEnabled());

    // No second try: the only way on is out.
    QCOMPARE(h.s.endCount, 0);
    testkit::click(testkit::widget(f, QStringLiteral("bdau")));
    QCOMPARE(h.s.endCount, 1);
}

void QualifyingTest::typedLettersAreUpperCasedAndEnterSubmits()
{
    testkit::GameHarness h;
    QualifyingForm *f = roundStartedAt(h, 4, 1); // "BDAC"
    auto *text1 = child<QLineEdit>(f, QStringLiteral("Text1"));
    testkit::type(text1, QStringLiteral("bdc"));
    QCOMPARE(text1->text(), QStringLiteral("BDC"));
    // Typing in the middle keeps the cursor where the letter went.
    text1->setCursorPosition(2);
    testkit::type(text1, QStringLiteral("a"));
    QCOMPARE(text1->text(), QStringLiteral("BDAC"));
    QCOMPARE(text1->cursorPosition(), 3);

    testkit::pressKey(text1, Qt::Key_Return);
    QCOMPARE(caption(f, QStringLiteral("bdau")), kContinue);
    QCOMPARE(h.s.effects.played, QStringList({QStringLiteral("Media\\dung.wav")}));
    // A second Enter does not judge again.
    testkit::pressKey(text1, Qt::Key_Return);
    QCOMPARE(h.s.effects.played.size(), 1);
}

void QualifyingTest::answerClickedBeforeStartStaysUsed()
{
    testkit::GameHarness h;
    setRows(h, 4);
    QualifyingForm *f = openRound(h);
    finishIntro(f);
    testkit::tick(f, QStringLiteral("Timer1"), 2); // row 3, "CABD"

    auto *text1 = child<QLineEdit>(f, QStringLiteral("Text1"));
    QVERIFY(text1->isReadOnly());
    testkit::click(testkit::widget(f, QStringLiteral("caua")));
    QCOMPARE(text1->text(), QStringLiteral("TextboxA"));
    QVERIFY(!testkit::widget(f, QStringLiteral("caua"))->isEnabled());

    testkit::click(testkit::widget(f, QStringLiteral("bdau")));
    QCOMPARE(text1->text(), QString());
    QVERIFY(!testkit::widget(f, QStringLiteral("caua"))->isEnabled());
    QCOMPARE(child<ShapeBox>(f, QStringLiteral("Shape2(2)"))->fillColor(), QColor(0, 0, 128));

    // The used label no longer answers; the letter can still be typed.
    testkit::click(testkit::widget(f, QStringLiteral("cauc")));
    testkit::click(testkit::widget(f, QStringLiteral("caua")));
    QCOMPARE(text1->text(), QStringLiteral("C"));
    text1->end(false);
    testkit::type(text1, QStringLiteral("a"));
    testkit::click(testkit::widget(f, QStringLiteral("caub")));
    testkit::click(testkit::widget(f, QStringLiteral("caud")));
    QCOMPARE(text1->text(), QStringLiteral("CABD"));
    testkit::click(testkit::widget(f, QStringLiteral("Command1")));
    QCOMPARE(caption(f, QStringLiteral("bdau")), kContinue);
}

void QualifyingTest::countdownWarnsAtTenAndStopsAtZero()
{
    testkit::GameHarness h;
    setRows(h, 4);
    QualifyingForm *f = openRound(h);
    QVERIFY(!testkit::tick(f, QStringLiteral("Timer2"))); // not before Start
    startAt(f, 1);

    testkit::tick(f, QStringLiteral("Timer2"), 9);
    QCOMPARE(caption(f, QStringLiteral("Label5")), QStringLiteral("11"));
    QVERIFY(!visible(f, "Label6"));
    QVERIFY(!visible(f, "Shape4"));

    testkit::tick(f, QStringLiteral("Timer2"));
    QCOMPARE(caption(f, QStringLiteral("Label5")), QStringLiteral("10"));
    QCOMPARE(caption(f, QStringLiteral("Label6")), QStringLiteral("10"));
    QVERIFY(visible(f, "Label6"));
    QVERIFY(visible(f, "Shape4"));
    QVERIFY(testkit::widget(f, QStringLiteral("Command1"))->isEnabled());

    QVERIFY(testkit::tick(f, QStringLiteral("Timer2"), 10));
    QCOMPARE(caption(f, QStringLiteral("Label5")), QStringLiteral("0"));
    QCOMPARE(caption(f, QStringLiteral("Label6")), QStringLiteral("0"));
    QVERIFY(!testkit::tick(f, QStringLiteral("Timer2")));
    QVERIFY(!testkit::widget(f, QStringLiteral("Command1"))->isEnabled());

    // Too late: the right answer and Enter change nothing; only Exit is left.
    auto *text1 = child<QLineEdit>(f, QStringLiteral("Text1"));
    testkit::type(text1, QStringLiteral("BDAC"));
    testkit::pressKey(text1, Qt::Key_Return);
    QVERIFY(h.s.effects.played.isEmpty());
    QCOMPARE(caption(f, QStringLiteral("bdau")), kExit);
    testkit::click(testkit::widget(f, QStringLiteral("bdau")));
    QCOMPARE(h.s.endCount, 1);
}

void QualifyingTest::roundWithoutQuestionsOffersOnlyExit_data()
{
    QTest::addColumn<int>("rows");
    QTest::newRow("empty table") << 0;
    QTest::newRow("only the first row") << 1;
}

void QualifyingTest::roundWithoutQuestionsOffersOnlyExit()
{
    QFETCH(int, rows);
    testkit::GameHarness h;
    setRows(h, rows);
    QualifyingForm *f = openRound(h);
    testkit::tick(f, QStringLiteral("Timer1"), 5);
    finishIntro(f);

    QVERIFY(f->withoutQuestions());
    QVERIFY(shown(f, "cauhoi").contains(QStringLiteral("chưa có đủ câu hỏi")));
    auto *bdau = child<LegacyLabel>(f, QStringLiteral("bdau"));
    QVERIFY(bdau->isVisible() && bdau->isEnabled());
    QCOMPARE(bdau->caption(), kExit);
    QVERIFY(!testkit::widget(f, QStringLiteral("Command1"))->isEnabled());
    QVERIFY(child<QLineEdit>(f, QStringLiteral("Text1"))->isReadOnly());
    QVERIFY(!testkit::widget(f, QStringLiteral("caua"))->isEnabled());
    QVERIFY(!testkit::tick(f, QStringLiteral("Timer1")));

    testkit::click(bdau);
    QCOMPARE(h.s.endCount, 1);
    QVERIFY(h.s.effects.played.isEmpty());
}

void QualifyingTest::aDrawnRowWithoutAnAnswerGivesWayToTheNextOne_data()
{
    QTest::addColumn<int>("counter");
    QTest::addColumn<int>("shownRow");
    QTest::newRow("the next row") << 2 << 4;    // row 3 has no answer
    QTest::newRow("round to the second") << 4 << 2; // row 5 has none, nor has row 1
}

void QualifyingTest::aDrawnRowWithoutAnAnswerGivesWayToTheNextOne()
{
    QFETCH(int, counter);
    QFETCH(int, shownRow);
    testkit::GameHarness h;
    setRows(h, 0);
    for (int n = 1; n <= 5; ++n) {
        db::Question q = row(n);
        if (n == 1 || n == 3 || n == 5)
            q.traloi = QLatin1String("");
        QVERIFY(h.database->appendQuestion(db::QuestionTable::Thuthach, q));
    }
    QualifyingForm *f = openRound(h);
    startAt(f, counter);
    QVERIFY(!f->withoutQuestions());
    QCOMPARE(caption(f, QStringLiteral("cauhoi")), row(shownRow).cauhoi);
    QCOMPARE(caption(f, QStringLiteral("bdau")), kExit);
    QVERIFY(testkit::widget(f, QStringLiteral("Command1"))->isEnabled());
}

void QualifyingTest::questionsGoneByStartOfferOnlyExit()
{
    {
        // The table emptied after the instructions appeared.
        testkit::GameHarness h;
        setRows(h, 3);
        QualifyingForm *f = openRound(h);
        finishIntro(f);
        testkit::tick(f, QStringLiteral("Timer1"));
        setRows(h, 0);
        testkit::click(testkit::widget(f, QStringLiteral("bdau")));
        QVERIFY(f->withoutQuestions());
        QCOMPARE(caption(f, QStringLiteral("bdau")), kExit);
        QVERIFY(!testkit::widget(f, QStringLiteral("Command1"))->isEnabled());
        QVERIFY(!testkit::tick(f, QStringLiteral("Timer2")));
    }
    {
        // A drawn row without a stored answer cannot be judged: no round on the
        // leftover answer string.
        testkit::GameHarness h;
        setRows(h, 0);
        for (int n = 1; n <= 2; ++n) {
            db::Question q = row(n);
            q.traloi = QString();
            QVERIFY(h.database->appendQuestion(db::QuestionTable::Thuthach, q));
        }
        QualifyingForm *f = openRound(h);
        startAt(f, 1);
        QVERIFY(f->withoutQuestions());
        QCOMPARE(caption(f, QStringLiteral("bdau")), kExit);
        auto *text1 = child<QLineEdit>(f, QStringLiteral("Text1"));
        QVERIFY(text1->isReadOnly());
        testkit::pressKey(text1, Qt::Key_Return);
        QVERIFY(h.s.effects.played.isEmpty());
    }
}

void QualifyingTest::continueOpensTheHotSeat()
{
    testkit::GameHarness h;
    setRows(h, 4);
    h.addAccount(QStringLiteral("minh"), QStringLiteral("pw"));
    h.login(QStringLiteral("minh"), QStringLiteral("pw"));
    QualifyingForm *f = openRound(h);
    startAt(f, 3); // row 4, "DCBA"
    auto *text1 = child<QLineEdit>(f, QStringLiteral("Text1"));
    testkit::type(text1, QStringLiteral("dcba"));
    testkit::pressKey(text1, Qt::Key_Return);
    QCOMPARE(caption(f, QStringLiteral("bdau")), kContinue);

    h.app->login()->show();
    testkit::click(testkit::widget(f, QStringLiteral("bdau")));
    QVERIFY(h.app->hasHotseat());
    QVERIFY(h.app->hotseat()->isVisible());
    QVERIFY(!f->isVisible());
    QVERIFY(!h.app->login()->isVisible());
    QCOMPARE(h.s.endCount, 0);
}

void QualifyingTest::closingTheWindowEndsTheProgram()
{
    testkit::GameHarness h;
    QualifyingForm *f = roundStartedAt(h, 4, 2);
    QVERIFY(f->close());
    QCOMPARE(h.s.endCount, 1);
    QVERIFY(h.s.effects.played.isEmpty());
}

QTEST_MAIN(QualifyingTest)
#include "test_qualifying.moc"
