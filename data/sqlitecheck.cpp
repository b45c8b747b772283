// Judging the database file: the check before it is opened for real, and the
// whole-file check of a file used before, which runs in the background.

#include "sqlitebackend.h"
#include "sqlitebackend_p.h"

#include <QCoreApplication>
#include <QFile>
#include <QHash>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <condition_variable>
#include <mutex>
#include <dlfcn.h>
#include <sqlite3.h>
#include <thread>

namespace db {

using namespace sqlite;

struct SqliteBackend::Check {
    std::mutex mutex;
    std::condition_variable done;
    CheckState state = CheckState::Pending;
    QString detail;
    sqlite3 *handle = nullptr; // the check's connection while it runs, for an interrupt
    bool cancelled = false;
    bool reported = false; // the handler has been called
    std::function<void(const QString &)> handler;
    // What the thread checks; it starts a moment after the file was opened,
    // or as soon as anything waits for its answer.
    QString uri, options, name;
    bool started = false;
    std::thread thread;
};

namespace {
// Long enough for the program's first window to be shown and painted before
// the check reads the whole file.
constexpr int kCheckAfterMs = 250;

// sqlite3_interrupt() of the SQLite library that Qt's driver brought in with
// its plugin (the connection being checked is one of its own). The programs do
// not link SQLite themselves: every start would load and bind it, before the
// first window, for this one call.
void interruptConnection(sqlite3 *handle)
{
    using Interrupt = void (*)(sqlite3 *);
    static const Interrupt interrupt = [] {
        void *lib = dlopen("libsqlite3.so.0", RTLD_LAZY | RTLD_NOLOAD);
        return reinterpret_cast<Interrupt>(dlsym(lib ? lib : RTLD_DEFAULT, "sqlite3_interrupt"));
    }();
    if (interrupt)
        interrupt(handle);
}
} // namespace

void SqliteBackend::stopBackgroundCheck()
{
    if (!m_check)
        return;
    {
        std::lock_guard lock(m_check->mutex);
        m_check->cancelled = true;
        m_check->handler = nullptr;
        if (m_check->handle)
            interruptConnection(m_check->handle);
        if (!m_check->started) {
            // Never started: ended as an interrupted check ends.
            m_check->started = true;
            m_check->state = CheckState::Damaged;
        }
    }
    m_check->done.notify_all();
    if (m_check->thread.joinable())
        m_check->thread.join();
}

bool SqliteBackend::checkBeforeOpening(const QString &pending, bool wholeFile, QString &why, bool &needsPreparation)
{
    const QString name = m_connName + QStringLiteral("-check");
    auto scratch = std::make_unique<QTemporaryDir>();
    const bool log = pending == QLatin1String("-wal");
    bool ok = true;
    {
        QSqlDatabase c = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        if (!pending.isEmpty()) {
            // A write was cut short, or a log of writes waits to be carried
            // into the file where it cannot be. Either writes to the file, so
            // it is done on a copy first: only a file found sound is mended.
            const QString copy = scratch->filePath(QStringLiteral("check.db"));
            if (!scratch->isValid() || !QFile::copy(m_path, copy) || !QFile::copy(m_path + pending, copy + pending)) {
                why = log ? QStringLiteral("%1 has a log of writes (%1-wal) without its index file (%1-shm), and "
                                           "no copy to read them from can be made.")
                                .arg(m_path)
                          : QStringLiteral("%1 has an unfinished write that cannot be checked.").arg(m_path);
                ok = false;
            }
            c.setDatabaseName(copy);
        } else if (QFile::exists(m_path + QStringLiteral("-wal"))
                   || (!m_readOnly && QFile::exists(m_path + QStringLiteral("-shm")))) {
            // The other program may have it open: read through its log, making nothing.
            c.setDatabaseName(m_path);
            c.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1;QSQLITE_OPEN_READONLY").arg(kBusyTimeoutMs));
        } else {
            // The file alone is the whole database: read it as a fixed file,
            // with no locks, no recovery and no files made beside it.
            c.setDatabaseName(immutableUri(m_path));
            c.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_OPEN_READONLY"));
        }
        if (ok && !c.open()) {
            why = c.lastError().text();
            ok = false;
        }
        if (ok)
            ok = checkTables(c, why, needsPreparation);
        if (ok && (wholeFile || needsPreparation))
            ok = checkWholeFile(c, why);
        if (ok && log && m_readOnly) // the log carried into the copy, which is then read alone
            ok = QSqlQuery(c).exec(QStringLiteral("PRAGMA journal_mode=DELETE"));
        c.close();
    }
    QSqlDatabase::removeDatabase(name);
    if (ok && !pending.isEmpty() && m_readOnly)
        m_scratch = std::move(scratch); // read in place of the file
    return ok;
}

bool SqliteBackend::checkWholeFile(const QSqlDatabase &c, QString &why)
{
    // Every page, every table against its indexes (quick_check would miss an
    // index that lost or gained entries).
    QSqlQuery q(c);
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("PRAGMA integrity_check(20)"))) {
        why = QStringLiteral("The database file is damaged: %1").arg(q.lastError().text());
        return false;
    }
    QStringList problems;
    while (q.next())
        problems << q.value(0).toString();
    if (problems != QStringList{QStringLiteral("ok")}) {
        why = QStringLiteral("The database file is damaged: %1").arg(problems.join(QLatin1String("; ")));
        return false;
    }
    return true;
}

