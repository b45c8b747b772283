// Making the database file (a first start, a copy into a new file), the
// conversions an older or foreign file is given once, and the reads a copy
// makes of a whole installation.

#include "sqlitebackend.h"
#include "sqlitebackend_p.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>

#include <cerrno>
#include <csignal>

namespace db {

using namespace sqlite;

namespace {

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
    s << SqliteBackend::answerSchema();
    return s;
}

// Inserts rows through c (an ID of kNoId as NULL); false with the error's text.
bool insertQuestions(QSqlDatabase &c, QuestionTable t, const QList<Question> &rows, QString &error)
{
    QSqlQuery ins(c);
    ins.prepare(questionInsertSql(t));
    for (const Question &r : rows) {
        ins.addBindValue(r.id == kNoId ? QVariant() : QVariant(r.id));
        for (const QString *v : questionTexts(r))
            ins.addBindValue(bound(*v));
        ins.addBindValue(r.selected ? 1 : 0);
        if (!ins.exec()) {
            error = ins.lastError().text();
            return false;
        }
    }
    return true;
}

} // namespace

void SqliteBackend::removeStaleSideFiles()
{
    // A first start or a copy that was killed while it built the database
    // leaves its side file ("dataqa.db.<pid>.<conn>.new") and its journal. One
    // whose process is gone is dropped; one still being built by a running
    // program is left alone.
    const QFileInfo fi(m_path);
    QDir dir = fi.absoluteDir();
    if (!dir.exists() || !QFileInfo(dir.absolutePath()).isWritable())
        return;
    const QString prefix = fi.fileName() + QLatin1Char('.');
    // Matched by hand, as the name filters "<prefix>*.new" and
    // "<prefix>*.new-journal" would (wildcards would compile a regular
    // expression at every start).
    const QStringList names = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : names) {
        if (!name.startsWith(prefix, Qt::CaseInsensitive)
            || !(name.endsWith(QLatin1String(".new"), Qt::CaseInsensitive)
                 || name.endsWith(QLatin1String(".new-journal"), Qt::CaseInsensitive)))
            continue;
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

bool SqliteBackend::prepareForUse(QString &why)
{
    // A file made before answers were recorded gains their table (which
    // programs of that time leave alone). The game plays without it: a table
    // of that name made by another tool only keeps answers from being recorded.
    for (const QString &st : answerSchema())
        exec(st);
    if (!columnNames(connection(), QStringLiteral("hoso")).contains(QLatin1String("nickkey"))) {
        // A file made by another tool: add the matching key the lookups use.
        if (!exec(QStringLiteral("ALTER TABLE hoso ADD COLUMN nickkey TEXT"))
            || !exec(QStringLiteral("CREATE INDEX IF NOT EXISTS hoso_nickkey ON hoso(nickkey)"))) {
            why = QStringLiteral("The table hoso cannot be prepared for lookups.");
            return false;
        }
    }
    // Money and times must keep their text exactly: such a hoso with numeric
    // columns (older files) is rebuilt with text columns, rows and row order
    // kept, in one transaction.
    QList<QPair<QString, QString>> cols = columnTypes(connection(), QStringLiteral("hoso")); // name, declared type
    bool rebuild = false;
    for (auto &[name, type] : cols) {
        if (keepsItsText(name) && type.compare(QLatin1String("TEXT"), Qt::CaseInsensitive) != 0) {
            type = QStringLiteral("TEXT");
            rebuild = true;
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
    const bool ok = inTransaction(LockWait::Patient, [&] {
        return exec(QStringLiteral("DROP TABLE IF EXISTS hoso_text"))
               && exec(QStringLiteral("CREATE TABLE hoso_text (%1)").arg(defs.join(QLatin1String(", "))))
               && exec(QStringLiteral("INSERT INTO hoso_text (rowid, %1) SELECT rowid, %1 FROM hoso ORDER BY rowid").arg(list))
               && exec(QStringLiteral("DROP TABLE hoso")) && exec(QStringLiteral("ALTER TABLE hoso_text RENAME TO hoso"))
               && exec(QStringLiteral("CREATE INDEX hoso_nickkey ON hoso(nickkey)"))
               && exec(QStringLiteral("CREATE INDEX hoso_money ON hoso(CAST(sotien AS REAL))"));
    });
    if (!ok)
        why = QStringLiteral("The table hoso cannot be prepared: %1").arg(m_lastError);
    return ok;
}

void SqliteBackend::fillMissingNickKeys()
{
    QSqlQuery q(connection());
    if (!q.exec(QStringLiteral("SELECT rowid, nick FROM hoso WHERE nickkey IS NULL AND nick IS NOT NULL")))
        return;
    QList<QPair<qint64, QString>> rows;
    while (q.next())
        rows.append({q.value(0).toLongLong(), q.value(1).toString()});
    if (rows.isEmpty())
        return;
    inTransaction(LockWait::Patient, [&] {
        QSqlQuery u(connection());
        u.prepare(QStringLiteral("UPDATE hoso SET nickkey = ? WHERE rowid = ?"));
        for (const auto &[rowId, nick] : rows) {
            u.addBindValue(nickKey(nick));
            u.addBindValue(rowId);
            u.exec();
        }
        return true;
    });
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
                QString error;
                if (!insertQuestions(c, t, shippedRows(t), error)) {
                    err = QStringLiteral("The question bank cannot be written: %1").arg(error);
                    return false;
                }
            }
            return true;
        },
        true, false, why);
}

