// The corners of the data layer, on the file and on a server of the test's
// own: copies of rows whatever their keys and however many pages, one nick
// one account whatever the timing, a read-only look that leaves nothing
// behind, tables that are not tables, one money order on both stores, and a
// test server that goes with its test.

#include "backend.h"
#include "pgserver.h"
#include "rows.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QScopeGuard>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <csignal>
#include <cstdio>
#include <thread>
#include <unistd.h>

using db::QuestionTable;
using testkit::opened;
using testkit::rawExec;
using testkit::sideFiles;

namespace {

// Makes a file or folder unwritable, for root too (root ignores its mode, not the
// immutable attribute). False when the platform cannot.
bool lockFile(const QString &path, bool locked)
{
    const QFile::Permissions exec = QFileInfo(path).isDir() ? QFile::ExeOwner : QFile::Permissions();
    QFile::setPermissions(path, exec | (locked ? QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther
                                               : QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther));
    if (::geteuid() == 0)
        return QProcess::execute(QStringLiteral("chattr"), {QLatin1String(locked ? "+i" : "-i"), path}) == 0;
    return true;
}

qint64 deadPid()
{
    qint64 gone = 4000000;
    while (::kill(pid_t(gone), 0) == 0 || errno == EPERM)
        --gone;
    return gone;
}

} // namespace

class TestCorners : public QObject {
    Q_OBJECT
    testkit::PgServer m_server;
    bool m_serverUp = false;
    int m_next = 0;

    QString fresh() { return m_server.createDatabase(QStringLiteral("c%1").arg(++m_next)); }

private slots:
    void initTestCase()
    {
        if (QProcessEnvironment::systemEnvironment().contains(QStringLiteral("CORNERS_ORPHAN")))
            return;
        m_serverUp = testkit::PgServer::unavailable().isEmpty() && m_server.start();
        if (!m_serverUp)
            qWarning("The server cases are skipped: %s", qPrintable(m_server.error()));
    }

    void aCopyTakesEveryRowWhateverItsKeyAndHoweverManyPages()
    {
        // Rows another tool made with keys of 0 and below, and more accounts
        // and questions than one page of a copy, each page boundary crossed.
        const int accounts = 3 + 2100;
        testkit::ProgramFolder folder;
        const QString file = folder.dbPath();
        QVERIFY(opened(file));
        const QString row = QStringLiteral("'p', '1/1/1990', '', NULL, NULL, '1200', '0', '0', '0'");
        QVERIFY(rawExec(file, {QStringLiteral("DELETE FROM thungrac"),
                               QStringLiteral("INSERT INTO hoso (rowid, nick, pass, ngaysinh, mail, cauhoibimat, traloiibimat, "
                                              "sotien, solan, gio, phut, nickkey) VALUES (0, 'zero', %1, 'zero'), "
                                              "(-5, 'minus', %1, 'minus'), (7, 'seven', %1, 'seven')").arg(row),
                               // Without a password: the server would hash each one.
                               QStringLiteral("INSERT INTO hoso (rowid, nick, sotien, nickkey) WITH RECURSIVE n(i) AS "
                                              "(SELECT 8 UNION ALL SELECT i + 1 FROM n WHERE i < 2107) "
                                              "SELECT i, 'n' || i, i, 'n' || i FROM n"),
                               QStringLiteral("INSERT INTO muc1 (rowid, ID, cauhoi, A, B, C, D, traloi) VALUES "
                                              "(-1, 0, 'below', 'a', 'b', 'c', 'd', 'A')"),
                               QStringLiteral("INSERT INTO thungrac (rowid, ID, cauhoi, A, B, C, D, traloi) "
                                              "WITH RECURSIVE n(i) AS (SELECT -2100 UNION ALL SELECT i + 1 FROM n "
                                              "WHERE i < 2100) SELECT i, i, 'q' || i, 'a', 'b', 'c', 'd', 'B' FROM n")}));
        const auto source = opened(file);
        QVERIFY(source);
        // A server keeps passwords hashed: whether an account has one is compared.
        const QStringList rows = testkit::everyRow(*source, false);
        QCOMPARE(source->accountCount(), accounts);
        int questions = 0;
        for (QuestionTable t : db::kAllQuestionTables)
            questions += source->questionCount(t);
        QCOMPARE(rows.size(), accounts + 1 + 5 + questions);

        auto sameAs = [&](const QString &where) {
            const auto d = opened(where);
            return d && testkit::everyRow(*d, false) == rows && d->accountCount() == accounts;
        };
        const QString fileCopy = folder.path() + QStringLiteral("/file.db");
        const db::CopyResult f = db::copyInstallation(file, fileCopy);
        QVERIFY2(f.ok, qPrintable(f.detail));
        QCOMPARE(f.accounts, accounts);
        QVERIFY(sameAs(fileCopy));
        if (!m_serverUp)
            QSKIP("no server here: the file to file copy alone was tried");
        const QString server = fresh();
        const db::CopyResult there = db::copyInstallation(file, server);
        QVERIFY2(there.ok, qPrintable(there.detail));
        QVERIFY(sameAs(server));
        // Keys of 0 and below on the server too (rows put there by hand).
        const QString name = QStringLiteral("c%1").arg(m_next);
        QVERIFY(m_server.exec(name, {QStringLiteral("UPDATE hoso SET rid = -rid WHERE nick = 'seven'"),
                                     QStringLiteral("UPDATE thungrac SET rid = rid - 3000 WHERE id < 0")}));
        const QString back = folder.path() + QStringLiteral("/back.db");
        const db::CopyResult home = db::copyInstallation(server, back);
        QVERIFY2(home.ok, qPrintable(home.detail));
        const auto d = opened(back);
        QVERIFY(d);
        QCOMPARE(d->accountCount(), accounts);
        QCOMPARE(d->questionCount(QuestionTable::Thungrac), 4201);
        // The accounts come in the order of their keys there, which moved.
        const QStringList got = testkit::everyRow(*d, false);
        QCOMPARE(got.mid(3), rows.mid(3));
        QCOMPARE(QStringList(got.mid(0, 3)) << rows[0] << rows[1], QStringList() << rows[2] << rows[0] << rows[1] << got[1] << got[2]);
    }

