#include "accountsfixture.h"

#include "accounts/briefingform.h"
#include "accounts/loginform.h"
#include "accounts/recoveryform.h"
#include "accounts/registerfields.h"
#include "accounts/registerform.h"
#include "legacylabel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRegularExpression>
#include <QStyle>

using testkit::caption;
using testkit::child;
using testkit::click;
using namespace acc;

namespace {

const QString kRight = QStringLiteral("Baûn âaî nháûp thäng tin chênh xaïc. Password måïi cuía baûn laì: ");
const QString kWrong = QStringLiteral("Thäng tin chæa âuïng.Vui loìng kiãøm tra laûi...");
const QString kHeading = QStringLiteral("Tçm laûi password âaî máút hay quãn...");
const QString kChange = QStringLiteral("Âäøi Pass");
const QString kContinue = QStringLiteral("Tiãúp tuûc");

db::Account addFullAccount(testkit::GameHarness &h, const QString &nick, const QString &answer = QStringLiteral("đọc sách"))
{
    db::Account a;
    a.nick = nick;
    a.pass = QStringLiteral("old");
    a.ngaysinh = QStringLiteral("3/5/1990");
    a.cauhoibimat = accounts::secretQuestions().at(3);
    a.traloiibimat = answer;
    a.sotien = QStringLiteral("1200");
    h.database->insertAccount(a);
    return a;
}

void tick(RecoveryForm *f, int times = 1)
{
    QVERIFY(testkit::tick(f, QStringLiteral("Timer1"), times));
}

// Ticks until the selector shows `position`, so the next check hands out that code.
void selectorTo(RecoveryForm *f, int position)
{
    for (int i = 0; i < 13 && f->selector() != QString::number(position); ++i)
        tick(f);
    QCOMPARE(f->selector(), QString::number(position));
}

// Makes the store refuse (or accept again) every change to an account.
bool refuseAccountUpdates(testkit::GameHarness &h, bool refuse)
{
    return testkit::refuseWrites(*h.database, QStringLiteral("hoso"), QStringLiteral("UPDATE"), refuse);
}

// A successful recovery up to the verdict; returns the code handed out.
QString recover(RecoveryForm *f, int position)
{
    fill(f, Proof{});
    selectorTo(f, position);
    click(testkit::widget(f, QStringLiteral("Command1")));
    tick(f, 50);
    // A server draws a fresh password of its own.
    return testkit::onServer() ? f->handedOutPassword() : RecoveryForm::handedOutPasswords().at(position);
}

// The password a recovery handed out: the list's on a file; on a server the
// one the server drew.
QString listed(RecoveryForm *f, const char *code)
{
    return testkit::onServer() ? f->handedOutPassword() : QString::fromLatin1(code);
}

} // namespace

class TestRecovery : public QObject {
    Q_OBJECT
private slots:
    void headingIsTypedOutOnce()
    {
        testkit::GameHarness h;
        RecoveryForm *f = openRecovery(h);
        QVERIFY(f->isVisible());
        QCOMPARE(caption(f, QStringLiteral("xem")), QStringLiteral("Quãn password"));
        QCOMPARE(caption(f, QStringLiteral("Label6")), QStringLiteral("Quãn Password"));
        QCOMPARE(f->heading(), kHeading);
        tick(f);
        QCOMPARE(caption(f, QStringLiteral("Label1")), QStringLiteral("T _"));
        tick(f, int(kHeading.size()) - 1);
        QCOMPARE(caption(f, QStringLiteral("Label1")), kHeading + QStringLiteral(" _"));
        tick(f, 19);
        QCOMPARE(caption(f, QStringLiteral("Label1")), kHeading + QStringLiteral(" _"));
        tick(f);
        QCOMPARE(caption(f, QStringLiteral("Label1")), kHeading);
        tick(f, 500);
        QCOMPARE(caption(f, QStringLiteral("Label1")), kHeading);
        // Without a check the progress box stays hidden and nothing is judged.
        QVERIFY(!testkit::widget(f, QStringLiteral("Picture2"))->isVisible());
        QCOMPARE(caption(f, QStringLiteral("xem")), QStringLiteral("Quãn password"));

        // Closing shows the login screen; the next opening types the heading afresh.
        h.app->login()->hide();
        click(testkit::widget(f, QStringLiteral("Picture5")));
        QVERIFY(!f->isVisible());
        QVERIFY(h.app->login()->isVisible());
        click(testkit::widget(h.app->login(), QStringLiteral("Label2")));
        QCOMPARE(f->selector(), QStringLiteral("12"));
        tick(f);
        QCOMPARE(caption(f, QStringLiteral("Label1")), QStringLiteral("T _"));
    }

