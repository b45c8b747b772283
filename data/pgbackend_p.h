#pragma once
// What the files of the server backend share.

#include "pgbackend.h"
#include "rows.h"

namespace db::pg {

// The table whose lock is held while an empty database is given the schema
// (and a copy is written): one first connection makes it, the others wait
// and find it made. The teacher's role owns it and no pupil may lock it (an
// advisory lock's key anybody could take).
inline constexpr const char *kSchemaLockTable = "lontaris_schema_lock";

// How long the teacher's role's writes wait for a lock: a patient one as the
// file's busy timeout, a save that must not hold up its window a moment.
inline constexpr int kPatientLockMs = 5000;
inline constexpr int kMomentLockMs = 50;

// The order records run in, as on the file: by ID (a row without one first),
// then in the order the rows were made.
inline constexpr const char *kRecordOrder = "ORDER BY id NULLS FIRST, rid";

// The row key and the columns accountFrom reads.
QString accountColumns();
// SELECT of the row key and the columns questionFrom reads, then a space.
QString questionSelect(QuestionTable t);

// The rows of the reads: an account (accountColumns()), a question
// (questionSelect), a question of a copy (an ID kept missing).
inline Account accountRow(const Result &r) { return accountIn(r, 0); }
inline Question questionRow(const Result &r) { return questionIn(r, 0); }
inline Question storedQuestionRow(const Result &r) { return storedQuestionIn(r); }

// A column of text values as a PostgreSQL array literal: every element quoted,
// NULL kept as NULL.
QString textArray(const QList<const QString *> &values);

// The statements that make (or bring up to date) the game's server functions,
// the password and nick key triggers and the pupils' role.
QStringList apiStatements();

// A part of the game's server functions (see pgfunctions.cpp): the
// statements that make it, and its functions a pupil's role may call, each
// with its argument types.
struct ApiPart {
    const char *sql;
    QStringList pupilFunctions;
};
ApiPart accountApi(); // pgaccountapi.cpp
ApiPart gameApi();    // pggameapi.cpp
ApiPart bankApi();    // pgbankapi.cpp
ApiPart refereeApi(); // pgreferee.cpp

} // namespace db::pg

namespace db {

template <typename Row>
std::optional<QList<Row>> PgBackend::readRows(const QString &sql, const QVariantList &values,
                                              Row (*from)(const pg::Result &), Statement how)
{
    QList<Row> out;
    const bool ok = reading([&] {
        pg::Result r = run(sql, values, how);
        if (!r.ok())
            return false;
        out.clear();
        while (r.next())
            out.append(from(r));
        return true;
    });
    if (!ok)
        return std::nullopt;
    return out;
}

} // namespace db
