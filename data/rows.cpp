#include "rows.h"

namespace db {

QVariant bound(const QString &s)
{
    return s.isNull() ? QVariant() : QVariant(s);
}

void bindAll(QSqlQuery &q, const QVariantList &values)
{
    for (const QVariant &v : values)
        q.addBindValue(v);
}

QString columnList(std::span<const char *const> names)
{
    QStringList out;
    for (const char *n : names)
        out << QLatin1String(n);
    return out.join(QLatin1String(", "));
}

QString keepingAssignments(std::span<const char *const> names, const QString &mark)
{
    QStringList out;
    for (const char *n : names)
        out << QStringLiteral("%1 = coalesce(%2, %1)").arg(QLatin1String(n), mark);
    return out.join(QLatin1String(", "));
}

QString keptValues(std::span<const char *const> names, const QString &mark)
{
    QStringList out;
    for (const char *n : names)
        out << QStringLiteral("coalesce(%2, %1)").arg(QLatin1String(n), mark);
    return out.join(QLatin1String(", "));
}

QString insertSql(const QString &table, const QString &columns, int count)
{
    QStringList marks;
    for (int i = 0; i < count; ++i)
        marks << QStringLiteral("?");
    return QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(table, columns, marks.join(QLatin1String(", ")));
}

QString accountInsertSql(bool withKey)
{
    static const QString keyed =
        insertSql(QStringLiteral("hoso"), columnList(kHosoColumns) + QStringLiteral(", nickkey"), 11);
    static const QString plain = insertSql(QStringLiteral("hoso"), columnList(kHosoColumns), 10);
    return withKey ? keyed : plain;
}

QVariantList accountValues(const Account &a, bool withKey)
{
    QVariantList out;
    for (const QString *v : {&a.nick, &a.pass, &a.ngaysinh, &a.mail, &a.cauhoibimat, &a.traloiibimat, &a.sotien,
                             &a.solan, &a.gio, &a.phut})
        out << bound(*v);
    if (withKey)
        out << (a.nick.isNull() ? QVariant() : QVariant(nickKey(a.nick)));
    return out;
}

QString lockInsertSql()
{
    static const QString sql = insertSql(QStringLiteral("\"lock\""), columnList(kLockColumns), 8);
    return sql;
}

QVariantList lockValues(const LockRow &r)
{
    QVariantList out;
    for (const QString *v : {&r.hienten, &r.thuthach, &r.hien19, &r.hiencode, &r.hienten1, &r.thuthach1, &r.hien191,
                             &r.hiencode1})
        out << bound(*v);
    return out;
}

QString questionInsertSql(QuestionTable t)
{
    return insertSql(tableName(t), columnList(kQuestionColumns), 8);
}

QList<const QString *> questionTexts(const Question &q)
{
    return {&q.cauhoi, &q.a, &q.b, &q.c, &q.d, &q.traloi};
}

bool accountChanges(const QList<QPair<QString, QString>> &columns, QString &sets, QVariantList &values, QString &why,
                    bool withKey)
{
    QStringList list;
    values.clear();
    for (const auto &c : columns) {
        if (!isHosoColumn(c.first)) {
            why = QStringLiteral("No column %1 in hoso").arg(c.first);
            return false;
        }
        const bool nick = c.first.compare(QLatin1String("nick"), Qt::CaseInsensitive) == 0;
        list << c.first.toLower() + QStringLiteral(" = ?");
        values << bound(c.second);
        if (nick && withKey) {
            list << QStringLiteral("nickkey = ?");
            values << nickKey(c.second);
        }
    }
    sets = list.join(QLatin1String(", "));
    return true;
}

QString pageSql(const QString &select, const QString &key, std::optional<qint64> after, int limit,
                QVariantList &values)
{
    values.clear();
    if (after)
        values << *after;
    values << limit;
    return select.trimmed()
           + (after ? QStringLiteral(" WHERE %1 > ? ORDER BY %1 LIMIT ?") : QStringLiteral(" ORDER BY %1 LIMIT ?")).arg(key);
}

bool copyRows(Backend &source, const RowWriters &to, const std::function<void(const QString &, int)> &progress,
              QString &why)
{
    // A table a page at a time, each page read after the last row key of the
    // one before (the first from the very first row, whatever its key); the
    // number of rows, or nothing when a read or write failed.
    auto pages = [&](const QString &what, const auto &read, const auto &write) -> std::optional<qint64> {
        qint64 rows = 0;
        for (std::optional<qint64> after;;) {
            const auto batch = read(after);
            if (!batch) {
                why = QStringLiteral("Reading %1 failed: %2").arg(what, source.lastError());
                return std::nullopt;
            }
            if (!write(*batch))
                return std::nullopt;
            rows += batch->size();
            if (batch->size() < kCopyBatch)
                return rows;
            after = batch->constLast().rowId;
        }
    };
    // Every row read must be a row written, and every row there a row read.
    auto sameCount = [&](const QString &table, qint64 handed) {
        const std::optional<qint64> there = source.rowCount(table);
        const std::optional<qint64> here = to.count ? to.count(table) : std::optional<qint64>(handed);
        if (there && here && *there == handed && *here == handed)
            return true;
        why = QStringLiteral("The copy of the table %1 came out with %2 rows where the source holds %3; nothing was "
                             "copied.")
                  .arg(table, here ? QString::number(*here) : QStringLiteral("uncounted"),
                       there ? QString::number(*there) : QStringLiteral("uncounted"));
        return false;
    };
    const std::optional<qint64> accounts = pages(
        QStringLiteral("the accounts"),
        [&](std::optional<qint64> after) { return source.accountRows(after, kCopyBatch); },
        [&](const QList<Account> &rows) { return to.accounts(rows, why); });
    if (!accounts || !sameCount(QStringLiteral("hoso"), *accounts))
        return false;
    if (progress)
        progress(QStringLiteral("hoso"), int(*accounts));
    const std::optional<QList<LockRow>> locks = source.lockRows();
    if (!locks) {
        why = QStringLiteral("Reading the switches failed: %1").arg(source.lastError());
        return false;
    }
    if (!to.locks(*locks, why) || !sameCount(QStringLiteral("lock"), locks->size()))
        return false;
    if (progress)
        progress(QStringLiteral("lock"), int(locks->size()));
    for (QuestionTable t : kAllQuestionTables) {
        const std::optional<qint64> questions = pages(
            tableName(t), [&](std::optional<qint64> after) { return source.questionRows(t, after, kCopyBatch); },
            [&](const QList<Question> &rows) { return to.questions(t, rows, why); });
        if (!questions || !sameCount(tableName(t), *questions))
            return false;
        if (progress)
            progress(tableName(t), int(*questions));
    }
    return true;
}

} // namespace db