    void registeredAccountIsRecovered()
    {
        testkit::GameHarness h;
        RegisterForm *r = openPanel(h);
        fill(r, {.nick = QStringLiteral("Hoa"), .p1 = QStringLiteral("first"), .p2 = QStringLiteral("first"),
                 .day = QStringLiteral("5"), .mail = QString(), .question = 3, .answer = QStringLiteral("đọc sách")});
        click(testkit::widget(r, QStringLiteral("Command1")));
        QVERIFY(testkit::widget(r, QStringLiteral("baocao"))->isVisible());
        click(testkit::widget(r, QStringLiteral("Picture5")));
        QCOMPARE(h.database->findAccount(QStringLiteral("Hoa"))->ngaysinh, QStringLiteral("3/5/1990"));
        RecoveryForm *f = openRecovery(h);
        fill(f, Proof{}); // typed as 05 / 03 / 1990
        selectorTo(f, 9);
        click(testkit::widget(f, QStringLiteral("Command1")));
        const QString code = testkit::onServer() ? f->handedOutPassword() : QStringLiteral("BVK7T2NE");
        if (testkit::onServer()) // ten characters without look-alikes, drawn there
            QVERIFY2(QRegularExpression(QStringLiteral("^[a-hjkmnp-z2-9]{10}$")).match(code).hasMatch(), qPrintable(code));

        // Stored at the click, shown only at the end of the check.
        QCOMPARE(testkit::asTyped(h.database->findAccount(QStringLiteral("Hoa"))->pass, code), code);
        QCOMPARE(f->handedOutPassword(), code);
        QCOMPARE(box(f, "thang")->text(), QStringLiteral("5"));
        QCOMPARE(box(f, "ngay")->text(), QStringLiteral("3"));
        QCOMPARE(f->birthDateTyped(), QStringLiteral("3/5/1990"));
        QVERIFY(!testkit::widget(f, QStringLiteral("Picture1"))->isEnabled());
        QVERIFY(testkit::widget(f, QStringLiteral("doi"))->isVisible());
        QVERIFY(testkit::widget(f, QStringLiteral("kt"))->isVisible());
        QVERIFY(testkit::widget(f, QStringLiteral("Picture2"))->isVisible());
        QCOMPARE(caption(f, QStringLiteral("Label3")), QStringLiteral("0"));
        QCOMPARE(caption(f, QStringLiteral("xem")), QString());

        tick(f, 49);
        QCOMPARE(caption(f, QStringLiteral("Label3")), QStringLiteral("98"));
        QCOMPARE(caption(f, QStringLiteral("xem")), QString());
        QVERIFY(testkit::widget(f, QStringLiteral("Command1"))->isVisible());
        QVERIFY(!testkit::widget(f, QStringLiteral("Command2"))->isVisible());
        QCOMPARE(f->barWidthTwips(), 49 * 50);

        tick(f); // the 50th
        QCOMPARE(caption(f, QStringLiteral("xem")), kRight + code);
        QVERIFY(!testkit::widget(f, QStringLiteral("kt"))->isVisible());
        QVERIFY(!testkit::widget(f, QStringLiteral("Picture2"))->isVisible());
        QVERIFY(!testkit::widget(f, QStringLiteral("Command1"))->isVisible());
        QVERIFY(testkit::widget(f, QStringLiteral("Command2"))->isVisible());
        QCOMPARE(caption(f, QStringLiteral("Command2")), kChange);
        QCOMPARE(caption(f, QStringLiteral("Label3")), QStringLiteral("100"));
        tick(f, 60); // the verdict is given once
        QCOMPARE(caption(f, QStringLiteral("xem")), kRight + code);

        // The handed-out code logs in; the old password no longer does.
        h.login(QStringLiteral("Hoa"), QStringLiteral("first"));
        QCOMPARE(h.s.messages.size(), 1);
        h.login(QStringLiteral("Hoa"), code);
        QCOMPARE(h.s.messages.size(), 1);
        QVERIFY(h.app->briefing()->isVisible());
    }

