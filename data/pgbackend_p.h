#pragma once
// What the files of the server backend share.

#include "pgbackend.h"
#include "rows.h"

namespace db::pg {

// The key of the advisory lock under which an empty database is given the
// schema (and a copy is written): one first connection makes it, the others
// wait and find it made.
constexpr qint64 kSchemaLock = 0x6c6f6e7461726973; // "lontaris"

// The order records run in, as on the file: by ID (a row without one first),
// then in the order the rows were made.
inline constexpr const char *kRecordOrder = "ORDER BY id NULLS FIRST, rid";

// The row key and the columns accountFrom reads.
QString accountColumns();
// SELECT of the row key and the columns questionFrom reads, then a space.
QString questionSelect(QuestionTable t);

// A column of text values as a PostgreSQL array literal: every element quoted,
// NULL kept as NULL.
QString textArray(const QList<const QString *> &values);

// The statements that make (or bring up to date) the game's server functions,
// the password trigger and the pupils' role.
QStringList apiStatements();

} // namespace db::pg

namespace db {

template <typename Row>
std::optional<QList<Row>> PgBackend::readRows(const QString &sql, const QVariantList &values,
                                              Row (*from)(const QSqlQuery &), Statement how)
{
    Q_ASSERT(how == Statement::Kept || values.isEmpty());
    QList<Row> out;
    const bool ok = reading([&] {
        if (how == Statement::Text) {
            QSqlQuery q(connection());
            if (!runText(q, sql))
                return false;
            out = rowsOf(q, from);
            return true;
        }
        QSqlQuery *q = runStatement(sql, values);
        if (!q)
            return false;
        out = rowsOf(*q, from);
        q->finish();
        return true;
    });
    if (!ok)
        return std::nullopt;
    return out;
}

} // namespace db
