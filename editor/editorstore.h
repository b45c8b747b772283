#pragma once
// The editor's writes to the question tables. Each one runs in a single
// BEGIN IMMEDIATE transaction, so the game (or a second editor) having the file
// open can never see, or cause, a table with a gap or a duplicate ID: either
// the whole change lands or the table stays as it was.

#include "gamedb.h"

#include <QList>
#include <QString>
#include <optional>

namespace editorstore {

// All rows of a table in record (ID) order; nothing when the table cannot be read.
std::optional<QList<db::Question>> loadQuestions(db::GameDb &db, db::QuestionTable t, QString *error = nullptr);
// The number of rows of a table; nothing when the table cannot be read.
std::optional<int> countQuestions(db::GameDb &db, db::QuestionTable t, QString *error = nullptr);

// The ID a question appended now would get: the last ID plus 1, or 1 for an
// empty table. Nothing when the table cannot be read.
std::optional<qint64> nextId(db::GameDb &db, db::QuestionTable t, QString *error = nullptr);

// Appends q (texts as stored) at the end of the table with the next free ID,
// selected unset. Returns the ID it got.
std::optional<qint64> appendAtEnd(db::GameDb &db, db::QuestionTable t, const db::Question &q,
                                  QString *error = nullptr);

enum class RemoveResult {
    Removed, // deleted, table renumbered 1..N, selected flags reset
    Gone,    // the row is no longer there as it was listed: nothing changed
    Failed   // the database refused: nothing changed (see error)
};

// Deletes the row `listed` (matched by its rowid and its stored question text,
// so a stale list never removes another question), then renumbers the table
// 1..N in record order and sets selected exactly where ID < 100.
RemoveResult removeAndRenumber(db::GameDb &db, db::QuestionTable t, const db::Question &listed,
                               QString *error = nullptr);

} // namespace editorstore
