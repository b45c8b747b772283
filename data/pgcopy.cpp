// A whole installation to and from a server: the reads of a copy, from one
// snapshot, and the import into an empty database in one transaction, many
// rows a statement.

#include "pgbackend.h"
#include "pgbackend_p.h"

#include <QStringList>

namespace db {

using namespace pg;

namespace {

bool holdsNul(const QString &s)
{
    return s.contains(QChar(0));
}

} // namespace

bool PgBackend::beginSnapshot()
{
    if (!ensureConnected() || !runText(QStringLiteral("BEGIN ISOLATION LEVEL REPEATABLE READ, READ ONLY")))
        return false;
    m_inTransaction = m_inWrite = true; // no read is made again on a new connection: it would see another moment
    return true;
}

void PgBackend::endSnapshot()
{
    rollback();
}

std::optional<QList<Account>> PgBackend::accountRows(std::optional<qint64> after, int limit)
{
    QVariantList values;
    const QString sql = pageSql(QStringLiteral("SELECT %1 FROM hoso").arg(accountColumns()), QStringLiteral("rid"), after, limit, values);
    return readRows(sql, values, accountRow);
}

std::optional<QList<LockRow>> PgBackend::lockRows()
{
    return readRows(QStringLiteral("SELECT %1 FROM \"lock\" ORDER BY rid").arg(columnList(kLockColumns)), {},
                    +[](const pg::Result &r) { return lockIn(r, 0); }, Statement::Once);
}

std::optional<QList<Question>> PgBackend::questionRows(QuestionTable t, std::optional<qint64> after, int limit)
{
    QVariantList values;
    const QString sql = pageSql(questionSelect(t), QStringLiteral("rid"), after, limit, values);
    return readRows(sql, values, storedQuestionRow);
}

std::optional<qint64> PgBackend::rowCount(const QString &table)
{
    std::optional<qint64> n;
    reading([&] {
        pg::Result q = run(QStringLiteral("SELECT count(*) FROM \"%1\"").arg(table), {}, Statement::Once);
        if (!q.next())
            return false;
        n = q.value(0).toLongLong();
        return true;
    });
    return n;
}

bool PgBackend::insertQuestionRows(QuestionTable t, const QList<Question> &rows)
{
    if (rows.isEmpty())
        return true;
    QStringList ids, selected;
    QList<const QString *> cols[6];
    for (const Question &q : rows) {
        ids << (q.id == kNoId ? QStringLiteral("NULL") : QString::number(q.id));
        selected << QLatin1String(q.selected ? "t" : "f");
        const QString *texts[] = {&q.cauhoi, &q.a, &q.b, &q.c, &q.d, &q.traloi};
        for (int i = 0; i < 6; ++i) {
            if (holdsNul(*texts[i])) {
                m_lastError = QStringLiteral("A text of %1 (ID %2) holds a NUL character, which a server database "
                                             "cannot keep.")
                                  .arg(tableName(t))
                                  .arg(q.id);
                return false;
            }
            cols[i] << texts[i];
        }
    }
    QVariantList values{QLatin1Char('{') + ids.join(QLatin1Char(',')) + QLatin1Char('}')};
    for (const auto &c : cols)
        values << textArray(c);
    values << QLatin1Char('{') + selected.join(QLatin1Char(',')) + QLatin1Char('}');
    return run(QStringLiteral("INSERT INTO %1 (id, cauhoi, a, b, c, d, traloi, selected) SELECT * FROM "
                              "unnest(?::bigint[], ?::text[], ?::text[], ?::text[], ?::text[], ?::text[], ?::text[], "
                              "?::boolean[])")
                   .arg(tableName(t)),
               values)
        .ok();
}

bool PgBackend::insertAccountRows(const QList<Account> &rows)
{
    if (rows.isEmpty())
        return true;
    QList<const QString *> cols[10];
    for (const Account &a : rows) {
        const QString *texts[] = {&a.nick, &a.pass, &a.ngaysinh, &a.mail, &a.cauhoibimat,
                                  &a.traloiibimat, &a.sotien, &a.solan, &a.gio, &a.phut};
        for (int i = 0; i < 10; ++i) {
            if (holdsNul(*texts[i])) {
                m_lastError = QStringLiteral("A text of an account holds a NUL character, which a server database "
                                             "cannot keep.");
                return false;
            }
            cols[i] << texts[i];
        }
    }
    // The nick's key is the server's to compute (its trigger).
    QVariantList values;
    for (const auto &c : cols)
        values << textArray(c);
    return run(QStringLiteral("INSERT INTO hoso (nick, pass, ngaysinh, mail, cauhoibimat, traloiibimat, sotien, solan, "
                              "gio, phut) SELECT * FROM unnest(?::text[], ?::text[], ?::text[], ?::text[], ?::text[], "
                              "?::text[], ?::text[], ?::text[], ?::text[], ?::text[])"),
               values)
        .ok();
}

bool PgBackend::importFrom(Backend &source, const std::function<void(const QString &, int)> &progress, QString &why)
{
    const QString where = location();
    if (!connect(why)) {
        why = QStringLiteral("%1 cannot be reached: %2").arg(where, why);
        return false;
    }
    auto fail = [&](const QString &reason) {
        why = reason;
        rollback();
        m_inWrite = false;
        return false;
    };
    // Under the schema lock, in one transaction: a machine that starts
    // meanwhile waits and then finds the whole copy, never half of it.
    if (!beginUnderSchemaLock())
        return fail(QStringLiteral("%1: %2").arg(where, m_lastError));
    QString state;
    switch (inspect(state)) {
    case Inspection::Empty: {
        // Empty means empty: a copy never mixes the game's tables with another's.
        pg::Result other = run(QStringLiteral("SELECT string_agg(relname, ', ' ORDER BY relname) FROM pg_class "
                                              "WHERE relnamespace = 'public'::regnamespace AND relkind IN ('r', 'p', "
                                              "'v', 'm', 'f') AND relname <> ?"),
                               {QLatin1String(kSchemaLockTable)});
        if (!other.next())
            return fail(QStringLiteral("%1: %2").arg(where, m_lastError));
        if (!other.value(0).isNull())
            return fail(QStringLiteral("The server database %1 holds other tables (%2); a copy is made only into an "
                                       "empty database. Nothing was changed.")
                            .arg(where, other.value(0).toString()));
        break;
    }
    case Inspection::Complete:
        return fail(QStringLiteral("The server database %1 already holds the game's tables; a copy is made only into "
                                   "an empty database. Nothing was changed.")
                        .arg(where));
    case Inspection::Broken:
        return fail(state);
    }
    // The functions first: the password trigger hashes what is copied in.
    if (!createSchema(false, false, why) || !installApi(why))
        return fail(why);
    auto written = [&](bool ok, const QString &what, QString &error) {
        if (!ok)
            error = QStringLiteral("Writing %1 failed: %2").arg(what, m_lastError);
        return ok;
    };
    RowWriters to;
    to.accounts = [&](const QList<Account> &rows, QString &error) {
        return written(insertAccountRows(rows), QStringLiteral("the accounts"), error);
    };
    to.locks = [&](const QList<LockRow> &rows, QString &error) {
        for (const LockRow &r : rows)
            if (!written(run(lockInsertSql(), lockValues(r)).ok(), QStringLiteral("the switches"), error))
                return false;
        return true;
    };
    to.questions = [&](QuestionTable t, const QList<Question> &rows, QString &error) {
        return written(insertQuestionRows(t, rows), tableName(t), error);
    };
    to.count = [&](const QString &table) { return rowCount(table); };
    if (!copyRows(source, to, progress, why))
        return fail(why);
    if (!commit())
        return fail(QStringLiteral("The copy could not be committed to %1: %2").arg(where, m_lastError));
    // The planner's figures for the tables just filled: the game's own only
    // (the others are not this role's to analyse).
    QStringList tables{QStringLiteral("hoso"), QStringLiteral("\"lock\""), QStringLiteral("lontaris_changes"),
                       QStringLiteral("lontaris_saves")};
    for (QuestionTable t : kAllQuestionTables)
        tables << tableName(t);
    runText(QStringLiteral("ANALYZE ") + tables.join(QLatin1String(", ")));
    return true;
}

} // namespace db