    void aCopyThatDoesNotComeOutWholeFails()
    {
        testkit::ProgramFolder folder;
        const auto source = opened(folder.dbPath());
        QVERIFY(source);
        db::Account a;
        a.nick = QStringLiteral("an");
        QVERIFY(source->insertAccount(a) && source->insertAccount(a));
        // A target that loses a row on the way.
        qint64 written = 0;
        db::RowWriters lossy;
        lossy.accounts = [&](const QList<db::Account> &rows, QString &) { written += rows.size() - 1; return true; };
        lossy.locks = [](const QList<db::LockRow> &, QString &) { return true; };
        lossy.questions = [](QuestionTable, const QList<db::Question> &, QString &) { return true; };
        lossy.count = [&](const QString &) { return std::optional<qint64>(written); };
        QString why;
        bool copied = true;
        source->withBackend([&](db::Backend &b) { copied = db::copyRows(b, lossy, {}, why); });
        QVERIFY(!copied);
        QVERIFY2(why.contains(QLatin1String("hoso")) && why.contains(QLatin1String("1 rows where the source holds 2")),
                 qPrintable(why));
    }

    void aCopyClearsWhatKilledCopiesLeftBehind()
    {
        testkit::ProgramFolder folder;
        QVERIFY(opened(folder.dbPath()));
        const QString target = folder.path() + QStringLiteral("/backup.db");
        const QString dead = target + QStringLiteral(".%1.gamedb-1.new").arg(deadPid());
        const QString live = target + QStringLiteral(".%1.gamedb-4.new").arg(::getppid());
        for (const QString &f : {dead, dead + QStringLiteral("-journal"), live}) {
            QFile side(f);
            QVERIFY(side.open(QIODevice::WriteOnly) && side.write("half") == 4);
        }
        const db::CopyResult r = db::copyInstallation(folder.dbPath(), target);
        QVERIFY2(r.ok, qPrintable(r.detail));
        QVERIFY(!QFile::exists(dead) && !QFile::exists(dead + QStringLiteral("-journal")));
        QVERIFY(QFile::exists(live)); // another copy may still be making it
    }

