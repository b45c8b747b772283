#pragma once
// The rows of the game's tables as both backends read, bind and copy them: the
// same columns in the same order on the file and on a server. Only the data
// layer sees this header.

#include "backend.h"

#include <QSqlQuery>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <span>

namespace db {

// A text column as stored: NULL a null QString, an empty text an empty one.
QString textOf(const QSqlQuery &q, int i);
// A text to bind: a null QString binds NULL.
QVariant bound(const QString &s);

// The row key, then the columns of kHosoColumns.
Account accountFrom(const QSqlQuery &q);
// From column `first` on: the row key, ID, cauhoi, A, B, C, D, traloi, selected.
Question questionFrom(const QSqlQuery &q, int first);
Question questionFrom(const QSqlQuery &q);
// As questionFrom, for a copy: a row that holds no ID (a file made by another
// tool) keeps none (kNoId).
Question storedQuestionFrom(const QSqlQuery &q);
// The columns of kLockColumns.
LockRow lockFrom(const QSqlQuery &q);

// Every row q has still to give, each made by `from`.
template <typename Row>
QList<Row> rowsOf(QSqlQuery &q, Row (*from)(const QSqlQuery &))
{
    QList<Row> out;
    while (q.next())
        out.append(from(q));
    return out;
}

// Binds values to q's placeholders, in order.
void bindAll(QSqlQuery &q, const QVariantList &values);

// "a, b, c"
QString columnList(std::span<const char *const> names);
// "a = coalesce(?, a), ...": a null value keeps what is stored. `mark` is
// the placeholder as the dialect wants it typed ("?", "?::text").
QString keepingAssignments(std::span<const char *const> names, const QString &mark);
// "coalesce(?, a), ...": the row as such a write leaves it, to compare with.
QString keptValues(std::span<const char *const> names, const QString &mark);
// INSERT INTO table (columns) VALUES (?, ...): one value a column.
QString insertSql(const QString &table, const QString &columns, int count);

// Inserts of a whole row, without the row key, and the values they bind in
// order: an account (its columns and the nick's key), the switches, a
// question (ID, its texts, selected).
QString accountInsertSql();
QVariantList accountValues(const Account &a);
QString lockInsertSql();
QVariantList lockValues(const LockRow &r);
QString questionInsertSql(QuestionTable t);
// cauhoi, A, B, C, D, traloi
QList<const QString *> questionTexts(const Question &q);

// The shipped questions as the rows of a new table: IDs 1..N, those under 100
// selected.
QList<Question> shippedRows(QuestionTable t);

// An update of hoso's `columns`: the SET list and the values it binds in order
// (the nick's key beside a new nick). False with `why` when one is not a
// column of hoso.
bool accountChanges(const QList<QPair<QString, QString>> &columns, QString &sets, QVariantList &values, QString &why);

// --- copying an installation ---------------------------------------------------

// Where an import writes the rows it is handed, a page (kCopyBatch rows at
// the most) a call; each says why it failed.
struct RowWriters {
    std::function<bool(const QList<Account> &, QString &why)> accounts;
    std::function<bool(const QList<LockRow> &, QString &why)> locks;
    std::function<bool(QuestionTable, const QList<Question> &, QString &why)> questions;
    // The rows a table holds now, written so far; nothing when it cannot be counted.
    std::function<std::optional<qint64>(const QString &table)> count;
};
// A page of a copy: `select` (up to its FROM) with the rows after the row key
// `after` (from the very first without one) in the order of `key`, `limit` of
// them; `values` gets what it binds.
QString pageSql(const QString &select, const QString &key, std::optional<qint64> after, int limit,
                QVariantList &values);
// Reads every row of `source` in its stored order and hands it to `to`: the
// accounts, the switches, then each question table, with `progress` after each
// table; then compares each table's rows at both ends. False with `why` when a
// read or a write failed or a table came out with another number of rows.
bool copyRows(Backend &source, const RowWriters &to, const std::function<void(const QString &, int)> &progress,
              QString &why);

} // namespace db
