// The hidden options panel and the top-five board, opened and used as a player
// does: unlocks, the code display, apply and close, lock everything again, and the
// board's ranking by the money stored as text.

#include "hotseatfixture.h"

#include "pgserver.h"

#include <QApplication>
#include <utility>
#include <QCheckBox>

using namespace hs;

namespace {
QCheckBox *box(HotSeatForm *f, const char *name)
{
    return testkit::child<QCheckBox>(f, QString::fromLatin1(name));
}

void activate(HotSeatForm *f)
{
    QEvent e(QEvent::WindowActivate);
    QApplication::sendEvent(f, &e);
}

QStringList column(HotSeatForm *f, const char *name)
{
    QStringList out;
    for (int i = 0; i < 5; ++i)
        out << cap(f, QStringLiteral("%1(%2)").arg(QString::fromLatin1(name)).arg(i));
    return out;
}
} // namespace

class HotSeatOptionsTest : public QObject {
    Q_OBJECT
private slots:
    void codeSwitchUnlocksFromAMillionBroughtIn();
    void codeDisplayFollowsItsSwitchAndEveryChange();
    void applyShowsOrHidesTheStage();
    void lockingEverythingHoldsTheBoxesUntilTheNextOpening();
    void topFiveRanksByTheMoneyStoredAsText();
    void topFiveWithFewAccountsAndOddMoney();
    void aPupilsPanelShowsTheTeachersSwitches();
};

void HotSeatOptionsTest::codeSwitchUnlocksFromAMillionBroughtIn()
{
    for (const auto &[money, unlocked] : {std::pair{"1000999", false}, std::pair{"1001000", true}}) {
        testkit::GameHarness h;
        Player p;
        p.money = QString::fromLatin1(money); // less the fee: 999999 and 1000000
        HotSeatForm *f = enter(h, p);
        testkit::click(label(f, "Label20a"));
        QVERIFY(shown(f, "Picture6"));
        QCOMPARE(f->unlockFlag(4), unlocked ? QStringLiteral("1") : QStringLiteral("0"));
        QCOMPARE(box(f, "Check4")->isEnabled(), unlocked);
        QVERIFY(!box(f, "Check31")->isEnabled() && !box(f, "Check2")->isEnabled());
        QVERIFY(box(f, "Check1")->isEnabled()); // ticked: the fixture skips the qualifying round
    }
}

void HotSeatOptionsTest::codeDisplayFollowsItsSwitchAndEveryChange()
{
    testkit::GameHarness h;
    Player p;
    p.lock.hiencode1 = QStringLiteral("1");
    HotSeatForm *f = enter(h, p);
    testkit::click(label(f, "Label20"));
    QVERIFY(!shown(f, "Picture8"));
    testkit::click(box(f, "Check4"));
    QVERIFY(shown(f, "Picture8"));
    QCOMPARE(cap(f, "Label24(0)"), QStringLiteral("Code: keeper42"));
    testkit::click(box(f, "Check4")); // un-ticked: still shown, as on every change
    QVERIFY(shown(f, "Picture8"));
    testkit::click(label(f, "Image13"));
    QCOMPARE(f->switchValue(4), QStringLiteral("0"));
    testkit::click(label(f, "Label20")); // each opening follows the switch
    QVERIFY(!shown(f, "Picture8"));
    testkit::click(box(f, "Check4"));
    testkit::click(label(f, "Image13"));
    testkit::widget(f, "Picture8")->hide();
    testkit::click(label(f, "Label20")); // l4 = 1: shown before any box is touched
    QVERIFY(shown(f, "Picture8"));
}