    void oneNickIsOneAccountWhateverTheTiming_data() { testkit::twoCases("server", "file", "server"); }
    void oneNickIsOneAccountWhateverTheTiming()
    {
        QFETCH(bool, server);
        if (server && !m_serverUp)
            QSKIP("no server here");
        testkit::ProgramFolder folder;
        const QString location = server ? fresh() : folder.dbPath();
        const auto holder = opened(location);
        QVERIFY(holder);
        // Another program holds the write lock while two players register
        // the same nick (in two letter cases); both wait for it.
        QVERIFY(testkit::holdWriteLock(*holder));
        if (server) // inserts wait, looks do not: both would look, find nothing, and insert
            QVERIFY(holder->execute(QStringLiteral("LOCK TABLE hoso IN EXCLUSIVE MODE")));
        std::atomic<int> made{0}, taken{0}, failed{0};
        std::vector<std::thread> players;
        for (const QString &nick : {QStringLiteral("Lan"), QStringLiteral("LAN")}) {
            players.emplace_back([&, nick] {
                db::GameDb d{QString()};
                d.setLocation(location);
                db::Account a;
                a.nick = nick;
                a.pass = QStringLiteral("pw");
                a.sotien = QStringLiteral("1200");
                if (!d.open().usable()) {
                    ++failed;
                    return;
                }
                const db::Registration r = d.registerAccount(a);
                ++(r == db::Registration::Made ? made : r == db::Registration::Taken ? taken : failed);
            });
        }
        QTest::qWait(400);
        holder->rollback();
        for (auto &p : players)
            p.join();
        QCOMPARE(made.load(), 1);
        QCOMPARE(taken.load(), 1);
        QCOMPARE(holder->accountCount(), 1);
    }

    void aReadOnlyLookLeavesNoSideFile()
    {
        testkit::ProgramFolder folder;
        const QString file = folder.dbPath();
        QVERIFY(opened(file));
        QCOMPARE(sideFiles(file), QStringList());
        if (!lockFile(file, true))
            QSKIP("the file cannot be made unwritable here");
        auto restore = qScopeGuard([&] { lockFile(file, false); });
        {
            const auto d = std::make_unique<db::GameDb>(QString());
            d->setLocation(file);
            QCOMPARE(d->open().status, db::OpenStatus::ReadOnly);
            QVERIFY(d->readLock().has_value());
            QVERIFY(!d->questions(QuestionTable::Muc1).isEmpty());
            QCOMPARE(d->waitForCheck(), db::CheckState::Sound);
            QCOMPARE(sideFiles(file), QStringList());
        }
        QCOMPARE(sideFiles(file), QStringList());
        restore.dismiss();
        QVERIFY(lockFile(file, false));
        const auto writer = opened(file);
        QVERIFY(writer);
        db::Account a;
        a.nick = QStringLiteral("after");
        QVERIFY2(writer->insertAccount(a), qPrintable(writer->lastError()));
    }

