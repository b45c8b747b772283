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

// The readers below take a query's current row: a QSqlQuery (the file's) or
// a pg::Result (a server's), anything whose value(i) gives a QVariant.

// A text column as stored: NULL a null QString, an empty text an empty one.
template <typename Q> QString textIn(const Q &q, int i)
{
    const QVariant v = q.value(i);
    if (v.isNull())
        return QString();
    QString s = v.toString();
    if (s.isNull())
        s = QLatin1String(""); // present but empty, not NULL
    return s;
}
inline QString textOf(const QSqlQuery &q, int i) { return textIn(q, i); }
// A text to bind: a null QString binds NULL.
QVariant bound(const QString &s);

// From column `first` on: the row key, then the columns of kHosoColumns.
template <typename Q> Account accountIn(const Q &q, int first)
{
    Account a;
    a.rowId = q.value(first).toLongLong();
    QString *fields[] = {&a.nick, &a.pass, &a.ngaysinh, &a.mail, &a.cauhoibimat,
                         &a.traloiibimat, &a.sotien, &a.solan, &a.gio, &a.phut};
    for (int i = 0; i < 10; ++i)
        *fields[i] = textIn(q, first + 1 + i);
    return a;
}
inline Account accountFrom(const QSqlQuery &q) { return accountIn(q, 0); }
// From column `first` on: the row key, ID, cauhoi, A, B, C, D, traloi, selected.
template <typename Q> Question questionIn(const Q &q, int first)
{
    Question r;
    r.rowId = q.value(first).toLongLong();
    r.id = q.value(first + 1).isNull() ? 0 : q.value(first + 1).toLongLong();
    r.cauhoi = textIn(q, first + 2);
    r.a = textIn(q, first + 3);
    r.b = textIn(q, first + 4);
    r.c = textIn(q, first + 5);
    r.d = textIn(q, first + 6);
    r.traloi = textIn(q, first + 7);
    r.selected = q.value(first + 8).toLongLong() != 0; // an integer on the file, a boolean on a server
    return r;
}
inline Question questionFrom(const QSqlQuery &q, int first) { return questionIn(q, first); }
inline Question questionFrom(const QSqlQuery &q) { return questionIn(q, 0); }
// As questionIn, for a copy: a row that holds no ID (a file made by another
// tool) keeps none (kNoId).
template <typename Q> Question storedQuestionIn(const Q &q)
{
    Question r = questionIn(q, 0);
    if (q.value(1).isNull())
        r.id = kNoId;
    return r;
}
inline Question storedQuestionFrom(const QSqlQuery &q) { return storedQuestionIn(q); }
// From column `first` on: the columns of kLockColumns.
template <typename Q> LockRow lockIn(const Q &q, int first)
{
    LockRow r;
    QString *fields[] = {&r.hienten, &r.thuthach, &r.hien19, &r.hiencode,
                         &r.hienten1, &r.thuthach1, &r.hien191, &r.hiencode1};
    for (int i = 0; i < 8; ++i)
        *fields[i] = textIn(q, first + i);
    return r;
}
inline LockRow lockFrom(const QSqlQuery &q) { return lockIn(q, 0); }

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
// order: an account (its columns and, on the file, the nick's key; a server
// computes its own), the switches, a question (ID, its texts, selected).
QString accountInsertSql(bool withKey = true);
QVariantList accountValues(const Account &a, bool withKey = true);
QString lockInsertSql();
QVariantList lockValues(const LockRow &r);
QString questionInsertSql(QuestionTable t);
// cauhoi, A, B, C, D, traloi
QList<const QString *> questionTexts(const Question &q);

// The shipped questions as the rows of a new table: IDs 1..N, those under 100
// selected.
QList<Question> shippedRows(QuestionTable t);

// An update of hoso's `columns`: the SET list and the values it binds in order
// (on the file, the nick's key beside a new nick). False with `why` when one
// is not a column of hoso.
bool accountChanges(const QList<QPair<QString, QString>> &columns, QString &sets, QVariantList &values, QString &why,
                    bool withKey = true);

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
