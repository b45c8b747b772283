// The hot seat's stage: the opening that unlocks Start, picking and withdrawing an
// answer, and the second button whose caption decides what a click does.

#include "hotseatfixture.h"

using namespace hs;

namespace {
const QColor kDarkRed(128, 0, 0);
const QColor kGreen(0, 255, 0);
} // namespace

class HotSeatStageTest : public QObject {
    Q_OBJECT
private slots:
    void openingIntroducesTheRulesThenUnlocksStart();
    void ladderSweepsDuringTheOpening();
    void pickAsksAndNoWithdraws();
    void rightAnswerWaitsForTheNextQuestion();
    void declineCaptionsAreToldApartExactly();
    void fiftyFiftyHidesAndShowsTheSameTwo();
    void autoContinueWithIntervalZeroNeverFires();
};

void HotSeatStageTest::openingIntroducesTheRulesThenUnlocksStart()
{
    testkit::GameHarness h;
    HotSeatForm *f = enter(h);
    const QString lines[8] = {
        QStringLiteral("Chaìo mæìng baûn tham gia troì chåi"),       QStringLiteral("Coï táút caí 15 cáu hoíi cáön væåüt qua"),
        QStringLiteral("Våïi 3 mæïc quan troüng 5, 10 ,15..."),      QStringLiteral("...vaì 3 sæû tråü giuïp häø tråü ngæåìi chåi"),
        QStringLiteral("Goüi âiãûn thoaûi cho ngæåìi thán"),          QStringLiteral("50:50 loaûi boí 2 cáu sai"),
        QStringLiteral("Nhåì sæû tråü giuïp cuía khaïn giaí"),        QStringLiteral("Troì chåi bàõt âáöu")};
    // Which lifeline is lit green at each step (Label5, chon50, Label13).
    const char *lit[8] = {nullptr, nullptr, nullptr, nullptr, "Label5", "chon50", "Label13", nullptr};
    QVERIFY(!shown(f, "lock113")); // no answers before the first Start
    for (int step = 0; step < 8; ++step) {
        QVERIFY(!usable(f, "strart"));
        QVERIFY(!usable(f, "stop113"));
        testkit::tick(f, "Timer12");
        QCOMPARE(cap(f, "Label17"), lines[step]);
        for (const char *life : {"Label5", "chon50", "Label13"})
            QCOMPARE(label(f, life)->foreColor(), lit[step] && !qstrcmp(lit[step], life) ? kGreen : kDarkRed);
        QCOMPARE(f->findChild<LegacyTimer *>("Timer11")->isEnabled(), step >= 1 && step < 7);
    }
    QVERIFY(usable(f, "strart"));
    QVERIFY(usable(f, "stop113"));
    QCOMPARE(f->liTop(), 4620);
    testkit::tick(f, "Timer12", 3); // idle from here on
    QCOMPARE(cap(f, "Label17"), lines[7]);
    QCOMPARE(f->introStep(), 11);
    testkit::click(label(f, "strart"));
    QVERIFY(usable(f, "lock113"));
}

void HotSeatStageTest::ladderSweepsDuringTheOpening()
{
    testkit::GameHarness h;
    HotSeatForm *f = enter(h);
    testkit::tick(f, "Timer12", 2);
    auto *sweep = f->findChild<LegacyTimer *>("Timer11");
    testkit::tick(f, "Timer11", 14);
    QCOMPARE(f->liTop(), 120);
    QCOMPARE(f->sweepStep(), QStringLiteral("300"));
    testkit::tick(f, "Timer11", 15);
    QCOMPARE(f->liTop(), 4620);
    QCOMPARE(sweep->legacyInterval(), 500);
    testkit::tick(f, "Timer11", 3);
    QCOMPARE(f->liTop(), 120);
    testkit::tick(f, "Timer11");
    QCOMPARE(f->liTop(), 420);
    testkit::tick(f, "Timer12", 6);
    QVERIFY(!sweep->isEnabled());
    QCOMPARE(f->liTop(), 4620);
}

