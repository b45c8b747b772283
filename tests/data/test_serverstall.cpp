// A server process that stops answering (stopped, or a peer that takes the
// bytes and never replies) holds a game operation only for its bound: the
// operation reports the connection lost, the player can try again, and a
// save tried again is counted once.

#include "gamedb.h"
#include "pgserver.h"
#include "testsupport.h"
#include "windowwait.h"

#include <QElapsedTimer>
#include <QTimer>

namespace {

// Generous: the bound is a few seconds; the operating system's own give-up on
// a connection whose peer takes the bytes is minutes.
constexpr qint64 kHeldAtMostMs = 15000;

using Stopped = testkit::StoppedProcess;
using testkit::servingPid;

} // namespace

class TestServerStall : public testkit::ServerTest {
    Q_OBJECT
private slots:
    void aStoppedServerProcessIsGivenUpAndTheSaveSettledOnRetry()
    {
        const QString location = m_server.createDatabase(QStringLiteral("stall"));
        db::GameDb d{QString()};
        d.setLocation(location);
        QVERIFY(d.open().usable());
        db::Account a;
        a.nick = QStringLiteral("An");
        a.pass = QStringLiteral("pw");
        QCOMPARE(d.registerAccount(a), db::Registration::Made);
        const qint64 start = a.sotien.toLongLong();
        QVERIFY(d.logIn(QStringLiteral("An"), QStringLiteral("pw")));
        QCOMPARE(d.payFee(QStringLiteral("An"), db::LockWait::NoWait).status, db::WriteStatus::Done);

        const db::AccountDelta won{QStringLiteral("2000"), QString(), 1};
        const db::LockRow switches;
        {
            Stopped stopped(servingPid(d));
            bool turned = false; // the window's event loop, while the step waits
            QTimer::singleShot(0, [&] { turned = true; });
            QElapsedTimer held;
            held.start();
            const db::AccountUpdate u = d.endGame(QStringLiteral("An"), won, switches, db::LockWait::NoWait);
            qInfo("the game's end held its caller %lld ms", held.elapsed());
            QCOMPARE(u.status, db::WriteStatus::Offline);
            QVERIFY(held.elapsed() < kHeldAtMostMs);
            QVERIFY(turned);
            // The call reached the server: whether it was made is not known.
            QVERIFY(d.outcomeUnknown());
            QVERIFY(!d.lastError().isEmpty());
            stopped.resume();
            // The process, going on, may make the save now: tried again, it
            // is counted once whichever comes first.
            QCOMPARE(d.endGame(QStringLiteral("An"), won, switches, db::LockWait::NoWait).status,
                     db::WriteStatus::Done);
        }
        QCOMPARE(d.endGame(QStringLiteral("An"), won, switches).status, db::WriteStatus::Failed); // one end per fee
        // The server pays what its record says was won (nothing here, the
        // winnings sent are not its concern) and counts the minute once.
        QCOMPARE(m_server.value(QStringLiteral("stall"), QStringLiteral("SELECT sotien || ' ' || phut FROM hoso WHERE nick = 'An'")),
                 QStringLiteral("%1 1").arg(start - 1000));

        // A draw, on the connection made again, likewise; asked in the middle
        // of painting (a list's rows), without turning the event loop.
        {
            Stopped stopped(servingPid(d));
            bool turned = false;
            QTimer::singleShot(0, [&] { turned = true; });
            const WindowWait::Plainly painting;
            QElapsedTimer held;
            held.start();
            const QList<db::Question> drawn = d.questionsFrom(db::QuestionTable::Muc1, 0, 1);
            qInfo("a draw held its caller %lld ms", held.elapsed());
            QVERIFY(drawn.isEmpty());
            QVERIFY(held.elapsed() < kHeldAtMostMs);
            QVERIFY(!turned);
        }
        QCOMPARE(d.questionsFrom(db::QuestionTable::Muc1, 0, 1).size(), 1);
    }
};

QTEST_MAIN(TestServerStall)
#include "test_serverstall.moc"
