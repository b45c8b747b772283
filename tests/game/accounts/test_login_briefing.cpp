#include "testsupport.h"

#include "accounts/briefingform.h"
#include "accounts/loginform.h"
#include "hotseat/hotseatform.h"
#include "legacylabel.h"
#include "legacytimer.h"
#include "qualifying/qualifyingform.h"
#include "startup.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSqlQuery>

using testkit::caption;
using testkit::child;
using testkit::click;

class TestLoginBriefing : public QObject {
    Q_OBJECT
private slots:
    void wrongLoginsShowTheSameMessageAndSelectTheNick()
    {
        testkit::GameHarness h;
        h.addAccount(QStringLiteral("minh"), QStringLiteral("Secret"));
        struct Try { QString nick, pass; } tries[] = {
            {QString(), QString()}, {QStringLiteral("nobody"), QStringLiteral("Secret")},
            {QStringLiteral("minh"), QStringLiteral("secret")}, {QStringLiteral("minh"), QStringLiteral("Secret ")}};
        for (const Try &t : tries) {
            h.login(t.nick, t.pass);
            const auto &m = h.s.messages.last();
            QCOMPARE(m.text, QStringLiteral(" Sai  ID  hay  Password ! ..."));
            QCOMPARE(m.title, QStringLiteral("Login"));
            QCOMPARE(m.icon, QMessageBox::Critical);
            auto *user = child<QLineEdit>(h.app->login(), QStringLiteral("txtUserName"));
            QCOMPARE(user->selectedText(), t.nick);
            QVERIFY(child<QLineEdit>(h.app->login(), QStringLiteral("txtPassword"))->text().isEmpty());
            QVERIFY(!h.app->hasBriefing());
        }
        QCOMPARE(h.s.messages.size(), 4);
        // Enter again at once repeats the attempt with an empty password.
        testkit::pressKey(child<QLineEdit>(h.app->login(), QStringLiteral("txtPassword")), Qt::Key_Return);
        QCOMPARE(h.s.messages.size(), 5);
    }

    void fiveWrongPasswordsHoldTheNickBackForAMinute()
    {
        if (!testkit::onServer())
            QSKIP("the class's server keeps the count");
        testkit::GameHarness h;
        h.addAccount(QStringLiteral("minh"), QStringLiteral("pw"));
        h.addAccount(QStringLiteral("lan"), QStringLiteral("pw"));
        for (int i = 0; i < 5; ++i)
            h.login(QStringLiteral("MINH"), QStringLiteral("guess%1").arg(i));
        QCOMPARE(h.s.messages.size(), 5);
        QCOMPARE(h.s.messages.last().text, QStringLiteral(" Sai  ID  hay  Password ! ..."));
        // Even the right password is not checked now, and is kept for later.
        h.login(QStringLiteral("minh"), QStringLiteral("pw"));
        QCOMPARE(h.s.messages.size(), 6);
        QVERIFY(h.s.messages.last().text.contains(QStringLiteral("một phút")));
        QVERIFY(!h.app->hasBriefing());
        auto *pass = child<QLineEdit>(h.app->login(), QStringLiteral("txtPassword"));
        QCOMPARE(pass->text(), QStringLiteral("pw"));
        // Nor are the recovery's details checked meanwhile.
        const auto other = h.another();
        const auto recover = [&](const QString &nick) {
            return other->recoverPassword(nick, QStringLiteral("1/1/2000"), QStringLiteral("?"),
                                                QStringLiteral("x"), QStringLiteral("new"));
        };
        QCOMPARE(recover(QStringLiteral("minh")), db::Recovery::Failed);
        QVERIFY(other->heldBack());
        // Other nicks are not held back; wrong recovery details count as wrong passwords.
        QVERIFY(h.another()->logIn(QStringLiteral("lan"), QStringLiteral("pw")));
        for (int i = 0; i < 5; ++i)
            QCOMPARE(recover(QStringLiteral("lan")), db::Recovery::Wrong);
        QVERIFY(!other->logIn(QStringLiteral("lan"), QStringLiteral("pw")) && other->heldBack());
        // A minute later (the hold ended on the server's clock) Enter lets the player in.
        QVERIFY(testkit::execAll(*h.database, {QStringLiteral("UPDATE lontaris_logins SET held_until = clock_timestamp()")}));
        testkit::pressKey(pass, Qt::Key_Return);
        QCOMPARE(h.s.messages.size(), 6);
        QVERIFY(h.app->hasBriefing() && h.app->briefing()->isVisible());
    }

