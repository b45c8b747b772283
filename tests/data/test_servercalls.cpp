// The game's server functions called as a pupil's own client would call them
// (the pupils' group role, values as parameters): tampered and replayed
// calls, locks taken to stall a classmate, huge values, the hold-back by
// nick and machine, the pupils' rights, and nothing secret in the server's
// log or its list of sessions.

#include "gamedb.h"
#include "pgconn.h"
#include "pgserver.h"
#include "testsupport.h"

#include <QElapsedTimer>
#include <QTest>

#include <libpq-fe.h>

#include <chrono>
#include <thread>

using testkit::account;
using testkit::opened;

namespace {

// Every password and answer of this test starts so: none may reach the log.
const QString kSecret = QStringLiteral("S3cr");

QString secret(const QString &what)
{
    return kSecret + what;
}

QStringList answer(db::pg::Result r)
{
    return testkit::firstRow(std::move(r));
}

QStringList call(db::pg::Connection &c, const QString &function, const QVariantList &values)
{
    return testkit::callFunction(c, function, values);
}

QString outcome(const QStringList &row)
{
    return row.value(0);
}

const QVariant kNoSwitches = QStringLiteral("{NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL}");

} // namespace

class TestServerCalls : public testkit::ServerTest {
    Q_OBJECT
public:
    // Every error reported with its statement and its parameters in full: a
    // refusal made an error would show its values here.
    TestServerCalls()
        : ServerTest({QStringLiteral("log_min_error_statement=debug5"), QStringLiteral("log_statement=ddl"),
                      QStringLiteral("log_parameter_max_length_on_error=-1")})
    {
    }

private:

    // A fresh database made ready by the teacher's role, with these accounts
    // (password secret(nick)); a store of the teacher's on it.
    std::unique_ptr<db::GameDb> teacherWith(const QStringList &nicks)
    {
        m_owner = fresh();
        m_name = QStringLiteral("db%1").arg(m_next);
        auto teacher = opened(m_owner);
        for (const QString &nick : nicks) {
            db::Account a = account(nick, QStringLiteral("5000"));
            a.pass = secret(nick);
            teacher->insertAccount(a);
        }
        return teacher;
    }
    QString sotien(const QString &nick)
    {
        return m_server.value(m_name, QStringLiteral("SELECT sotien FROM hoso WHERE nick = '%1'").arg(nick));
    }

private slots:
    void initTestCase()
    {
        ServerTest::initTestCase();
        QVERIFY(m_server.exec(QStringLiteral("postgres"),
                              {QStringLiteral("CREATE ROLE lontaris_pupil NOLOGIN"), QStringLiteral("CREATE ROLE pupil1 LOGIN"),
                               QStringLiteral("CREATE ROLE pupil2 LOGIN"), QStringLiteral("GRANT lontaris_pupil TO pupil1, pupil2")}));
    }

    void aGameEndPaysOnlyItsOwnFeeOnce()
    {
        teacherWith({QStringLiteral("An"), QStringLiteral("Binh")});
        const auto an = machine(QStringLiteral("pupil1"));
        QVERIFY(an->logIn(QStringLiteral("an"), secret(QStringLiteral("An"))));
        QCOMPARE(an->payFee(QStringLiteral("an")).status, db::WriteStatus::Done);
        const QString anFee = m_server.value(m_name, QStringLiteral("SELECT game FROM lontaris_games"));
        const auto binh = client(QStringLiteral("pupil2"));
        const QString token = call(*binh, QStringLiteral("lontaris_login"), {QStringLiteral("binh"), secret(QStringLiteral("Binh"))}).value(1);
        QVERIFY(!token.isEmpty());

        // Another's fee, by its key: neither ended nor paid again.
        QCOMPARE(outcome(call(*binh, QStringLiteral("lontaris_end_game"),
                              {token, anFee, QStringLiteral("s0"), 0, kNoSwitches})),
                 QStringLiteral("refused"));
        QCOMPARE(outcome(call(*binh, QStringLiteral("lontaris_pay_fee"), {token, anFee})), QStringLiteral("refused"));
        QCOMPARE(sotien(QStringLiteral("Binh")), QStringLiteral("5000"));
        QCOMPARE(sotien(QStringLiteral("An")), QStringLiteral("4000"));
        // A forged session.
        QCOMPARE(outcome(call(*binh, QStringLiteral("lontaris_pay_fee"), {QStringLiteral("00ff"), QStringLiteral("f")})),
                 QStringLiteral("refused"));

        // Its own fee and end; the end replayed under its key changes nothing,
        // under another key it is refused.
        QCOMPARE(outcome(call(*binh, QStringLiteral("lontaris_pay_fee"), {token, QStringLiteral("fee-b")})), QStringLiteral("ok"));
        QCOMPARE(outcome(call(*binh, QStringLiteral("lontaris_pay_fee"), {token, QStringLiteral("fee-b")})), QStringLiteral("ok"));
        for (int again = 0; again < 2; ++again) {
            const QStringList ended = call(*binh, QStringLiteral("lontaris_end_game"),
                                           {token, QStringLiteral("fee-b"), QStringLiteral("s1"), 0, kNoSwitches});
            QCOMPARE(outcome(ended), QStringLiteral("ok"));
            QCOMPARE(ended.value(3), QStringLiteral("4000")); // nothing won: nothing paid
        }
        QCOMPARE(outcome(call(*binh, QStringLiteral("lontaris_end_game"),
                              {token, QStringLiteral("fee-b"), QStringLiteral("s2"), 0, kNoSwitches})),
                 QStringLiteral("refused"));
        QCOMPARE(sotien(QStringLiteral("Binh")), QStringLiteral("4000"));
        QCOMPARE(sotien(QStringLiteral("An")), QStringLiteral("4000"));
    }