    void wrongInformationIsRefused_data()
    {
        QTest::addColumn<QString>("nick");
        QTest::addColumn<QString>("day");
        QTest::addColumn<int>("question");
        QTest::addColumn<QString>("answer");
        const QString day = QStringLiteral("5");
        const QString answer = QStringLiteral("đọc sách");
        QTest::newRow("nick in other case") << QStringLiteral("hoa") << day << 3 << answer;
        QTest::newRow("empty nick") << QString() << day << 3 << answer;
        QTest::newRow("unknown nick") << QStringLiteral("Hoa2") << day << 3 << answer;
        QTest::newRow("day and month swapped") << QStringLiteral("Hoa") << QStringLiteral("3") << 3 << answer;
        QTest::newRow("day 0") << QStringLiteral("Hoa") << QStringLiteral("0") << 3 << answer;
        QTest::newRow("other question") << QStringLiteral("Hoa") << day << 4 << answer;
        QTest::newRow("no question") << QStringLiteral("Hoa") << day << -1 << answer;
        QTest::newRow("answer in other case") << QStringLiteral("Hoa") << day << 3 << QStringLiteral("Đọc sách");
        QTest::newRow("answer with a blank") << QStringLiteral("Hoa") << day << 3 << QStringLiteral("đọc sách ");
    }

    void wrongInformationIsRefused()
    {
        QFETCH(QString, nick);
        QFETCH(QString, day);
        QFETCH(int, question);
        QFETCH(QString, answer);
        testkit::GameHarness h;
        addFullAccount(h, QStringLiteral("Hoa"));
        RecoveryForm *f = openRecovery(h);
        Proof p;
        p.nick = nick;
        p.day = day;
        p.month = day == QLatin1String("3") ? QStringLiteral("5") : QStringLiteral("3");
        p.question = question;
        p.answer = answer;
        fill(f, p);
        click(testkit::widget(f, QStringLiteral("Command1")));
        QCOMPARE(testkit::asTyped(h.database->findAccount(QStringLiteral("Hoa"))->pass, QStringLiteral("old")), QStringLiteral("old"));
        QVERIFY(testkit::widget(f, QStringLiteral("Picture1"))->isEnabled());
        QVERIFY(!testkit::widget(f, QStringLiteral("doi"))->isVisible());
        tick(f, 49);
        QCOMPARE(caption(f, QStringLiteral("xem")), QString());
        tick(f);
        QCOMPARE(caption(f, QStringLiteral("xem")), kWrong);
        for (const char *n : {"id", "thang", "ngay", "nam", "traloi"})
            QVERIFY2(box(f, n)->text().isEmpty(), n);
        QCOMPARE(child<QComboBox>(f, QStringLiteral("bimat"))->currentIndex(), -1);
        QVERIFY(!testkit::widget(f, QStringLiteral("kt"))->isVisible());
        QVERIFY(testkit::widget(f, QStringLiteral("Command1"))->isVisible());
        QVERIFY(!testkit::widget(f, QStringLiteral("Command2"))->isVisible());
        QCOMPARE(testkit::asTyped(h.database->findAccount(QStringLiteral("Hoa"))->pass, QStringLiteral("old")), QStringLiteral("old"));

        // The right information afterwards, in the same opening, succeeds.
        const QString code = recover(f, 0);
        QCOMPARE(caption(f, QStringLiteral("xem")), kRight + code);
        QCOMPARE(testkit::asTyped(h.database->findAccount(QStringLiteral("Hoa"))->pass, listed(f, "QWRT318")), listed(f, "QWRT318"));
    }