    void anEarlierAttemptNeverOpensAnotherAccount()
    {
        testkit::GameHarness h;
        h.addAccount(QStringLiteral("a"), QStringLiteral("pw"));
        db::Account noPass;
        noPass.nick = QStringLiteral("b");
        h.database->insertAccount(noPass); // a row without a password
        h.login(QStringLiteral("a"), QStringLiteral("wrong"));
        h.login(QStringLiteral("b"), QStringLiteral("pw"));
        h.login(QStringLiteral("b"), QString());
        QCOMPARE(h.s.messages.size(), 3);
        QVERIFY(!h.app->hasBriefing());
    }

    void loginWithAnyCaseOfTheNickKeepsItAsTyped()
    {
        testkit::GameHarness h;
        h.addAccount(QStringLiteral("O'Neil"), QStringLiteral("Mật khẩu"), QStringLiteral("5000"), QStringLiteral("3"));
        h.login(QStringLiteral("o'neil"), QStringLiteral("Mật khẩu"));
        QVERIFY(h.s.messages.isEmpty());
        QVERIFY(!h.app->login()->isVisible());
        BriefingForm *b = h.app->briefing();
        QVERIFY(b->isVisible());
        QCOMPARE(h.app->login()->nick(), QStringLiteral("o'neil"));
        QCOMPARE(b->balanceCaption(), QStringLiteral("5000"));
        QCOMPARE(b->playCount(), QStringLiteral("3"));
        QCOMPARE(caption(b, QStringLiteral("tieude")),
                 QStringLiteral("Chaøo möøng  o'neil ñeán vôùi troø chôi Lontaris"));
        // A Vietnamese nick is shown as typed inside the legacy greeting.
        auto *title = child<LegacyLabel>(b, QStringLiteral("tieude"));
        QVERIFY(title->text().contains(QStringLiteral("o'neil")));
        QVERIFY(title->text().startsWith(QStringLiteral("Chào mừng")));
        // The apostrophe goes all the way to the saved row.
        click(testkit::widget(b, QStringLiteral("Check1")));
        click(testkit::widget(b, QStringLiteral("Command2")));
        const auto saved = h.database->findAccount(QStringLiteral("O'Neil"));
        QCOMPARE(saved->sotien, QStringLiteral("4000"));
        QCOMPARE(saved->solan, QStringLiteral("4"));
        QVERIFY(h.app->qualifying()->isVisible());
    }

    void passwordIsMaskedAndTheNickIsFixedOnceIn()
    {
        testkit::GameHarness h;
        h.addAccount(QStringLiteral("an"), QStringLiteral("pw1"));
        h.addAccount(QStringLiteral("rich"), QStringLiteral("x"), QStringLiteral("90000"));
        LoginForm *f = h.app->login();
        f->show();
        auto *user = child<QLineEdit>(f, QStringLiteral("txtUserName"));
        auto *pass = child<QLineEdit>(f, QStringLiteral("txtPassword"));
        testkit::type(pass, QStringLiteral("pw1"));
        QCOMPARE(pass->displayText(), QStringLiteral("$$$"));

        h.login(QStringLiteral("an"), QStringLiteral("pw1"));
        click(testkit::widget(h.app->briefing(), QStringLiteral("Check1")));
        click(testkit::widget(h.app->briefing(), QStringLiteral("Command2")));
        // The game names the player by this box until it saves: it cannot be retyped
        // to another account, nor the login repeated.
        f->show();
        user->selectAll();
        testkit::type(user, QStringLiteral("rich"));
        testkit::pressKey(user, Qt::Key_Return);
        click(testkit::widget(f, QStringLiteral("cmdOK")));
        QCOMPARE(f->nick(), QStringLiteral("an"));
        QVERIFY(h.s.messages.isEmpty());
        QVERIFY(!h.app->briefing()->isVisible());
    }

