#include "accountsfixture.h"

#include "accounts/briefingform.h"
#include "accounts/loginform.h"
#include "accounts/registerfields.h"
#include "accounts/registerform.h"
#include "legacylabel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QStyle>

using testkit::caption;
using testkit::child;
using testkit::click;
using namespace acc;

namespace {

const QString kInvalidOrUsed = QStringLiteral("khäng håüp lãû hay âaî âæåüc sæí duûng vui loìng kiãøm tra laûi.");
const QString kIdTaken = QStringLiteral("ID khäng håüp lãû hoàûc âaî âæåc âàng kê.");
const QString kIdFree = QStringLiteral("ID håüp lãû baûn coï thãø sæí duûng.");

void submit(RegisterForm *f)
{
    click(testkit::widget(f, QStringLiteral("Command1")));
}

bool onSummary(RegisterForm *f)
{
    return testkit::widget(f, QStringLiteral("baocao"))->isVisible()
           && !testkit::widget(f, QStringLiteral("Command1"))->isVisible()
           && testkit::widget(f, QStringLiteral("Command2"))->isVisible();
}

} // namespace

class TestRegister : public QObject {
    Q_OBJECT
private slots:
    void introductionGuardsThePanel()
    {
        testkit::GameHarness h;
        h.app->start();
        click(testkit::widget(h.app->login(), QStringLiteral("Label1")));
        RegisterForm *f = h.app->registration();
        QVERIFY(f->isVisible());
        QVERIFY(h.app->login()->isVisible());
        QCOMPARE(caption(f, QStringLiteral("L")), QStringLiteral("Chaìo mæìng baûn tham gia"));
        auto *frame = testkit::widget(f, QStringLiteral("Frame1"));
        auto *ok = child<LegacyLabel>(f, QStringLiteral("cmdOK"));
        auto *check = child<QCheckBox>(f, QStringLiteral("Check1"));
        QVERIFY(frame->isVisible());
        QVERIFY(!box(f, "id")->isVisible());
        QVERIFY(ok->isEnabled() && !check->isChecked());
        QCOMPARE(check->property("foreColor").value<QColor>(), QColor(255, 255, 192));
        click(check);
        QVERIFY(ok->isEnabled());
        QCOMPARE(check->property("foreColor").value<QColor>(), QColor(192, 192, 255));
        click(check);
        QVERIFY(!ok->isEnabled());
        click(ok); // disabled: nothing happens
        QVERIFY(frame->isVisible());
        click(check);
        QCOMPARE(ok->foreColor(), QColor(0, 0, 128));
        QTest::mouseMove(ok);
        QCOMPARE(ok->foreColor(), QColor(0, 0, 192));
        QTest::mouseMove(frame, QPoint(4, frame->height() - 4));
        QCOMPARE(ok->foreColor(), QColor(0, 0, 128));
        click(ok);
        QVERIFY(!frame->isVisible());
        QVERIFY(box(f, "id")->isVisible());
        QVERIFY(testkit::widget(f, QStringLiteral("Command1"))->isVisible());
        QVERIFY(!testkit::widget(f, QStringLiteral("Command2"))->isVisible());
        QVERIFY(!testkit::widget(f, QStringLiteral("baocao"))->isVisible());
        // The date lists: plain numbers, nothing chosen.
        QCOMPARE(combo(f, "thang")->count(), 31);
        QCOMPARE(combo(f, "ngay")->count(), 12);
        QCOMPARE(combo(f, "nam")->count(), 62);
        QCOMPARE(combo(f, "nam")->itemText(0), QStringLiteral("1945"));
        QCOMPARE(combo(f, "nam")->itemText(61), QStringLiteral("2006"));
        for (const char *n : {"thang", "ngay", "nam", "bimat"})
            QCOMPARE(combo(f, n)->currentText(), QString());
        QCOMPARE(combo(f, "bimat")->count(), 9);
        // What the masked boxes show for each typed character.
        for (const auto &[name, mask] : {std::pair{"p1", '*'}, std::pair{"p2", '*'}, std::pair{"traloi", '$'}}) {
            QLineEdit *b = box(f, name);
            QCOMPARE(b->echoMode(), QLineEdit::Password);
            QCOMPARE(b->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, b), int(mask));
        }
        QCOMPARE(combo(f, "bimat")->itemData(8).toString(), QStringLiteral("Baûn såü con váût naìo nháút ?"));
    }

    void cleanRegistrationThenLogin()
    {
        testkit::GameHarness h;
        h.addAccount(QStringLiteral("other"), QStringLiteral("x"));
        RegisterForm *f = openPanel(h);
        fill(f, Entry{});
        submit(f);

        QVERIFY(onSummary(f));
        QCOMPARE(h.database->accountCount(), 2);
        const auto a = h.database->findAccount(QStringLiteral("Lan Anh"));
        QVERIFY(a);
        QCOMPARE(a->nick, QStringLiteral("Lan Anh"));
        QCOMPARE(testkit::asTyped(a->pass, QStringLiteral("mk123")), QStringLiteral("mk123"));
        QCOMPARE(a->ngaysinh, QStringLiteral("3/15/1990"));
        QCOMPARE(a->mail, QStringLiteral("giáo viên"));
        QCOMPARE(a->cauhoibimat, QStringLiteral("Baûn gheït ai nháút ?"));
        QCOMPARE(a->traloiibimat, QStringLiteral("con mèo"));
        QCOMPARE(a->sotien, QStringLiteral("1200"));
        // The summary shows the date as day/month/year and the stored money.
        QCOMPARE(box(f, "id113")->text(), QStringLiteral("Lan Anh"));
        QCOMPARE(box(f, "pa")->text(), QStringLiteral("mk123"));
        QCOMPARE(box(f, "pa")->echoMode(), QLineEdit::Password);
        QCOMPARE(box(f, "ns")->text(), QStringLiteral("15/3/1990"));
        QCOMPARE(box(f, "mail1")->text(), QStringLiteral("giáo viên"));
        QCOMPARE(caption(f, QStringLiteral("tien")), QStringLiteral("1200"));
        QCOMPARE(f->summaryCaption(), QStringLiteral("Xin chaìo Lan Anh"));
        QCOMPARE(child<QGroupBox>(f, QStringLiteral("baocao"))->title(), QStringLiteral("Xin chào Lan Anh"));
        QCOMPARE(caption(f, QStringLiteral("xem")),
                 QStringLiteral("Chaìo mæìng Lan Anh âãún våïi troì chåi Lontaris... Chuïc baûn may màõn..."));
        QCOMPARE(child<LegacyLabel>(f, QStringLiteral("xem"))->text(),
                 QStringLiteral("Chào mừng Lan Anh đến với trò chơi Lontaris... Chúc bạn may mắn..."));

        // Continue only hides the form: the link shows the summary again.
        click(testkit::widget(f, QStringLiteral("Command2")));
        QVERIFY(!f->isVisible());
        QVERIFY(h.app->login()->isVisible());
        click(testkit::widget(h.app->login(), QStringLiteral("Label1")));
        QVERIFY(f->isVisible());
        QVERIFY(onSummary(f));
        QCOMPARE(h.database->accountCount(), 2);

        h.login(QStringLiteral("Lan Anh"), QStringLiteral("mk123"));
        QVERIFY(h.s.messages.isEmpty());
        QCOMPARE(h.app->briefing()->balanceCaption(), QStringLiteral("1200"));
    }

    void passwordFailuresLeaveNoAccount_data()
    {
        QTest::addColumn<QString>("p1");
        QTest::addColumn<QString>("p2");
        QTest::newRow("mismatched") << QStringLiteral("abc") << QStringLiteral("abC");
        QTest::newRow("both empty") << QString() << QString();
        QTest::newRow("confirmation empty") << QStringLiteral("abc") << QString();
    }

    void passwordFailuresLeaveNoAccount()
    {
        QFETCH(QString, p1);
        QFETCH(QString, p2);
        testkit::GameHarness h;
        h.addAccount(QStringLiteral("other"), QStringLiteral("x"));
        RegisterForm *f = openPanel(h);
        Entry e;
        e.p1 = p1;
        e.p2 = p2;
        fill(f, e);
        submit(f);
        QCOMPARE(h.database->accountCount(), 1);
        QVERIFY(!h.database->findAccount(e.nick));
        QCOMPARE(testkit::asTyped(h.database->findAccount(QStringLiteral("other"))->pass, QStringLiteral("x")), QStringLiteral("x"));
        QCOMPARE(f->failedFields(), QStringLiteral(" Password "));
        QCOMPARE(caption(f, QStringLiteral("xem")), QStringLiteral(" Password ") + kInvalidOrUsed);
        QVERIFY(box(f, "p1")->text().isEmpty() && box(f, "p2")->text().isEmpty());
        QCOMPARE(combo(f, "thang")->currentText(), QStringLiteral("15")); // the date was fine
        QVERIFY(!onSummary(f));
        QVERIFY(testkit::widget(f, QStringLiteral("Command1"))->isVisible());

        // Typing the passwords again registers exactly one account.
        typeInto(box(f, "p1"), QStringLiteral("good"));
        typeInto(box(f, "p2"), QStringLiteral("good"));
        submit(f);
        QVERIFY(onSummary(f));
        QCOMPARE(h.database->accountCount(), 2);
        QCOMPARE(testkit::asTyped(h.database->findAccount(e.nick)->pass, QStringLiteral("good")), QStringLiteral("good"));
    }

    void missingDatePartsAreStoredEmpty()
    {
        struct Case { QString day, month, year, stored, shown; } cases[] = {
            {QString(), QStringLiteral("3"), QStringLiteral("1990"), QStringLiteral("3//1990"), QStringLiteral("/3/1990")},
            {QStringLiteral("15"), QString(), QStringLiteral("1990"), QStringLiteral("/15/1990"), QStringLiteral("15//1990")},
            {QStringLiteral("31"), QStringLiteral("2"), QString(), QStringLiteral("2/31/"), QStringLiteral("31/2/")},
        };
        for (const Case &c : cases) {
            testkit::GameHarness h;
            RegisterForm *f = openPanel(h);
            Entry e;
            e.day = c.day;
            e.month = c.month;
            e.year = c.year;
            fill(f, e);
            submit(f);
            QVERIFY(onSummary(f));
            QCOMPARE(h.database->findAccount(e.nick)->ngaysinh, c.stored);
            QCOMPARE(box(f, "ns")->text(), c.shown);
            // The success line replaces the error line written for an empty month.
            QVERIFY(caption(f, QStringLiteral("xem")).startsWith(QStringLiteral("Chaìo mæìng Lan Anh")));
        }
    }

    void dayAndMonthBoxesKeepPlainNumbers()
    {
        testkit::GameHarness h;
        RegisterForm *f = openPanel(h);
        struct Case { QString typed, kept; } cases[] = {
            {QStringLiteral("07"), QStringLiteral("7")},   {QStringLiteral("0"), QString()},
            {QStringLiteral("x"), QString()},             {QStringLiteral("12ab"), QStringLiteral("12")},
            {QStringLiteral("007"), QStringLiteral("7")},  {QStringLiteral("10"), QStringLiteral("10")},
            {QStringLiteral("45"), QStringLiteral("45")},  {QStringLiteral("1'"), QStringLiteral("1")},
        };
        for (const char *name : {"thang", "ngay"}) {
            for (const Case &c : cases) {
                typeInto(combo(f, name), c.typed);
                QCOMPARE(combo(f, name)->currentText(), c.kept);
            }
        }
        // The year box is kept as typed.
        typeInto(combo(f, "nam"), QStringLiteral("01990"));
        QCOMPARE(combo(f, "nam")->currentText(), QStringLiteral("01990"));

        // A box being typed in is not completed from its list: what is typed is stored.
        f->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f));
        for (const auto &[name, typed] : {std::pair{"nam", "19"}, std::pair{"nam", "200"}, std::pair{"thang", "1"},
                                          std::pair{"ngay", "1"}}) {
            combo(f, name)->setFocus();
            typeInto(combo(f, name), QString::fromLatin1(typed));
            QCOMPARE(combo(f, name)->currentText(), QString::fromLatin1(typed));
        }
        Entry e;
        e.year = QString();
        fill(f, e);
        combo(f, "nam")->setFocus();
        typeInto(combo(f, "nam"), QStringLiteral("19"));
        submit(f);
        QVERIFY(onSummary(f));
        QCOMPARE(h.database->findAccount(e.nick)->ngaysinh, QStringLiteral("3/15/19"));
    }

    void takenNickIsNeverRegisteredAgain_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("checkedFirst");
        QTest::addColumn<QString>("p2");
        QTest::addColumn<QString>("failed");
        QTest::newRow("same case") << QStringLiteral("Minh") << false << QStringLiteral("pw") << QStringLiteral("ID");
        QTest::newRow("other case") << QStringLiteral("mINH") << false << QStringLiteral("pw") << QStringLiteral("ID");
        QTest::newRow("checked first") << QStringLiteral("minh") << true << QStringLiteral("pw") << QStringLiteral("ID");
        QTest::newRow("bad password too") << QStringLiteral("MINH") << false << QStringLiteral("px")
                                          << QStringLiteral("ID Password ");
    }

    void takenNickIsNeverRegisteredAgain()
    {
        QFETCH(QString, typed);
        QFETCH(bool, checkedFirst);
        QFETCH(QString, p2);
        QFETCH(QString, failed);
        testkit::GameHarness h;
        const db::Account old = h.addAccount(QStringLiteral("Minh"), QStringLiteral("old"), QStringLiteral("5300"));
        RegisterForm *f = openPanel(h);
        Entry e;
        e.nick = typed;
        e.p1 = QStringLiteral("pw");
        e.p2 = p2;
        e.day = QStringLiteral("15"); // the same birth date as the older account
        e.month = QStringLiteral("3");
        fill(f, e);
        if (checkedFirst) {
            click(testkit::widget(f, QStringLiteral("lblLabels7")));
            QCOMPARE(caption(f, QStringLiteral("xem")), kIdTaken);
        }
        submit(f);
        QCOMPARE(h.database->accountCount(), 1);
        const auto a = h.database->findAccount(QStringLiteral("minh"));
        QCOMPARE(a->rowId, old.rowId);
        QCOMPARE(a->nick, QStringLiteral("Minh"));
        QCOMPARE(testkit::asTyped(a->pass, QStringLiteral("old")), QStringLiteral("old"));
        QCOMPARE(a->ngaysinh, QStringLiteral("3/15/1990"));
        QCOMPARE(a->sotien, QStringLiteral("5300"));
        QCOMPARE(f->failedFields(), failed);
        QCOMPARE(caption(f, QStringLiteral("xem")), failed + kInvalidOrUsed);
        QVERIFY(!onSummary(f));

        // A free nick then registers; the older account stays as it was.
        typeInto(box(f, "id"), QStringLiteral("Minh2"));
        click(testkit::widget(f, QStringLiteral("lblLabels7")));
        QCOMPARE(caption(f, QStringLiteral("xem")), kIdFree);
        typeInto(box(f, "p1"), QStringLiteral("pw"));
        typeInto(box(f, "p2"), QStringLiteral("pw"));
        submit(f);
        QVERIFY(onSummary(f));
        QCOMPARE(h.database->accountCount(), 2);
        QCOMPARE(testkit::asTyped(h.database->findAccount(QStringLiteral("Minh"))->pass, QStringLiteral("old")), QStringLiteral("old"));
        QCOMPARE(caption(f, QStringLiteral("tien")), QStringLiteral("1200"));
    }

    void nickCheckReportsTakenAndEmptyNicks()
    {
        testkit::GameHarness h;
        h.addAccount(QStringLiteral("Minh"), QStringLiteral("old"));
        RegisterForm *f = openPanel(h);
        auto *check = testkit::widget(f, QStringLiteral("lblLabels7"));
        struct Case { QString nick, message; } cases[] = {
            {QString(), kIdTaken},
            {QStringLiteral("Hoa"), kIdFree},
            {QStringLiteral("minh"), kIdTaken},
            {QStringLiteral("Minh"), kIdTaken},
            {QString(), kIdTaken}, // even after a nick was read back
            {QStringLiteral("Minh "), kIdFree},
        };
        for (const Case &c : cases) {
            typeInto(box(f, "id"), c.nick);
            click(check);
            QCOMPARE(caption(f, QStringLiteral("xem")), c.message);
            if (c.message == kIdTaken)
                QCOMPARE(box(f, "id")->selectedText(), c.nick);
        }
        QCOMPARE(f->lastNickRead(), QStringLiteral("Minh"));
        QCOMPARE(h.database->accountCount(), 1); // the check never writes
        // An empty nick is refused by registration too.
        typeInto(box(f, "id"), QString());
        Entry e;
        e.nick = QString();
        fill(f, e);
        submit(f);
        QCOMPARE(h.database->accountCount(), 1);
        QCOMPARE(caption(f, QStringLiteral("xem")), QStringLiteral("ID") + kInvalidOrUsed);
    }

    void nickCheckTakesTheFocusUntilANickIsRead()
    {
        testkit::GameHarness h;
        h.addAccount(QStringLiteral("Minh"), QStringLiteral("old"));
        RegisterForm *f = openPanel(h);
        QLineEdit *id = box(f, "id");
        QLineEdit *p1 = box(f, "p1");
        auto *check = testkit::widget(f, QStringLiteral("lblLabels7"));
        // Nothing read yet: a free nick is reported free, with the nick box
        // focused and selected on the way.
        typeInto(id, QStringLiteral("Hoa"));
        p1->setFocus();
        click(check);
        QCOMPARE(caption(f, QStringLiteral("xem")), kIdFree);
        QCOMPARE(f->focusWidget(), id);
        QCOMPARE(id->selectedText(), QStringLiteral("Hoa"));
        // Once a nick was read back, a free nick leaves the focus where it was.
        typeInto(id, QStringLiteral("Minh"));
        click(check);
        QCOMPARE(f->lastNickRead(), QStringLiteral("Minh"));
        typeInto(id, QStringLiteral("Lan"));
        p1->setFocus();
        click(check);
        QCOMPARE(caption(f, QStringLiteral("xem")), kIdFree);
        QCOMPARE(f->focusWidget(), p1);
        QVERIFY(!id->hasSelectedText());
        // Enter does not register.
        fill(f, Entry{});
        testkit::pressKey(box(f, "traloi"), Qt::Key_Return);
        QCOMPARE(h.database->accountCount(), 1);
        QVERIFY(testkit::widget(f, QStringLiteral("Command1"))->isVisible());
    }

    void apostrophesAreStoredLiterally()
    {
        testkit::GameHarness h;
        RegisterForm *f = openPanel(h);
        Entry e;
        e.nick = QStringLiteral("O'Brien & 'Sơn'");
        e.p1 = e.p2 = QStringLiteral("it's'; --");
        e.day = QStringLiteral("5'");
        e.month = QStringLiteral("3'");
        e.year = QStringLiteral("19'90");
        e.mail = QStringLiteral("l'art'");
        e.answer = QStringLiteral("'); DROP TABLE hoso; --");
        fill(f, e);
        submit(f);
        QVERIFY(onSummary(f));
        const auto a = h.database->findAccount(e.nick);
        QVERIFY(a);
        QCOMPARE(a->nick, e.nick);
        QCOMPARE(testkit::asTyped(a->pass, e.p1), e.p1);
        QCOMPARE(a->ngaysinh, QStringLiteral("3/5/19'90"));
        QCOMPARE(a->mail, e.mail);
        QCOMPARE(a->traloiibimat, e.answer);
        QCOMPARE(h.database->accountCount(), 1);
        // The '&' of the nick is shown, not taken as an accelerator.
        QVERIFY(child<LegacyLabel>(f, QStringLiteral("xem"))->text().contains(e.nick));
        QCOMPARE(child<QGroupBox>(f, QStringLiteral("baocao"))->title(), QStringLiteral("Xin chào O'Brien && 'Sơn'"));
        h.login(QStringLiteral("o'brien & 'sƠn'"), e.p1);
        QVERIFY(h.s.messages.isEmpty());
    }

    void hugeTextsAreCutToTheFieldLength()
    {
        testkit::GameHarness h;
        RegisterForm *f = openPanel(h);
        const QString huge = QStringLiteral("Nguyễn'").repeated(10000 / 7 + 1).left(10000);
        const QString digits = QStringLiteral("9").repeated(10000);
        const int max = accounts::kFieldMaxLength;
        for (const char *n : {"id", "p1", "p2", "mail", "traloi"})
            typeInto(box(f, n), huge);
        typeInto(combo(f, "thang"), digits);
        typeInto(combo(f, "ngay"), QStringLiteral("0") + digits);
        typeInto(combo(f, "nam"), huge);
        for (const char *n : {"id", "p1", "p2", "mail", "traloi"})
            QCOMPARE(box(f, n)->text(), huge.left(max));
        QCOMPARE(combo(f, "thang")->currentText(), digits.left(max));
        QCOMPARE(combo(f, "ngay")->currentText(), digits.left(max)); // the leading 0 went at once
        submit(f);
        QVERIFY(onSummary(f));
        const auto a = h.database->findAccount(huge.left(max));
        QVERIFY(a);
        QCOMPARE(a->nick, huge.left(max));
        QCOMPARE(testkit::asTyped(a->pass, huge.left(max)), huge.left(max));
        QCOMPARE(a->mail, huge.left(max));
        QCOMPARE(a->traloiibimat, huge.left(max));
        QCOMPARE(a->ngaysinh, digits.left(max) + u'/' + digits.left(max) + u'/' + huge.left(max));
        QCOMPARE(a->sotien, QStringLiteral("1200"));
        // A nick typed past the length of the login box still finds the account.
        h.login(huge, huge);
        QVERIFY(h.s.messages.isEmpty());
    }

    void closingShowsLoginAndStartsAfresh()
    {
        testkit::GameHarness h;
        RegisterForm *f = openPanel(h);
        fill(f, Entry{});
        submit(f);
        QVERIFY(onSummary(f));
        h.app->login()->hide();
        click(testkit::widget(f, QStringLiteral("Picture5")));
        QVERIFY(!f->isVisible());
        QVERIFY(h.app->login()->isVisible());
        QCOMPARE(h.app->login()->nick(), QString()); // not filled in for the new player
        click(testkit::widget(h.app->login(), QStringLiteral("Label1")));
        QVERIFY(f->isVisible());
        QVERIFY(testkit::widget(f, QStringLiteral("Frame1"))->isVisible());
        QVERIFY(!child<QCheckBox>(f, QStringLiteral("Check1"))->isChecked());
        QVERIFY(testkit::widget(f, QStringLiteral("baocao"))->isHidden());
        QVERIFY(box(f, "id")->text().isEmpty());
        QCOMPARE(combo(f, "thang")->count(), 31);
        QCOMPARE(f->lastNickRead(), QString());
        QCOMPARE(f->composedBirthDate(), QStringLiteral("ngaysinh"));
        QCOMPARE(caption(f, QStringLiteral("L")), QStringLiteral("Chaìo mæìng baûn tham gia"));
        // The same nick cannot be registered twice across openings.
        click(testkit::widget(f, QStringLiteral("Check1")));
        click(testkit::widget(f, QStringLiteral("cmdOK")));
        fill(f, Entry{});
        submit(f);
        QCOMPARE(h.database->accountCount(), 1);
        QCOMPARE(f->failedFields(), QStringLiteral("ID"));
    }

    // Characters no legacy text can hold are refused with their name, before
    // anything is stored; Vietnamese letters are kept exactly as typed.
    void unstorableCharactersAreRefusedNamed()
    {
        testkit::GameHarness h;
        RegisterForm *f = openPanel(h);
        Entry e;
        e.nick = QStringLiteral("Bé Na \U0001F338\u2728");
        fill(f, e);
        click(testkit::widget(f, QStringLiteral("lblLabels7"))); // the ID check refuses it too
        submit(f);
        QCOMPARE(h.s.messages.size(), 2);
        for (const ui::MessageRequest &m : h.s.messages)
            QVERIFY2(m.text.contains(QStringLiteral("\u201C\U0001F338\u201D (U+1F338)")) && m.text.contains(QStringLiteral("\u201CID\u201D")),
                     qPrintable(m.text));
        QVERIFY(!onSummary(f));
        QVERIFY(!h.database->findAccount(QStringLiteral("Bé Na \U0001F338\u2728")));
        QVERIFY(!h.database->findAccount(QStringLiteral("Bé Na ")));
        QCOMPARE(box(f, "id")->text(), e.nick); // nothing stripped

        // The occupation box is named when the nick is fine.
        typeInto(box(f, "id"), QStringLiteral("Bé Na"));
        typeInto(box(f, "mail"), QStringLiteral("nhà\u00DFbáo"));
        submit(f);
        QVERIFY(h.s.lastMessageText().contains(QStringLiteral("(U+00DF) trong ô \u201CCông việc của bạn\u201D")));
        typeInto(box(f, "mail"), QStringLiteral("nhà báo"));
        submit(f);
        QVERIFY(onSummary(f));
        QCOMPARE(h.database->findAccount(QStringLiteral("Bé Na"))->nick, QStringLiteral("Bé Na"));

        // The login names the character too instead of looking the nick up.
        const qsizetype before = h.s.messages.size();
        h.login(QStringLiteral("Bé Na"), QStringLiteral("mk\U0001F338"));
        QCOMPARE(h.s.messages.size(), before + 1);
        QVERIFY(h.s.lastMessageText().contains(QStringLiteral("\u201CPassword\u201D")));
        QVERIFY(!h.app->briefing()->isVisible());
    }

    void aRefusedInsertSaysSoInsteadOfBlamingAField()
    {
        testkit::GameHarness h;
        RegisterForm *f = openPanel(h);
        QVERIFY(testkit::refuseWrites(*h.database, QStringLiteral("hoso"), QStringLiteral("INSERT"), true));
        fill(f, Entry{});
        submit(f);
        QVERIFY(!onSummary(f));
        QVERIFY(!h.database->findAccount(QStringLiteral("Lan Anh")));
        const QString said = vn::decode(caption(f, QStringLiteral("xem")), vn::Encoding::VnTimes);
        QVERIFY2(said.startsWith(QStringLiteral("Không lưu được tài khoản")), qPrintable(said));
        QCOMPARE(box(f, "p1")->text(), QStringLiteral("mk123")); // nothing to type again
    }
};

QTEST_MAIN(TestRegister)
#include "test_register.moc"
