// The server backend's connection: made (and made again when lost), its
// statements prepared once, the notifications it hears, and the reads and
// write transactions that survive a lost connection.

#include "pgbackend.h"
#include "pgbackend_p.h"
#include "pgwatchdog.h"

#include <QAbstractEventDispatcher>
#include <QAtomicInt>
#include <QCoreApplication>
#include <QEventLoop>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
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

QAtomicInt g_pgSerial;

constexpr int kPatientLockMs = 5000; // as the file's busy timeout
constexpr int kMomentLockMs = 50;    // a save that must not hold up its window
// The bound of a game operation or a read (see PgBackend::Bound): past the
// patient lock wait, and short enough that with a connection made again
// (connect_timeout) the player hears of a dead server within ten seconds.
constexpr std::chrono::milliseconds kAnswerBound{6000};

const QString kLost = QStringLiteral("The connection to the database server was lost.");

// The channel the question tables' triggers notify, naming the table changed.
const QString kChanges = QStringLiteral("lontaris_changes");

} // namespace

PgBackend::PgBackend(const QString &location)
    : ConnectedBackend(QStringLiteral("gamedb-pg-%1").arg(g_pgSerial.fetchAndAddRelaxed(1))), m_location(location)
{
    m_address = ServerAddress::parse(location, &m_addressError);
}

PgBackend::~PgBackend()
{
    disconnect();
}

void PgBackend::disconnect()
{
    QObject::disconnect(m_hearing);
    m_listening = false;
    // The driver goes before the statements prepared on it: they are then let
    // go without a word to the server (which may be gone).
    {
        QSqlDatabase c = QSqlDatabase::database(m_connName, false);
        if (c.isValid())
            c.close();
    }
    if (QSqlDatabase::contains(m_connName))
        QSqlDatabase::removeDatabase(m_connName);
    dropStatements();
}

QString PgBackend::location() const
{
    return displayLocation(m_location);
}


// --- the connection -----------------------------------------------------------

bool PgBackend::connect(QString &why)
{
    if (!m_address) {
        why = m_addressError;
        return false;
    }
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL"))) {
        why = QStringLiteral("Qt's PostgreSQL driver is not installed (Debian: libqt6sql6-psql).");
        return false;
    }
    disconnect();
    QSqlDatabase c = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), m_connName);
    c.setHostName(m_address->host);
    c.setPort(m_address->port > 0 ? m_address->port : -1);
    c.setUserName(m_address->user);
    c.setPassword(m_address->password);
    c.setDatabaseName(m_address->dbname);
    // Every wait on the server is bounded, so that a player hears of a dead
    // connection within ten seconds: a server that does not answer a
    // connection is given up after 3 s; data sent and not acknowledged for
    // 6 s ends the connection (tcp_user_timeout), and so do keepalives that
    // go unanswered for 7 s on an idle one; a statement the server itself
    // runs for more than 8 s is cancelled (statement_timeout; the lock waits
    // are shorter). Making the schema or a copy lifts the statement bound
    // (beginUnderSchemaLock).
    QString options = QStringLiteral("connect_timeout=3;application_name=lontaris;keepalives=1;keepalives_idle=3;"
                                     "keepalives_interval=2;keepalives_count=2;tcp_user_timeout=6000;"
                                     "options='-c statement_timeout=8000'");
    if (!m_address->options.isEmpty())
        options += QLatin1Char(';') + m_address->options;
    c.setConnectOptions(options);
    if (!c.open()) {
        why = m_address->scrub(c.lastError().text().trimmed());
        if (why.isEmpty())
            why = QStringLiteral("The database server cannot be reached.");
        return false;
    }
    m_lost = false;
    m_inTransaction = false;
    m_facts.clear();
    m_sessionLockMs = -1;
    // Told of every change to the question tables (see facts()), through the
    // driver: it hears the server in the event loop, and when asked (hearChanges).
    // A database without the game's tables yet is listened to all the same.
    QSqlDriver *driver = c.driver();
    m_hearing = QObject::connect(driver, &QSqlDriver::notification, driver,
                                 [this](const QString &channel, QSqlDriver::NotificationSource, const QVariant &table) {
                                     if (channel != kChanges)
                                         return;
                                     for (QuestionTable t : kAllQuestionTables)
                                         if (tableName(t) == table.toString())
                                             forgetFacts(t);
                                 });
    // The driver watches the connection with the thread's event dispatcher: a
    // thread of the caller's own that has none yet is given one (an event loop
    // made makes it), used or not.
    if (!QAbstractEventDispatcher::instance())
        QEventLoop();
    armWatch();
    m_listening = driver->subscribeToNotification(kChanges);
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
    // by a notification is counted again at its next use. The driver reads
    // what came (its slot _q_handleNotification) when its socket is ready, in
    // the event loop, and queues a look after each statement; here the queued
    // look is made now (so none piles up where no event loop turns) and the
    // slot is called at once. A driver without that slot is still heard, in
    // the event loop.
    QSqlDriver *driver = connection().driver();
    if (!driver || !m_listening)
        return;
    QCoreApplication::sendPostedEvents(driver, QEvent::MetaCall);
    QMetaObject::invokeMethod(driver, "_q_handleNotification", Qt::DirectConnection);
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
    if (!m_lost && connection().isOpen())
        return true;
    QString why;
    if (connect(why))
        return true;
    // Lost, whether a statement found it so or the driver did, hearing the
    // server close it between two steps.
    m_lost = true;
    m_lastError = QStringLiteral("%1 It cannot be made again now: %2").arg(kLost, why);
    return false;
}

