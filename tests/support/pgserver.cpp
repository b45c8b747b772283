#include "pgserver.h"

#include "gamedb.h"
#include "pgconn.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHostAddress>
#include <QProcess>
#include <QTest>
#include <QTcpServer>
#include <QUrl>
#include <QVariant>
#include <pwd.h>
#include <unistd.h>

namespace testkit {

namespace {
bool asRoot()
{
    return ::geteuid() == 0;
}
} // namespace

PgServer::PgServer(bool durable, const QStringList &settings) : m_durable(durable), m_settings(settings) {}

PgServer::~PgServer()
{
    if (m_running)
        stop();
}

QString PgServer::binDir()
{
    for (const QString &dir : {QStringLiteral("/usr/lib/postgresql/15/bin"), QStringLiteral("/usr/lib/postgresql/16/bin"),
                               QStringLiteral("/usr/lib/postgresql/17/bin")})
        if (QFileInfo(dir + QStringLiteral("/initdb")).isExecutable()
            && QFileInfo(dir + QStringLiteral("/pg_ctl")).isExecutable())
            return dir;
    return QString();
}

QString PgServer::unavailable()
{
    if (binDir().isEmpty())
        return QStringLiteral("PostgreSQL is not installed (initdb and pg_ctl of postgresql-15, which "
                              "tools/install-deps.sh installs): the server tests are skipped.");
    if (asRoot() && !::getpwnam("postgres"))
        return QStringLiteral("Running as root, but there is no postgres user to run the server as.");
    return QString();
}

bool PgServer::run(const QString &program, const QStringList &args)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.setWorkingDirectory(socketDir()); // a folder the postgres user may enter
    const QString bin = binDir() + QLatin1Char('/') + program;
    if (asRoot())
        p.start(QStringLiteral("runuser"), QStringList{QStringLiteral("-u"), QStringLiteral("postgres"), QStringLiteral("--"), bin} + args);
    else
        p.start(bin, args);
    // Generous: a loaded machine with two cores starts a cluster slowly.
    if (!p.waitForFinished(180000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        m_error = QStringLiteral("%1 failed: %2").arg(program, QString::fromLocal8Bit(p.readAll()).trimmed());
        return false;
    }
    return true;
}

QStringList PgServer::serverOptions() const
{
    QStringList o = {QStringLiteral("-c port=%1").arg(m_port), QStringLiteral("-c listen_addresses=127.0.0.1"),
                     QStringLiteral("-c unix_socket_directories='%1'").arg(socketDir()),
                     QStringLiteral("-c max_connections=100"), QStringLiteral("-c shared_buffers=64MB")};
    if (!m_durable)
        // Commits still reach the system before they are answered: a server
        // killed by stop() keeps them, as a real one does.
        o << QStringLiteral("-c fsync=off") << QStringLiteral("-c full_page_writes=off");
    for (const QString &setting : m_settings)
        o << QStringLiteral("-c ") + setting;
    return {o.join(QLatin1Char(' '))};
}

bool PgServer::start()
{
    if (!unavailable().isEmpty()) {
        m_error = unavailable();
        return false;
    }
    // As root the server runs as postgres, which must reach the folder: /tmp
    // is open to every user whatever TMPDIR says.
    const QString base = asRoot() ? QStringLiteral("/tmp") : QDir::tempPath();
    m_dir = std::make_unique<QTemporaryDir>(base + QStringLiteral("/lontaris-pg-XXXXXX"));
    if (!m_dir->isValid()) {
        m_error = QStringLiteral("no temporary folder");
        return false;
    }
    if (asRoot()) {
        const passwd *pw = ::getpwnam("postgres");
        if (::chown(QFile::encodeName(socketDir()).constData(), pw->pw_uid, pw->pw_gid) != 0) {
            m_error = QStringLiteral("cannot give the temporary folder to postgres");
            return false;
        }
    }
    const QString data = socketDir() + QStringLiteral("/data");
    if (!run(QStringLiteral("initdb"), {QStringLiteral("-D"), data, QStringLiteral("-U"), QStringLiteral("postgres"),
                                        QStringLiteral("-E"), QStringLiteral("UTF8"), QStringLiteral("--locale=C"),
                                        QStringLiteral("--auth-local=trust"), QStringLiteral("--auth-host=scram-sha-256"),
                                        QStringLiteral("--no-sync")}))
        return false;
    return startAgain();
}

bool PgServer::startAgain()
{
    const QString data = socketDir() + QStringLiteral("/data");
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (!m_port || attempt > 0) {
            // A free port: one the system hands out, let go just before.
            QTcpServer probe;
            if (!probe.listen(QHostAddress::LocalHost, 0)) {
                m_error = QStringLiteral("no free port");
                return false;
            }
            m_port = probe.serverPort();
        }
        if (run(QStringLiteral("pg_ctl"), QStringList{QStringLiteral("-D"), data, QStringLiteral("-l"),
                                                      socketDir() + QStringLiteral("/log"), QStringLiteral("-w"),
                                                      QStringLiteral("-t"), QStringLiteral("180"), QStringLiteral("-o")}
                                              + serverOptions() + QStringList{QStringLiteral("start")})) {
            m_running = true;
            watch();
            return true;
        }
        QFile log(socketDir() + QStringLiteral("/log"));
        if (log.open(QIODevice::ReadOnly))
            m_error += QStringLiteral("\n") + QString::fromLocal8Bit(log.readAll().right(2000));
    }
    return false;
}