void HotSeatOptionsTest::applyShowsOrHidesTheStage()
{
    testkit::GameHarness h;
    Player p;
    p.lock.hienten = QStringLiteral("1");
    p.lock.hienten1 = QStringLiteral("1");
    HotSeatForm *f = enter(h, p);
    for (const bool on : {true, false, true}) {
        QCOMPARE(f->switchValue(1), on ? QStringLiteral("1") : QStringLiteral("0"));
        QCOMPARE(usable(f, "Label9"), on);
        QCOMPARE(shown(f, "cd1") && shown(f, "cd2"), on);
        for (int i = 0; i < 14; ++i)
            QCOMPARE(shown(f, QStringLiteral("met(%1)").arg(i)), on);
        testkit::click(label(f, "Label20"));
        testkit::click(box(f, "Check31"));
        testkit::click(label(f, "Image13"));
        QVERIFY(!shown(f, "Picture6"));
    }
}

void HotSeatOptionsTest::lockingEverythingHoldsTheBoxesUntilTheNextOpening()
{
    testkit::GameHarness h;
    Player p;
    p.lock.hienten = QStringLiteral("1");
    p.lock.hienten1 = QStringLiteral("1");
    p.lock.thuthach1 = QStringLiteral("1");
    p.lock.hiencode = QStringLiteral("1");
    HotSeatForm *f = enter(h, p);
    testkit::click(label(f, "Label20"));
    testkit::widget(f, "Picture8")->hide();
    testkit::click(label(f, "Label26"));
    for (int n = 1; n <= 4; ++n)
        QVERIFY(f->switchValue(n) == QLatin1String("0") && f->unlockFlag(n) == QLatin1String("0"));
    for (const char *name : {"Check31", "Check4", "Check2", "Check1"})
        QVERIFY(!box(f, name)->isChecked());
    QVERIFY(shown(f, "Picture8")); // clearing the ticked code box shows the code
    QVERIFY(shown(f, "Picture6") && !shown(f, "Label26"));
    QVERIFY(box(f, "Check31")->isEnabled() && box(f, "Check1")->isEnabled() && !box(f, "Check2")->isEnabled());

    testkit::click(label(f, "Image13"));
    testkit::click(label(f, "Label20"));
    for (const char *name : {"Check31", "Check4", "Check2", "Check1"})
        QVERIFY(!box(f, name)->isEnabled());
    QVERIFY(!shown(f, "Label26")); // once per run
}

void HotSeatOptionsTest::topFiveRanksByTheMoneyStoredAsText()
{
    testkit::GameHarness h;
    fillLevels(*h.database, 30, 30, 30);
    Player p;
    p.money = QStringLiteral("1005"); // 5 once the fee is paid
    p.lock.hienten = QStringLiteral("1");
    const char *others[][2] = {{"b", "100"}, {"c", "300"}, {"d", "1200"}, {"e", "18000"}, {"f", "1000000"}};
    for (const auto &[nick, money] : others)
        h.addAccount(QString::fromLatin1(nick), QStringLiteral("pw"), QString::fromLatin1(money));
    HotSeatForm *f = enter(h, p);
    activate(f);
    QVERIFY(!shown(f, "Picture2"));
    testkit::click(label(f, "Label9"));
    QVERIFY(shown(f, "Picture2"));
    QCOMPARE(column(f, "tien1"), QStringList({"1000000", "18000", "1200", "300", "100"}));
    QCOMPARE(column(f, "num1"), QStringList({"f", "e", "d", "c", "b"}));
    QCOMPARE(label(f, "tien1(0)")->text(), QStringLiteral("1000000")); // shown as stored

    firstQuestion(f);
    testkit::click(label(f, "tp"));
    QCOMPARE(cap(f, "Label32"), f->dapandung());
    testkit::click(label(f, "Image9"));
    QVERIFY(!shown(f, "Picture2"));
}