    void aFastTypistIsNotHeldUpByTheOpen()
    {
        // The login window is up before its database is (a class server may
        // take seconds): what is typed at once stays typed, and Enter waits
        // for the open, then logs in.
        testkit::GameHarness h;
        h.addAccount(QStringLiteral("an"), QStringLiteral("pw"));
        db::GameDb unopened(h.folder.path());
        if (!h.location.isEmpty())
            unopened.setLocation(h.location);
        GameApp app(h.s.make(h.folder.path(), &unopened));
        app.start();
        startup::openAfterFirstPaint(app.login(), unopened, QStringLiteral("Lontaris"), {});
        // Keys as the window system hands them on, all before the open.
        auto post = [](QWidget *w, const QString &keys) {
            for (const QChar c : keys) {
                const int key = c == QLatin1Char('\r') ? int(Qt::Key_Return) : c.toUpper().unicode();
                QCoreApplication::postEvent(w, new QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier, c));
                QCoreApplication::postEvent(w, new QKeyEvent(QEvent::KeyRelease, key, Qt::NoModifier, c));
            }
        };
        post(child<QLineEdit>(app.login(), QStringLiteral("txtUserName")), QStringLiteral("an"));
        post(child<QLineEdit>(app.login(), QStringLiteral("txtPassword")), QStringLiteral("pw\r"));
        QTRY_VERIFY(app.hasBriefing() && app.briefing()->isVisible());
        QCOMPARE(app.login()->nick(), QStringLiteral("an"));
        QVERIFY(h.s.messages.isEmpty());
    }

    void linksShowTheirUnderlineOnHover()
    {
        testkit::GameHarness h;
        LoginForm *f = h.app->login();
        f->show();
        auto *a = testkit::widget(f, QStringLiteral("a"));
        auto *b = testkit::widget(f, QStringLiteral("b"));
        QVERIFY(!a->isVisibleTo(f) && !b->isVisibleTo(f));
        QTest::mouseMove(testkit::widget(f, QStringLiteral("Label1")));
        QVERIFY(a->isVisibleTo(f));
        // Only the bare form hides them, not the controls on it.
        QTest::mouseMove(testkit::widget(f, QStringLiteral("cmdOK")));
        QVERIFY(a->isVisibleTo(f));
        QTest::mouseMove(f, QPoint(5, f->height() - 5));
        QVERIFY(!a->isVisibleTo(f));
    }

    void closePictureEndsTheProgram()
    {
        testkit::GameHarness h;
        h.app->start();
        click(testkit::widget(h.app->login(), QStringLiteral("Picture4")));
        QCOMPARE(h.s.endCount, 1);
    }

    void musicStartsOnlyAfterTheBriefingLoads()
    {
        testkit::GameHarness h;
        h.addAccount(QStringLiteral("p"), QStringLiteral("p"));
        h.app->start();
        QVERIFY(testkit::tick(h.app->login(), QStringLiteral("Timer1")));
        QCOMPARE(h.s.music.starts, 0);
        h.login(QStringLiteral("p"), QStringLiteral("p"));
        QCOMPARE(h.app->login()->musicFile(), QDir(h.folder.path()).filePath(QStringLiteral("media/nen.wav")));
        QVERIFY(testkit::tick(h.app->login(), QStringLiteral("Timer1"))); // the hidden login keeps looping
        QCOMPARE(h.s.music.starts, 1);
        h.s.music.playing = false;
        testkit::tick(h.app->login(), QStringLiteral("Timer1"));
        QCOMPARE(h.s.music.starts, 2);
        h.app->login()->musicTimer()->setEnabled(false);
        h.s.music.playing = false;
        QVERIFY(!testkit::tick(h.app->login(), QStringLiteral("Timer1")));
        QCOMPARE(h.s.music.starts, 2);
    }

    void feeIsTakenAndGivenBackWithTheBox()
    {
        testkit::GameHarness h;
        h.addAccount(QStringLiteral("new"), QStringLiteral("p")); // 1200, no play count yet
        h.login(QStringLiteral("new"), QStringLiteral("p"));
        BriefingForm *b = h.app->briefing();
        auto *box = child<QCheckBox>(b, QStringLiteral("Check1"));
        auto *start = child<LegacyLabel>(b, QStringLiteral("Command2"));
        QVERIFY(!start->isEnabled());
        click(box);
        QCOMPARE(b->balanceCaption(), QStringLiteral("200"));
        QVERIFY(start->isEnabled());
        click(box);
        QCOMPARE(b->balanceCaption(), QStringLiteral("1200"));
        QVERIFY(!start->isEnabled());
        click(box);
        QCOMPARE(b->balanceCaption(), QStringLiteral("200"));
        // With the qualifying round on, the title keeps its greeting.
        QVERIFY(caption(b, QStringLiteral("tieude")).startsWith(QStringLiteral("Chaøo möøng")));
        click(start);
        const auto a = h.database->findAccount(QStringLiteral("new"));
        QCOMPARE(a->sotien, QStringLiteral("200"));
        QCOMPARE(a->solan, QStringLiteral("1"));
        QVERIFY(!b->isVisible());
        QVERIFY(h.app->qualifying()->isVisible());
        QVERIFY(!h.app->hasHotseat());
    }

    void poorPlayersStillPayAndSkippingGoesStraightToTheHotSeat()
    {
        testkit::GameHarness h;
        h.setLock(QStringLiteral("1"));
        h.addAccount(QStringLiteral("poor"), QStringLiteral("p"), QStringLiteral("500"), QStringLiteral("4"));
        h.login(QStringLiteral("poor"), QStringLiteral("p"));
        BriefingForm *b = h.app->briefing();
        click(testkit::widget(b, QStringLiteral("Check1")));
        QCOMPARE(b->balanceCaption(), QStringLiteral("-500"));
        QCOMPARE(caption(b, QStringLiteral("tieude")),
                 QStringLiteral("Baïn chính thöùc tham gia Lontaris... Chuùc baïn thanh coâng."));
        click(testkit::widget(b, QStringLiteral("Command2")));
        QCOMPARE(h.database->findAccount(QStringLiteral("poor"))->sotien, QStringLiteral("-500"));
        QCOMPARE(h.database->findAccount(QStringLiteral("poor"))->solan, QStringLiteral("5"));
        QVERIFY(h.app->hotseat()->isVisible());
    }

    void anUnknownSwitchStillPlaysTheQualifyingRound()
    {
        testkit::GameHarness h;
        h.setLock(QStringLiteral("2"));
        h.addAccount(QStringLiteral("p"), QStringLiteral("p"));
        h.login(QStringLiteral("p"), QStringLiteral("p"));
        click(testkit::widget(h.app->briefing(), QStringLiteral("Check1")));
        click(testkit::widget(h.app->briefing(), QStringLiteral("Command2")));
        QVERIFY(h.app->qualifying()->isVisible());
        QVERIFY(!h.app->hasHotseat());
    }

    void titleColourComesFromThreeDraws()
    {
        testkit::GameHarness h;
        h.addAccount(QStringLiteral("p"), QStringLiteral("p"));
        h.login(QStringLiteral("p"), QStringLiteral("p"));
        h.s.randoms = {0.0, 0.5, 0.999};
        QVERIFY(testkit::tick(h.app->briefing(), QStringLiteral("Timer1")));
        // 127.5 rounds to the even 128; 254.745 to 255.
        QCOMPARE(child<LegacyLabel>(h.app->briefing(), QStringLiteral("tieude"))->foreColor(), QColor(0, 128, 255));
    }

    void closingTheBriefingEndsTheProgram()
    {
        testkit::GameHarness h;
        h.addAccount(QStringLiteral("p"), QStringLiteral("p"));
        h.login(QStringLiteral("p"), QStringLiteral("p"));
        h.app->briefing()->close();
        QCOMPARE(h.s.endCount, 1);
        QVERIFY(!h.app->login()->isVisible());
    }

    void startWaitsOutAHeldLockAndAddsToWhatIsStored()
    {
        testkit::GameHarness h;
        h.addAccount(QStringLiteral("minh"), QStringLiteral("p"));
        h.login(QStringLiteral("minh"), QStringLiteral("p"));
        BriefingForm *b = h.app->briefing();
        auto *start = child<LegacyLabel>(b, QStringLiteral("Command2"));
        click(testkit::widget(b, QStringLiteral("Check1")));
        QCOMPARE(b->balanceCaption(), QStringLiteral("200"));

        // Another program holds the write lock longer than the wait.
        const auto held = h.another();
        QVERIFY(held);
        db::GameDb &other = *held;
        QVERIFY(testkit::holdWriteLock(other));
        click(start);
        QVERIFY(b->isVisible());
        QVERIFY(testkit::widget(b, QStringLiteral("saving"))->isVisible());
        QVERIFY(!start->isEnabled());
        QVERIFY(testkit::tick(b, QStringLiteral("Timer1"))); // the title keeps changing colour
        QVERIFY(testkit::tick(b, QStringLiteral("SaveRetry")));
        QVERIFY(h.s.messages.isEmpty());
        h.s.clock = h.s.clock.addSecs(31);
        h.s.answers = {QMessageBox::Cancel};
        QVERIFY(testkit::tick(b, QStringLiteral("SaveRetry")));
        QCOMPARE(h.s.messages.size(), 1);
        QVERIFY(h.s.messages.last().buttons & QMessageBox::Retry);
        QVERIFY(b->isVisible() && start->isEnabled());
        QVERIFY(!testkit::widget(b, QStringLiteral("saving"))->isVisible());
        QCOMPARE(h.database->findAccount(QStringLiteral("minh"))->sotien, QStringLiteral("1200"));

        // Meanwhile a second window of the same account saved winnings of 400.
        other.rollback();
        QCOMPARE(other.addToAccount(QStringLiteral("minh"), {QStringLiteral("400"), {}, 0}).status,
                 db::WriteStatus::Done);
        click(start);
        const auto a = h.database->findAccount(QStringLiteral("minh"));
        QCOMPARE(a->sotien, QStringLiteral("600"));
        QCOMPARE(a->solan, QStringLiteral("1"));
        QCOMPARE(b->balanceCaption(), QStringLiteral("600")); // as stored, for the hot seat
        QVERIFY(!b->isVisible());
        QVERIFY(h.app->qualifying()->isVisible());
    }

    void aFeeThatCannotBeComputedExactlyIsRefused()
    {
        testkit::GameHarness h;
        h.addAccount(QStringLiteral("p"), QStringLiteral("p"), QStringLiteral("1000.00001"));
        h.login(QStringLiteral("p"), QStringLiteral("p"));
        click(testkit::widget(h.app->briefing(), QStringLiteral("Check1")));
        QCOMPARE(h.app->briefing()->balanceCaption(), QStringLiteral("0.00001"));

        testkit::GameHarness g;
        g.addAccount(QStringLiteral("q"), QStringLiteral("p"), QStringLiteral("1e999999"));
        g.login(QStringLiteral("q"), QStringLiteral("p"));
        auto *box = child<QCheckBox>(g.app->briefing(), QStringLiteral("Check1"));
        click(box);
        QVERIFY(!box->isChecked());
        QCOMPARE(g.s.messages.size(), 1);
        QVERIFY(!testkit::widget(g.app->briefing(), QStringLiteral("Command2"))->isEnabled());
    }
};

QTEST_MAIN(TestLoginBriefing)
#include "test_login_briefing.moc"