void HotSeatStageTest::pickAsksAndNoWithdraws()
{
    testkit::GameHarness h;
    HotSeatForm *f = onFirstQuestion(h);
    QCOMPARE(f->cuaban(), QStringLiteral("?"));

    pick(f, "B");
    QCOMPARE(h.s.effects.played.last(), QStringLiteral("Media\\ding.wav"));
    QCOMPARE(cap(f, "cuaban1"), QStringLiteral("Baûn coï chàõc sæû læûa choün cuía mçnh laì âuïng khäng?"));
    QVERIFY(testkit::child<ShapeBox>(f, "da(2)")->isOpaque()); // B: the top-right box
    QVERIFY(!testkit::child<ShapeBox>(f, "da(1)")->isOpaque());
    QVERIFY(!usable(f, "traloi1"));
    QVERIFY(usable(f, "Label4"));
    QCOMPARE(cap(f, "Label4"), QStringLiteral("Coù"));
    QCOMPARE(cap(f, "stop113"), QStringLiteral("Khoâng"));
    QCOMPARE(f->cuaban(), QStringLiteral("B"));

    testkit::click(label(f, "stop113"));
    QVERIFY(usable(f, "traloi1"));
    for (int i = 0; i < 4; ++i)
        QVERIFY(!testkit::child<ShapeBox>(f, QStringLiteral("da(%1)").arg(i))->isOpaque());
    QCOMPARE(cap(f, "Label4"), QStringLiteral("Tieáp Tuïc"));
    QVERIFY(shown(f, "Label4") && !usable(f, "Label4"));
    QCOMPARE(cap(f, "stop113"), QStringLiteral("Döøng"));
    QCOMPARE(f->cuaban(), QStringLiteral("?"));
    QCOMPARE(cap(f, "cuaban1"), QStringLiteral("Baûn coï chàõc sæû læûa choün cuía mçnh laì âuïng khäng?"));
    QVERIFY(!shown(f, "Label7"));
    QCOMPARE(f->socauhoi(), QStringLiteral("15"));
}

void HotSeatStageTest::rightAnswerWaitsForTheNextQuestion()
{
    testkit::GameHarness h;
    HotSeatForm *f = onFirstQuestion(h);
    const QString right = f->dapandung();
    answerRight(f);
    QCOMPARE(h.s.effects.played.mid(h.s.effects.played.size() - 2),
             QStringList({QStringLiteral("Media\\click.qbs"), QStringLiteral("Media\\dung.wav")}));
    QCOMPARE(cap(f, "cuaban1"), QStringLiteral("Xin chuïc mæìng.Baûn coï muäún tiãúp tuûc khäng?"));
    QCOMPARE(cap(f, "Sotiennhan"), QStringLiteral("100$"));
    QCOMPARE(label(f, "so0")->foreColor(), QColor(192, 192, 192));
    QCOMPARE(f->sotiencoTop(), 4260);
    QCOMPARE(tien(f), QStringLiteral("0$"));
    QVERIFY(!shown(f, "Label4"));
    QVERIFY(!usable(f, "stop113"));
    QVERIFY(shown(f, "trunggian") && !usable(f, "trunggian"));
    QVERIFY(shown(f, "Label7"));
    for (int i = 0; i < 4; ++i) {
        auto *box = testkit::child<ShapeBox>(f, QStringLiteral("da(%1)").arg(i));
        QVERIFY(!box->isOpaque());
        QCOMPARE(box->fillColor(), QColor(0, 0, 255));
    }
    // The right answer flashes until the next question restores the backdrops.
    const char *backdrops[] = {"ac", "bc", "cc", "dc"};
    h.s.randoms = {0.0, 0.0, 0.0};
    QVERIFY(testkit::tick(f, "Timer1"));
    QCOMPARE(label(f, backdrops[indexOf(right)])->backColor(), QColor(0, 0, 0));
    testkit::click(label(f, "trunggian")); // disabled: nothing happens
    QCOMPARE(f->drawCount(), 1);

    QVERIFY(testkit::tick(f, "Timer3"));
    QVERIFY(!f->findChild<LegacyTimer *>("Timer1")->isEnabled());
    QCOMPARE(label(f, backdrops[indexOf(right)])->backColor(), QColor(128, 128, 255));
    QCOMPARE(f->drawCount(), 2);
    QCOMPARE(cap(f, "cuaban1"), QStringLiteral("Baûn tiãúp tuûc våïi cáu säú 2 .Säú tiãön cuía baûn laì:100$"));
    QVERIFY(!shown(f, "trunggian") && !shown(f, "strart") && !shown(f, "Label7"));
    QVERIFY(usable(f, "traloi1") && usable(f, "stop113"));
    QVERIFY(!f->findChild<LegacyTimer *>("Timer3")->isEnabled());
}

