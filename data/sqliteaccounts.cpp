// The accounts (hoso) and the switches row (lock) in the file.

#include "sqlitebackend.h"
#include "sqlitebackend_p.h"

#include <QSqlQuery>

namespace db {

using namespace sqlite;

// --- hoso -------------------------------------------------------------------

std::optional<Account> SqliteBackend::findAccount(const QString &nick)
{
    QSqlQuery q(connection());
    if (!run(q, accountSelect() + QStringLiteral("WHERE nickkey = ? ORDER BY rowid LIMIT 1"), {nickKey(nick)})
        || !q.next())
        return std::nullopt;
    return accountFrom(q);
}

bool SqliteBackend::insertAccount(Account &a)
{
    if (!mayWrite())
        return false;
    QSqlQuery q(connection());
    if (!run(q, accountInsertSql(), accountValues(a)))
        return false;
    a.rowId = q.lastInsertId().toLongLong();
    wrote();
    return true;
}

Registration SqliteBackend::registerAccount(Account &a)
{
    // Under the write lock (BEGIN IMMEDIATE): another program's registration
    // of the same nick comes wholly before this look or wholly after this insert.
    Registration out = Registration::Failed;
    const bool written = inTransaction(LockWait::Patient, [&] {
        QSqlQuery q(connection());
        if (!run(q, QStringLiteral("SELECT 1 FROM hoso WHERE nickkey = ? LIMIT 1"), {nickKey(a.nick)}))
            return false;
        if (q.next()) {
            out = Registration::Taken;
            return false;
        }
        q.finish();
        return insertAccount(a);
    });
    if (written)
        out = Registration::Made;
    return out;
}

bool SqliteBackend::updateAccountRow(qint64 rowId, const QList<QPair<QString, QString>> &columns)
{
    if (columns.isEmpty())
        return true;
    if (!mayWrite())
        return false;
    QString sets;
    QVariantList values;
    if (!accountChanges(columns, sets, values, m_lastError))
        return false;
    QSqlQuery q(connection());
    if (!run(q, QStringLiteral("UPDATE hoso SET %1 WHERE rowid = ?").arg(sets), values << rowId))
        return false;
    wrote();
    if (q.numRowsAffected() > 0)
        return true;
    m_lastError = QStringLiteral("The account is no longer there.");
    return false;
}

bool SqliteBackend::deleteAccountRow(qint64 rowId)
{
    if (!mayWrite())
        return false;
    QSqlQuery q(connection());
    if (!run(q, QStringLiteral("DELETE FROM hoso WHERE rowid = ?"), {rowId}))
        return false;
    wrote();
    return q.numRowsAffected() > 0;
}

QList<Account> SqliteBackend::accountsByMoney()
{
    QSqlQuery q(connection());
    if (!run(q, accountSelect() + QStringLiteral("ORDER BY CAST(sotien AS REAL), rowid")))
        return {};
    return rowsOf(q, accountFrom);
}

QList<Account> SqliteBackend::richestAccounts(int n)
{
    QSqlQuery q(connection());
    // Equal money: the later account first (as on a server), along the money
    // index whose entries end in rowid.
    if (!run(q, accountSelect() + QStringLiteral("ORDER BY CAST(sotien AS REAL) DESC, rowid DESC LIMIT ?"), {n}))
        return {};
    return rowsOf(q, accountFrom);
}

int SqliteBackend::accountCount()
{
    QSqlQuery q(connection());
    if (q.exec(QStringLiteral("SELECT count(*) FROM hoso")) && q.next())
        return q.value(0).toInt();
    return 0;
}

// --- lock -------------------------------------------------------------------

std::optional<LockRow> SqliteBackend::readLock()
{
    QSqlQuery q(connection());
    if (!run(q, QStringLiteral("SELECT %1 FROM \"lock\" ORDER BY rowid LIMIT 1").arg(columnList(kLockColumns)))
        || !q.next())
        return std::nullopt;
    return lockFrom(q);
}

bool SqliteBackend::writeLock(const LockRow &r)
{
    if (!mayWrite())
        return false;
    QSqlQuery q(connection());
    if (!run(q,
             QStringLiteral("UPDATE \"lock\" SET %1 WHERE rowid = (SELECT min(rowid) FROM \"lock\")")
                 .arg(keepingAssignments(kLockColumns, QStringLiteral("?"))),
             lockValues(r)))
        return false;
    wrote();
    return true;
}

// --- account changes ----------------------------------------------------------

AccountUpdate SqliteBackend::changeAccount(const QString &nick, const AccountDelta &delta, const LockRow *lock,
                                           LockWait wait)
{
    if (!beginWrite(wait))
        return {m_busy ? WriteStatus::Busy : WriteStatus::Failed, std::nullopt};
    m_lastError.clear();
    // Inside the write transaction: the values read here are the stored ones.
    AccountUpdate out;
    if (const std::optional<Account> found = findAccount(nick)) {
        Account a = *found;
        QList<QPair<QString, QString>> cols;
        out.status = applyDelta(a, delta, cols, m_lastError);
        if (out.status == WriteStatus::Done && !updateAccountRow(a.rowId, cols))
            out.status = WriteStatus::Failed;
        if (out.status == WriteStatus::Done)
            out.stored = a;
    } else {
        out.status = m_lastError.isEmpty() ? WriteStatus::Done : WriteStatus::Failed;
    }
    if (out.status == WriteStatus::Done && lock && !writeLock(*lock))
        out.status = WriteStatus::Failed;
    if (out.status != WriteStatus::Done) {
        rollback();
        out.stored.reset();
        return out;
    }
    if (!commit())
        return {WriteStatus::Failed, std::nullopt};
    return out;
}

} // namespace db