void HotSeatOptionsTest::topFiveWithFewAccountsAndOddMoney()
{
    testkit::GameHarness h;
    Player p; // 1200 once the fee is paid
    p.lock.hienten = QStringLiteral("1");
    h.addAccount(QStringLiteral("owes"), QStringLiteral("pw"), QStringLiteral("-50"));
    h.addAccount(QStringLiteral("odd"), QStringLiteral("pw"), QStringLiteral("n/a"));
    HotSeatForm *f = enter(h, p);
    activate(f);
    QCOMPARE(column(f, "num1"), QStringList({"an", "odd", "owes", "", ""}));
    QCOMPARE(column(f, "tien1"), QStringList({"1200", "n/a", "-50", "", ""}));
    QCOMPARE(label(f, "tien1(1)")->text(), QStringLiteral("n/a")); // shown as stored

    // Accounts made while the game runs show at the next activation; of equal
    // money the later one comes first.
    h.addAccount(QStringLiteral("late"), QStringLiteral("pw"), QStringLiteral("1200"));
    QCOMPARE(cap(f, "num1(1)"), QStringLiteral("odd"));
    activate(f);
    QCOMPARE(column(f, "num1"), QStringList({"late", "an", "odd", "owes", ""}));
}

void HotSeatOptionsTest::aPupilsPanelShowsTheTeachersSwitches()
{
    if (!testkit::onServer())
        QSKIP("a pupil's role is a class server's");
    testkit::GameHarness h;
    testkit::PgServer *server = testkit::testServer();
    if (server->value(QStringLiteral("postgres"), QStringLiteral("SELECT count(*) FROM pg_roles WHERE rolname = 'pupil1'"))
        == QLatin1String("0"))
        QVERIFY(server->exec(QStringLiteral("postgres"), {QStringLiteral("CREATE ROLE pupil1 LOGIN"),
                                                          QStringLiteral("GRANT lontaris_pupil TO pupil1")}));
    h.addAccount(QStringLiteral("an"), QStringLiteral("pw"), QStringLiteral("2200"), QStringLiteral("3"));
    db::LockRow lock; // the top five shown, the right answer unlocked but off
    lock.thuthach = lock.hienten = lock.hienten1 = lock.hien191 = QStringLiteral("1");
    QVERIFY(h.database->writeLock(lock));

    // The same game on the pupil's machine.
    auto pupil = testkit::openDatabase(h.folder, QString(h.location).replace(QLatin1String("//postgres@"),
                                                                             QLatin1String("//pupil1@")));
    QVERIFY(pupil && !pupil->mayEditBank());
    h.app.reset();
    const auto teacher = std::exchange(h.database, std::move(pupil));
    h.app = std::make_unique<GameApp>(h.s.make(h.folder.path(), h.database.get()));
    h.login(QStringLiteral("an"), QStringLiteral("pw"));
    BriefingForm *b = h.app->briefing();
    testkit::click(testkit::widget(b, QStringLiteral("Check1")));
    testkit::click(testkit::widget(b, QStringLiteral("Command2")));
    QVERIFY(h.app->hasHotseat());
    HotSeatForm *f = h.app->hotseat();
    freeze(f);

    testkit::click(label(f, "Label20a"));
    QVERIFY(shown(f, "Picture6") && shown(f, "teacherNote") && !shown(f, "Label26"));
    QCOMPARE(vn::display(cap(f, "teacherNote"), vn::Encoding::Vni),
             QStringLiteral("Các lựa chọn này do giáo viên đặt trên máy chủ."));
    QVERIFY(box(f, "Check31")->isChecked() && !box(f, "Check2")->isChecked());
    for (const char *name : {"Check31", "Check4", "Check2", "Check1"}) {
        QVERIFY(!box(f, name)->isEnabled());
        testkit::click(box(f, name));
    }
    testkit::click(label(f, "Image13"));
    QCOMPARE(f->switchValue(1), QStringLiteral("1"));
    QCOMPARE(f->switchValue(2), QStringLiteral("0"));
    QVERIFY(usable(f, "Label9")); // the top five stays on
}

QTEST_MAIN(HotSeatOptionsTest)
#include "test_options.moc"