void HotSeatStageTest::declineCaptionsAreToldApartExactly()
{
    testkit::GameHarness h;
    HotSeatForm *f = onFirstQuestion(h);
    LegacyLabel *stop = label(f, "stop113");
    LegacyLabel *confirm = label(f, "trunggian");
    const QString fifty = QStringLiteral("Khoâng Söû Duïng");
    const QString phone = QStringLiteral("Ko söû duïng");
    const QString audience = QStringLiteral("Ko söû duïng ");

    struct Case {
        QString caption;
        const char *reenabled;
    };
    for (const Case &c : {Case{fifty, "chon50"}, Case{phone, "Label5"}, Case{audience, "Label13"},
                          Case{QStringLiteral("ko söû duïng"), nullptr}}) {
        // An offer on screen, as a lifeline leaves it.
        for (const char *life : {"chon50", "Label5", "Label13"})
            label(f, life)->setEnabled(false);
        testkit::widget(f, "lock113")->setEnabled(false);
        label(f, "Label4")->setVisible(false);
        label(f, "Label4")->setEnabled(true);
        confirm->setCaption(QStringLiteral("Söû Duïng"));
        confirm->setVisible(true);
        stop->setCaption(c.caption);

        testkit::click(stop);
        QCOMPARE(h.s.effects.played.last(), QStringLiteral("Media\\click.qbs"));
        QVERIFY(!label(f, "Label4")->isEnabled()); // whatever the caption
        for (const char *life : {"chon50", "Label5", "Label13"})
            QCOMPARE(label(f, life)->isEnabled(), c.reenabled && !qstrcmp(c.reenabled, life));
        if (!c.reenabled) { // no such caption: nothing else happens
            QCOMPARE(stop->caption(), c.caption);
            QVERIFY(shown(f, "trunggian"));
            continue;
        }
        QCOMPARE(confirm->caption(), QStringLiteral("Tieáp tuïc"));
        QVERIFY(!shown(f, "trunggian"));
        QCOMPARE(stop->caption(), QStringLiteral("Döøng"));
        QCOMPARE(cap(f, "Label4"), QStringLiteral("Tieáp Tuïc"));
        QVERIFY(shown(f, "Label4"));
        QVERIFY(usable(f, "lock113"));
        QCOMPARE(f->socauhoi(), QStringLiteral("15"));
    }
}

void HotSeatStageTest::fiftyFiftyHidesAndShowsTheSameTwo()
{
    testkit::GameHarness h;
    HotSeatForm *f = onFirstQuestion(h);
    const QString kept[4] = {"14", "24", "23", "14"}; // answers left, by correct letter
    const QString right = f->dapandung();
    f->hideTwoWrongAnswers();
    for (int i = 1; i <= 4; ++i)
        QCOMPARE(shown(f, QStringLiteral("traloi%1").arg(i)), kept[indexOf(right)].contains(QString::number(i)));
    f->showAllAnswers();
    for (int i = 1; i <= 4; ++i)
        QVERIFY(shown(f, QStringLiteral("traloi%1").arg(i)));
}

void HotSeatStageTest::autoContinueWithIntervalZeroNeverFires()
{
    testkit::GameHarness h;
    HotSeatForm *f = onFirstQuestion(h);
    answerRight(f);
    auto *timer3 = f->findChild<LegacyTimer *>("Timer3");
    QVERIFY(timer3->isEnabled());
    QCOMPARE(timer3->legacyInterval(), 7600);
    timer3->setLegacyInterval(0);
    QVERIFY(!timer3->isActive()); // no real timer left running either
    QVERIFY(!testkit::tick(f, "Timer3"));
    QCOMPARE(f->drawCount(), 1);
    QCOMPARE(f->socauhoi(), QStringLiteral("14"));
}

QTEST_MAIN(HotSeatStageTest)
#include "test_stage.moc"
