// The question tables in the file: reads by position (through the ID index
// while the IDs run 1..N), the editor's writes and the renumbering.

#include "sqlitebackend.h"
#include "sqlitebackend_p.h"

#include <QSqlError>
#include <QSqlQuery>

namespace db {

using namespace sqlite;

std::optional<qint64> SqliteBackend::lastId(QuestionTable t)
{
    QSqlQuery q(connection());
    if (!run(q, QStringLiteral("SELECT ID FROM %1 ORDER BY ID DESC, rowid DESC LIMIT 1").arg(tableName(t))))
        return std::nullopt;
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
    if (!run(q, QStringLiteral("SELECT count(*), count(ID), min(ID), max(ID) FROM %1").arg(tableName(t))) || !q.next())
        return f;
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
    const bool ok = isDense(t)
                        ? run(q, questionSelect(t) + QStringLiteral("WHERE ID >= ? AND traloi <> '' ORDER BY ID, rowid LIMIT 1"),
                              {position + 1})
                        : run(q, QStringLiteral("SELECT * FROM (") + questionSelect(t)
                                     + QStringLiteral("ORDER BY ID, rowid LIMIT -1 OFFSET ?) WHERE traloi <> '' LIMIT 1"),
                              {position});
    if (!ok || !q.next())
        return std::nullopt;
    return questionFrom(q);
}

QList<Question> SqliteBackend::questionsFrom(QuestionTable t, qint64 position, int count)
{
    if (position < 0 || count <= 0)
        return {};
    QSqlQuery q(connection());
    // Dense: through the ID index, as fast at the end of the table as at its start.
    const bool ok = isDense(t) ? run(q, questionSelect(t) + QStringLiteral("WHERE ID >= ? AND ID < ? ORDER BY ID, rowid"),
                                     {position + 1, position + 1 + count})
                               : run(q, questionSelect(t) + QStringLiteral("ORDER BY ID, rowid LIMIT ? OFFSET ?"),
                                     {count, position});
    if (!ok)
        return {};
    return rowsOf(q, questionFrom);
}

std::optional<QList<Question>> SqliteBackend::readQuestions(QuestionTable t)
{
    QSqlQuery q(connection());
    if (!run(q, questionSelect(t) + QStringLiteral("ORDER BY ID, rowid")))
        return std::nullopt;
    return rowsOf(q, questionFrom);
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
    QSqlQuery q(connection());
    if (!run(q, questionSelect(t) + QStringLiteral("WHERE cauhoi = ? COLLATE NOCASE ORDER BY ID, rowid"), {cauhoi}))
        return {};
    return rowsOf(q, questionFrom);
}

bool SqliteBackend::appendQuestion(QuestionTable t, Question &r)
{
    if (!mayWrite())
        return false;
    QVariantList values = {r.id};
    for (const QString *s : questionTexts(r))
        values << bound(*s);
    values << (r.selected ? 1 : 0);
    QSqlQuery q(connection());
    if (!run(q, questionInsertSql(t), values))
        return false;
    r.rowId = q.lastInsertId().toLongLong();
    wrote();
    return true;
}

bool SqliteBackend::deleteQuestionsWithId(QuestionTable t, qint64 id)
{
    if (!mayWrite())
        return false;
    QSqlQuery q(connection());
    if (!run(q, QStringLiteral("DELETE FROM %1 WHERE ID = ?").arg(tableName(t)), {id}))
        return false;
    wrote();
    return true;
}

// --- renumbering ------------------------------------------------------------

bool SqliteBackend::renumberAfterDelete(QuestionTable t, std::optional<qint64> deletedId, int rowsBefore)
{
    // In the write transaction. Afterwards the IDs run 1..N in record order
    // and selected is set exactly where ID < 100.
    const QString n = tableName(t);
    wrote();
    moveAnswers(t, deletedId);
    if (!deletedId) {
        // Any table: each row takes its place in record order (rows keyed by
        // rowid, so two rows that shared an ID are told apart).
        return exec(QStringLiteral("UPDATE %1 SET ID = r.n, selected = (r.n < 100) FROM "
                                   "(SELECT rowid AS rid, row_number() OVER (ORDER BY ID, rowid) AS n FROM %1) AS r "
                                   "WHERE %1.rowid = r.rid AND (%1.ID IS NOT r.n OR %1.selected IS NOT (r.n < 100))")
                        .arg(n));
    }
    // The table was 1..N and lost the one row with this ID: the rows after it
    // move down by one, in one statement. When most rows move, the ID index is
    // built anew afterwards rather than changed entry by entry (only our own
    // index, known by its text).
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
    QSqlQuery q(connection());
    if (!run(q, QStringLiteral("UPDATE %1 SET ID = ID - 1, selected = (ID - 1 < 100) WHERE ID > ?").arg(n), {*deletedId}))
        return false;
    if (rebuild && !exec(indexSql))
        return false;
    return run(q, QStringLiteral("UPDATE %1 SET selected = (ID < 100) WHERE ID < ? AND selected IS NOT (ID < 100)").arg(n),
               {*deletedId});
}

bool SqliteBackend::renumber(QuestionTable t)
{
    return inTransaction(LockWait::Patient, [&] { return renumberAfterDelete(t, std::nullopt, 0); });
}

bool SqliteBackend::deleteAndRenumber(QuestionTable t, qint64 id)
{
    bool shift = false;
    const bool ok = inTransaction(LockWait::Patient, [&] {
        const bool dense = isDense(t);
        const int rowsBefore = facts(t).count;
        QSqlQuery del(connection());
        if (!run(del, QStringLiteral("DELETE FROM %1 WHERE ID = ?").arg(tableName(t)), {id}))
            return false;
        shift = dense && del.numRowsAffected() == 1;
        return renumberAfterDelete(t, shift ? std::optional<qint64>(id) : std::nullopt, rowsBefore);
    });
    if (ok && shift)
        shiftFacts(t, -1);
    return ok;
}

std::optional<qint64> SqliteBackend::nextId(QuestionTable t)
{
    QSqlQuery q(connection());
    if (!run(q, QStringLiteral("SELECT max(ID) FROM %1").arg(tableName(t))))
        return std::nullopt;
    if (!q.next() || q.value(0).isNull())
        return 1;
    return q.value(0).toLongLong() + 1;
}

std::optional<qint64> SqliteBackend::appendAtEnd(QuestionTable t, const Question &q)
{
    std::optional<qint64> id;
    bool dense = false;
    const bool ok = inTransaction(LockWait::Patient, [&] {
        Question row = q;
        id = nextId(t);
        if (!id)
            return false;
        row.id = *id;
        row.selected = false;
        dense = isDense(t) && *id == facts(t).count + 1;
        return appendQuestion(t, row);
    });
    if (!ok)
        return std::nullopt;
    if (dense)
        shiftFacts(t, +1);
    return id;
}

RowRemoval SqliteBackend::deleteRowAndRenumber(QuestionTable t, const Question &listed)
{
    bool gone = false, shift = false;
    const bool ok = inTransaction(LockWait::Patient, [&] {
        const bool dense = isDense(t);
        const int rowsBefore = facts(t).count;
        QSqlQuery q(connection());
        if (!run(q,
                 QStringLiteral("SELECT cauhoi, ID, (SELECT count(*) FROM %1 AS o WHERE o.ID = %1.ID) FROM %1 WHERE rowid = ?")
                     .arg(tableName(t)),
                 {listed.rowId}))
            return false;
        // Compared as stored, exactly: a list gone stale never removes another question.
        if (!q.next() || textOf(q, 0) != listed.cauhoi) {
            gone = true;
            return false;
        }
        const bool alone = !q.value(1).isNull() && q.value(2).toLongLong() == 1;
        const qint64 id = q.value(1).toLongLong();
        q.finish();
        QSqlQuery del(connection());
        if (!run(del, QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(tableName(t)), {listed.rowId}))
            return false;
        shift = dense && alone;
        return renumberAfterDelete(t, shift ? std::optional<qint64>(id) : std::nullopt, rowsBefore);
    });
    if (!ok)
        return gone ? RowRemoval::Gone : RowRemoval::Failed;
    if (shift)
        shiftFacts(t, -1);
    return RowRemoval::Removed;
}

} // namespace db