    void aLogWithoutItsIndexIsReadNotRefused_data() { testkit::twoCases("folder", "read-only file", "read-only folder"); }
    void aLogWithoutItsIndexIsReadNotRefused()
    {
        QFETCH(bool, folder);
        // A WAL file left without its index file (-shm): where the file or
        // its folder cannot be written, its writes are read, and nothing is
        // made beside the file.
        testkit::ProgramFolder source;
        QVERIFY(opened(source.dbPath()));
        testkit::ProgramFolder left;
        const QString file = left.dbPath();
        QDir().mkpath(QFileInfo(file).absolutePath());
        {
            QSqlDatabase c = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("writer"));
            c.setDatabaseName(source.dbPath());
            QVERIFY(c.open());
            QSqlQuery q(c);
            QVERIFY(q.exec(QStringLiteral("PRAGMA wal_autocheckpoint=0")));
            QVERIFY(q.exec(QStringLiteral("INSERT INTO hoso (nick, nickkey, sotien) VALUES ('inlog', 'inlog', '5')")));
            QVERIFY(QFile::copy(source.dbPath(), file) && QFile::copy(source.dbPath() + QStringLiteral("-wal"), file + QStringLiteral("-wal")));
            q.finish();
            c.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("writer"));
        const QString locked = folder ? QFileInfo(file).absolutePath() : file;
        if (!lockFile(locked, true))
            QSKIP("the file cannot be made unwritable here");
        auto restore = qScopeGuard([&] { lockFile(locked, false); });
        db::GameDb d{QString()};
        d.setLocation(file);
        const db::OpenResult r = d.open();
        QVERIFY2(r.status == db::OpenStatus::ReadOnly, qPrintable(r.detail));
        QCOMPARE(d.findAccount(QStringLiteral("INLOG"))->sotien, QStringLiteral("5"));
        QCOMPARE(sideFiles(file), QStringList{QStringLiteral("-wal")});
    }

    void aViewInPlaceOfATableIsRefusedAtOpen_data() { testkit::twoCases("server", "file", "server"); }
    void aViewInPlaceOfATableIsRefusedAtOpen()
    {
        QFETCH(bool, server);
        if (server && !m_serverUp)
            QSKIP("no server here");
        testkit::ProgramFolder folder;
        const QString location = server ? fresh() : folder.dbPath();
        QVERIFY(opened(location));
        const QStringList asView = {QStringLiteral("ALTER TABLE \"lock\" RENAME TO lock_rows"),
                                    QStringLiteral("CREATE VIEW \"lock\" AS SELECT * FROM lock_rows")};
        QVERIFY(server ? m_server.exec(QStringLiteral("c%1").arg(m_next), asView) : rawExec(location, asView));
        db::GameDb d{QString()};
        d.setLocation(location);
        const db::OpenResult r = d.open();
        QCOMPARE(r.status, db::OpenStatus::Damaged);
        QVERIFY2(r.detail.contains(QLatin1String("lock")) && r.detail.contains(QLatin1String("view")), qPrintable(r.detail));
    }

    void bothStoresRankMoneyByOneRule()
    {
        if (!m_serverUp)
            QSKIP("no server here");
        const QStringList money = {QStringLiteral("1e00005"), QStringLiteral("107.5e000000000002"), QStringLiteral("99999"),
                                   QStringLiteral("2e-0000000000000001"), QStringLiteral(" .5e1"), QStringLiteral("1e999999999"),
                                   QStringLiteral("-1e400"), QStringLiteral("00012.50"), QStringLiteral("1 000$"),
                                   QStringLiteral("1e-400"), QStringLiteral("-0.000e7"), QStringLiteral("5e")};
        auto ranking = [&](db::GameDb &d) {
            for (int i = 0; i < money.size(); ++i) {
                db::Account a;
                a.nick = QStringLiteral("n%1").arg(i);
                a.sotien = money[i];
                d.insertAccount(a);
            }
            QStringList order;
            for (const auto &a : d.accountsByMoney())
                order << a.sotien;
            return order;
        };
        testkit::ProgramFolder folder;
        const auto file = opened(folder.dbPath());
        const QString location = fresh();
        auto server = opened(location);
        QVERIFY(file && server);
        const QStringList onFile = ranking(*file);
        QCOMPARE(onFile.mid(onFile.size() - 3), (QStringList{QStringLiteral("99999"), QStringLiteral("1e00005"),
                                                             QStringLiteral("1e999999999")}));
        QCOMPARE(ranking(*server), onFile);
        // A database whose money was ordered by an older rule is put right at
        // the next start.
        server.reset();
        QVERIFY(m_server.exec(QStringLiteral("c%1").arg(m_next),
                              {QStringLiteral("CREATE OR REPLACE FUNCTION lontaris_money(t text) RETURNS numeric "
                                              "LANGUAGE sql IMMUTABLE AS $$ SELECT length(t)::numeric $$"),
                               QStringLiteral("UPDATE hoso SET sotien = sotien")}));
        server = opened(location);
        QStringList again;
        for (const auto &a : server->accountsByMoney())
            again << a.sotien;
        QCOMPARE(again, onFile);
    }

    void aTestKilledForItsTimeTakesItsServerWithIt()
    {
        if (qEnvironmentVariableIsSet("CORNERS_ORPHAN")) {
            // The child: starts a server, says where, and waits to be killed.
            testkit::PgServer orphan;
            if (!orphan.start())
                return;
            std::printf("%s\n", qPrintable(orphan.socketDir()));
            std::fflush(stdout);
            QThread::sleep(120);
            return;
        }
        if (!m_serverUp)
            QSKIP("no server here");
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("CORNERS_ORPHAN"), QStringLiteral("1"));
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("aTestKilledForItsTimeTakesItsServerWithIt")});
        QVERIFY(child.waitForStarted());
        QString dir;
        for (int i = 0; i < 600 && !dir.startsWith(QLatin1Char('/')); ++i) {
            child.waitForReadyRead(500);
            while (child.canReadLine() && !dir.startsWith(QLatin1Char('/')))
                dir = QString::fromLocal8Bit(child.readLine()).trimmed();
        }
        QVERIFY2(QFile::exists(dir + QStringLiteral("/data/postmaster.pid")), qPrintable(dir));
        ::kill(pid_t(child.processId()), SIGKILL);
        child.waitForFinished();
        QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(dir + QStringLiteral("/data/postmaster.pid")), 30000);
        QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(dir), 10000);
    }
};

QTEST_MAIN(TestCorners)
#include "test_corners.moc"