void PgServer::watch()
{
    // A process of its own session (a test killed for its time limit takes its
    // process group with it) that outlives this one by a second at most: when
    // this process is gone, however it ended, the server is stopped and its
    // folder removed. It ends by itself when the server is stopped first.
    const QString data = socketDir() + QStringLiteral("/data");
    const QString script = QStringLiteral(
        "while [ -d /proc/$1 ] && [ -f \"$2/postmaster.pid\" ]; do sleep 1; done; "
        "if [ ! -d /proc/$1 ]; then \"$3\" -D \"$2\" -m immediate -w stop >/dev/null 2>&1; rm -rf \"$4\"; fi");
    QStringList args{QStringLiteral("sh"), QStringLiteral("-c"), script, QStringLiteral("watchdog"),
                     QString::number(::getpid()), data, binDir() + QStringLiteral("/pg_ctl"), socketDir()};
    if (asRoot())
        args = QStringList{QStringLiteral("runuser"), QStringLiteral("-u"), QStringLiteral("postgres"), QStringLiteral("--")}
               + args;
    QProcess::startDetached(QStringLiteral("setsid"), args, QStringLiteral("/"));
}

bool PgServer::stop()
{
    m_running = false;
    return run(QStringLiteral("pg_ctl"), {QStringLiteral("-D"), socketDir() + QStringLiteral("/data"),
                                          QStringLiteral("-m"), QStringLiteral("immediate"), QStringLiteral("-w"),
                                          QStringLiteral("stop")});
}

QString PgServer::log() const
{
    QFile f(socketDir() + QStringLiteral("/log"));
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

QString PgServer::url(const QString &dbname) const
{
    return QStringLiteral("postgresql://postgres@%1:%2/%3").arg(socketDir()).arg(m_port).arg(dbname);
}

QString PgServer::tcpUrl(const QString &dbname, const QString &user, const QString &password, int port) const
{
    // One arg() for all: a percent-encoded password holds "%2F" and the like.
    return QStringLiteral("postgresql://%1:%2@127.0.0.1:%3/%4")
        .arg(QString::fromUtf8(QUrl::toPercentEncoding(user)), QString::fromUtf8(QUrl::toPercentEncoding(password)),
             QString::number(port ? port : m_port), dbname);
}

bool PgServer::exec(const QString &dbname, const QStringList &statements)
{
    bool ok = false;
    const bool connected = query(dbname, [&](db::pg::Connection &c) {
        ok = true;
        for (const QString &st : statements) {
            const db::pg::Result r = c.exec(st);
            if (!r.ok()) {
                m_error = QStringLiteral("%1: %2").arg(st, r.error());
                ok = false;
                return;
            }
        }
    });
    return connected && ok;
}

QString PgServer::value(const QString &dbname, const QString &sql)
{
    QString out;
    query(dbname, [&](db::pg::Connection &c) {
        db::pg::Result r = c.exec(sql);
        if (r.next())
            out = r.value(0).toString();
        else
            m_error = r.error();
    });
    return out;
}

bool PgServer::query(const QString &dbname, const std::function<void(db::pg::Connection &)> &work)
{
    // As the superuser, over the socket, on a connection of its own.
    db::pg::Connection c;
    if (!c.open(connectionSettings(dbname, QStringLiteral("postgres")), m_error))
        return false;
    work(c);
    return true;
}

QList<QPair<QString, QString>> PgServer::connectionSettings(const QString &dbname, const QString &user) const
{
    return {{QStringLiteral("host"), socketDir()},
            {QStringLiteral("port"), QString::number(m_port)},
            {QStringLiteral("user"), user},
            {QStringLiteral("dbname"), dbname}};
}

QString PgServer::createDatabase(const QString &name)
{
    if (!exec(QStringLiteral("postgres"),
              {QStringLiteral("CREATE DATABASE %1 TEMPLATE template0 ENCODING 'UTF8'").arg(name)}))
        return QString();
    return url(name);
}

QStringList firstRow(db::pg::Result r)
{
    if (!r.ok())
        return {QStringLiteral("error: ") + r.error()};
    QStringList row;
    if (r.next())
        for (int i = 0; i < r.columns(); ++i)
            row << r.value(i).toString();
    return row;
}

QStringList callFunction(db::pg::Connection &c, const QString &function, const QVariantList &values)
{
    QStringList marks;
    for (qsizetype i = 0; i < values.size(); ++i)
        marks << QStringLiteral("?");
    return firstRow(c.runOnce(QStringLiteral("SELECT * FROM %1(%2)").arg(function, marks.join(QLatin1String(", "))), values));
}

std::unique_ptr<db::GameDb> ServerTest::machine(const QString &role)
{
    return opened(QString(m_owner).replace(QLatin1String("//postgres@"), QStringLiteral("//%1@").arg(role)));
}

std::unique_ptr<db::pg::Connection> ServerTest::client(const QString &role)
{
    auto c = std::make_unique<db::pg::Connection>();
    QString why;
    if (!c->open(m_server.connectionSettings(m_name, role), why))
        qWarning("%s", qPrintable(why));
    return c;
}

void ServerTest::initTestCase()
{
    if (const QString why = PgServer::unavailable(); !why.isEmpty())
        QSKIP(qPrintable(why));
    QVERIFY2(m_server.start(), qPrintable(m_server.error()));
}

} // namespace testkit
