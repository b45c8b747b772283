#include "gamedb.h"

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

namespace db {

namespace {

QAtomicInt g_connectionSerial;

const char *const kHosoColumns[] = {"nick",         "pass",   "ngaysinh", "mail", "cauhoibimat",
                                    "traloiibimat", "sotien", "solan",    "gio",  "phut"};
const char *const kLockColumns[] = {"hienten",  "thuthach",  "hien19",  "hiencode",
                                    "hienten1", "thuthach1", "hien191", "hiencode1"};
const char *const kQuestionColumns[] = {"ID", "cauhoi", "A", "B", "C", "D", "traloi", "selected"};

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

bool isHosoColumn(const QString &name)
{
    for (const char *c : kHosoColumns)
        if (name.compare(QLatin1String(c), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

QString nickKey(const QString &nick)
{
    return nick.toCaseFolded();
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

// The file as an SQLite URI that reads it as unchangeable: no locks, no
// journal recovery, no WAL or index file made.
QString immutableUri(const QString &path)
{
    return QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString(QUrl::FullyEncoded)
           + QStringLiteral("?immutable=1");
}

} // namespace

QString tableName(QuestionTable t)
{
    switch (t) {
    case QuestionTable::Muc1: return QStringLiteral("muc1");
    case QuestionTable::Muc2: return QStringLiteral("muc2");
    case QuestionTable::Muc3: return QStringLiteral("muc3");
    case QuestionTable::Thuthach: return QStringLiteral("thuthach");
    case QuestionTable::Thungrac: return QStringLiteral("thungrac");
    }
    return QString();
}

GameDb::GameDb(const QString &programDir)
    : m_programDir(programDir), m_path(defaultFileName(programDir)),
      m_connName(QStringLiteral("gamedb-%1").arg(g_connectionSerial.fetchAndAddRelaxed(1)))
{
}

GameDb::~GameDb()
{
    {
        QSqlDatabase c = QSqlDatabase::database(m_connName, false);
        if (c.isValid())
            c.close();
    }
    if (QSqlDatabase::contains(m_connName))
        QSqlDatabase::removeDatabase(m_connName);
}

QString GameDb::defaultFileName(const QString &programDir)
{
    return QDir(programDir).filePath(QStringLiteral("data/dataqa.db"));
}

QSqlDatabase GameDb::connection() const
{
    return QSqlDatabase::database(m_connName, false);
}

bool GameDb::isOpen() const
{
    return connection().isOpen();
}

bool GameDb::exec(const QString &sql)
{
    QSqlQuery q(connection());
    if (!q.exec(sql)) {
        m_lastError = q.lastError().text();
        return false;
    }
    return true;
}

OpenResult GameDb::open()
{
    OpenResult r;
    QFileInfo fi(m_path);
    bool created = false;
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
    }
    const bool folderWritable = QFileInfo(fi.absolutePath()).isWritable();
    m_readOnly = !fi.isWritable() || !folderWritable;
    const bool hotJournal = QFileInfo(m_path + QStringLiteral("-journal")).size() > 0;

    // Judge the file before opening it for real: an ordinary connection would
    // already write to it (journal recovery, the switch to WAL, the WAL and
    // index files), and a damaged file must stay exactly as it is.
    {
        QString why;
        if (!checkBeforeOpening(hotJournal, why)) {
            r.status = OpenStatus::Damaged;
            r.detail = why;
            return r;
        }
    }

    QSqlDatabase c = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connName);
    if (m_readOnly && !folderWritable && !hotJournal && !QFile::exists(m_path + QStringLiteral("-wal"))) {
        // Nobody can write here (a WAL file could not even be made), and a
        // read-only connection would need to make one to read a WAL database.
        c.setDatabaseName(immutableUri(m_path));
        c.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_OPEN_READONLY"));
    } else {
        c.setDatabaseName(m_path);
        c.setConnectOptions(m_readOnly ? QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000;QSQLITE_OPEN_READONLY")
                                       : QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
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
    if (ok && !m_readOnly) {
        exec(QStringLiteral("PRAGMA journal_mode=WAL"));
        exec(QStringLiteral("PRAGMA synchronous=NORMAL"));
        ok = prepareForUse(why);
    }
    if (ok && m_readOnly && !columnNames(c, QStringLiteral("hoso")).contains(QLatin1String("nickkey"))) {
        ok = false;
        why = QStringLiteral("The table hoso cannot be prepared for lookups.");
    }
    if (!ok) {
        c.close();
        r.status = OpenStatus::Damaged;
        r.detail = why;
        return r;
    }
    if (!m_readOnly)
        fillMissingNickKeys();
    r.status = m_readOnly ? OpenStatus::ReadOnly : created ? OpenStatus::Created : OpenStatus::Opened;
    if (m_readOnly)
        r.detail = QStringLiteral("%1 cannot be written.").arg(m_path);
    return r;
}

bool GameDb::checkBeforeOpening(bool hotJournal, QString &why)
{
    const QString name = m_connName + QStringLiteral("-check");
    QTemporaryDir scratch;
    bool ok = true;
    {
        QSqlDatabase c = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        if (hotJournal) {
            // A write was cut short. Undoing it writes to the file, so it is
            // undone on a copy first: only a file found sound is mended.
            const QString copy = scratch.filePath(QStringLiteral("check.db"));
            if (!scratch.isValid() || !QFile::copy(m_path, copy)
                || !QFile::copy(m_path + QStringLiteral("-journal"), copy + QStringLiteral("-journal"))) {
                why = QStringLiteral("%1 has an unfinished write that cannot be checked.").arg(m_path);
                ok = false;
            }
            c.setDatabaseName(copy);
        } else if (QFile::exists(m_path + QStringLiteral("-wal")) || QFile::exists(m_path + QStringLiteral("-shm"))) {
            // The other program may have it open: read through its log, making nothing.
            c.setDatabaseName(m_path);
            c.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000;QSQLITE_OPEN_READONLY"));
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
            ok = checkTables(c, why);
        c.close();
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}

bool GameDb::checkTables(const QSqlDatabase &c, QString &why)
{
    QSqlQuery q(c);
    if (!q.exec(QStringLiteral("PRAGMA quick_check"))) {
        why = q.lastError().text();
        return false;
    }
    if (!q.next() || q.value(0).toString() != QLatin1String("ok")) {
        why = QStringLiteral("The database file is damaged: %1").arg(q.value(0).toString());
        return false;
    }
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
    return true;
}

bool GameDb::prepareForUse(QString &why)
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
    if (!beginWrite()) {
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

void GameDb::fillMissingNickKeys()
{
    QSqlQuery q(connection());
    if (!q.exec(QStringLiteral("SELECT rowid, nick FROM hoso WHERE nickkey IS NULL AND nick IS NOT NULL")))
        return;
    QList<QPair<qint64, QString>> rows;
    while (q.next())
        rows.append({q.value(0).toLongLong(), q.value(1).toString()});
    if (rows.isEmpty() || !beginWrite())
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

bool GameDb::createDefault(QString &why)
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
            for (const QString &s : schemaStatements())
                if (ok && !q.exec(s))
                    ok = false;
            if (ok) {
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
                            ok = false;
                            break;
                        }
                    }
                }
            }
            if (ok)
                ok = q.exec(QStringLiteral("COMMIT"));
            if (!ok && why.isEmpty())
                why = QStringLiteral("The database cannot be created in %1: %2").arg(dir, q.lastError().text());
            c.close();
        }
    }
    QSqlDatabase::removeDatabase(name);
    // rename never replaces a file: when the other program finished first,
    // its database stands and ours is dropped.
    if (ok && !QFile::rename(tmp, m_path) && !QFileInfo::exists(m_path)) {
        why = QStringLiteral("The database cannot be moved into place in %1.").arg(dir);
        ok = false;
    }
    QFile::remove(tmp);
    return ok;
}

// --- hoso -------------------------------------------------------------------

std::optional<Account> GameDb::findAccount(const QString &nick)
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

bool GameDb::insertAccount(Account &a)
{
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
    return true;
}

bool GameDb::updateAccountRow(qint64 rowId, const QList<QPair<QString, QString>> &columns)
{
    if (columns.isEmpty())
        return true;
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
    return q.numRowsAffected() > 0;
}

bool GameDb::updateAccount(const QString &nick, const QList<QPair<QString, QString>> &columns)
{
    const auto a = findAccount(nick);
    if (!a)
        return false;
    return updateAccountRow(a->rowId, columns);
}

bool GameDb::deleteAccountRow(qint64 rowId)
{
    QSqlQuery q(connection());
    q.prepare(QStringLiteral("DELETE FROM hoso WHERE rowid = ?"));
    q.addBindValue(rowId);
    if (!q.exec()) {
        m_lastError = q.lastError().text();
        return false;
    }
    return q.numRowsAffected() > 0;
}

QList<Account> GameDb::accountsByMoney()
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

QList<Account> GameDb::richestAccounts(int n)
{
    QList<Account> out;
    QSqlQuery q(connection());
    q.setForwardOnly(true);
    // Equal money: the later account first. Both keys run backwards along the money
    // index (whose entries end in rowid), so no sort is needed however many tie.
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

int GameDb::accountCount()
{
    QSqlQuery q(connection());
    if (q.exec(QStringLiteral("SELECT count(*) FROM hoso")) && q.next())
        return q.value(0).toInt();
    return 0;
}

// --- lock -------------------------------------------------------------------

std::optional<LockRow> GameDb::readLock()
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

bool GameDb::writeLock(const LockRow &r)
{
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
    if (q.numRowsAffected() > 0)
        return true;
    QSqlQuery ins(connection());
    ins.prepare(QStringLiteral("INSERT INTO \"lock\" (hien19, hienten, thuthach, hiencode, hien191, "
                               "hienten1, thuthach1, hiencode1) VALUES (?,?,?,?,?,?,?,?)"));
    for (const QString *s : {&r.hien19, &r.hienten, &r.thuthach, &r.hiencode, &r.hien191, &r.hienten1,
                             &r.thuthach1, &r.hiencode1})
        ins.addBindValue(*s);
    if (!ins.exec()) {
        m_lastError = ins.lastError().text();
        return false;
    }
    return true;
}

// --- question tables --------------------------------------------------------

std::optional<qint64> GameDb::lastId(QuestionTable t)
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

std::optional<Question> GameDb::questionAt(QuestionTable t, qint64 position)
{
    if (position < 0)
        return std::nullopt;
    QSqlQuery q(connection());
    q.prepare(questionSelect(t) + QStringLiteral("ORDER BY ID, rowid LIMIT 1 OFFSET ?"));
    q.addBindValue(position);
    if (!q.exec()) {
        m_lastError = q.lastError().text();
        return std::nullopt;
    }
    if (!q.next())
        return std::nullopt;
    return questionFrom(q);
}

QList<Question> GameDb::questions(QuestionTable t)
{
    return readQuestions(t).value_or(QList<Question>());
}

std::optional<QList<Question>> GameDb::readQuestions(QuestionTable t)
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

int GameDb::questionCount(QuestionTable t)
{
    QSqlQuery q(connection());
    if (q.exec(QStringLiteral("SELECT count(*) FROM %1").arg(tableName(t))) && q.next())
        return q.value(0).toInt();
    return 0;
}

QList<Question> GameDb::questionsByText(QuestionTable t, const QString &cauhoi)
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

bool GameDb::appendQuestion(QuestionTable t, Question &r)
{
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
    return true;
}

bool GameDb::deleteQuestionsWithId(QuestionTable t, qint64 id)
{
    QSqlQuery q(connection());
    q.prepare(QStringLiteral("DELETE FROM %1 WHERE ID = ?").arg(tableName(t)));
    q.addBindValue(id);
    if (!q.exec()) {
        m_lastError = q.lastError().text();
        return false;
    }
    return true;
}

bool GameDb::setQuestionId(QuestionTable t, qint64 oldId, qint64 newId)
{
    QSqlQuery q(connection());
    q.prepare(QStringLiteral("UPDATE %1 SET ID = ? WHERE ID = ?").arg(tableName(t)));
    q.addBindValue(newId);
    q.addBindValue(oldId);
    if (!q.exec()) {
        m_lastError = q.lastError().text();
        return false;
    }
    return true;
}

bool GameDb::resetSelected(QuestionTable t)
{
    return exec(QStringLiteral("UPDATE %1 SET selected = 0 WHERE selected <> 0").arg(tableName(t)))
           && exec(QStringLiteral("UPDATE %1 SET selected = 1 WHERE ID < 100").arg(tableName(t)));
}

bool GameDb::renumberInTransaction(QuestionTable t)
{
    QList<QPair<qint64, qint64>> rows; // rowid, ID in record order
    {
        QSqlQuery q(connection());
        q.setForwardOnly(true);
        if (!q.exec(QStringLiteral("SELECT rowid, ID FROM %1 ORDER BY ID, rowid").arg(tableName(t)))) {
            m_lastError = q.lastError().text();
            return false;
        }
        while (q.next())
            rows.append({q.value(0).toLongLong(), q.value(1).toLongLong()});
    }
    QSqlQuery u(connection());
    u.prepare(QStringLiteral("UPDATE %1 SET ID = ? WHERE rowid = ?").arg(tableName(t)));
    qint64 want = 0;
    for (const auto &[rowId, id] : rows) {
        ++want;
        if (id == want)
            continue;
        // Rows are keyed by rowid, so two rows that shared an ID are told apart.
        u.addBindValue(want);
        u.addBindValue(rowId);
        if (!u.exec()) {
            m_lastError = u.lastError().text();
            return false;
        }
    }
    return resetSelected(t);
}

bool GameDb::renumber(QuestionTable t)
{
    if (!beginWrite())
        return false;
    if (!renumberInTransaction(t)) {
        rollback();
        return false;
    }
    return commit();
}

bool GameDb::deleteAndRenumber(QuestionTable t, qint64 id)
{
    if (!beginWrite())
        return false;
    if (!deleteQuestionsWithId(t, id) || !renumberInTransaction(t)) {
        rollback();
        return false;
    }
    return commit();
}

std::optional<qint64> GameDb::nextId(QuestionTable t)
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

std::optional<qint64> GameDb::appendAtEnd(QuestionTable t, const Question &q)
{
    if (!beginWrite())
        return std::nullopt;
    Question row = q;
    const std::optional<qint64> id = nextId(t);
    if (id) {
        row.id = *id;
        row.selected = false;
    }
    if (!id || !appendQuestion(t, row)) {
        rollback();
        return std::nullopt;
    }
    if (!commit())
        return std::nullopt;
    return *id;
}

GameDb::RowRemoval GameDb::deleteRowAndRenumber(QuestionTable t, const Question &listed)
{
    if (!beginWrite())
        return RowRemoval::Failed;
    QSqlQuery q(connection());
    q.prepare(QStringLiteral("SELECT cauhoi FROM %1 WHERE rowid = ?").arg(tableName(t)));
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
    q.finish();
    QSqlQuery del(connection());
    del.prepare(QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(tableName(t)));
    del.addBindValue(listed.rowId);
    if (!del.exec()) {
        m_lastError = del.lastError().text();
        rollback();
        return RowRemoval::Failed;
    }
    if (!renumberInTransaction(t)) {
        rollback();
        return RowRemoval::Failed;
    }
    return commit() ? RowRemoval::Removed : RowRemoval::Failed;
}

bool GameDb::beginWrite()
{
    return exec(QStringLiteral("BEGIN IMMEDIATE"));
}

bool GameDb::commit()
{
    if (exec(QStringLiteral("COMMIT")))
        return true;
    rollback();
    return false;
}

void GameDb::rollback()
{
    QSqlQuery q(connection());
    q.exec(QStringLiteral("ROLLBACK"));
}

} // namespace db