    void aNickIsFoundByTheServersKeyAndHugeValuesAreRefused()
    {
        const auto teacher = teacherWith({QStringLiteral("Alice"), QStringLiteral("ĐỨC")});
        const auto c = client(QStringLiteral("pupil1"));
        // Full-width letters and another letter case are the same nick, the
        // database's locale notwithstanding (the test server's is C).
        QCOMPARE(outcome(call(*c, QStringLiteral("lontaris_register"),
                              {QStringLiteral("ＡＬＩＣＥ"), secret(QStringLiteral("x")), QStringLiteral("1/1/2000"),
                               QString(), QString(), QString()})),
                 QStringLiteral("taken"));
        QCOMPARE(call(*c, QStringLiteral("lontaris_nick_taken"), {QStringLiteral("đức")}),
                 (QStringList{QStringLiteral("ok"), QStringLiteral("ĐỨC")}));
        QCOMPARE(m_server.value(m_name, QStringLiteral("SELECT nickkey FROM hoso WHERE nick = 'Alice'")), QStringLiteral("alice"));
        QVERIFY(teacher->findAccount(QStringLiteral("ａｌｉｃｅ")));

        // Refused whole, at once, and nothing stored.
        const QString huge(20'000'000, QLatin1Char('n'));
        QElapsedTimer took;
        took.start();
        QCOMPARE(outcome(call(*c, QStringLiteral("lontaris_register"),
                              {huge, secret(QStringLiteral("x")), QString(), QString(), QString(), QString()})),
                 QStringLiteral("toolong"));
        QCOMPARE(outcome(call(*c, QStringLiteral("lontaris_login"), {QStringLiteral("alice"), huge})), QStringLiteral("toolong"));
        QCOMPARE(outcome(call(*c, QStringLiteral("lontaris_register"),
                              {QStringLiteral("n"), secret(QStringLiteral("x")), QStringLiteral("1/1/2000"), QString(256, QLatin1Char('m')),
                               QString(), QString()})),
                 QStringLiteral("toolong"));
        QVERIFY2(took.elapsed() < 10000, qPrintable(QString::number(took.elapsed())));
        QCOMPARE(teacher->accountCount(), 2);
        // One stored by other means (the teacher's copy) reaches the board cut.
        QVERIFY(m_server.exec(m_name, {QStringLiteral("INSERT INTO hoso (nick, sotien) VALUES (repeat('W', 50000), repeat('9', 40))")}));
        const auto pupil = machine(QStringLiteral("pupil1"));
        took.restart();
        const QList<db::Account> top = pupil->topFive();
        QVERIFY(took.elapsed() < 10000);
        QCOMPARE(top.value(0).nick, QString(23, QLatin1Char('W')) + QChar(0x2026));
        QCOMPARE(top.value(0).sotien, QString(23, QLatin1Char('9')) + QChar(0x2026));
    }

