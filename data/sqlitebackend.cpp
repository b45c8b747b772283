#include "sqlitebackend.h"

#include <QAtomicInt>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>
#include <QTemporaryDir>
#include <QUrl>
#include <QVariant>
#include <QSqlDriver>

#include <atomic>
#include <limits>
#include <cerrno>
#include <condition_variable>
#include <csignal>
#include <mutex>
#include <sqlite3.h>
#include <thread>

namespace db {

namespace {

QAtomicInt g_connectionSerial;

QString textOf(const QSqlQuery &q, int i)
{
    const QVariant v = q.value(i);
    if (v.isNull())
        return QString();
    QString s = v.toString();
    if (s.isNull())
        s = QLatin1String(""); // present but empty, not NULL
    return s;
}

Account accountFrom(const QSqlQuery &q)
{
    // Column order of kAccountSelect.
    Account a;
    a.rowId = q.value(0).toLongLong();
    a.nick = textOf(q, 1);
    a.pass = textOf(q, 2);
    a.ngaysinh = textOf(q, 3);
    a.mail = textOf(q, 4);
    a.cauhoibimat = textOf(q, 5);
    a.traloiibimat = textOf(q, 6);
    a.sotien = textOf(q, 7);
    a.solan = textOf(q, 8);
    a.gio = textOf(q, 9);
    a.phut = textOf(q, 10);
    return a;
}

const char *kAccountSelect = "SELECT rowid, nick, pass, ngaysinh, mail, cauhoibimat, traloiibimat, "
                             "sotien, solan, gio, phut FROM hoso ";

QString questionSelect(QuestionTable t)
{
    return QStringLiteral("SELECT rowid, ID, cauhoi, A, B, C, D, traloi, selected FROM %1 ")
        .arg(tableName(t));
}

Question questionFrom(const QSqlQuery &q)
{
    Question r;
    r.rowId = q.value(0).toLongLong();
    r.id = q.value(1).toLongLong();
    r.cauhoi = textOf(q, 2);
    r.a = textOf(q, 3);
    r.b = textOf(q, 4);
    r.c = textOf(q, 5);
    r.d = textOf(q, 6);
    r.traloi = textOf(q, 7);
    r.selected = q.value(8).toLongLong() != 0;
    return r;
}

QStringList schemaStatements()
{
    QStringList s;
    s << QStringLiteral("CREATE TABLE hoso (nick TEXT, pass TEXT, ngaysinh TEXT, mail TEXT, "
                        "cauhoibimat TEXT, traloiibimat TEXT, sotien TEXT, solan TEXT, "
                        "gio TEXT, phut TEXT, nickkey TEXT)")
      << QStringLiteral("CREATE INDEX hoso_nickkey ON hoso(nickkey)")
      << QStringLiteral("CREATE INDEX hoso_money ON hoso(CAST(sotien AS REAL))")
      << QStringLiteral("CREATE TABLE \"lock\" (hienten TEXT, thuthach TEXT, hien19 TEXT, "
                        "hiencode TEXT, hienten1 TEXT, thuthach1 TEXT, hien191 TEXT, hiencode1 TEXT)")
      << QStringLiteral("INSERT INTO \"lock\" VALUES ('0','0','0','0','0','0','0','0')");
    for (QuestionTable t : kAllQuestionTables) {
        const QString n = tableName(t);
        s << QStringLiteral("CREATE TABLE %1 (ID INTEGER, cauhoi TEXT, A TEXT, B TEXT, C TEXT, "
                            "D TEXT, traloi TEXT, selected INTEGER NOT NULL DEFAULT 0)")
                 .arg(n)
          << QStringLiteral("CREATE INDEX %1_id ON %1(ID)").arg(n);
    }
    return s;
}

QStringList columnNames(const QSqlDatabase &c, const QString &table)
{
    QStringList cols;
    QSqlQuery t(c);
    t.prepare(QStringLiteral("SELECT name FROM pragma_table_info(?)"));
    t.addBindValue(table);
    if (t.exec())
        while (t.next())
            cols << t.value(0).toString().toLower();
    return cols;
}

bool isBusyError(const QSqlError &e)
{
    bool ok = false;
    const int code = e.nativeErrorCode().toInt(&ok);
    if (ok && ((code & 0xff) == SQLITE_BUSY || (code & 0xff) == SQLITE_LOCKED))
        return true;
    return e.text().contains(QLatin1String("locked"), Qt::CaseInsensitive);
}

constexpr int kBusyTimeoutMs = 5000;

// The file as an SQLite URI that reads it as unchangeable: no locks, no
// journal recovery, no WAL or index file made.
QString immutableUri(const QString &path)
{
    return QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString(QUrl::FullyEncoded)
           + QStringLiteral("?immutable=1");
}

} // namespace

struct SqliteBackend::Check {
    std::mutex mutex;
    std::condition_variable done;
    CheckState state = CheckState::Pending;
    QString detail;
    sqlite3 *handle = nullptr; // the check's connection while it runs, for an interrupt
    bool cancelled = false;
    bool reported = false; // the handler has been called
    std::function<void(const QString &)> handler;
    std::thread thread;
};

SqliteBackend::SqliteBackend(const QString &path)
    : m_path(path),
      m_connName(QStringLiteral("gamedb-%1").arg(g_connectionSerial.fetchAndAddRelaxed(1)))
{
}

SqliteBackend::~SqliteBackend()
{
    if (m_check) {
        {
            std::lock_guard lock(m_check->mutex);
            m_check->cancelled = true;
            m_check->handler = nullptr;
            if (m_check->handle)
                sqlite3_interrupt(m_check->handle);
        }
        if (m_check->thread.joinable())
            m_check->thread.join();
    }
    {
        QSqlDatabase c = QSqlDatabase::database(m_connName, false);
        if (c.isValid())
            c.close();
    }
    if (QSqlDatabase::contains(m_connName))
        QSqlDatabase::removeDatabase(m_connName);
}

QSqlDatabase SqliteBackend::connection() const
{
    return QSqlDatabase::database(m_connName, false);
}

bool SqliteBackend::isOpen() const
{
    return connection().isOpen();
}

bool SqliteBackend::exec(const QString &sql)
{
    QSqlQuery q(connection());
    if (!q.exec(sql)) {
        m_lastError = q.lastError().text();
        return false;
    }
    return true;
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

    // Judge the file before opening it for real: an ordinary connection would
    // already write to it (journal recovery, the switch to WAL, the WAL and
    // index files), and a damaged file must stay exactly as it is. A file this
    // program has used before (WAL, prepared) is checked whole in the
    // background; any other is checked whole now, before it is changed.
    bool checkedWhole = created || hotJournal || !walMode;
    {
        QString why;
        bool needsPreparation = false;
        if (!checkBeforeOpening(hotJournal, checkedWhole, why, needsPreparation)) {
            r.status = OpenStatus::Damaged;
            r.detail = why;
            return r;
        }
        checkedWhole = checkedWhole || needsPreparation;
    }

    QSqlDatabase c = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connName);
    QString checkUri = m_path;
    QString checkOptions = QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1;QSQLITE_OPEN_READONLY").arg(kBusyTimeoutMs);
    if (m_readOnly && hotJournal && m_scratch) {
        // An unfinished write that nobody may undo here: read the copy on
        // which it was undone and found sound.
        c.setDatabaseName(immutableUri(m_scratch->filePath(QStringLiteral("check.db"))));
        c.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_OPEN_READONLY"));
    } else if (m_readOnly && !folderWritable && !hotJournal && !QFile::exists(m_path + QStringLiteral("-wal"))) {
        // Nobody can write here (a WAL file could not even be made), and a
        // read-only connection would need to make one to read a WAL database.
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

void SqliteBackend::removeStaleSideFiles()
{
    // A first start that was killed while it built the database leaves its
    // side file ("dataqa.db.<pid>.<conn>.new"). One whose process is gone is
    // dropped; one still being built by a running program is left alone.
    const QFileInfo fi(m_path);
    QDir dir = fi.absoluteDir();
    if (!dir.exists() || !QFileInfo(dir.absolutePath()).isWritable())
        return;
    const QString prefix = fi.fileName() + QLatin1Char('.');
    const QStringList names = dir.entryList({prefix + QStringLiteral("*.new"), prefix + QStringLiteral("*.new-journal")},
                                            QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : names) {
        bool ok = false;
        const qint64 pid = name.mid(prefix.size()).section(QLatin1Char('.'), 0, 0).toLongLong(&ok);
        if (!ok || pid <= 0)
            continue;
        const bool alive = pid == QCoreApplication::applicationPid()
                           || ::kill(pid_t(pid), 0) == 0 || errno == EPERM;
        if (!alive)
            QFile::remove(dir.filePath(name));
    }
}

bool SqliteBackend::checkBeforeOpening(bool hotJournal, bool wholeFile, QString &why, bool &needsPreparation)
{
    const QString name = m_connName + QStringLiteral("-check");
    auto scratch = std::make_unique<QTemporaryDir>();
    bool ok = true;
    {
        QSqlDatabase c = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        if (hotJournal) {
            // A write was cut short. Undoing it writes to the file, so it is
            // undone on a copy first: only a file found sound is mended.
            const QString copy = scratch->filePath(QStringLiteral("check.db"));
            if (!scratch->isValid() || !QFile::copy(m_path, copy)
                || !QFile::copy(m_path + QStringLiteral("-journal"), copy + QStringLiteral("-journal"))) {
                why = QStringLiteral("%1 has an unfinished write that cannot be checked.").arg(m_path);
                ok = false;
            }
            c.setDatabaseName(copy);
        } else if (QFile::exists(m_path + QStringLiteral("-wal")) || QFile::exists(m_path + QStringLiteral("-shm"))) {
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
        c.close();
    }
    QSqlDatabase::removeDatabase(name);
    if (ok && hotJournal && m_readOnly)
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
    const QString name = m_connName + QStringLiteral("-whole");
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
    std::lock_guard lock(m_check->mutex);
    return m_check->state;
}

CheckState SqliteBackend::waitForCheck(int msecs)
{
    if (!m_check)
        return CheckState::Sound;
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
    auto require = [&](const QString &table, const auto &names) {
        const QStringList cols = columnNames(c, table);
        if (cols.isEmpty()) {
            why = QStringLiteral("The table %1 is missing.").arg(table);
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
    // What prepareForUse would change: the lookup key, text money columns.
    needsPreparation = !columnNames(c, QStringLiteral("hoso")).contains(QLatin1String("nickkey"));
    QSqlQuery t(c);
    t.prepare(QStringLiteral("SELECT name, type FROM pragma_table_info(?)"));
    t.addBindValue(QStringLiteral("hoso"));
    if (t.exec()) {
        while (t.next()) {
            const QString n = t.value(0).toString().toLower();
            if ((n == QLatin1String("sotien") || n == QLatin1String("solan") || n == QLatin1String("gio")
                 || n == QLatin1String("phut"))
                && t.value(1).toString().compare(QLatin1String("TEXT"), Qt::CaseInsensitive) != 0)
                needsPreparation = true;
        }
    }
    QSqlQuery k(c);
    if (k.exec(QStringLiteral("SELECT 1 FROM hoso WHERE nickkey IS NULL AND nick IS NOT NULL LIMIT 1")) && k.next())
        needsPreparation = true;
    return true;
}

bool SqliteBackend::prepareForUse(QString &why)
{
    if (!columnNames(connection(), QStringLiteral("hoso")).contains(QLatin1String("nickkey"))) {
        // A file made by another tool: add the matching key the lookups use.
        if (!exec(QStringLiteral("ALTER TABLE hoso ADD COLUMN nickkey TEXT"))
            || !exec(QStringLiteral("CREATE INDEX IF NOT EXISTS hoso_nickkey ON hoso(nickkey)"))) {
            why = QStringLiteral("The table hoso cannot be prepared for lookups.");
            return false;
        }
    }
    // Money and times must keep their text exactly: a column with numeric
    // affinity would turn "007" into 7 and a long digit string into 1e+40.
    // Such a hoso (older files) is rebuilt with text columns, rows and row
    // order kept, in one transaction.
    QList<QPair<QString, QString>> cols; // name, declared type
    {
        QSqlQuery t(connection());
        t.prepare(QStringLiteral("SELECT name, type FROM pragma_table_info(?)"));
        t.addBindValue(QStringLiteral("hoso"));
        if (t.exec())
            while (t.next())
                cols.append({t.value(0).toString(), t.value(1).toString()});
    }
    bool rebuild = false;
    for (auto &[name, type] : cols) {
        for (const char *n : {"sotien", "solan", "gio", "phut"}) {
            if (name.compare(QLatin1String(n), Qt::CaseInsensitive) == 0
                && type.compare(QLatin1String("TEXT"), Qt::CaseInsensitive) != 0) {
                type = QStringLiteral("TEXT");
                rebuild = true;
            }
        }
    }
    if (!rebuild)
        return true;
    auto quoted = [](QString n) { return QLatin1Char('"') + n.replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"'); };
    QStringList defs, names;
    for (const auto &[name, type] : cols) {
        defs << quoted(name) + QLatin1Char(' ') + type;
        names << quoted(name);
    }
    const QString list = names.join(QLatin1String(", "));
    if (!beginWrite(LockWait::Patient)) {
        why = QStringLiteral("The table hoso cannot be prepared: %1").arg(m_lastError);
        return false;
    }
    const bool ok =
        exec(QStringLiteral("DROP TABLE IF EXISTS hoso_text"))
        && exec(QStringLiteral("CREATE TABLE hoso_text (%1)").arg(defs.join(QLatin1String(", "))))
        && exec(QStringLiteral("INSERT INTO hoso_text (rowid, %1) SELECT rowid, %1 FROM hoso ORDER BY rowid").arg(list))
        && exec(QStringLiteral("DROP TABLE hoso")) && exec(QStringLiteral("ALTER TABLE hoso_text RENAME TO hoso"))
        && exec(QStringLiteral("CREATE INDEX hoso_nickkey ON hoso(nickkey)"))
        && exec(QStringLiteral("CREATE INDEX hoso_money ON hoso(CAST(sotien AS REAL))"));
    if (!ok) {
        why = QStringLiteral("The table hoso cannot be prepared: %1").arg(m_lastError);
        rollback();
        return false;
    }
    if (!commit()) {
        why = QStringLiteral("The table hoso cannot be prepared: %1").arg(m_lastError);
        return false;
    }
    return true;
}

void SqliteBackend::fillMissingNickKeys()
{
    QSqlQuery q(connection());
    if (!q.exec(QStringLiteral("SELECT rowid, nick FROM hoso WHERE nickkey IS NULL AND nick IS NOT NULL")))
        return;
    QList<QPair<qint64, QString>> rows;
    while (q.next())
        rows.append({q.value(0).toLongLong(), q.value(1).toString()});
    if (rows.isEmpty() || !beginWrite(LockWait::Patient))
        return;
    QSqlQuery u(connection());
    u.prepare(QStringLiteral("UPDATE hoso SET nickkey = ? WHERE rowid = ?"));
    for (const auto &[rowId, nick] : rows) {
        u.addBindValue(nickKey(nick));
        u.addBindValue(rowId);
        u.exec();
    }
    commit();
}

bool SqliteBackend::buildFile(const std::function<bool(QSqlDatabase &, QString &)> &fill, bool lockRow,
                              bool replaceNothing, QString &why)
{
    const QString dir = QFileInfo(m_path).absolutePath();
    if (!QDir().mkpath(dir)) {
        why = QStringLiteral("The folder %1 cannot be created.").arg(dir);
        return false;
    }
    // Build the new file beside the final one and move it into place only when
    // complete, so a failure never leaves half a database behind. The side
    // file's name is this process's own: the game and the editor started
    // together never build into the same file.
    const QString tmp = m_path + QStringLiteral(".%1.%2.new")
                                     .arg(QCoreApplication::applicationPid())
                                     .arg(QString(m_connName).replace(QLatin1Char('/'), QLatin1Char('_')));
    QFile::remove(tmp);
    const QString name = m_connName + QStringLiteral("-create");
    bool ok = true;
    {
        QSqlDatabase c = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        c.setDatabaseName(tmp);
        if (!c.open()) {
            why = QStringLiteral("The database cannot be created in %1: %2").arg(dir, c.lastError().text());
            ok = false;
        } else {
            QSqlQuery q(c);
            ok = q.exec(QStringLiteral("BEGIN"));
            QStringList schema = schemaStatements();
            if (!lockRow)
                schema.removeIf([](const QString &st) { return st.startsWith(QLatin1String("INSERT")); });
            for (const QString &st : schema)
                if (ok && !q.exec(st))
                    ok = false;
            if (!ok)
                why = QStringLiteral("The database cannot be created in %1: %2").arg(dir, q.lastError().text());
            if (ok)
                ok = fill(c, why);
            if (ok && !q.exec(QStringLiteral("COMMIT"))) {
                ok = false;
                why = QStringLiteral("The database cannot be created in %1: %2").arg(dir, q.lastError().text());
            }
            c.close();
        }
    }
    QSqlDatabase::removeDatabase(name);
    // rename never replaces a file: when the other program finished first,
    // its database stands and ours is dropped (a copy then fails: its target
    // is no longer empty).
    if (ok && !QFile::rename(tmp, m_path) && (replaceNothing || !QFileInfo::exists(m_path))) {
        why = replaceNothing && QFileInfo::exists(m_path)
                  ? QStringLiteral("%1 appeared while the copy was made; it is left as it is.").arg(m_path)
                  : QStringLiteral("The database cannot be moved into place in %1.").arg(dir);
        ok = false;
    }
    QFile::remove(tmp);
    return ok;
}

bool SqliteBackend::createDefault(QString &why)
{
    return buildFile(
        [](QSqlDatabase &c, QString &err) {
            for (QuestionTable t : kAllQuestionTables) {
                const QList<ShippedQuestion> list = shippedQuestions(t);
                QSqlQuery ins(c);
                ins.prepare(QStringLiteral("INSERT INTO %1 (ID, cauhoi, A, B, C, D, traloi, selected) "
                                           "VALUES (?, ?, ?, ?, ?, ?, ?, ?)")
                                .arg(tableName(t)));
                qint64 id = 0;
                for (const ShippedQuestion &sq : list) {
                    ++id;
                    ins.addBindValue(id);
                    for (const QString &s : {sq.cauhoi, sq.a, sq.b, sq.c, sq.d})
                        ins.addBindValue(s);
                    ins.addBindValue(sq.traloi);
                    ins.addBindValue(id < 100 ? 1 : 0);
                    if (!ins.exec()) {
                        err = QStringLiteral("The question bank cannot be written: %1").arg(ins.lastError().text());
                        return false;
                    }
                }
            }
            return true;
        },
        true, false, why);
}

// --- hoso -------------------------------------------------------------------

std::optional<Account> SqliteBackend::findAccount(const QString &nick)
{
    QSqlQuery q(connection());
    q.prepare(QLatin1String(kAccountSelect) + QStringLiteral("WHERE nickkey = ? ORDER BY rowid LIMIT 1"));
    q.addBindValue(nickKey(nick));
    if (!q.exec()) {
        m_lastError = q.lastError().text();
        return std::nullopt;
    }
    if (!q.next())
        return std::nullopt;
    return accountFrom(q);
}

bool SqliteBackend::insertAccount(Account &a)
{
    if (!mayWrite())
        return false;
    QSqlQuery q(connection());
    q.prepare(QStringLiteral("INSERT INTO hoso (nick, pass, ngaysinh, mail, cauhoibimat, traloiibimat, "
                             "sotien, solan, gio, phut, nickkey) VALUES (?,?,?,?,?,?,?,?,?,?,?)"));
    for (const QString *s : {&a.nick, &a.pass, &a.ngaysinh, &a.mail, &a.cauhoibimat, &a.traloiibimat,
                             &a.sotien, &a.solan, &a.gio, &a.phut})
        q.addBindValue(s->isNull() ? QVariant() : QVariant(*s));
    q.addBindValue(a.nick.isNull() ? QVariant() : QVariant(nickKey(a.nick)));
    if (!q.exec()) {
        m_lastError = q.lastError().text();
        return false;
    }
    a.rowId = q.lastInsertId().toLongLong();
    wrote();
    return true;
}

bool SqliteBackend::updateAccountRow(qint64 rowId, const QList<QPair<QString, QString>> &columns)
{
    if (columns.isEmpty())
        return true;
    if (!mayWrite())
        return false;
    QStringList sets;
    for (const auto &c : columns) {
        if (!isHosoColumn(c.first)) {
            m_lastError = QStringLiteral("No column %1 in hoso").arg(c.first);
            return false;
        }
        sets << c.first.toLower() + QStringLiteral(" = ?");
        if (c.first.compare(QLatin1String("nick"), Qt::CaseInsensitive) == 0)
            sets << QStringLiteral("nickkey = ?");
    }
    QSqlQuery q(connection());
    q.prepare(QStringLiteral("UPDATE hoso SET %1 WHERE rowid = ?").arg(sets.join(QLatin1String(", "))));
    for (const auto &c : columns) {
        q.addBindValue(c.second.isNull() ? QVariant() : QVariant(c.second));
        if (c.first.compare(QLatin1String("nick"), Qt::CaseInsensitive) == 0)
            q.addBindValue(nickKey(c.second));
    }
    q.addBindValue(rowId);
    if (!q.exec()) {
        m_lastError = q.lastError().text();
        return false;
    }
    wrote();
    if (q.numRowsAffected() > 0)
        return true;
    m_lastError = QStringLiteral("The account is no longer there.");
    return false;
}

bool SqliteBackend::deleteAccountRow(qint64 rowId)
{
    if (!mayWrite())
        return false;
    QSqlQuery q(connection());
    q.prepare(QStringLiteral("DELETE FROM hoso WHERE rowid = ?"));
    q.addBindValue(rowId);
    if (!q.exec()) {
        m_lastError = q.lastError().text();
        return false;
    }
    wrote();
    return q.numRowsAffected() > 0;
}

QList<Account> SqliteBackend::accountsByMoney()
{
    QList<Account> out;
    QSqlQuery q(connection());
    q.setForwardOnly(true);
    if (!q.exec(QLatin1String(kAccountSelect) + QStringLiteral("ORDER BY CAST(sotien AS REAL), rowid"))) {
        m_lastError = q.lastError().text();
        return out;
    }
    while (q.next())
        out.append(accountFrom(q));
    return out;
}

QList<Account> SqliteBackend::richestAccounts(int n)
{
    QList<Account> out;
    QSqlQuery q(connection());
    q.setForwardOnly(true);
    // Equal money: the later account first (as on a server), along the money
    // index whose entries end in rowid.
    q.prepare(QLatin1String(kAccountSelect)
              + QStringLiteral("ORDER BY CAST(sotien AS REAL) DESC, rowid DESC LIMIT ?"));
    q.addBindValue(n);
    if (!q.exec()) {
        m_lastError = q.lastError().text();
        return out;
    }
    while (q.next())
        out.append(accountFrom(q));
    return out;
}

int SqliteBackend::accountCount()
{
    QSqlQuery q(connection());
    if (q.exec(QStringLiteral("SELECT count(*) FROM hoso")) && q.next())
        return q.value(0).toInt();
    return 0;
}

// --- lock -------------------------------------------------------------------

std::optional<LockRow> SqliteBackend::readLock()
{
    QSqlQuery q(connection());
    if (!q.exec(QStringLiteral("SELECT hienten, thuthach, hien19, hiencode, hienten1, thuthach1, "
                               "hien191, hiencode1 FROM \"lock\" ORDER BY rowid LIMIT 1"))) {
        m_lastError = q.lastError().text();
        return std::nullopt;
    }
    if (!q.next())
        return std::nullopt;
    LockRow r;
    QString *fields[] = {&r.hienten, &r.thuthach, &r.hien19, &r.hiencode,
                         &r.hienten1, &r.thuthach1, &r.hien191, &r.hiencode1};
    for (int i = 0; i < 8; ++i)
        *fields[i] = textOf(q, i);
    return r;
}

bool SqliteBackend::writeLock(const LockRow &r)
{
    if (!mayWrite())
        return false;
    QSqlQuery q(connection());
    q.prepare(QStringLiteral("UPDATE \"lock\" SET hien19 = ?, hienten = ?, thuthach = ?, hiencode = ?, "
                             "hien191 = ?, hienten1 = ?, thuthach1 = ?, hiencode1 = ? "
                             "WHERE rowid = (SELECT min(rowid) FROM \"lock\")"));
    for (const QString *s : {&r.hien19, &r.hienten, &r.thuthach, &r.hiencode, &r.hien191, &r.hienten1,
                             &r.thuthach1, &r.hiencode1})
        q.addBindValue(*s);
    if (!q.exec()) {
        m_lastError = q.lastError().text();
        return false;
    }
    wrote();
    return true;
}

// --- account changes ----------------------------------------------------------

AccountUpdate SqliteBackend::changeAccount(const QString &nick, const AccountDelta &delta)
{
    // Inside the write transaction: the values read here are the stored ones.
    AccountUpdate out;
    const std::optional<Account> found = findAccount(nick);
    if (!found) {
        out.status = m_lastError.isEmpty() ? WriteStatus::Done : WriteStatus::Failed;
        return out;
    }
    Account a = *found;
    QList<QPair<QString, QString>> cols;
    out.status = applyDelta(a, delta, cols, m_lastError);
    if (out.status != WriteStatus::Done)
        return out;
    if (!updateAccountRow(a.rowId, cols)) {
        out.status = WriteStatus::Failed;
        return out;
    }
    out.stored = a;
    return out;
}

AccountUpdate SqliteBackend::addToAccount(const QString &nick, const AccountDelta &delta, LockWait wait)
{
    if (!beginWrite(wait))
        return {m_busy ? WriteStatus::Busy : WriteStatus::Failed, std::nullopt};
    m_lastError.clear();
    AccountUpdate out = changeAccount(nick, delta);
    if (out.status != WriteStatus::Done) {
        rollback();
        out.stored.reset();
        return out;
    }
    if (!commit())
        return {WriteStatus::Failed, std::nullopt};
    return out;
}

AccountUpdate SqliteBackend::saveGameEnd(const QString &nick, const AccountDelta &delta, const LockRow &lock, LockWait wait)
{
    if (!beginWrite(wait))
        return {m_busy ? WriteStatus::Busy : WriteStatus::Failed, std::nullopt};
    m_lastError.clear();
    AccountUpdate out = changeAccount(nick, delta);
    if (out.status == WriteStatus::Done && !writeLock(lock))
        out.status = WriteStatus::Failed;
    if (out.status != WriteStatus::Done) {
        rollback();
        out.stored.reset();
        return out;
    }
    if (!commit())
        return {WriteStatus::Failed, std::nullopt};
    return out;
}

// --- question tables --------------------------------------------------------

std::optional<qint64> SqliteBackend::lastId(QuestionTable t)
{
    QSqlQuery q(connection());
    if (!q.exec(QStringLiteral("SELECT ID FROM %1 ORDER BY ID DESC, rowid DESC LIMIT 1").arg(tableName(t)))) {
        m_lastError = q.lastError().text();
        return std::nullopt;
    }
    if (!q.next() || q.value(0).isNull())
        return std::nullopt;
    return q.value(0).toLongLong();
}

bool SqliteBackend::factsKey(qint64 &version, qint64 &own)
{
    // data_version moves when another connection commits, total_changes when
    // this one writes.
    QSqlQuery v(connection());
    if (!v.exec(QStringLiteral("SELECT (SELECT data_version FROM pragma_data_version), total_changes()")) || !v.next())
        return false;
    version = v.value(0).toLongLong();
    own = v.value(1).toLongLong() + m_ownWrites;
    return true;
}

void SqliteBackend::shiftFacts(QuestionTable t, int rows)
{
    // After this connection's own commit of a change whose effect on the
    // facts is known: they stay valid without counting the table again.
    TableFacts &f = m_facts[int(t)];
    qint64 version = -2, own = -2;
    if (f.version < 0 || !factsKey(version, own) || version != f.version) {
        f = TableFacts();
        return;
    }
    f.count += rows;
    f.maxId += rows;
    f.ownWrites = own;
}

const SqliteBackend::TableFacts &SqliteBackend::facts(QuestionTable t)
{
    TableFacts &f = m_facts[int(t)];
    qint64 version = -2, own = -2;
    factsKey(version, own);
    if (version >= 0 && f.version == version && f.ownWrites == own)
        return f;
    f = TableFacts();
    QSqlQuery q(connection());
    if (!q.exec(QStringLiteral("SELECT count(*), count(ID), min(ID), max(ID) FROM %1").arg(tableName(t))) || !q.next()) {
        m_lastError = q.lastError().text();
        return f;
    }
    f.count = q.value(0).toInt();
    // Dense: the IDs run 1..N, so a row's position is its ID less one.
    f.dense = f.count == 0 || (q.value(1).toLongLong() == f.count && q.value(2).toLongLong() == 1
                               && q.value(3).toLongLong() == f.count);
    f.maxId = q.value(3).toLongLong();
    f.readable = true;
    f.version = version;
    f.ownWrites = own;
    return f;
}

bool SqliteBackend::isDense(QuestionTable t)
{
    return facts(t).dense;
}

std::optional<Question> SqliteBackend::answeredQuestionFrom(QuestionTable t, qint64 position)
{
    if (position < 0)
        position = 0;
    QSqlQuery q(connection());
    q.setForwardOnly(true);
    if (isDense(t)) {
        q.prepare(questionSelect(t) + QStringLiteral("WHERE ID >= ? AND traloi <> '' ORDER BY ID, rowid LIMIT 1"));
        q.addBindValue(position + 1);
    } else {
        q.prepare(QStringLiteral("SELECT * FROM (") + questionSelect(t)
                  + QStringLiteral("ORDER BY ID, rowid LIMIT -1 OFFSET ?) WHERE traloi <> '' LIMIT 1"));
        q.addBindValue(position);
    }
    if (!q.exec()) {
        m_lastError = q.lastError().text();
        return std::nullopt;
    }
    if (!q.next())
        return std::nullopt;
    return questionFrom(q);
}

QList<Question> SqliteBackend::questionsFrom(QuestionTable t, qint64 position, int count)
{
    QList<Question> out;
    if (position < 0 || count <= 0)
        return out;
    QSqlQuery q(connection());
    q.setForwardOnly(true);
    if (isDense(t)) {
        // Through the ID index: as fast at the end of the table as at its start.
        q.prepare(questionSelect(t) + QStringLiteral("WHERE ID >= ? AND ID < ? ORDER BY ID, rowid"));
        q.addBindValue(position + 1);
        q.addBindValue(position + 1 + count);
    } else {
        q.prepare(questionSelect(t) + QStringLiteral("ORDER BY ID, rowid LIMIT ? OFFSET ?"));
        q.addBindValue(count);
        q.addBindValue(position);
    }
    if (!q.exec()) {
        m_lastError = q.lastError().text();
        return out;
    }
    while (q.next())
        out.append(questionFrom(q));
    return out;
}

std::optional<QList<Question>> SqliteBackend::readQuestions(QuestionTable t)
{
    QList<Question> out;
    QSqlQuery q(connection());
    q.setForwardOnly(true);
    if (!q.exec(questionSelect(t) + QStringLiteral("ORDER BY ID, rowid"))) {
        m_lastError = q.lastError().text();
        return std::nullopt;
    }
    while (q.next())
        out.append(questionFrom(q));
    return out;
}

std::optional<int> SqliteBackend::countQuestions(QuestionTable t)
{
    const TableFacts &f = facts(t);
    if (!f.readable)
        return std::nullopt;
    return f.count;
}

QList<Question> SqliteBackend::questionsByText(QuestionTable t, const QString &cauhoi)
{
    QList<Question> out;
    QSqlQuery q(connection());
    q.setForwardOnly(true);
    q.prepare(questionSelect(t) + QStringLiteral("WHERE cauhoi = ? COLLATE NOCASE ORDER BY ID, rowid"));
    q.addBindValue(cauhoi);
    if (!q.exec()) {
        m_lastError = q.lastError().text();
        return out;
    }
    while (q.next())
        out.append(questionFrom(q));
    return out;
}

bool SqliteBackend::appendQuestion(QuestionTable t, Question &r)
{
    if (!mayWrite())
        return false;
    QSqlQuery q(connection());
    q.prepare(QStringLiteral("INSERT INTO %1 (ID, cauhoi, A, B, C, D, traloi, selected) "
                             "VALUES (?, ?, ?, ?, ?, ?, ?, ?)")
                  .arg(tableName(t)));
    q.addBindValue(r.id);
    for (const QString *s : {&r.cauhoi, &r.a, &r.b, &r.c, &r.d, &r.traloi})
        q.addBindValue(*s);
    q.addBindValue(r.selected ? 1 : 0);
    if (!q.exec()) {
        m_lastError = q.lastError().text();
        return false;
    }
    r.rowId = q.lastInsertId().toLongLong();
    wrote();
    return true;
}

bool SqliteBackend::deleteQuestionsWithId(QuestionTable t, qint64 id)
{
    if (!mayWrite())
        return false;
    QSqlQuery q(connection());
    q.prepare(QStringLiteral("DELETE FROM %1 WHERE ID = ?").arg(tableName(t)));
    q.addBindValue(id);
    if (!q.exec()) {
        m_lastError = q.lastError().text();
        return false;
    }
    wrote();
    return true;
}

bool SqliteBackend::setQuestionId(QuestionTable t, qint64 oldId, qint64 newId)
{
    if (!mayWrite())
        return false;
    QSqlQuery q(connection());
    q.prepare(QStringLiteral("UPDATE %1 SET ID = ? WHERE ID = ?").arg(tableName(t)));
    q.addBindValue(newId);
    q.addBindValue(oldId);
    if (!q.exec()) {
        m_lastError = q.lastError().text();
        return false;
    }
    wrote();
    return true;
}

bool SqliteBackend::resetSelected(QuestionTable t)
{
    if (!mayWrite())
        return false;
    wrote();
    return exec(QStringLiteral("UPDATE %1 SET selected = 0 WHERE selected <> 0").arg(tableName(t)))
           && exec(QStringLiteral("UPDATE %1 SET selected = 1 WHERE ID < 100").arg(tableName(t)));
}

bool SqliteBackend::renumberAfterDelete(QuestionTable t, std::optional<qint64> deletedId, int rowsBefore)
{
    // In the write transaction. Afterwards the IDs run 1..N in record order
    // and selected is set exactly where ID < 100.
    const QString n = tableName(t);
    wrote();
    QSqlQuery q(connection());
    if (deletedId) {
        // The table was 1..N and lost the one row with this ID: the rows
        // after it move down by one, in one statement. When most rows move,
        // the ID index is built anew afterwards rather than changed entry by
        // entry (only our own index, known by its text).
        bool rebuild = false;
        const QString index = n + QStringLiteral("_id");
        const QString indexSql = QStringLiteral("CREATE INDEX %1 ON %2(ID)").arg(index, n);
        if (*deletedId < rowsBefore / 2) {
            QSqlQuery def(connection());
            def.prepare(QStringLiteral("SELECT sql FROM sqlite_master WHERE type = 'index' AND name = ?"));
            def.addBindValue(index);
            rebuild = def.exec() && def.next() && def.value(0).toString() == indexSql;
        }
        if (rebuild && !exec(QStringLiteral("DROP INDEX %1").arg(index)))
            return false;
        q.prepare(QStringLiteral("UPDATE %1 SET ID = ID - 1, selected = (ID - 1 < 100) WHERE ID > ?").arg(n));
        q.addBindValue(*deletedId);
        if (!q.exec()) {
            m_lastError = q.lastError().text();
            return false;
        }
        if (rebuild && !exec(indexSql))
            return false;
        q.prepare(QStringLiteral("UPDATE %1 SET selected = (ID < 100) WHERE ID < ? AND selected IS NOT (ID < 100)").arg(n));
        q.addBindValue(*deletedId);
    } else {
        // Any table: each row takes its place in record order (rows keyed by
        // rowid, so two rows that shared an ID are told apart).
        q.prepare(QStringLiteral("UPDATE %1 SET ID = r.n, selected = (r.n < 100) FROM "
                                 "(SELECT rowid AS rid, row_number() OVER (ORDER BY ID, rowid) AS n FROM %1) AS r "
                                 "WHERE %1.rowid = r.rid AND (%1.ID IS NOT r.n OR %1.selected IS NOT (r.n < 100))")
                      .arg(n));
    }
    if (!q.exec()) {
        m_lastError = q.lastError().text();
        return false;
    }
    return true;
}

bool SqliteBackend::renumberInTransaction(QuestionTable t)
{
    return renumberAfterDelete(t, std::nullopt, 0);
}

bool SqliteBackend::renumber(QuestionTable t)
{
    if (!beginWrite(LockWait::Patient))
        return false;
    if (!renumberInTransaction(t)) {
        rollback();
        return false;
    }
    return commit();
}

bool SqliteBackend::deleteAndRenumber(QuestionTable t, qint64 id)
{
    if (!beginWrite(LockWait::Patient))
        return false;
    const bool dense = isDense(t);
    const int rowsBefore = facts(t).count;
    QSqlQuery del(connection());
    del.prepare(QStringLiteral("DELETE FROM %1 WHERE ID = ?").arg(tableName(t)));
    del.addBindValue(id);
    bool ok = del.exec();
    if (!ok)
        m_lastError = del.lastError().text();
    const int gone = ok ? del.numRowsAffected() : 0;
    const bool shift = dense && gone == 1;
    if (!ok || !renumberAfterDelete(t, shift ? std::optional<qint64>(id) : std::nullopt, rowsBefore)) {
        rollback();
        return false;
    }
    if (!commit())
        return false;
    if (shift)
        shiftFacts(t, -1);
    return true;
}

std::optional<qint64> SqliteBackend::nextId(QuestionTable t)
{
    QSqlQuery q(connection());
    if (!q.exec(QStringLiteral("SELECT max(ID) FROM %1").arg(tableName(t)))) {
        m_lastError = q.lastError().text();
        return std::nullopt;
    }
    if (!q.next() || q.value(0).isNull())
        return 1;
    return q.value(0).toLongLong() + 1;
}

std::optional<qint64> SqliteBackend::appendAtEnd(QuestionTable t, const Question &q)
{
    if (!beginWrite(LockWait::Patient))
        return std::nullopt;
    Question row = q;
    const std::optional<qint64> id = nextId(t);
    if (id) {
        row.id = *id;
        row.selected = false;
    }
    const bool dense = id && isDense(t) && *id == facts(t).count + 1;
    if (!id || !appendQuestion(t, row)) {
        rollback();
        return std::nullopt;
    }
    if (!commit())
        return std::nullopt;
    if (dense)
        shiftFacts(t, +1);
    return *id;
}

RowRemoval SqliteBackend::deleteRowAndRenumber(QuestionTable t, const Question &listed)
{
    if (!beginWrite(LockWait::Patient))
        return RowRemoval::Failed;
    const bool dense = isDense(t);
    const int rowsBefore = facts(t).count;
    QSqlQuery q(connection());
    q.prepare(QStringLiteral("SELECT cauhoi, ID, (SELECT count(*) FROM %1 AS o WHERE o.ID = %1.ID) FROM %1 WHERE rowid = ?")
                  .arg(tableName(t)));
    q.addBindValue(listed.rowId);
    if (!q.exec()) {
        m_lastError = q.lastError().text();
        rollback();
        return RowRemoval::Failed;
    }
    // Compared as stored, exactly: a list gone stale never removes another question.
    if (!q.next() || textOf(q, 0) != listed.cauhoi) {
        rollback();
        return RowRemoval::Gone;
    }
    const bool alone = !q.value(1).isNull() && q.value(2).toLongLong() == 1;
    const qint64 id = q.value(1).toLongLong();
    q.finish();
    QSqlQuery del(connection());
    del.prepare(QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(tableName(t)));
    del.addBindValue(listed.rowId);
    if (!del.exec()) {
        m_lastError = del.lastError().text();
        rollback();
        return RowRemoval::Failed;
    }
    const bool shift = dense && alone;
    if (!renumberAfterDelete(t, shift ? std::optional<qint64>(id) : std::nullopt, rowsBefore)) {
        rollback();
        return RowRemoval::Failed;
    }
    if (!commit())
        return RowRemoval::Failed;
    if (shift)
        shiftFacts(t, -1);
    return RowRemoval::Removed;
}

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

// --- a whole installation -----------------------------------------------------

std::optional<QList<Account>> SqliteBackend::accountRows(qint64 after, int limit)
{
    QList<Account> out;
    QSqlQuery q(connection());
    q.setForwardOnly(true);
    q.prepare(QLatin1String(kAccountSelect) + QStringLiteral("WHERE rowid > ? ORDER BY rowid LIMIT ?"));
    q.addBindValue(after);
    q.addBindValue(limit);
    if (!q.exec()) {
        m_lastError = q.lastError().text();
        return std::nullopt;
    }
    while (q.next())
        out.append(accountFrom(q));
    return out;
}

std::optional<QList<LockRow>> SqliteBackend::lockRows()
{
    QList<LockRow> out;
    QSqlQuery q(connection());
    if (!q.exec(QStringLiteral("SELECT hienten, thuthach, hien19, hiencode, hienten1, thuthach1, "
                               "hien191, hiencode1 FROM \"lock\" ORDER BY rowid"))) {
        m_lastError = q.lastError().text();
        return std::nullopt;
    }
    while (q.next()) {
        LockRow r;
        QString *fields[] = {&r.hienten, &r.thuthach, &r.hien19, &r.hiencode,
                             &r.hienten1, &r.thuthach1, &r.hien191, &r.hiencode1};
        for (int i = 0; i < 8; ++i)
            *fields[i] = textOf(q, i);
        out.append(r);
    }
    return out;
}

std::optional<QList<Question>> SqliteBackend::questionRows(QuestionTable t, qint64 after, int limit)
{
    QList<Question> out;
    QSqlQuery q(connection());
    q.setForwardOnly(true);
    q.prepare(questionSelect(t) + QStringLiteral("WHERE rowid > ? ORDER BY rowid LIMIT ?"));
    q.addBindValue(after);
    q.addBindValue(limit);
    if (!q.exec()) {
        m_lastError = q.lastError().text();
        return std::nullopt;
    }
    while (q.next()) {
        Question r = questionFrom(q);
        // A foreign file may hold no ID at all; kept so.
        if (q.value(1).isNull())
            r.id = kNoId;
        out.append(r);
    }
    return out;
}

bool SqliteBackend::importFrom(Backend &source, const std::function<void(const QString &, int)> &progress,
                               QString &why)
{
    const QFileInfo fi(m_path);
    if (fi.exists() && (fi.isDir() || fi.size() > 0)) {
        why = QStringLiteral("%1 already exists; a copy is made only into a new file.").arg(m_path);
        return false;
    }
    if (fi.exists() && !QFile::remove(m_path)) {
        why = QStringLiteral("%1 cannot be replaced.").arg(m_path);
        return false;
    }
    auto fill = [&](QSqlDatabase &c, QString &err) {
        auto fail = [&](const QSqlQuery &q) {
            err = QStringLiteral("Writing the copy failed: %1").arg(q.lastError().text());
            return false;
        };
        QSqlQuery ins(c);
        ins.prepare(QStringLiteral("INSERT INTO hoso (nick, pass, ngaysinh, mail, cauhoibimat, traloiibimat, "
                                   "sotien, solan, gio, phut, nickkey) VALUES (?,?,?,?,?,?,?,?,?,?,?)"));
        int rows = 0;
        for (qint64 after = 0;;) {
            const std::optional<QList<Account>> batch = source.accountRows(after, kCopyBatch);
            if (!batch) {
                err = QStringLiteral("Reading the accounts failed: %1").arg(source.lastError());
                return false;
            }
            for (const Account &a : *batch) {
                for (const QString *v : {&a.nick, &a.pass, &a.ngaysinh, &a.mail, &a.cauhoibimat, &a.traloiibimat,
                                         &a.sotien, &a.solan, &a.gio, &a.phut})
                    ins.addBindValue(v->isNull() ? QVariant() : QVariant(*v));
                ins.addBindValue(a.nick.isNull() ? QVariant() : QVariant(nickKey(a.nick)));
                if (!ins.exec())
                    return fail(ins);
                after = a.rowId;
            }
            rows += int(batch->size());
            if (batch->size() < kCopyBatch)
                break;
        }
        if (progress)
            progress(QStringLiteral("hoso"), rows);
        const std::optional<QList<LockRow>> locks = source.lockRows();
        if (!locks) {
            err = QStringLiteral("Reading the switches failed: %1").arg(source.lastError());
            return false;
        }
        QSqlQuery lock(c);
        lock.prepare(QStringLiteral("INSERT INTO \"lock\" (hienten, thuthach, hien19, hiencode, hienten1, "
                                    "thuthach1, hien191, hiencode1) VALUES (?,?,?,?,?,?,?,?)"));
        for (const LockRow &r : *locks) {
            for (const QString *v : {&r.hienten, &r.thuthach, &r.hien19, &r.hiencode, &r.hienten1, &r.thuthach1,
                                     &r.hien191, &r.hiencode1})
                lock.addBindValue(v->isNull() ? QVariant() : QVariant(*v));
            if (!lock.exec())
                return fail(lock);
        }
        if (progress)
            progress(QStringLiteral("lock"), int(locks->size()));
        for (QuestionTable t : kAllQuestionTables) {
            QSqlQuery q(c);
            q.prepare(QStringLiteral("INSERT INTO %1 (ID, cauhoi, A, B, C, D, traloi, selected) "
                                     "VALUES (?, ?, ?, ?, ?, ?, ?, ?)")
                          .arg(tableName(t)));
            rows = 0;
            for (qint64 after = 0;;) {
                const std::optional<QList<Question>> batch = source.questionRows(t, after, kCopyBatch);
                if (!batch) {
                    err = QStringLiteral("Reading %1 failed: %2").arg(tableName(t), source.lastError());
                    return false;
                }
                for (const Question &r : *batch) {
                    q.addBindValue(r.id == kNoId ? QVariant() : QVariant(r.id));
                    for (const QString *v : {&r.cauhoi, &r.a, &r.b, &r.c, &r.d, &r.traloi})
                        q.addBindValue(v->isNull() ? QVariant() : QVariant(*v));
                    q.addBindValue(r.selected ? 1 : 0);
                    if (!q.exec())
                        return fail(q);
                    after = r.rowId;
                }
                rows += int(batch->size());
                if (batch->size() < kCopyBatch)
                    break;
            }
            if (progress)
                progress(tableName(t), rows);
        }
        return true;
    };
    return buildFile(fill, false, true, why);
}

} // namespace db
