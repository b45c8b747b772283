// The class's server out of reach in the middle of a step: the step says so,
// in one message, and leaves the form as it was; it is never reported as a
// wrong password, a taken nick or a failed check. Pressing the button again
// once the server is back simply works. (The server runs only: a file is
// never out of reach.)

#include "accountsfixture.h"
#include "referee/referee.h"

#include "accounts/briefingform.h"
#include "accounts/loginform.h"
#include "accounts/recoveryform.h"
#include "accounts/registerfields.h"
#include "accounts/registerform.h"
#include "gameapp.h"
#include "gamedb.h"
#include "legacylabel.h"
#include "legacytimer.h"
#include "qualifying/qualifyingform.h"
#include "windowwait.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

using testkit::caption;
using testkit::child;
using testkit::click;

namespace {

bool toldOffline(const testkit::GameHarness &h)
{
    return !h.s.messages.isEmpty() && h.s.messages.last().text == GameApp::offlineText();
}

// What the window's thread does while a step waits for a server process
// that was stopped: a plain timer's beats, the banner, the game's timers.
struct WaitWatch {
    QTimer beat;
    QElapsedTimer sinceBeat;
    qint64 longestHeldMs = 0; // between two turns of the event loop in the wait
    int beatsInWait = 0;
    QString banner;
    LegacyTimer gameClock{nullptr, "GameClock", 40, true};
    int ticks = 0, ticksInWait = 0;
    std::function<void()> duringWait; // input the player sends meanwhile

    WaitWatch()
    {
        QObject::connect(&gameClock, &LegacyTimer::tick, [this] {
            ++ticks;
            ticksInWait += WindowWait::depth() > 0;
        });
        QObject::connect(&beat, &QTimer::timeout, [this] {
            if (WindowWait::depth() == 0)
                return;
            if (beatsInWait++ > 0)
                longestHeldMs = std::max(longestHeldMs, sinceBeat.elapsed());
            sinceBeat.start();
            for (QWidget *w : QApplication::topLevelWidgets())
                if (QLabel *b = WindowWait::banner(w); b && b->isVisible())
                    banner = b->text();
            if (duringWait)
                duringWait();
        });
        beat.start(20);
    }
};

} // namespace