    void enterStartsTheCheck()
    {
        testkit::GameHarness h;
        addFullAccount(h, QStringLiteral("Hoa"));
        RecoveryForm *f = openRecovery(h);
        fill(f, Proof{});
        selectorTo(f, 2);
        testkit::pressKey(box(f, "traloi"), Qt::Key_Return);
        QCOMPARE(caption(f, QStringLiteral("Label3")), QStringLiteral("0"));
        QCOMPARE(testkit::asTyped(h.database->findAccount(QStringLiteral("Hoa"))->pass, listed(f, "HZ915RT")), listed(f, "HZ915RT"));
        tick(f, 50);
        QCOMPARE(caption(f, QStringLiteral("xem")), kRight + listed(f, "HZ915RT"));
        // Once Confirm is gone, Enter checks nothing more.
        testkit::pressKey(box(f, "traloi"), Qt::Key_Enter);
        QCOMPARE(caption(f, QStringLiteral("Label3")), QStringLiteral("100"));
        QCOMPARE(testkit::asTyped(h.database->findAccount(QStringLiteral("Hoa"))->pass, listed(f, "HZ915RT")), listed(f, "HZ915RT"));
    }

    void valuesOfAnEarlierAccountNeverVouch()
    {
        testkit::GameHarness h;
        addFullAccount(h, QStringLiteral("Hoa"));
        h.addAccount(QStringLiteral("Nam"), QStringLiteral("namspass")); // no question or answer, born 3/15/1990
        RecoveryForm *f = openRecovery(h);
        Proof p;
        p.day = QStringLiteral("6"); // wrong: only reads Hoa's question and answer
        fill(f, p);
        click(testkit::widget(f, QStringLiteral("Command1")));
        tick(f, 50);
        QCOMPARE(caption(f, QStringLiteral("xem")), kWrong);
        p.nick = QStringLiteral("Nam");
        p.day = QStringLiteral("15");
        p.month = QStringLiteral("3");
        fill(f, p);
        click(testkit::widget(f, QStringLiteral("Command1")));
        tick(f, 50);
        QCOMPARE(caption(f, QStringLiteral("xem")), kWrong);
        QCOMPARE(testkit::asTyped(h.database->findAccount(QStringLiteral("Nam"))->pass, QStringLiteral("namspass")), QStringLiteral("namspass"));
    }

