// The recorded answers on a file: one insert a verdict, the figures of a
// table added up in one statement that reads only the answers' index.

#include "sqlitebackend.h"
#include "sqlitebackend_p.h"

#include <QSqlQuery>

namespace db {

using namespace sqlite;

namespace {
// A busy file keeps no more answers than this in memory for the next verdict.
constexpr int kUnwrittenCap = 64;
} // namespace

QStringList SqliteBackend::answerSchema()
{
    // The index holds every column the figures add up, so reading them never
    // touches the table's own rows.
    return {QStringLiteral("CREATE TABLE IF NOT EXISTS lontaris_answers (tbl TEXT NOT NULL, qid INTEGER NOT NULL, "
                           "fingerprint TEXT NOT NULL, correct INTEGER NOT NULL, fifty INTEGER NOT NULL DEFAULT 0, "
                           "phone INTEGER NOT NULL DEFAULT 0, audience INTEGER NOT NULL DEFAULT 0, seconds REAL, "
                           "answered TEXT NOT NULL, nick TEXT)"),
            QStringLiteral("CREATE INDEX IF NOT EXISTS lontaris_answers_question ON lontaris_answers(tbl, qid, "
                           "fingerprint, correct, fifty, phone, audience, seconds)")};
}

bool SqliteBackend::recordAnswer(const AnswerRecord &r)
{
    if (m_readOnly || !isOpen())
        return false;
    if (m_unwrittenAnswers.size() >= kUnwrittenCap)
        m_unwrittenAnswers.removeFirst();
    m_unwrittenAnswers.append(r);
    // Never waits: a file another program is writing, or still being
    // checked, keeps the answer for the next verdict.
    if (!beginWrite(LockWait::NoWait))
        return false;
    if (!m_answerInsert) {
        m_answerInsert = std::make_unique<QSqlQuery>(connection());
        if (!m_answerInsert->prepare(QStringLiteral(
                "INSERT INTO lontaris_answers (tbl, qid, fingerprint, correct, fifty, phone, audience, seconds, "
                "answered, nick) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"))) {
            m_answerInsert.reset();
            rollback();
            return false;
        }
    }
    QSqlQuery &ins = *m_answerInsert;
    bool ok = true;
    for (const AnswerRecord &a : std::as_const(m_unwrittenAnswers)) {
        ins.bindValue(0, tableName(a.table));
        ins.bindValue(1, a.qid);
        ins.bindValue(2, a.fingerprint);
        ins.bindValue(3, a.correct ? 1 : 0);
        ins.bindValue(4, a.fifty ? 1 : 0);
        ins.bindValue(5, a.phone ? 1 : 0);
        ins.bindValue(6, a.audience ? 1 : 0);
        ins.bindValue(7, a.seconds ? QVariant(*a.seconds) : QVariant());
        ins.bindValue(8, answeredText(a.answered));
        ins.bindValue(9, a.nick.isNull() ? QVariant() : QVariant(a.nick));
        if (!ins.exec()) {
            ok = false;
            break;
        }
    }
    ins.finish();
    // Committed without counting as a write of the question tables, whose
    // sizes this program keeps.
    m_inWrite = false;
    if (!ok || !exec(QStringLiteral("COMMIT"))) {
        rollback();
        return false;
    }
    m_unwrittenAnswers.clear();
    return true;
}

void SqliteBackend::moveAnswers(QuestionTable t, std::optional<qint64> deletedId)
{
    if (t == QuestionTable::Thungrac)
        return; // the trash is never asked
    // A file without the table (another tool's) renumbers all the same: a
    // failed statement leaves the transaction as it was.
    const QString n = tableName(t);
    QSqlQuery q(connection());
    if (deletedId) {
        // The IDs run 1..N and the one removed leaves a gap the rest close.
        run(q, QStringLiteral("UPDATE lontaris_answers SET qid = 0 WHERE tbl = ? AND qid = ?"), {n, *deletedId});
        run(q, QStringLiteral("UPDATE lontaris_answers SET qid = qid - 1 WHERE tbl = ? AND qid > ?"), {n, *deletedId});
        return;
    }
    // Any table: each ID goes where its first row goes (rows that shared an
    // ID are told apart by their fingerprints); an ID no row has any more
    // was removed.
    run(q,
        QStringLiteral("UPDATE lontaris_answers SET qid = 0 WHERE tbl = ? AND qid <> 0 AND qid NOT IN "
                       "(SELECT ID FROM %1 WHERE ID IS NOT NULL)")
            .arg(n),
        {n});
    run(q,
        QStringLiteral("UPDATE lontaris_answers SET qid = m.n FROM (SELECT ID AS old, min(n) AS n FROM (SELECT ID, "
                       "row_number() OVER (ORDER BY ID, rowid) AS n FROM %1) GROUP BY ID) AS m "
                       "WHERE lontaris_answers.tbl = ? AND lontaris_answers.qid = m.old AND m.old IS NOT m.n")
            .arg(n),
        {n});
}

std::optional<QList<AnswerGroup>> SqliteBackend::answerGroups(QuestionTable t)
{
    QSqlQuery q(connection());
    if (!run(q,
             QStringLiteral("SELECT qid, fingerprint, count(*), total(correct), total(fifty), total(phone), "
                            "total(audience), total(seconds), count(seconds) FROM lontaris_answers WHERE tbl = ? "
                            "GROUP BY qid, fingerprint"),
             {tableName(t)}))
        return std::nullopt;
    QList<AnswerGroup> out;
    while (q.next()) {
        AnswerGroup g;
        g.qid = q.value(0).toLongLong();
        g.fingerprint = q.value(1).toString();
        g.asked = q.value(2).toLongLong();
        g.right = qint64(q.value(3).toDouble());
        g.fifty = qint64(q.value(4).toDouble());
        g.phone = qint64(q.value(5).toDouble());
        g.audience = qint64(q.value(6).toDouble());
        g.secondsSum = q.value(7).toDouble();
        g.timed = q.value(8).toLongLong();
        out.append(g);
    }
    return out;
}

std::optional<AnswerTally> SqliteBackend::answerTally()
{
    QSqlQuery q(connection());
    if (!run(q, QStringLiteral("SELECT count(*), max(rowid) FROM lontaris_answers")) || !q.next())
        return std::nullopt;
    return AnswerTally{q.value(0).toLongLong(), q.value(1).isNull() ? QVariant(qint64(0)) : q.value(1)};
}

std::optional<qint64> SqliteBackend::clearAnswers(const AnswerTally &tally)
{
    std::optional<qint64> removed;
    const bool done = inTransaction(LockWait::Patient, [&] {
        QSqlQuery q(connection());
        if (!run(q, QStringLiteral("DELETE FROM lontaris_answers WHERE rowid <= ?"), {tally.mark.toLongLong()}))
            return false;
        removed = q.numRowsAffected();
        return true;
    });
    return done ? removed : std::nullopt;
}

} // namespace db
