#pragma once
// A PostgreSQL server of the test's own, in a temporary folder: initdb and
// pg_ctl of Debian's postgresql-15 (run as the postgres user when the tests
// run as root), its socket in that folder, a free TCP port on 127.0.0.1,
// trust on the socket and passwords over TCP. Stopped and removed with the
// object, or, when the process ends without that (killed, crashed, aborted),
// by a watchdog within a second or two. Tests skip, saying so, only where the
// binaries are not installed.

#include <QObject>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <QTemporaryDir>
#include <functional>
#include <memory>

namespace db {
class GameDb;
namespace pg {
class Connection;
class Result;
}
} // namespace db

namespace db::pg {
class Connection;
}

namespace testkit {

class PgServer {
public:
    // Durable: fsync as a real server has it (the benchmarks); otherwise off,
    // for speed (commits still survive stop(), which kills the server).
    // Settings of its own (postgresql.conf lines) may be added.
    explicit PgServer(bool durable = false, const QStringList &settings = {});
    ~PgServer();
    PgServer(const PgServer &) = delete;
    PgServer &operator=(const PgServer &) = delete;

    // The folder of initdb and pg_ctl; empty when PostgreSQL is not installed.
    static QString binDir();
    // Why tests cannot run here (no binaries), or empty.
    static QString unavailable();

    bool start();       // initdb (the first time) and start; false: see error()
    bool stop();        // as a crash would: immediate
    bool startAgain();  // after stop()
    QString error() const { return m_error; }
    QString socketDir() const { return m_dir ? m_dir->path() : QString(); }
    int port() const { return m_port; }

    // A new, empty UTF8 database; its address for the superuser over the socket.
    QString createDatabase(const QString &name);
    QString url(const QString &dbname) const;
    // The same database over TCP as `user` with `password` (percent-encoded here).
    QString tcpUrl(const QString &dbname, const QString &user, const QString &password, int port = 0) const;
    // Runs statements as the superuser on dbname; false (and error()) at the first that fails.
    bool exec(const QString &dbname, const QStringList &statements);
    // The first column of the first row of a query, as text.
    QString value(const QString &dbname, const QString &query);
    // The client library's settings for a connection over the socket as `user`.
    QList<QPair<QString, QString>> connectionSettings(const QString &dbname, const QString &user) const;
    // The server's log so far.
    QString log() const;

private:
    bool run(const QString &program, const QStringList &args);
    bool query(const QString &dbname, const std::function<void(db::pg::Connection &)> &work);
    QStringList serverOptions() const;
    void watch();

    bool m_durable;
    QStringList m_settings;
    std::unique_ptr<QTemporaryDir> m_dir;
    int m_port = 0;
    bool m_running = false;
    QString m_error;
};

// The first row of a statement's answer, as texts (a function's outcome
// first); what the statement's failure said when it failed.
QStringList firstRow(db::pg::Result r);
// A call of one of the game's functions as the game makes it (the function
// alone, every value a parameter): its answer's first row.
QStringList callFunction(db::pg::Connection &c, const QString &function, const QVariantList &values);

// The base of a test that runs against a server of its own: the server is
// started before the first test function, and the whole test skipped (saying
// why) where PostgreSQL is not installed.
class ServerTest : public QObject {
    Q_OBJECT
protected:
    // settings: of the server's own (postgresql.conf lines).
    explicit ServerTest(const QStringList &settings = {}) : m_server(false, settings) {}
    PgServer m_server;
    int m_next = 0;
    // A new, empty database: db1, db2, ...; m_next is the number of the last.
    QString fresh() { return m_server.createDatabase(QStringLiteral("db%1").arg(++m_next)); }
    // The teacher's address of the database a test works on, and its name:
    // what machine() and client() connect to.
    QString m_owner, m_name;
    // A pupil's machine (a role such as pupil1, over the socket) as the game opens it.
    std::unique_ptr<db::GameDb> machine(const QString &role);
    // A pupil's own client on the same database, bypassing the game.
    std::unique_ptr<db::pg::Connection> client(const QString &role);

protected slots:
    void initTestCase();
};

} // namespace testkit