void PgBackend::dropStatements()
{
    m_statements.clear();
}

void PgBackend::noteError(const QSqlError &e)
{
    const QString code = e.nativeErrorCode();
    // Errors of the connection itself carry no SQLSTATE (the client library
    // found the socket closed) or one of class 08; a server shutting down says
    // 57P01..57P03.
    if (code.isEmpty() || code.startsWith(QLatin1String("08")) || code == QLatin1String("57P01")
        || code == QLatin1String("57P02") || code == QLatin1String("57P03")) {
        m_lost = true;
        m_lastError = kLost;
        return;
    }
    // 55P03: a lock was not had in time; 40P01, 40001: the server chose this
    // transaction to give way. Nothing was written: it may simply be tried again.
    if (code == QLatin1String("55P03") || code == QLatin1String("40P01") || code == QLatin1String("40001"))
        m_busy = true;
    // The game's functions: a stored number that cannot be computed exactly.
    if (code == QLatin1String("LTINX"))
        m_inexact = true;
    if (code == QLatin1String("LTLIM"))
        m_heldBack = true;
    m_lastError = m_address ? m_address->scrub(e.text().trimmed()) : e.text().trimmed();
}

QSqlQuery *PgBackend::statement(const QString &sql)
{
    auto it = m_statements.find(sql);
    if (it != m_statements.end())
        return it->second.get();
    auto q = std::make_unique<QSqlQuery>(connection());
    armWatch();
    const bool prepared = q->prepare(sql);
    if (!prepared)
        noteError(q->lastError());
    disarmWatch(prepared);
    if (!prepared)
        return nullptr;
    return m_statements.emplace(sql, std::move(q)).first->second.get();
}

bool PgBackend::run(QSqlQuery &q)
{
    armWatch();
    const bool ok = q.exec();
    if (!ok)
        noteError(q.lastError());
    disarmWatch(ok);
    return ok;
}

QSqlQuery *PgBackend::runStatement(const QString &sql, const QVariantList &values)
{
    QSqlQuery *q = statement(sql);
    if (!q)
        return nullptr;
    bindAll(*q, values);
    return run(*q) ? q : nullptr;
}

bool PgBackend::runText(QSqlQuery &q, const QString &sql)
{
    armWatch();
    const bool ok = q.exec(sql);
    if (!ok)
        noteError(q.lastError());
    disarmWatch(ok);
    return ok;
}

bool PgBackend::runText(const QString &sql)
{
    QSqlQuery q(connection());
    return runText(q, sql);
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
    const int fd = pg::socketOf(connection().driver());
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
    for (int attempt = 0; attempt < 2; ++attempt) {
        if ((attempt > 0 && bound.passed()) || !ensureConnected()) {
            m_offline = true;
            return false;
        }
        if (body())
            return true;
        if (!m_lost)
            return false;
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
    QSqlQuery q(connection());
    if (!q.exec(QStringLiteral("SELECT txid_current()")) || !q.next()) {
        noteError(q.lastError());
        return false;
    }
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
            QSqlQuery q(connection());
            q.prepare(QStringLiteral("SELECT txid_status(?)"));
            q.addBindValue(*m_unsettled);
            if (!run(q)) {
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
        QSqlQuery(connection()).exec(QStringLiteral("ROLLBACK"));
    m_inTransaction = false;
}

} // namespace db