    void wrongPasswordsHoldBackANickOnlyOnTheirMachine()
    {
        teacherWith({QStringLiteral("Lan"), QStringLiteral("Minh")});
        const auto one = machine(QStringLiteral("pupil1"));
        const auto two = machine(QStringLiteral("pupil2"));
        // A right password clears its machine's count: four wrong, right, four wrong, right.
        for (int round = 0; round < 2; ++round) {
            for (int i = 0; i < 4; ++i)
                QVERIFY(!one->logIn(QStringLiteral("minh"), secret(QStringLiteral("no"))));
            QVERIFY2(one->logIn(QStringLiteral("minh"), secret(QStringLiteral("Minh"))), qPrintable(one->lastError()));
        }
        for (int i = 0; i < 5; ++i)
            QVERIFY(!one->logIn(QStringLiteral("lan"), secret(QStringLiteral("no"))) && !one->heldBack());
        QVERIFY(!one->logIn(QStringLiteral("lan"), secret(QStringLiteral("Lan"))));
        QVERIFY(one->heldBack() && !one->lastWasOffline());
        // The password change and the recovery are held back there too.
        QVERIFY(!one->changePassword(QStringLiteral("Lan"), secret(QStringLiteral("Lan")), secret(QStringLiteral("new"))));
        QVERIFY(one->heldBack());
        QCOMPARE(one->recoverPassword(QStringLiteral("Lan"), QStringLiteral("3/15/1990"), QString(), QString(), secret(QStringLiteral("n"))),
                 db::Recovery::Failed);
        QVERIFY(one->heldBack());
        // Another machine is not.
        QVERIFY(two->logIn(QStringLiteral("lan"), secret(QStringLiteral("Lan"))));
        QVERIFY(two->changePassword(QStringLiteral("Lan"), secret(QStringLiteral("Lan")), secret(QStringLiteral("new"))));
    }

