#include "editorstore.h"

namespace editorstore {

namespace {
void setError(QString *error, const db::GameDb &db)
{
    if (error)
        *error = db.lastError();
}
} // namespace

std::optional<QList<db::Question>> loadQuestions(db::GameDb &db, db::QuestionTable t, QString *error)
{
    std::optional<QList<db::Question>> rows = db.readQuestions(t);
    if (!rows)
        setError(error, db);
    return rows;
}

std::optional<int> countQuestions(db::GameDb &db, db::QuestionTable t, QString *error)
{
    const std::optional<int> n = db.countQuestions(t);
    if (!n)
        setError(error, db);
    return n;
}

std::optional<qint64> nextId(db::GameDb &db, db::QuestionTable t, QString *error)
{
    const std::optional<qint64> id = db.nextId(t);
    if (!id)
        setError(error, db);
    return id;
}

std::optional<qint64> appendAtEnd(db::GameDb &db, db::QuestionTable t, const db::Question &q, QString *error)
{
    const std::optional<qint64> id = db.appendAtEnd(t, q);
    if (!id)
        setError(error, db);
    return id;
}

RemoveResult removeAndRenumber(db::GameDb &db, db::QuestionTable t, const db::Question &listed, QString *error)
{
    switch (db.deleteRowAndRenumber(t, listed)) {
    case db::GameDb::RowRemoval::Removed:
        return RemoveResult::Removed;
    case db::GameDb::RowRemoval::Gone:
        return RemoveResult::Gone;
    case db::GameDb::RowRemoval::Failed:
        break;
    }
    setError(error, db);
    return RemoveResult::Failed;
}

} // namespace editorstore