// --- many rows at once --------------------------------------------------------

namespace db {

bool SqliteBackend::holdQuestionTable(QuestionTable)
{
    // BEGIN IMMEDIATE took the write lock of the whole file.
    if (!m_inWrite) {
        m_lastError = QStringLiteral("No write transaction is open.");
        return false;
    }
    return true;
}

bool SqliteBackend::addQuestionRows(QuestionTable t, const QList<Question> &rows)
{
    if (!m_inWrite) {
        m_lastError = QStringLiteral("No write transaction is open.");
        return false;
    }
    // Many rows a statement, each statement prepared once per call.
    constexpr int kRowsPerStatement = 16;
    constexpr int kValues = 8;
    auto prepared = [&](QSqlQuery &q, qsizetype n) {
        QString sql = QStringLiteral("INSERT INTO %1 (%2) VALUES ").arg(tableName(t), columnList(kQuestionColumns));
        for (qsizetype i = 0; i < n; ++i)
            sql += i == 0 ? QStringLiteral("(?,?,?,?,?,?,?,?)") : QStringLiteral(",(?,?,?,?,?,?,?,?)");
        if (!q.prepare(sql)) {
            m_lastError = q.lastError().text();
            return false;
        }
        return true;
    };
    QSqlQuery full(connection()), rest(connection());
    bool fullReady = false;
    for (qsizetype from = 0; from < rows.size(); from += kRowsPerStatement) {
        const qsizetype n = qMin<qsizetype>(kRowsPerStatement, rows.size() - from);
        QSqlQuery &q = n == kRowsPerStatement ? full : rest;
        if (n == kRowsPerStatement && !fullReady) {
            if (!prepared(full, n))
                return false;
            fullReady = true;
        } else if (n < kRowsPerStatement && !prepared(rest, n)) {
            return false;
        }
        for (qsizetype i = 0; i < n; ++i) {
            const Question &r = rows.at(from + i);
            const int base = int(i) * kValues;
            q.bindValue(base, r.id == kNoId ? QVariant() : QVariant(r.id));
            int k = base + 1;
            for (const QString *s : questionTexts(r))
                q.bindValue(k++, bound(*s));
            q.bindValue(k, r.selected ? 1 : 0);
        }
        if (!q.exec()) {
            m_lastError = q.lastError().text();
            return false;
        }
    }
    wrote();
    return true;
}

} // namespace db