    void noPupilHoldsALoginBeyondItsLockTimeout()
    {
        teacherWith({QStringLiteral("Alice")});
        const auto victim = machine(QStringLiteral("pupil1"));
        const auto c = client(QStringLiteral("pupil1")); // the same machine: the same count of alice's wrong passwords
        // The earlier versions' lock of a login, by its name: it holds nothing now.
        QVERIFY(answer(c->exec(QStringLiteral("SELECT pg_advisory_lock(hashtext('lontaris login alice'))"))).size() == 1);
        QVERIFY(victim->logIn(QStringLiteral("alice"), secret(QStringLiteral("Alice"))));
        // A call beside another statement, with its values in the text, or in
        // a transaction begun a while before, is not made.
        QCOMPARE(outcome(answer(c->runOnce(QStringLiteral("SELECT * FROM lontaris_login(?, ?), pg_sleep(0)"),
                                           {QStringLiteral("alice"), secret(QStringLiteral("no"))}))),
                 QStringLiteral("busy"));
        QCOMPARE(outcome(answer(c->exec(QStringLiteral("SELECT * FROM lontaris_login('alice', 'x')")))), QStringLiteral("busy"));
        QVERIFY(c->exec(QStringLiteral("BEGIN")).ok());
        std::this_thread::sleep_for(std::chrono::milliseconds(1100));
        QCOMPARE(outcome(call(*c, QStringLiteral("lontaris_login"), {QStringLiteral("alice"), secret(QStringLiteral("no"))})),
                 QStringLiteral("busy"));
        QVERIFY(c->exec(QStringLiteral("ROLLBACK")).ok());

        // Wrong recovery details sent with a long statement behind them in one
        // go (a pipeline of the client library) keep that machine's count of
        // alice's wrong passwords locked as long as that runs: a
        // login from that machine waits the function's lock timeout, then
        // says the server is busy, never that the password is wrong; another
        // machine's login does not wait, nor does alice's fee (the wrong
        // recovery locked nothing of her account).
        QCOMPARE(outcome(call(*c, QStringLiteral("lontaris_login"), {QStringLiteral("alice"), secret(QStringLiteral("no"))})),
                 QStringLiteral("wrong"));
        const QByteArray conninfo = QStringLiteral("host='%1' port=%2 user=pupil1 dbname=%3")
                                        .arg(m_server.socketDir())
                                        .arg(m_server.port())
                                        .arg(m_name)
                                        .toUtf8();
        PGconn *holder = PQconnectdb(conninfo.constData());
        QCOMPARE(PQstatus(holder), CONNECTION_OK);
        auto closeHolder = qScopeGuard([&] { PQfinish(holder); });
        const QByteArray nick = "Alice", wrong = secret(QStringLiteral("no")).toUtf8(), date = "3/15/1990";
        const char *details[] = {nick.constData(), date.constData(), wrong.constData(), wrong.constData()};
        QVERIFY(PQenterPipelineMode(holder));
        QVERIFY(PQsendQueryParams(holder, "SELECT * FROM lontaris_recover($1, $2, $3, $4)", 4, nullptr, details,
                                  nullptr, nullptr, 0));
        QVERIFY(PQsendQueryParams(holder, "SELECT pg_sleep(6)", 0, nullptr, nullptr, nullptr, nullptr, 0));
        QVERIFY(PQpipelineSync(holder));
        PQflush(holder);
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        QString seen;
        std::thread look([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(800));
            seen = m_server.value(m_name, QStringLiteral("SELECT string_agg(query, ' | ') FROM pg_stat_activity"));
        });
        QElapsedTimer took;
        took.start();
        QVERIFY(!victim->logIn(QStringLiteral("alice"), secret(QStringLiteral("Alice"))));
        const qint64 held = took.elapsed();
        look.join();
        QVERIFY2(held >= 1500 && held < 5000, qPrintable(QString::number(held)));
        QVERIFY(victim->lastWasOffline() && !victim->heldBack());
        QVERIFY2(seen.contains(QLatin1String("lontaris_login($1, $2)")) && !seen.contains(kSecret), qPrintable(seen));
        const auto other = machine(QStringLiteral("pupil2"));
        QVERIFY(other->logIn(QStringLiteral("alice"), secret(QStringLiteral("Alice"))));
        QCOMPARE(other->payFee(QStringLiteral("alice")).status, db::WriteStatus::Done);
        while (PGresult *r = PQgetResult(holder)) {
            const bool synced = PQresultStatus(r) == PGRES_PIPELINE_SYNC;
            PQclear(r);
            if (synced)
                break;
        }
        QVERIFY(victim->logIn(QStringLiteral("alice"), secret(QStringLiteral("Alice"))));
    }

    void aPupilsSessionIsBoundedByTheServer()
    {
        teacherWith({});
        const auto c = client(QStringLiteral("pupil2"));
        QCOMPARE(answer(c->exec(QStringLiteral("SHOW statement_timeout"))), QStringList{QStringLiteral("10s")});
        QVERIFY(c->exec(QStringLiteral("BEGIN")).ok());
        std::this_thread::sleep_for(std::chrono::milliseconds(11000));
        QVERIFY(!c->exec(QStringLiteral("SELECT 1")).ok());
        QVERIFY(c->broken());
    }

    void thePupilsHoldNoRightOnTheTablesAfterTheTeachersStart()
    {
        teacherWith({QStringLiteral("Lan")});
        // Rights an administrator once gave the group, and functions of an
        // older version: the teacher's next start takes them back.
        QVERIFY(m_server.exec(m_name, {QStringLiteral("GRANT ALL ON ALL TABLES IN SCHEMA public TO lontaris_pupil"),
                                       QStringLiteral("DROP FUNCTION lontaris_api_4()")}));
        QVERIFY(opened(m_owner));
        const auto c = client(QStringLiteral("pupil1"));
        QVERIFY(!c->exec(QStringLiteral("SELECT pass FROM hoso")).ok());
        QVERIFY(!c->exec(QStringLiteral("UPDATE hoso SET sotien = '1'")).ok());
        QCOMPARE(outcome(call(*c, QStringLiteral("lontaris_nick_taken"), {QStringLiteral("LAN")})), QStringLiteral("ok"));
    }

    void aHeldBackLoginLeavesNoPasswordInTheServersLog()
    {
        teacherWith({QStringLiteral("Carol")});
        const auto d = machine(QStringLiteral("pupil1"));
        for (int i = 0; i < 5; ++i)
            d->logIn(QStringLiteral("carol"), secret(QStringLiteral("wrong%1").arg(i)));
        QVERIFY(!d->logIn(QStringLiteral("carol"), secret(QStringLiteral("Carol"))));
        QVERIFY(d->heldBack());
        // Every test of this program so far included.
        const QString log = m_server.log();
        QVERIFY(log.contains(QLatin1String("lontaris_api_4")));
        QVERIFY2(!log.contains(kSecret), qPrintable(log.mid(log.indexOf(kSecret) - 400, 800)));
    }
};

QTEST_GUILESS_MAIN(TestServerCalls)
#include "test_servercalls.moc"