class TestOffline : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        if (!testkit::onServer())
            QSKIP("a file is never out of reach");
    }

    void loginSaysOfflineNotWrongPassword()
    {
        testkit::GameHarness h;
        h.addAccount(QStringLiteral("minh"), QStringLiteral("pw"));
        QVERIFY(testkit::cutOff(h, true));
        h.login(QStringLiteral("minh"), QStringLiteral("pw"));
        QVERIFY(toldOffline(h));
        QCOMPARE(h.s.messages.size(), 1);
        // Nothing cleared: the player presses Enter again once the server is back.
        auto *pass = child<QLineEdit>(h.app->login(), QStringLiteral("txtPassword"));
        QCOMPARE(pass->text(), QStringLiteral("pw"));
        QVERIFY(!h.app->hasBriefing());
        QVERIFY(testkit::cutOff(h, false));
        testkit::pressKey(pass, Qt::Key_Return);
        QCOMPARE(h.s.messages.size(), 1);
        QVERIFY(h.app->hasBriefing() && h.app->briefing()->isVisible());
    }

    void aStoppedServerNeitherFreezesTheWindowNorLetsInput()
    {
        testkit::GameHarness h;
        h.addAccount(QStringLiteral("minh"), QStringLiteral("pw"));
        LoginForm *login = h.app->login();
        login->show();
        auto *pass = child<QLineEdit>(login, QStringLiteral("txtPassword"));
        {
            WaitWatch watch;
            // Enter pressed again while the step waits is dropped, never a
            // second login; a step of the window's own (not the game's) made
            // meanwhile waits its turn, after the login.
            std::optional<bool> offlineSeenInside;
            watch.duringWait = [&] { testkit::pressKey(pass, Qt::Key_Return); };
            QTimer::singleShot(100, [&] { offlineSeenInside = h.database->lastWasOffline(); });
            testkit::StoppedProcess stopped(testkit::servingPid(*h.database));
            QElapsedTimer told;
            told.start();
            h.login(QStringLiteral("minh"), QStringLiteral("pw"));
            qInfo("a login on a stopped server: told after %lld ms; the window's thread held at most %lld ms at a time",
                  told.elapsed(), watch.longestHeldMs);
            QVERIFY(told.elapsed() < 10000);
            QVERIFY(toldOffline(h));
            QCOMPARE(h.s.messages.size(), 1);
            QVERIFY(watch.beatsInWait > 10);
            QCOMPARE(watch.banner, WindowWait::text(WindowWait::Why::Server));
            QCOMPARE(watch.ticksInWait, 0);
            QCOMPARE(offlineSeenInside, std::optional<bool>(true));
            QVERIFY(!WindowWait::banner(login)->isVisible());
            QTRY_VERIFY(watch.ticks > 0); // the tick kept, after the step
        }
        QVERIFY(!h.app->hasBriefing());
        testkit::pressKey(pass, Qt::Key_Return);
        QCOMPARE(h.s.messages.size(), 1);
        BriefingForm *b = h.app->briefing();
        QVERIFY(b && b->isVisible());

        // The entry fee: "saving" while it waits, then told, with a retry.
        click(testkit::widget(b, QStringLiteral("Check1")));
        WaitWatch watch;
        testkit::StoppedProcess stopped(testkit::servingPid(*h.database));
        h.s.answers = {QMessageBox::Cancel};
        click(testkit::widget(b, QStringLiteral("Command2")));
        stopped.resume();
        qInfo("the fee on a stopped server: the window's thread held at most %lld ms at a time", watch.longestHeldMs);
        QCOMPARE(watch.banner, WindowWait::text(WindowWait::Why::Saving));
        QCOMPARE(h.s.messages.size(), 2);
        QVERIFY(h.s.messages.last().buttons & QMessageBox::Retry);
        QVERIFY(b->isVisible());
    }

    void briefingShowsNoBalanceItCouldNotReadAndChargesNoFeeOnIt()
    {
        testkit::GameHarness h;
        h.addAccount(QStringLiteral("minh"), QStringLiteral("pw"), QStringLiteral("5000"));
        h.setLock(QStringLiteral("1")); // no qualifying round
        QVERIFY(h.database->logIn(QStringLiteral("minh"), QStringLiteral("pw")));
        testkit::type(testkit::widget(h.app->login(), QStringLiteral("txtUserName")), QStringLiteral("minh"));
        QVERIFY(testkit::cutOff(h, true));
        BriefingForm *b = h.app->briefing();
        b->show();
        QVERIFY(toldOffline(h));
        QCOMPARE(h.s.messages.size(), 1); // one message for the account and the switches
        QCOMPARE(caption(b, QStringLiteral("sotien")), QString());
        // Still out of reach: the fee box says so again and stays empty.
        auto *fee = child<QCheckBox>(b, QStringLiteral("Check1"));
        click(fee);
        QCOMPARE(h.s.messages.size(), 2);
        QVERIFY(!fee->isChecked());
        QVERIFY(!testkit::widget(b, QStringLiteral("Command2"))->isEnabled());
        QCOMPARE(caption(b, QStringLiteral("sotien")), QString());
        QVERIFY(testkit::cutOff(h, false));
        click(fee);
        QCOMPARE(h.s.messages.size(), 2);
        QCOMPARE(caption(b, QStringLiteral("sotien")), QStringLiteral("4000"));
        click(testkit::widget(b, QStringLiteral("Command2")));
        QVERIFY(h.app->hasHotseat());
        QCOMPARE(h.another()->findAccount(QStringLiteral("minh"))->sotien, QStringLiteral("4000"));
    }

    void registrationStoresNothingAndSaysOffline()
    {
        testkit::GameHarness h;
        RegisterForm *f = acc::openPanel(h);
        acc::fill(f, {.nick = QStringLiteral("Lan"), .p1 = QStringLiteral("mk1"), .p2 = QStringLiteral("mk1"),
                      .mail = QString(), .question = -1, .answer = QStringLiteral("meo")});
        const QString status = caption(f, QStringLiteral("xem"));
        QVERIFY(testkit::cutOff(h, true));
        // The nick check and the registration alike.
        for (const char *button : {"lblLabels7", "Command1"}) {
            const auto before = h.s.messages.size();
            click(testkit::widget(f, QString::fromLatin1(button)));
            QVERIFY2(toldOffline(h), button);
            QCOMPARE(h.s.messages.size(), before + 1);
            QCOMPARE(caption(f, QStringLiteral("xem")), status);
            QCOMPARE(child<QLineEdit>(f, QStringLiteral("p1"))->text(), QStringLiteral("mk1"));
            QVERIFY(testkit::widget(f, QStringLiteral("Command1"))->isVisible());
        }
        QVERIFY(testkit::cutOff(h, false));
        QVERIFY(!h.another()->findAccount(QStringLiteral("Lan")));
        click(testkit::widget(f, QStringLiteral("Command1")));
        QVERIFY(h.another()->findAccount(QStringLiteral("Lan")));
        QVERIFY(testkit::widget(f, QStringLiteral("Command2"))->isVisible());
    }

    void recoveryChecksNothingAndSaysOffline()
    {
        testkit::GameHarness h;
        db::Account a = testkit::account(QStringLiteral("Hoa"), QStringLiteral("1200"));
        a.ngaysinh = QStringLiteral("3/5/1990");
        a.cauhoibimat = accounts::secretQuestions().at(3);
        a.traloiibimat = QStringLiteral("meo");
        QVERIFY(h.database->insertAccount(a));
        RecoveryForm *f = acc::openRecovery(h);
        acc::fill(f, {.answer = QStringLiteral("meo")});
        const QString shown = caption(f, QStringLiteral("xem"));
        QVERIFY(testkit::cutOff(h, true));
        click(testkit::widget(f, QStringLiteral("Command1")));
        QVERIFY(toldOffline(h));
        testkit::tick(f, QStringLiteral("Timer1"), 60);
        // No verdict, right or wrong, and nothing cleared.
        QCOMPARE(caption(f, QStringLiteral("xem")), shown);
        QCOMPARE(child<QLineEdit>(f, QStringLiteral("traloi"))->text(), QStringLiteral("meo"));
        QVERIFY(testkit::cutOff(h, false));
        click(testkit::widget(f, QStringLiteral("Command1")));
        testkit::tick(f, QStringLiteral("Timer1"), 50);
        QVERIFY(caption(f, QStringLiteral("xem")).startsWith(
                QStringLiteral("Baûn âaî nháûp thäng tin chênh xaïc. Password måïi cuía baûn laì: ")));
        QCOMPARE(h.s.messages.size(), 1);
    }

    void qualifyingDrawSaysOfflineNotNoQuestions()
    {
        testkit::GameHarness h;
        if (testkit::onServer()) { // the round is a step of the game the fee opened there
            h.addAccount(QStringLiteral("an"), QStringLiteral("pw"));
            QVERIFY(h.database->logIn(QStringLiteral("an"), QStringLiteral("pw")));
            QCOMPARE(h.app->referee().payFee(QStringLiteral("an"), db::LockWait::NoWait).status, db::WriteStatus::Done);
        }
        QualifyingForm *f = h.app->qualifying();
        f->show();
        QVERIFY(testkit::cutOff(h, true));
        for (int i = 0; i < 1000 && testkit::tick(f, QStringLiteral("Timer3")); ++i) {
        }
        QVERIFY(toldOffline(h));
        auto *start = child<LegacyLabel>(f, QStringLiteral("bdau"));
        const QString startCaption = QStringLiteral("Baét ñaàu");
        QCOMPARE(start->caption(), startCaption);
        QVERIFY(start->isVisible() && start->isEnabled());
        click(start);
        QCOMPARE(h.s.messages.size(), 2);
        QVERIFY(toldOffline(h));
        QCOMPARE(start->caption(), startCaption);
        QVERIFY(testkit::cutOff(h, false));
        click(start);
        QCOMPARE(h.s.messages.size(), 2);
        // On the file the round found no size it could draw from; a server
        // draws from the table as it is.
        if (!testkit::onServer())
            QCOMPARE(start->caption(), QStringLiteral("Thoaùt"));
    }
};

QTEST_MAIN(TestOffline)
#include "test_offline.moc"