// --- a whole installation -----------------------------------------------------

namespace {

std::optional<qint64> countOf(const QSqlDatabase &c, const QString &table)
{
    QSqlQuery q(c);
    if (!q.exec(QStringLiteral("SELECT count(*) FROM \"%1\"").arg(table)) || !q.next())
        return std::nullopt;
    return q.value(0).toLongLong();
}

} // namespace

std::optional<QList<Account>> SqliteBackend::accountRows(std::optional<qint64> after, int limit)
{
    QSqlQuery q(connection());
    QVariantList values;
    const QString sql = pageSql(accountSelect(), QStringLiteral("rowid"), after, limit, values);
    if (!run(q, sql, values))
        return std::nullopt;
    return rowsOf(q, accountFrom);
}

std::optional<QList<LockRow>> SqliteBackend::lockRows()
{
    QSqlQuery q(connection());
    if (!run(q, QStringLiteral("SELECT %1 FROM \"lock\" ORDER BY rowid").arg(columnList(kLockColumns))))
        return std::nullopt;
    return rowsOf(q, lockFrom);
}

std::optional<QList<Question>> SqliteBackend::questionRows(QuestionTable t, std::optional<qint64> after, int limit)
{
    QSqlQuery q(connection());
    QVariantList values;
    const QString sql = pageSql(questionSelect(t), QStringLiteral("rowid"), after, limit, values);
    if (!run(q, sql, values))
        return std::nullopt;
    return rowsOf(q, storedQuestionFrom);
}

std::optional<qint64> SqliteBackend::rowCount(const QString &table)
{
    return countOf(connection(), table);
}

bool SqliteBackend::importFrom(Backend &source, const std::function<void(const QString &, int)> &progress,
                               QString &why)
{
    const QFileInfo fi(m_path);
    if (fi.exists() && !fi.isFile() && !fi.isDir()) {
        why = notARegularFile(m_path); // never removed to make room for the copy
        return false;
    }
    if (fi.exists() && (fi.isDir() || fi.size() > 0)) {
        why = QStringLiteral("%1 already exists; a copy is made only into a new file.").arg(m_path);
        return false;
    }
    if (fi.exists() && !QFile::remove(m_path)) {
        why = QStringLiteral("%1 cannot be replaced.").arg(m_path);
        return false;
    }
    auto fill = [&](QSqlDatabase &c, QString &err) {
        auto failed = [](const QString &cause, QString &error) {
            error = QStringLiteral("Writing the copy failed: %1").arg(cause);
            return false;
        };
        // Each row through a statement prepared once.
        auto insertAll = [&](QSqlQuery &ins, const auto &rows, auto values, QString &error) {
            for (const auto &r : rows) {
                bindAll(ins, values(r));
                if (!ins.exec())
                    return failed(ins.lastError().text(), error);
            }
            return true;
        };
        QSqlQuery accounts(c), locks(c);
        accounts.prepare(accountInsertSql());
        locks.prepare(lockInsertSql());
        RowWriters to;
        to.accounts = [&](const QList<Account> &rows, QString &error) {
            return insertAll(accounts, rows, [](const Account &a) { return accountValues(a); }, error);
        };
        to.locks = [&](const QList<LockRow> &rows, QString &error) { return insertAll(locks, rows, lockValues, error); };
        to.questions = [&](QuestionTable t, const QList<Question> &rows, QString &error) {
            QString cause;
            return insertQuestions(c, t, rows, cause) || failed(cause, error);
        };
        to.count = [&](const QString &table) { return countOf(c, table); };
        return copyRows(source, to, progress, err);
    };
    // What killed copies into this place left behind goes first.
    removeStaleSideFiles();
    return buildFile(fill, false, true, why);
}

} // namespace db
