// The question tables on the server: each table's facts (size, whether its IDs
// run 1..N) kept until its change counter moves, reads by position checked
// against that counter, the editor's writes and the renumbering, each under
// the lock of its one table.

#include "pgbackend.h"
#include "pgbackend_p.h"


namespace db {

using namespace pg;

namespace {
// The rows a draw reads, with the table's change counter after the outcome
// (the server's function, which a pupil's role may call): by ID or by place,
// all or the first answered one.
const QString kRows = QStringLiteral("lontaris_rows");
} // namespace

const PgBackend::Facts *PgBackend::countFacts(QuestionTable t)
{
    Facts &f = m_facts[int(t)];
    f = Facts();
    // The counter and the counts in one snapshot. Dense: the IDs run 1..N,
    // each once, so a row's position is its ID less one.
    std::optional<Answer> a = call(QStringLiteral("lontaris_facts"), {tableName(t)});
    if (!a || !a->ok() || !a->rows.next())
        return nullptr;
    f.version = a->rows.value(1).isNull() ? -2 : a->rows.value(1).toLongLong();
    f.count = a->rows.value(2).toInt();
    f.dense = a->rows.value(3).toBool();
    f.readable = true;
    return &f;
}

const PgBackend::Facts *PgBackend::facts(QuestionTable t)
{
    // Unless the server told of a change, the facts stand. A change it is
    // still telling is caught by the reads that depend on the facts: they
    // bring the table's counter from their own snapshot (questionsFrom).
    hearChanges();
    const Facts &f = m_facts[int(t)];
    if (f.readable)
        return &f;
    return countFacts(t);
}

std::optional<int> PgBackend::countQuestions(QuestionTable t)
{
    std::optional<int> out;
    reading([&] {
        const Facts *f = facts(t);
        if (f)
            out = f->count;
        return f != nullptr;
    });
    return out;
}

bool PgBackend::readPlaced(QuestionTable t,
                           const std::function<QPair<QString, QVariantList>(const Facts &)> &statementFor,
                           QList<Question> &out)
{
    for (int tries = 0; tries < 3; ++tries) {
        out.clear();
        const Facts *f = facts(t);
        if (!f)
            return false;
        const auto [function, values] = statementFor(*f);
        std::optional<Answer> a = call(function, values);
        if (!a || !a->ok())
            return false;
        qint64 version = -2;
        while (a->rows.next()) {
            version = a->rows.value(1).toLongLong();
            out.append(questionIn(a->rows, 2));
        }
        if (version == f->version || (out.isEmpty() && tries > 0))
            return true;
        forgetFacts(t); // changed since counted: count again
    }
    return true;
}

std::optional<qint64> PgBackend::lastId(QuestionTable t)
{
    std::optional<qint64> out;
    reading([&] {
        std::optional<Answer> a = call(QStringLiteral("lontaris_last_id"), {tableName(t)});
        if (!a || !a->ok())
            return false;
        if (a->rows.next() && !a->rows.value(1).isNull())
            out = a->rows.value(1).toLongLong();
        return true;
    });
    return out;
}

QList<Question> PgBackend::questionsFrom(QuestionTable t, qint64 position, int count)
{
    QList<Question> out;
    if (position < 0 || count <= 0)
        return out;
    reading([&] {
        return readPlaced(
            t,
            [&](const Facts &f) -> QPair<QString, QVariantList> {
                if (f.dense)
                    return {kRows, {tableName(t), true, position + 1, count, false}};
                return {kRows, {tableName(t), false, position, count, false}};
            },
            out);
    });
    return out;
}

std::optional<Question> PgBackend::answeredQuestionFrom(QuestionTable t, qint64 position)
{
    if (position < 0)
        position = 0;
    QList<Question> found;
    reading([&] {
        return readPlaced(
            t,
            [&](const Facts &f) -> QPair<QString, QVariantList> {
                return {kRows, {tableName(t), f.dense, f.dense ? position + 1 : position, qint64(1), true}};
            },
            found);
    });
    if (found.isEmpty())
        return std::nullopt;
    return found.constFirst();
}

std::optional<QList<Question>> PgBackend::readQuestions(QuestionTable t)
{
    return readRows(questionSelect(t) + QLatin1String(kRecordOrder), {}, questionRow, Statement::Once);
}

QList<Question> PgBackend::questionsByText(QuestionTable t, const QString &cauhoi)
{
    // Letter case of ASCII ignored, as on the file; every other letter exact.
    const QString fold = QStringLiteral("translate(%1, 'ABCDEFGHIJKLMNOPQRSTUVWXYZ', 'abcdefghijklmnopqrstuvwxyz')");
    return readRows(questionSelect(t)
                        + QStringLiteral("WHERE %1 = %2 ").arg(fold.arg(QLatin1String("cauhoi")), fold.arg(QLatin1String("?::text")))
                        + QLatin1String(kRecordOrder),
                    {cauhoi}, questionRow)
        .value_or(QList<Question>());
}

bool PgBackend::appendQuestion(QuestionTable t, Question &r)
{
    forgetFacts(t);
    return write([&] {
        QVariantList values = {r.id};
        for (const QString *s : questionTexts(r))
            values << bound(*s);
        values << r.selected;
        pg::Result q = run(questionInsertSql(t) + QStringLiteral(" RETURNING rid"), values);
        if (!q.ok())
            return false;
        r.rowId = q.next() ? q.value(0).toLongLong() : 0;
        return true;
    });
}

bool PgBackend::deleteQuestionsWithId(QuestionTable t, qint64 id)
{
    forgetFacts(t);
    return write([&] {
        return run(QStringLiteral("DELETE FROM %1 WHERE id = ?").arg(tableName(t)), {id}).ok();
    });
}

// --- renumbering ------------------------------------------------------------

bool PgBackend::renumberLocked(QuestionTable t, std::optional<qint64> deletedId)
{
    // Under the table's lock. Afterwards the IDs run 1..N in record order and
    // selected is set exactly where ID < 100.
    const QString n = tableName(t);
    if (deletedId) {
        // The table was 1..N and lost the one row with this ID: the rows after
        // it move down by one, in one statement.
        return run(QStringLiteral("UPDATE %1 SET id = id - 1, selected = (id - 1 < 100) WHERE id > ?").arg(n), {*deletedId})
                   .ok()
               && run(QStringLiteral("UPDATE %1 SET selected = (id < 100) WHERE id < ? AND selected IS DISTINCT FROM (id < 100)")
                          .arg(n),
                      {*deletedId})
                      .ok();
    }
    // Any table: each row takes its place in record order.
    return runText(QStringLiteral("UPDATE %1 SET id = r.n, selected = (r.n < 100) FROM "
                                  "(SELECT rid, row_number() OVER (%2) AS n FROM %1) AS r WHERE %1.rid = r.rid AND "
                                  "(%1.id IS DISTINCT FROM r.n OR %1.selected IS DISTINCT FROM (r.n < 100))")
                       .arg(n, QLatin1String(kRecordOrder)));
}

std::optional<bool> PgBackend::lockForRenumbering(QuestionTable t)
{
    if (!lockTable(t))
        return std::nullopt;
    const Facts *f = facts(t);
    if (!f)
        return std::nullopt;
    return f->dense;
}

bool PgBackend::renumber(QuestionTable t)
{
    const bool ok = write([&] { return lockTable(t) && renumberLocked(t, std::nullopt); });
    forgetFacts(t);
    return ok;
}

bool PgBackend::deleteAndRenumber(QuestionTable t, qint64 id)
{
    const bool ok = write([&] {
        const std::optional<bool> dense = lockForRenumbering(t);
        if (!dense)
            return false;
        pg::Result del = run(QStringLiteral("DELETE FROM %1 WHERE id = ?").arg(tableName(t)), {id});
        if (!del.ok())
            return false;
        const bool shift = *dense && del.affected() == 1;
        return renumberLocked(t, shift ? std::optional<qint64>(id) : std::nullopt);
    });
    forgetFacts(t);
    return ok;
}

std::optional<qint64> PgBackend::nextId(QuestionTable t)
{
    std::optional<qint64> out;
    reading([&] {
        pg::Result q = run(QStringLiteral("SELECT max(id) FROM %1").arg(tableName(t)));
        if (!q.ok())
            return false;
        out = q.next() && !q.value(0).isNull() ? q.value(0).toLongLong() + 1 : 1;
        return true;
    });
    return out;
}

std::optional<qint64> PgBackend::appendAtEnd(QuestionTable t, const Question &q)
{
    qint64 id = 0;
    const bool ok = write([&] {
        // Under the table's lock: two editors never hand out the same ID.
        if (!lockTable(t))
            return false;
        QVariantList texts;
        for (const QString *v : questionTexts(q))
            texts << bound(*v);
        pg::Result ins = run(
            QStringLiteral("INSERT INTO %1 (id, cauhoi, a, b, c, d, traloi, selected) SELECT coalesce(max(id), 0) + 1, "
                           "?::text, ?::text, ?::text, ?::text, ?::text, ?::text, false FROM %1 RETURNING id")
                .arg(tableName(t)),
            texts);
        if (!ins.ok())
            return false;
        id = ins.next() ? ins.value(0).toLongLong() : 0;
        return true;
    });
    forgetFacts(t);
    if (!ok)
        return std::nullopt;
    return id;
}

RowRemoval PgBackend::deleteRowAndRenumber(QuestionTable t, const Question &listed)
{
    bool gone = false;
    const QString n = tableName(t);
    const bool ok = write([&] {
        gone = false;
        const std::optional<bool> dense = lockForRenumbering(t);
        if (!dense)
            return false;
        pg::Result q = run(
            QStringLiteral("SELECT cauhoi, id, (SELECT count(*) FROM %1 AS o WHERE o.id = %1.id) FROM %1 WHERE rid = ?")
                .arg(n),
            {listed.rowId});
        if (!q.ok())
            return false;
        // Compared as stored, exactly: a list gone stale never removes another question.
        if (!q.next() || textIn(q, 0) != listed.cauhoi) {
            gone = true;
            return true; // nothing changed
        }
        const bool alone = !q.value(1).isNull() && q.value(2).toLongLong() == 1;
        const qint64 id = q.value(1).toLongLong();
        return run(QStringLiteral("DELETE FROM %1 WHERE rid = ?").arg(n), {listed.rowId}).ok()
               && renumberLocked(t, *dense && alone ? std::optional<qint64>(id) : std::nullopt);
    });
    forgetFacts(t);
    if (!ok)
        return RowRemoval::Failed;
    return gone ? RowRemoval::Gone : RowRemoval::Removed;
}

} // namespace db

// --- many rows at once --------------------------------------------------------

namespace db {

bool PgBackend::holdQuestionTable(QuestionTable t)
{
    if (!m_inWrite) {
        m_lastError = QStringLiteral("No write transaction is open.");
        return false;
    }
    forgetFacts(t);
    return lockTable(t);
}

bool PgBackend::addQuestionRows(QuestionTable t, const QList<Question> &rows)
{
    if (!m_inWrite) {
        m_lastError = QStringLiteral("No write transaction is open.");
        return false;
    }
    forgetFacts(t);
    for (qsizetype from = 0; from < rows.size(); from += kCopyBatch)
        if (!insertQuestionRows(t, rows.mid(from, kCopyBatch)))
            return false;
    return true;
}

} // namespace db