void SqliteBackend::startBackgroundCheck(const QString &uri, const QString &options)
{
    auto check = std::make_shared<Check>();
    m_check = check;
    check->uri = uri;
    check->options = options;
    check->name = m_connName + QStringLiteral("-whole");
    // A program's first window comes before the whole file is read: the check
    // waits a moment when the file was opened on a thread with an event loop.
    QCoreApplication *app = QCoreApplication::instance();
    if (app && QThread::currentThread() == app->thread()) {
        QTimer::singleShot(kCheckAfterMs, app, [weak = std::weak_ptr<Check>(check)] {
            if (const auto c = weak.lock())
                runCheck(c);
        });
    } else {
        runCheck(check);
    }
}

void SqliteBackend::runCheck(const std::shared_ptr<Check> &check)
{
    {
        std::lock_guard lock(check->mutex);
        if (check->started || check->cancelled)
            return;
        check->started = true;
    }
    const QString uri = check->uri, options = check->options, name = check->name;
    QObject *home = QCoreApplication::instance();
    check->thread = std::thread([check, uri, options, name, home] {
        QString why;
        bool ok = false;
        bool interrupted = false;
        {
            QSqlDatabase c = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            c.setDatabaseName(uri);
            c.setConnectOptions(options);
            if (!c.open()) {
                why = c.lastError().text();
            } else {
                {
                    std::lock_guard lock(check->mutex);
                    check->handle = *static_cast<sqlite3 *const *>(c.driver()->handle().constData());
                    interrupted = check->cancelled;
                }
                if (!interrupted)
                    ok = checkWholeFile(c, why);
                std::lock_guard lock(check->mutex);
                check->handle = nullptr;
                interrupted = check->cancelled;
            }
            c.close();
        }
        QSqlDatabase::removeDatabase(name);
        {
            std::lock_guard lock(check->mutex);
            check->state = ok ? CheckState::Sound : CheckState::Damaged;
            check->detail = why;
        }
        check->done.notify_all();
        if (!ok && !interrupted && home) {
            QMetaObject::invokeMethod(home, [check] {
                std::unique_lock lock(check->mutex);
                if (!check->handler || check->reported)
                    return;
                check->reported = true;
                const auto handler = check->handler;
                const QString detail = check->detail;
                lock.unlock();
                handler(detail);
            }, Qt::QueuedConnection);
        }
    });
}

CheckState SqliteBackend::checkState() const
{
    if (!m_check)
        return CheckState::Sound;
    runCheck(m_check); // asked for: it is needed now
    std::lock_guard lock(m_check->mutex);
    return m_check->state;
}

CheckState SqliteBackend::waitForCheck(int msecs)
{
    if (!m_check)
        return CheckState::Sound;
    runCheck(m_check);
    std::unique_lock lock(m_check->mutex);
    auto over = [this] { return m_check->state != CheckState::Pending; };
    if (msecs < 0)
        m_check->done.wait(lock, over);
    else
        m_check->done.wait_for(lock, std::chrono::milliseconds(msecs), over);
    return m_check->state;
}

