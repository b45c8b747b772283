#include "editorstore.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace editorstore {

namespace {

QString textOf(const QSqlQuery &q, int i)
{
    const QVariant v = q.value(i);
    if (v.isNull())
        return QString();
    QString s = v.toString();
    if (s.isNull())
        s = QLatin1String("");
    return s;
}

void setError(QString *error, const QString &text)
{
    if (error)
        *error = text;
}

// Gives the rows IDs 1..N in record order, inside the caller's transaction.
bool renumberRows(db::GameDb &db, db::QuestionTable t, QString *error)
{
    const QString table = db::tableName(t);
    QList<QPair<qint64, qint64>> rows; // rowid, ID
    {
        QSqlQuery q(db.connection());
        q.setForwardOnly(true);
        if (!q.exec(QStringLiteral("SELECT rowid, ID FROM %1 ORDER BY ID, rowid").arg(table))) {
            setError(error, q.lastError().text());
            return false;
        }
        while (q.next())
            rows.append({q.value(0).toLongLong(), q.value(1).isNull() ? -1 : q.value(1).toLongLong()});
    }
    QSqlQuery u(db.connection());
    if (!u.prepare(QStringLiteral("UPDATE %1 SET ID = ? WHERE rowid = ?").arg(table))) {
        setError(error, u.lastError().text());
        return false;
    }
    qint64 want = 0;
    for (const auto &[rowId, id] : rows) {
        ++want;
        if (id == want)
            continue;
        u.addBindValue(want);
        u.addBindValue(rowId);
        if (!u.exec()) {
            setError(error, u.lastError().text());
            return false;
        }
    }
    if (!db.resetSelected(t)) {
        setError(error, db.lastError());
        return false;
    }
    return true;
}

} // namespace

std::optional<QList<db::Question>> loadQuestions(db::GameDb &db, db::QuestionTable t, QString *error)
{
    QSqlQuery q(db.connection());
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT rowid, ID, cauhoi, A, B, C, D, traloi, selected FROM %1 "
                               "ORDER BY ID, rowid")
                    .arg(db::tableName(t)))) {
        setError(error, q.lastError().text());
        return std::nullopt;
    }
    QList<db::Question> out;
    while (q.next()) {
        db::Question r;
        r.rowId = q.value(0).toLongLong();
        r.id = q.value(1).toLongLong();
        r.cauhoi = textOf(q, 2);
        r.a = textOf(q, 3);
        r.b = textOf(q, 4);
        r.c = textOf(q, 5);
        r.d = textOf(q, 6);
        r.traloi = textOf(q, 7);
        r.selected = q.value(8).toLongLong() != 0;
        out.append(std::move(r));
    }
    return out;
}

std::optional<qint64> nextId(db::GameDb &db, db::QuestionTable t, QString *error)
{
    QSqlQuery q(db.connection());
    if (!q.exec(QStringLiteral("SELECT max(ID) FROM %1").arg(db::tableName(t)))) {
        setError(error, q.lastError().text());
        return std::nullopt;
    }
    if (!q.next() || q.value(0).isNull())
        return 1;
    return q.value(0).toLongLong() + 1;
}

std::optional<qint64> appendAtEnd(db::GameDb &db, db::QuestionTable t, const db::Question &q, QString *error)
{
    if (!db.beginWrite()) {
        setError(error, db.lastError());
        return std::nullopt;
    }
    // The ID is taken under the write lock, so nobody can append the same one.
    const std::optional<qint64> id = nextId(db, t, error);
    if (!id) {
        db.rollback();
        return std::nullopt;
    }
    db::Question row = q;
    row.id = *id;
    row.selected = false;
    if (!db.appendQuestion(t, row)) {
        setError(error, db.lastError());
        db.rollback();
        return std::nullopt;
    }
    if (!db.commit()) {
        setError(error, db.lastError());
        return std::nullopt;
    }
    return *id;
}

RemoveResult removeAndRenumber(db::GameDb &db, db::QuestionTable t, const db::Question &listed, QString *error)
{
    const QString table = db::tableName(t);
    if (!db.beginWrite()) {
        setError(error, db.lastError());
        return RemoveResult::Failed;
    }
    {
        QSqlQuery q(db.connection());
        q.prepare(QStringLiteral("SELECT cauhoi FROM %1 WHERE rowid = ?").arg(table));
        q.addBindValue(listed.rowId);
        if (!q.exec()) {
            setError(error, q.lastError().text());
            db.rollback();
            return RemoveResult::Failed;
        }
        // Compared as stored bytes, exactly.
        if (!q.next() || textOf(q, 0) != listed.cauhoi) {
            db.rollback();
            return RemoveResult::Gone;
        }
    }
    QSqlQuery del(db.connection());
    del.prepare(QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(table));
    del.addBindValue(listed.rowId);
    if (!del.exec()) {
        setError(error, del.lastError().text());
        db.rollback();
        return RemoveResult::Failed;
    }
    if (!renumberRows(db, t, error)) {
        db.rollback();
        return RemoveResult::Failed;
    }
    if (!db.commit()) {
        setError(error, db.lastError());
        return RemoveResult::Failed;
    }
    return RemoveResult::Removed;
}

} // namespace editorstore
