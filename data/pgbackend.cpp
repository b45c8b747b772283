// The server backend's connection: made (and made again when lost), its
// statements prepared once, the notifications it hears, and the reads and
// write transactions that survive a lost connection.

#include "pgbackend.h"
#include "pgbackend_p.h"
#include "pgwatchdog.h"

#include <QSqlDatabase>
#include <QStringList>
#include <QVariant>

namespace db {

using namespace pg;

namespace pg {

QString accountColumns()
{
    static const QString columns = QStringLiteral("rid, ") + columnList(kHosoColumns);
    return columns;
}

QString questionSelect(QuestionTable t)
{
    static const QString columns = columnList(kQuestionColumns);
    return QStringLiteral("SELECT rid, %1 FROM %2 ").arg(columns, tableName(t));
}

QString textArray(const QList<const QString *> &values)
{
    QString out;
    out.reserve(values.size() * 24);
    out += QLatin1Char('{');
    bool first = true;
    for (const QString *v : values) {
        if (!first)
            out += QLatin1Char(',');
        first = false;
        if (v->isNull()) {
            out += QLatin1String("NULL");
            continue;
        }
        out += QLatin1Char('"');
        for (const QChar ch : *v) {
            if (ch == u'"' || ch == u'\\')
                out += QLatin1Char('\\');
            out += ch;
        }
        out += QLatin1Char('"');
    }
    out += QLatin1Char('}');
    return out;
}

} // namespace pg

namespace {

// The bound of a game operation or a read (see PgBackend::Bound): past the
// patient lock wait, and short enough that with a connection made again
// (connect_timeout) the player hears of a dead server within ten seconds.
constexpr std::chrono::milliseconds kAnswerBound{6000};

const QString kLost = QStringLiteral("The connection to the database server was lost.");

// The channel the question tables' triggers notify, naming the table changed.
const QString kChanges = QStringLiteral("lontaris_changes");

} // namespace

PgBackend::PgBackend(const QString &location) : m_location(location)
{
    m_address = ServerAddress::parse(location, &m_addressError);
}

PgBackend::~PgBackend()
{
    disconnect();
}

void PgBackend::disconnect()
{
    m_listening = false;
    m_conn.close();
}

QString PgBackend::location() const
{
    return displayLocation(m_location);
}

bool PgBackend::isOpen() const
{
    return m_conn.isOpen();
}

QSqlDatabase PgBackend::connection() const
{
    return QSqlDatabase();
}

bool PgBackend::execute(const QString &sql, QVariantList *firstRow)
{
    if (!ensureConnected())
        return false;
    pg::Result r = m_conn.exec(sql);
    if (!r.ok()) {
        noteError(r);
        return false;
    }
    if (firstRow && r.next())
        for (int i = 0; i < r.columns(); ++i)
            *firstRow << r.value(i);
    return true;
}


// --- the connection -----------------------------------------------------------

bool PgBackend::connect(QString &why)
{
    if (!m_address) {
        why = m_addressError;
        return false;
    }
    disconnect();
    // Every wait on the server is bounded, so that a player hears of a dead
    // connection within ten seconds: a server that does not answer a
    // connection is given up after 3 s; data sent and not acknowledged for
    // 6 s ends the connection (tcp_user_timeout), and so do keepalives that
    // go unanswered for 7 s on an idle one; a statement the server itself
    // runs for more than 8 s is cancelled (statement_timeout; the lock waits
    // are shorter). Making the schema or a copy lifts the statement bound
    // (beginUnderSchemaLock).
    QList<QPair<QString, QString>> settings = {
        {QStringLiteral("dbname"), m_address->dbname},
        {QStringLiteral("connect_timeout"), QStringLiteral("3")},
        {QStringLiteral("application_name"), QStringLiteral("lontaris")},
        {QStringLiteral("keepalives"), QStringLiteral("1")},
        {QStringLiteral("keepalives_idle"), QStringLiteral("3")},
        {QStringLiteral("keepalives_interval"), QStringLiteral("2")},
        {QStringLiteral("keepalives_count"), QStringLiteral("2")},
        {QStringLiteral("tcp_user_timeout"), QStringLiteral("6000")},
        {QStringLiteral("options"), QStringLiteral("-c statement_timeout=8000")},
    };
    if (!m_address->host.isEmpty())
        settings.append({QStringLiteral("host"), m_address->host});
    if (m_address->port > 0)
        settings.append({QStringLiteral("port"), QString::number(m_address->port)});
    if (!m_address->user.isEmpty())
        settings.append({QStringLiteral("user"), m_address->user});
    if (!m_address->password.isEmpty())
        settings.append({QStringLiteral("password"), m_address->password});
    settings += m_address->settings();
    if (!m_conn.open(settings, why)) {
        why = m_address->scrub(why);
        if (why.isEmpty())
            why = QStringLiteral("The database server cannot be reached.");
        return false;
    }
    m_lost = false;
    m_inTransaction = false;
    m_facts.clear();
    m_sessionLockMs = -1;
    // Told of every change to the question tables (see facts()): the server
    // sends the table's name, read at the next look (hearChanges). A database
    // without the game's tables yet is listened to all the same.
    armWatch();
    m_listening = runText(QStringLiteral("LISTEN ") + kChanges);
    disarmWatch(m_listening);
    if (m_lost) {
        why = m_lastError;
        return false;
    }
    return true;
}

void PgBackend::hearChanges()
{
    // What the server has already sent, read without waiting: a table named
    // by a notification is counted again at its next use.
    if (!m_listening)
        return;
    for (const QString &table : m_conn.notifications(kChanges))
        for (QuestionTable t : kAllQuestionTables)
            if (tableName(t) == table)
                forgetFacts(t);
}

bool PgBackend::setSessionLockWait(LockWait wait)
{
    const int ms = wait == LockWait::NoWait ? kMomentLockMs : kPatientLockMs;
    if (ms == m_sessionLockMs)
        return true;
    if (!runText(QStringLiteral("SET lock_timeout = %1").arg(ms)))
        return false;
    m_sessionLockMs = ms;
    return true;
}

bool PgBackend::ensureConnected()
{
    if (!m_lost && m_conn.isOpen())
        return true;
    QString why;
    if (connect(why))
        return true;
    // Lost, whether a statement found it so or the library did, hearing the
    // server close it between two steps.
    m_lost = true;
    m_lastError = QStringLiteral("%1 It cannot be made again now: %2").arg(kLost, why);
    return false;
}

void PgBackend::noteError(const pg::Result &r)
{
    const QString code = r.sqlState();
    // Errors of the connection itself carry no SQLSTATE (the client library
    // found the socket closed) or one of class 08; a server shutting down says
    // 57P01..57P03.
    if (code.isEmpty() || code.startsWith(QLatin1String("08")) || code == QLatin1String("57P01")
        || code == QLatin1String("57P02") || code == QLatin1String("57P03") || m_conn.broken()) {
        m_lost = true;
        m_lastError = kLost;
        return;
    }
    // 55P03: a lock was not had in time; 40P01, 40001: the server chose this
    // transaction to give way; 57014: a statement ran past its bound. Nothing
    // was written: it may simply be tried again.
    if (code == QLatin1String("55P03") || code == QLatin1String("40P01") || code == QLatin1String("40001")
        || code == QLatin1String("57014"))
        m_busy = true;
    const QString text = r.error().isEmpty() ? m_conn.lastMessage() : r.error();
    m_lastError = m_address ? m_address->scrub(text) : text;
}

pg::Result PgBackend::run(const QString &sql, const QVariantList &values, Statement how)
{
    armWatch();
    pg::Result r = how == Statement::Kept ? m_conn.run(sql, values) : m_conn.runOnce(sql, values);
    if (!r.ok())
        noteError(r);
    disarmWatch(r.ok());
    return r;
}

bool PgBackend::runText(const QString &sql)
{
    armWatch();
    const pg::Result r = m_conn.exec(sql);
    if (!r.ok())
        noteError(r);
    disarmWatch(r.ok());
    return r.ok();
}

std::optional<PgBackend::Answer> PgBackend::call(const QString &function, const QVariantList &values)
{
    // The one shape every call has (pgfunctions.cpp), which the functions
    // check: the call alone, every value a parameter.
    QStringList marks;
    for (qsizetype i = 0; i < values.size(); ++i)
        marks << QStringLiteral("?");
    pg::Result r = run(QStringLiteral("SELECT * FROM %1(%2)").arg(function, marks.join(QLatin1String(", "))), values);
    if (!r.ok())
        return std::nullopt;
    Answer a{QStringLiteral("ok"), r};
    if (r.next())
        a.outcome = r.value(0).toString();
    return a;
}

PgBackend::Bound::Bound(PgBackend &b) : m_backend(b), m_outer(!b.m_deadline)
{
    if (m_outer) {
        b.m_deadline = std::chrono::steady_clock::now() + kAnswerBound;
        b.m_offline = false;
    }
}

PgBackend::Bound::~Bound()
{
    if (m_outer)
        m_backend.m_deadline.reset();
}

bool PgBackend::Bound::passed() const
{
    return m_backend.m_deadline && std::chrono::steady_clock::now() >= *m_backend.m_deadline;
}

void PgBackend::armWatch()
{
    if (!m_deadline)
        return;
    const int fd = m_conn.socket();
    if (fd < 0)
        return;
    if (!m_watchdog)
        m_watchdog = std::make_unique<pg::Watchdog>();
    m_watchdog->arm(fd, *m_deadline);
    m_armed = true;
}

void PgBackend::disarmWatch(bool ok)
{
    if (!m_armed)
        return;
    m_armed = false;
    if (!m_watchdog->disarm())
        return;
    // The socket is shut: whatever was answered, the connection is done.
    m_lost = true;
    if (!ok)
        m_lastError = QStringLiteral("The database server did not answer within %1 seconds.")
                              .arg(std::chrono::duration_cast<std::chrono::seconds>(kAnswerBound).count());
}

bool PgBackend::reading(const std::function<bool()> &body)
{
    if (m_inWrite)
        return body();
    const Bound bound(*this);
    m_busy = false;
    for (int attempt = 0; attempt < 2; ++attempt) {
        if ((attempt > 0 && bound.passed()) || !ensureConnected()) {
            m_offline = true;
            return false;
        }
        if (body())
            return true;
        if (!m_lost) {
            // A read the server ran past its bound: nothing says the rows are
            // not there, it may simply be made again.
            m_offline = m_busy;
            return false;
        }
    }
    m_offline = m_lost;
    return false;
}

bool PgBackend::begin(LockWait wait, qint64 *txid)
{
    const int ms = wait == LockWait::NoWait ? kMomentLockMs : kPatientLockMs;
    if (!runText(QStringLiteral("BEGIN; SET LOCAL lock_timeout = %1").arg(ms)))
        return false;
    m_inTransaction = true;
    if (!txid)
        return true;
    // The transaction's number, by which the server can say later whether a
    // commit whose answer was lost went through.
    pg::Result q = run(QStringLiteral("SELECT txid_current()"));
    if (!q.next())
        return false;
    *txid = q.value(0).toLongLong();
    return true;
}

WriteStatus PgBackend::writing(LockWait wait, const std::function<WriteStatus()> &body)
{
    m_busy = false;
    if (m_inWrite)
        return body(); // in the caller's transaction, which its commit settles
    m_offline = false;
    bool unansweredHere = false;
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (!ensureConnected()) {
            m_offline = true;
            return WriteStatus::Offline;
        }
        if (m_unsettled) {
            // A commit that went unanswered: the server knows what became of it.
            pg::Result q = run(QStringLiteral("SELECT txid_status(?)"), {*m_unsettled});
            if (!q.ok()) {
                if (m_lost)
                    continue;
                return WriteStatus::Failed;
            }
            const QString state = q.next() ? q.value(0).toString() : QString();
            if (state == QLatin1String("in progress")) {
                m_busy = true;
                m_lastError = QStringLiteral("The server is still finishing the last write.");
                return WriteStatus::Busy;
            }
            m_unsettled.reset();
            if (unansweredHere && state == QLatin1String("committed"))
                return WriteStatus::Done;
        }
        qint64 txid = 0;
        if (!begin(wait, &txid)) {
            if (m_lost)
                continue;
            return m_busy ? WriteStatus::Busy : WriteStatus::Failed;
        }
        m_inWrite = true;
        WriteStatus status = body();
        m_inWrite = false;
        if (status != WriteStatus::Done) {
            if (m_lost)
                continue; // nothing was written: once more on a new connection
            rollback();
            return m_busy && status == WriteStatus::Failed ? WriteStatus::Busy : status;
        }
        m_inTransaction = false;
        if (runText(QStringLiteral("COMMIT")))
            return WriteStatus::Done;
        if (!m_lost)
            return WriteStatus::Failed;
        m_unsettled = txid;
        unansweredHere = true;
    }
    if (m_lost && !ensureConnected()) {
        m_offline = true;
        return WriteStatus::Offline;
    }
    return WriteStatus::Failed;
}