    void changePanelAnswers()
    {
        testkit::GameHarness h;
        addFullAccount(h, QStringLiteral("Hoa"));
        RecoveryForm *f = openRecovery(h);
        const QString code = recover(f, 4);
        QCOMPARE(code, listed(f, "TRWBKNA41"));
        auto *panel = testkit::widget(f, QStringLiteral("Picture3"));
        auto *command2 = testkit::widget(f, QStringLiteral("Command2"));
        auto *command3 = testkit::widget(f, QStringLiteral("Command3"));
        QLineEdit *old = box(f, "Text1"), *next = box(f, "Text2"), *again = box(f, "Text3");
        QVERIFY(!panel->isVisible());
        click(command2);
        QVERIFY(panel->isVisible());
        QVERIFY(old->isEnabled() && !next->isEnabled() && !again->isEnabled());
        QCOMPARE(old->echoMode(), QLineEdit::Normal);
        QCOMPARE(next->echoMode(), QLineEdit::Password);
        QCOMPARE(next->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, next), int('*'));
        QCOMPARE(box(f, "traloi")->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, box(f, "traloi")),
                 int('$'));

        // A wrong old password closes the panel; Change opens it again.
        typeInto(old, QStringLiteral("trwbkna41"));
        click(command3);
        QCOMPARE(caption(f, QStringLiteral("xem")), QStringLiteral("Password chæa chênh xaïc..."));
        QVERIFY(!panel->isVisible());
        QVERIFY(old->text().isEmpty());
        click(command2);
        QVERIFY(panel->isVisible());

        // The handed-out password opens the new-password boxes; empty ones save nothing.
        typeInto(old, code);
        click(command3);
        QCOMPARE(caption(f, QStringLiteral("xem")), QStringLiteral("Baûn nháûp tiãúp password âãø thay âäøi"));
        QVERIFY(!old->isEnabled() && next->isEnabled() && again->isEnabled());
        QVERIFY(panel->isVisible());
        QCOMPARE(testkit::asTyped(h.database->findAccount(QStringLiteral("Hoa"))->pass, code), code);

        // A character no account can hold: named and refused, nothing stored, nothing stripped.
        typeInto(next, QStringLiteral("Mới\u2605"));
        typeInto(again, QStringLiteral("Mới\u2605"));
        click(command3);
        QCOMPARE(h.s.messages.size(), 1);
        QVERIFY(h.s.lastMessageText().contains(QStringLiteral("\u201C\u2605\u201D (U+2605)")));
        QCOMPARE(again->text(), QStringLiteral("Mới\u2605"));
        QCOMPARE(testkit::asTyped(h.database->findAccount(QStringLiteral("Hoa"))->pass, code), code);
        h.s.messages.clear();

        // Two different new passwords.
        typeInto(next, QStringLiteral("Mới'1"));
        typeInto(again, QStringLiteral("Mới'2"));
        click(command3);
        QCOMPARE(caption(f, QStringLiteral("xem")),
                 QStringLiteral("Baûn phaíi nháûp pass chæa giäúng nhau. Kiãøm tra laûi..."));
        QVERIFY(panel->isVisible());
        QCOMPARE(testkit::asTyped(h.database->findAccount(QStringLiteral("Hoa"))->pass, code), code);

        typeInto(again, QStringLiteral("Mới'1"));
        click(command3);
        QCOMPARE(caption(f, QStringLiteral("xem")),
                 QStringLiteral("Baûn thay âäøi thaình cäng password. Baûn tiãúp tuûc haình trçnh tråí thaình triãûu phuï."));
        QVERIFY(!panel->isVisible());
        QCOMPARE(caption(f, QStringLiteral("Command2")), kContinue);
        QCOMPARE(testkit::asTyped(h.database->findAccount(QStringLiteral("Hoa"))->pass, QStringLiteral("Mới'1")), QStringLiteral("Mới'1"));

        // Continue closes the form and the login takes only the new password.
        h.app->login()->hide();
        click(command2);
        QVERIFY(!f->isVisible());
        QVERIFY(h.app->login()->isVisible());
        h.login(QStringLiteral("Hoa"), code);
        h.login(QStringLiteral("Hoa"), QStringLiteral("old"));
        QCOMPARE(h.s.messages.size(), 2);
        h.login(QStringLiteral("Hoa"), QStringLiteral("Mới'1"));
        QCOMPARE(h.s.messages.size(), 2);
        QVERIFY(h.app->briefing()->isVisible());
    }

    void aRefusedWriteIsReportedAsSuchAndKeepsTheInputs()
    {
        testkit::GameHarness h;
        addFullAccount(h, QStringLiteral("Hoa"));
        RecoveryForm *f = openRecovery(h);
        QVERIFY(refuseAccountUpdates(h, true));
        recover(f, 4);
        const QString said = vn::decode(caption(f, QStringLiteral("xem")), vn::Encoding::VnTimes);
        QVERIFY2(said.contains(QStringLiteral("không lưu được")), qPrintable(said));
        QCOMPARE(box(f, "id")->text(), QStringLiteral("Hoa"));
        QCOMPARE(box(f, "traloi")->text(), QStringLiteral("đọc sách"));
        QVERIFY(testkit::widget(f, QStringLiteral("Command1"))->isVisible());
        QCOMPARE(testkit::asTyped(h.database->findAccount(QStringLiteral("Hoa"))->pass, QStringLiteral("old")), QStringLiteral("old"));

        // Once the store takes it, the same inputs recover the account; a
        // refused change of the new password says so too.
        QVERIFY(refuseAccountUpdates(h, false));
        click(testkit::widget(f, QStringLiteral("Command1")));
        tick(f, 50);
        const QString code = f->handedOutPassword();
        QCOMPARE(caption(f, QStringLiteral("xem")), kRight + code);
        click(testkit::widget(f, QStringLiteral("Command2")));
        typeInto(box(f, "Text1"), code);
        click(testkit::widget(f, QStringLiteral("Command3")));
        typeInto(box(f, "Text2"), QStringLiteral("mine"));
        typeInto(box(f, "Text3"), QStringLiteral("mine"));
        QVERIFY(refuseAccountUpdates(h, true));
        click(testkit::widget(f, QStringLiteral("Command3")));
        QVERIFY(vn::decode(caption(f, QStringLiteral("xem")), vn::Encoding::VnTimes).contains(QStringLiteral("Không lưu được")));
        QVERIFY(testkit::widget(f, QStringLiteral("Picture3"))->isVisible());
        QCOMPARE(testkit::asTyped(h.database->findAccount(QStringLiteral("Hoa"))->pass, code), code);
    }

    void twoOpeningsHandOutByTheSelector()
    {
        testkit::GameHarness h;
        addFullAccount(h, QStringLiteral("Hoa"));
        RecoveryForm *f = openRecovery(h);
        recover(f, 12);
        QCOMPARE(testkit::asTyped(h.database->findAccount(QStringLiteral("Hoa"))->pass, listed(f, "VRQE6M925")), listed(f, "VRQE6M925"));
        click(testkit::widget(f, QStringLiteral("Picture5"))); // closed right after: the code stays stored
        click(testkit::widget(h.app->login(), QStringLiteral("Label2")));
        QVERIFY(testkit::widget(f, QStringLiteral("Picture1"))->isEnabled());
        QVERIFY(testkit::widget(f, QStringLiteral("Command1"))->isVisible());
        QCOMPARE(f->handedOutPassword(), QString());
        recover(f, 7);
        QCOMPARE(testkit::asTyped(h.database->findAccount(QStringLiteral("Hoa"))->pass, listed(f, "ZB316T52")), listed(f, "ZB316T52"));
        QCOMPARE(caption(f, QStringLiteral("xem")), kRight + listed(f, "ZB316T52"));
    }

    void apostrophesAndHugeTexts()
    {
        testkit::GameHarness h;
        const QString longNick = QStringLiteral("Trần'").repeated(60).left(accounts::kFieldMaxLength);
        addFullAccount(h, longNick, QStringLiteral("it's'; --"));
        addFullAccount(h, QStringLiteral("O'Brien"), QStringLiteral("x"));
        RecoveryForm *f = openRecovery(h);

        // 10,000 characters in every box: each keeps what it can hold, nothing is written.
        const QString huge = QStringLiteral("Trần'").repeated(2000);
        for (const char *n : {"id", "thang", "ngay", "nam", "traloi"})
            typeInto(box(f, n), huge);
        QCOMPARE(box(f, "id")->text(), longNick);
        QCOMPARE(box(f, "thang")->text(), QStringLiteral("Tr"));
        QCOMPARE(box(f, "nam")->text(), huge.left(4));
        click(testkit::widget(f, QStringLiteral("Command1")));
        QCOMPARE(box(f, "thang")->text(), QString()); // no leading digit: the check empties it
        tick(f, 50);
        QCOMPARE(caption(f, QStringLiteral("xem")), kWrong);
        QCOMPARE(testkit::asTyped(h.database->findAccount(longNick)->pass, QStringLiteral("old")), QStringLiteral("old"));

        // The long nick typed past the box's length, with quotes in the answer, recovers.
        Proof p;
        p.nick = huge;
        p.answer = QStringLiteral("it's'; --");
        fill(f, p);
        selectorTo(f, 1);
        click(testkit::widget(f, QStringLiteral("Command1")));
        tick(f, 50);
        QCOMPARE(caption(f, QStringLiteral("xem")), kRight + listed(f, "KMP203B"));
        QCOMPARE(testkit::asTyped(h.database->findAccount(longNick)->pass, listed(f, "KMP203B")), listed(f, "KMP203B"));
        QCOMPARE(testkit::asTyped(h.database->findAccount(QStringLiteral("O'Brien"))->pass, QStringLiteral("old")), QStringLiteral("old"));
        QCOMPARE(h.database->accountCount(), 2);
    }
};

QTEST_MAIN(TestRecovery)
#include "test_recovery.moc"