void SqliteBackend::setDamageHandler(std::function<void(const QString &)> handler)
{
    if (!m_check)
        return;
    std::unique_lock lock(m_check->mutex);
    m_check->handler = handler;
    if (m_check->state == CheckState::Damaged && handler && !m_check->reported) {
        m_check->reported = true;
        const QString detail = m_check->detail;
        lock.unlock();
        handler(detail);
    }
}

bool SqliteBackend::mayWrite()
{
    if (m_inWrite)
        return true;
    if (waitForCheck(-1) == CheckState::Damaged) {
        std::lock_guard lock(m_check->mutex);
        m_lastError = m_check->detail.isEmpty() ? QStringLiteral("The database file is damaged.") : m_check->detail;
        return false;
    }
    return true;
}

bool SqliteBackend::checkTables(const QSqlDatabase &c, QString &why, bool &needsPreparation)
{
    // Every table's kind and columns (name, declared type) in one statement: a
    // start reads them once, not a statement a table. A file that cannot be
    // read at all is not one whose tables are missing.
    struct Table {
        QString kind, sql;
        QList<QPair<QString, QString>> columns;
    };
    QHash<QString, Table> tables; // by lower-case table name
    {
        QSqlQuery q(c);
        q.setForwardOnly(true);
        if (!q.exec(QStringLiteral("SELECT m.name, m.type, m.sql, p.name, p.type FROM sqlite_master AS m, "
                                   "pragma_table_info(m.name) AS p WHERE m.type IN ('table', 'view')"))) {
            why = QStringLiteral("The database cannot be read: %1").arg(q.lastError().text());
            return false;
        }
        while (q.next()) {
            Table &t = tables[q.value(0).toString().toLower()];
            t.kind = q.value(1).toString();
            t.sql = q.value(2).toString();
            t.columns.append({q.value(3).toString(), q.value(4).toString()});
        }
    }
    auto namesOf = [&](const QString &table) {
        QStringList names;
        for (const auto &[name, type] : tables.value(table).columns)
            names << name.toLower();
        return names;
    };
    auto require = [&](const QString &table, const auto &names) {
        const QStringList cols = namesOf(table);
        if (cols.isEmpty()) {
            why = QStringLiteral("The table %1 is missing.").arg(table);
            return false;
        }
        // A view, a virtual table or one without rowids of that name has columns
        // too, but takes no writes (or not as the game makes them), and every
        // save would fail.
        const Table &t = tables.value(table);
        if (t.kind == QLatin1String("view")) {
            why = QStringLiteral("The table %1 is a view, not a table.").arg(table);
            return false;
        }
        if (t.sql.startsWith(QLatin1String("CREATE VIRTUAL"), Qt::CaseInsensitive)
            || t.sql.contains(QLatin1String("WITHOUT ROWID"), Qt::CaseInsensitive)) {
            why = QStringLiteral("The table %1 is not an ordinary table.").arg(table);
            return false;
        }
        for (const char *n : names) {
            if (!cols.contains(QString::fromLatin1(n).toLower())) {
                why = QStringLiteral("The table %1 has no column %2.").arg(table, QLatin1String(n));
                return false;
            }
        }
        return true;
    };
    if (!require(QStringLiteral("hoso"), kHosoColumns) || !require(QStringLiteral("lock"), kLockColumns))
        return false;
    for (QuestionTable t : kAllQuestionTables)
        if (!require(tableName(t), kQuestionColumns))
            return false;
    // What prepareForUse would change: the lookup key, text money columns,
    // the table of recorded answers.
    needsPreparation = !namesOf(QStringLiteral("hoso")).contains(QLatin1String("nickkey"))
                       || !tables.contains(QStringLiteral("lontaris_answers"));
    for (const auto &[name, type] : tables.value(QStringLiteral("hoso")).columns)
        if (keepsItsText(name) && type.compare(QLatin1String("TEXT"), Qt::CaseInsensitive) != 0)
            needsPreparation = true;
    QSqlQuery k(c);
    if (k.exec(QStringLiteral("SELECT 1 FROM hoso WHERE nickkey IS NULL AND nick IS NOT NULL LIMIT 1")) && k.next())
        needsPreparation = true;
    return true;
}

} // namespace db
