#pragma once
// What the files of the SQLite backend share.

#include "rows.h"

#include <QSqlDatabase>

namespace db::sqlite {

constexpr int kBusyTimeoutMs = 5000;

// The file as an SQLite URI that reads it as unchangeable: no locks, no
// journal recovery, no WAL or index file made.
QString immutableUri(const QString &path);
// Why a path that is there is refused as a database or a copy's target:
// it is no regular file (a pipe, a device, a socket).
QString notARegularFile(const QString &path);
// The table's columns as declared: name and type; none when it is missing.
QList<QPair<QString, QString>> columnTypes(const QSqlDatabase &c, const QString &table);
// The table's column names, in lower case; none when it is missing.
QStringList columnNames(const QSqlDatabase &c, const QString &table);
// Money and play time: columns that must keep their text exactly (a column
// with numeric affinity would turn "007" into 7 and a long digit string into
// 1e+40).
bool keepsItsText(const QString &column);

// SELECT of the row key and the columns accountFrom reads, then a space.
QString accountSelect();
// SELECT of the row key and the columns questionFrom reads, then a space.
QString questionSelect(QuestionTable t);

} // namespace db::sqlite