bool PgBackend::write(const std::function<bool()> &body)
{
    return writing(LockWait::Patient, [&] { return body() ? WriteStatus::Done : WriteStatus::Failed; })
           == WriteStatus::Done;
}

bool PgBackend::lockTable(QuestionTable t)
{
    // Other writers of this one table wait; readers never do.
    return runText(QStringLiteral("LOCK TABLE %1 IN EXCLUSIVE MODE").arg(tableName(t)));
}

bool PgBackend::beginWrite(LockWait wait)
{
    m_busy = false;
    if (m_inWrite) {
        m_lastError = QStringLiteral("A write transaction is already open.");
        return false;
    }
    if (!ensureConnected())
        return false;
    if (!begin(wait, nullptr) && !(m_lost && ensureConnected() && begin(wait, nullptr)))
        return false;
    m_inWrite = true;
    return true;
}

bool PgBackend::commit()
{
    m_inWrite = false;
    m_inTransaction = false;
    if (runText(QStringLiteral("COMMIT")))
        return true;
    if (!m_lost)
        rollback();
    return false;
}

void PgBackend::rollback()
{
    m_inWrite = false;
    m_facts.clear(); // counted inside the transaction
    if (m_inTransaction && !m_lost)
        m_conn.exec(QStringLiteral("ROLLBACK"));
    m_inTransaction = false;
}

} // namespace db

// The module's maker (servermodule.h).
extern "C" Q_DECL_EXPORT db::Backend *lontaris_make_server_store(const QString &location)
{
    return new db::PgBackend(location);
}
