#include "sqlitebackend.h"
#include "sqlitebackend_p.h"

#include <QAtomicInt>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QUrl>

#include <sqlite3.h>

namespace db {

using namespace sqlite;

namespace sqlite {

QString immutableUri(const QString &path)
{
    return QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString(QUrl::FullyEncoded)
           + QStringLiteral("?immutable=1");
}

QString notARegularFile(const QString &path)
{
    return QStringLiteral("%1 is not a regular file (a pipe, a device or a socket); the database is a file.").arg(path);
}

QList<QPair<QString, QString>> columnTypes(const QSqlDatabase &c, const QString &table)
{
    QList<QPair<QString, QString>> cols;
    QSqlQuery t(c);
    t.prepare(QStringLiteral("SELECT name, type FROM pragma_table_info(?)"));
    t.addBindValue(table);
    if (t.exec())
        while (t.next())
            cols.append({t.value(0).toString(), t.value(1).toString()});
    return cols;
}

QStringList columnNames(const QSqlDatabase &c, const QString &table)
{
    QStringList names;
    for (const auto &[name, type] : columnTypes(c, table))
        names << name.toLower();
    return names;
}

bool keepsItsText(const QString &column)
{
    for (const char *n : {"sotien", "solan", "gio", "phut"})
        if (column.compare(QLatin1String(n), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

QString accountSelect()
{
    static const QString sql = QStringLiteral("SELECT rowid, %1 FROM hoso ").arg(columnList(kHosoColumns));
    return sql;
}

QString questionSelect(QuestionTable t)
{
    static const QString columns = columnList(kQuestionColumns);
    return QStringLiteral("SELECT rowid, %1 FROM %2 ").arg(columns, tableName(t));
}

} // namespace sqlite

namespace {

QAtomicInt g_connectionSerial;

bool isBusyError(const QSqlError &e)
{
    bool ok = false;
    const int code = e.nativeErrorCode().toInt(&ok);
    if (ok && ((code & 0xff) == SQLITE_BUSY || (code & 0xff) == SQLITE_LOCKED))
        return true;
    return e.text().contains(QLatin1String("locked"), Qt::CaseInsensitive);
}

} // namespace

SqliteBackend::SqliteBackend(const QString &path)
    : m_connName(QStringLiteral("gamedb-%1").arg(g_connectionSerial.fetchAndAddRelaxed(1))), m_path(path)
{
}

QSqlDatabase SqliteBackend::connection() const
{
    return QSqlDatabase::database(m_connName, false);
}

bool SqliteBackend::isOpen() const
{
    return connection().isOpen();
}

bool SqliteBackend::execute(const QString &sql, QVariantList *firstRow)
{
    QSqlQuery q(connection());
    if (!run(q, sql))
        return false;
    if (firstRow && q.next())
        for (int i = 0; i < q.record().count(); ++i)
            *firstRow << q.value(i);
    return true;
}

SqliteBackend::~SqliteBackend()
{
    stopBackgroundCheck();
    m_answerInsert.reset();
    {
        QSqlDatabase c = QSqlDatabase::database(m_connName, false);
        if (c.isValid())
            c.close();
    }
    if (QSqlDatabase::contains(m_connName))
        QSqlDatabase::removeDatabase(m_connName);
}

QString SqliteBackend::location() const { return m_path; }
bool SqliteBackend::beginSnapshot() { return exec(QStringLiteral("BEGIN")); }
void SqliteBackend::endSnapshot() { exec(QStringLiteral("COMMIT")); }

bool SqliteBackend::exec(const QString &sql)
{
    QSqlQuery q(connection());
    return run(q, sql);
}

bool SqliteBackend::run(QSqlQuery &q, const QString &sql, const QVariantList &values)
{
    if (!q.isForwardOnly()) // set before a query's first run only
        q.setForwardOnly(true);
    bool ok = false;
    if (values.isEmpty()) {
        ok = q.exec(sql);
    } else {
        q.prepare(sql);
        for (const QVariant &v : values)
            q.addBindValue(v);
        ok = q.exec();
    }
    if (!ok)
        m_lastError = q.lastError().text();
    return ok;
}

OpenResult SqliteBackend::open(bool createMissing)
{
    OpenResult r;
    removeStaleSideFiles();
    QFileInfo fi(m_path);
    bool created = false;
    if (!fi.exists() && !createMissing) {
        r.status = OpenStatus::Missing;
        r.detail = QStringLiteral("%1 does not exist.").arg(m_path);
        return r;
    }
    if (!fi.exists()) {
        QString why;
        if (!createDefault(why)) {
            r.status = OpenStatus::CannotCreate;
            r.detail = why;
            return r;
        }
        created = true;
        fi.refresh();
    }
    if (fi.isDir()) {
        r.status = OpenStatus::Damaged;
        r.detail = QStringLiteral("%1 is a folder, not a database file.").arg(m_path);
        return r;
    }
    // A pipe, a device or a socket: reading it could wait for ever.
    if (!fi.isFile()) {
        r.status = OpenStatus::Damaged;
        r.detail = notARegularFile(m_path);
        return r;
    }
    // Look at the header first: SQLite would take an empty file for a new, empty
    // database and any other file is only found out at the first query.
    bool walMode = false;
    {
        QFile f(m_path);
        if (!f.open(QIODevice::ReadOnly)) {
            r.status = OpenStatus::Damaged;
            r.detail = QStringLiteral("%1 cannot be read: %2").arg(m_path, f.errorString());
            return r;
        }
        const QByteArray head = f.read(100);
        if (head.size() < 100 || !head.startsWith(QByteArrayLiteral("SQLite format 3\0"))) {
            r.status = OpenStatus::Damaged;
            r.detail = head.isEmpty()
                           ? QStringLiteral("%1 is empty.").arg(m_path)
                           : QStringLiteral("%1 is not a database of this game.").arg(m_path);
            return r;
        }
        walMode = head.at(18) == 2 && head.at(19) == 2;
    }
    const bool folderWritable = QFileInfo(fi.absolutePath()).isWritable();
    m_readOnly = !fi.isWritable() || !folderWritable;
    const bool hotJournal = QFileInfo(m_path + QStringLiteral("-journal")).size() > 0;
    const bool walFile = QFile::exists(m_path + QStringLiteral("-wal"));
    // A log of writes without its index file, in a file this program may not
    // write: reading it in place would make the index file (which, made here,
    // keeps the file's read-only mode and then stops the next program that
    // may write), or fails where the folder cannot be written. It is read on
    // a copy, as an unfinished write is.
    const bool strandedLog =
        m_readOnly && !hotJournal && walFile && !QFile::exists(m_path + QStringLiteral("-shm"));
    const QString pending = hotJournal    ? QStringLiteral("-journal")
                            : strandedLog ? QStringLiteral("-wal")
                                          : QString();

    // Judge the file before opening it for real: an ordinary connection would
    // already write to it (journal recovery, the switch to WAL, the WAL and
    // index files), and a damaged file must stay exactly as it is. A file this
    // program has used before (WAL, prepared) is checked whole in the
    // background; any other is checked whole now, before it is changed.
    bool checkedWhole = created || !pending.isEmpty() || !walMode;
    {
        QString why;
        bool needsPreparation = false;
        if (!checkBeforeOpening(pending, checkedWhole, why, needsPreparation)) {
            r.status = OpenStatus::Damaged;
            r.detail = why;
            return r;
        }
        checkedWhole = checkedWhole || needsPreparation;
    }

    QSqlDatabase c = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connName);
    QString checkUri = m_path;
    QString checkOptions = QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1;QSQLITE_OPEN_READONLY").arg(kBusyTimeoutMs);
    if (m_readOnly && !pending.isEmpty() && m_scratch) {
        // Writes that nobody may undo or carry into the file here: read the
        // copy on which that was done and found sound.
        c.setDatabaseName(immutableUri(m_scratch->filePath(QStringLiteral("check.db"))));
        c.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_OPEN_READONLY"));
    } else if (m_readOnly && !walFile) {
        // Nobody writes here (a program that does keeps a WAL file beside it):
        // read the file as it is, making no side file, which would keep the
        // file's read-only mode and stop whoever may write it later.
        c.setDatabaseName(immutableUri(m_path));
        c.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_OPEN_READONLY"));
        checkUri = c.databaseName();
        checkOptions = c.connectOptions();
    } else {
        c.setDatabaseName(m_path);
        c.setConnectOptions(m_readOnly ? QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1;QSQLITE_OPEN_READONLY").arg(kBusyTimeoutMs)
                                       : QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(kBusyTimeoutMs));
    }
    QString why;
    bool ok = c.open();
    if (!ok) {
        why = c.lastError().text();
    } else {
        QSqlQuery probe(c);
        ok = probe.exec(QStringLiteral("SELECT count(*) FROM sqlite_master"));
        if (!ok)
            why = probe.lastError().text();
    }
    if (ok) // room for a whole renumbering in one transaction without spilling
        exec(QStringLiteral("PRAGMA cache_size=-32768"));
    if (ok && !m_readOnly) {
        exec(QStringLiteral("PRAGMA synchronous=NORMAL"));
        if (checkedWhole) {
            exec(QStringLiteral("PRAGMA journal_mode=WAL"));
            ok = prepareForUse(why);
        }
    }
    if (ok && !columnNames(c, QStringLiteral("hoso")).contains(QLatin1String("nickkey"))) {
        ok = false;
        why = QStringLiteral("The table hoso cannot be prepared for lookups.");
    }
    if (!ok) {
        c.close();
        r.status = OpenStatus::Damaged;
        r.detail = why;
        return r;
    }
    if (checkedWhole) {
        if (!m_readOnly)
            fillMissingNickKeys();
    } else {
        startBackgroundCheck(checkUri, checkOptions);
    }
    r.status = m_readOnly ? OpenStatus::ReadOnly : created ? OpenStatus::Created : OpenStatus::Opened;
    if (m_readOnly)
        r.detail = QStringLiteral("%1 cannot be written.").arg(m_path);
    return r;
}

// --- transactions ---------------------------------------------------------------

bool SqliteBackend::beginWrite(LockWait wait)
{
    m_busy = false;
    if (wait == LockWait::NoWait && checkState() == CheckState::Pending) {
        m_busy = true;
        m_lastError = QStringLiteral("The database file is still being checked.");
        return false;
    }
    if (!mayWrite())
        return false;
    if (wait == LockWait::NoWait)
        exec(QStringLiteral("PRAGMA busy_timeout = 0"));
    QSqlQuery q(connection());
    const bool ok = q.exec(QStringLiteral("BEGIN IMMEDIATE"));
    if (!ok) {
        m_lastError = q.lastError().text();
        m_busy = isBusyError(q.lastError());
    }
    if (wait == LockWait::NoWait)
        QSqlQuery(connection()).exec(QStringLiteral("PRAGMA busy_timeout = %1").arg(kBusyTimeoutMs));
    m_inWrite = ok;
    return ok;
}

bool SqliteBackend::commit()
{
    m_inWrite = false;
    wrote();
    if (exec(QStringLiteral("COMMIT")))
        return true;
    rollback();
    return false;
}

void SqliteBackend::rollback()
{
    m_inWrite = false;
    QSqlQuery q(connection());
    q.exec(QStringLiteral("ROLLBACK"));
}

bool SqliteBackend::inTransaction(LockWait wait, const std::function<bool()> &body)
{
    if (!beginWrite(wait))
        return false;
    if (!body()) {
        rollback();
        return false;
    }
    return commit();
}

} // namespace db
