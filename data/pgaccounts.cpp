// The accounts (hoso) and the switches row (lock) on the server. A save of
// money is one compare-and-set statement with a key the server takes once.

#include "pgbackend.h"
#include "pgbackend_p.h"

#include <QUuid>

namespace db {

using namespace pg;

namespace {

// The account a nick finds (by its key, as the server computes it): the
// first made.
QString accountByNick()
{
    static const QString sql =
        QStringLiteral("SELECT %1 FROM hoso WHERE nickkey = lontaris_key(?) ORDER BY rid LIMIT 1").arg(accountColumns());
    return sql;
}

// The switches row written with the values of lockValues (a null one kept).
QString lockUpdate()
{
    static const QString sql = QStringLiteral("UPDATE \"lock\" SET %1 WHERE rid = (SELECT min(rid) FROM \"lock\")")
                                   .arg(keepingAssignments(kLockColumns, QStringLiteral("?::text")));
    return sql;
}

} // namespace

std::optional<Account> PgBackend::findAccount(const QString &nick)
{
    const std::optional<QList<Account>> rows = readRows(accountByNick(), {nick}, accountRow);
    if (!rows || rows->isEmpty())
        return std::nullopt;
    remember(rows->constFirst());
    return rows->constFirst();
}

void PgBackend::remember(const Account &a)
{
    // A save of this account starts from this row as read; one gone stale
    // costs a second round, never a wrong sum (the write compares first).
    if (m_known.size() > 1000)
        m_known.clear();
    m_known.insert(nickKey(a.nick), a);
}

bool PgBackend::insertAccount(Account &a)
{
    return write([&] {
        pg::Result q = run(accountInsertSql(false) + QStringLiteral(" RETURNING rid"), accountValues(a, false));
        if (!q.ok())
            return false;
        a.rowId = q.next() ? q.value(0).toLongLong() : 0;
        return true;
    });
}

bool PgBackend::updateAccountRow(qint64 rowId, const QList<QPair<QString, QString>> &columns)
{
    m_known.clear();
    if (columns.isEmpty())
        return true;
    QString sets;
    QVariantList values;
    if (!accountChanges(columns, sets, values, m_lastError, false))
        return false;
    bool gone = false;
    if (!write([&] {
            pg::Result q = run(QStringLiteral("UPDATE hoso SET %1 WHERE rid = ?").arg(sets), values << rowId);
            gone = q.ok() && q.affected() <= 0;
            return q.ok();
        }))
        return false;
    if (gone)
        m_lastError = QStringLiteral("The account is no longer there.");
    return !gone;
}

AccountUpdate PgBackend::changeAccount(const QString &nick, const AccountDelta &delta, const LockRow *lock,
                                       LockWait wait)
{
    AccountUpdate out;
    // What this save is. Made again with the same values (PatientSave's retry,
    // the player's second click after a lost connection) it keeps its key:
    // the server takes a key once, so a save whose answer was lost is never
    // added twice.
    QStringList what = {QLatin1String(lock ? "save" : "add"), nick, delta.money, delta.plays,
                        QString::number(delta.minutes)};
    if (lock)
        what << lock->hien19 << lock->hienten << lock->thuthach << lock->hiencode << lock->hien191 << lock->hienten1
             << lock->thuthach1 << lock->hiencode1;
    const QString fingerprint = what.join(QChar(0x1f));
    if (fingerprint != m_pendingSave.first)
        m_pendingSave = {fingerprint, QUuid::createUuid().toString(QUuid::WithoutBraces)};
    const QString token = m_pendingSave.second;
    const QString key = nickKey(nick);
    auto done = [&](std::optional<Account> stored) {
        m_pendingSave = {};
        out.status = WriteStatus::Done;
        out.stored = std::move(stored);
        if (out.stored)
            remember(*out.stored);
        return out;
    };

    m_busy = false;
    int lostTries = 0;
    auto givenUp = [&]() {
        // The connection went: once more on a new one, then the caller is told.
        if (m_lost && !m_inWrite && ++lostTries < 3)
            return false;
        out.status = m_lost ? WriteStatus::Offline : m_busy ? WriteStatus::Busy : WriteStatus::Failed;
        return true;
    };
    // Each round reads the row and writes it back only if it is still as read
    // (compare and set, one statement): a round lost to another session's save
    // of the same account reads again.
    for (int round = 0; round < 1000; ++round) {
        if (!m_inWrite && (!ensureConnected() || !setSessionLockWait(wait))) {
            if (givenUp())
                return out;
            continue;
        }
        // The row as this machine last read or wrote it, else as stored now.
        std::optional<Account> found;
        if (const auto known = m_known.constFind(key); round == 0 && known != m_known.constEnd()) {
            found = *known;
        } else {
            pg::Result q = run(accountByNick(), {nick});
            if (!q.ok()) {
                if (givenUp())
                    return out;
                continue;
            }
            if (q.next())
                found = accountRow(q);
        }
        m_known.remove(key);

        QList<QPair<QString, QString>> cols;
        Account a;
        if (found) {
            a = *found;
            const WriteStatus s = applyDelta(a, delta, cols, m_lastError);
            if (s != WriteStatus::Done) {
                m_pendingSave = {};
                out.status = s;
                return out;
            }
        }
        if (!lock && cols.isEmpty())
            return done(found); // nothing to write

        // The switches row is written (and locked) only when they change:
        // pupils' saves do not queue behind one another on it.
        static const QString lockChange = QStringLiteral("%1 AND (%2) IS DISTINCT FROM (%3)")
                                              .arg(lockUpdate(), columnList(kLockColumns),
                                                   keptValues(kLockColumns, QStringLiteral("?::text")));
        QString sql;
        if (!cols.isEmpty()) {
            QStringList sets, same;
            for (const auto &c : cols) {
                sets << c.first + QStringLiteral(" = ?");
                same << c.first + QStringLiteral(" IS NOT DISTINCT FROM ?::text");
            }
            sql = QStringLiteral("WITH u AS (UPDATE hoso SET %1 WHERE rid = ? AND %2 RETURNING rid)")
                      .arg(sets.join(QLatin1String(", ")), same.join(QLatin1String(" AND ")));
            if (lock)
                sql += QStringLiteral(", l AS (%1 AND EXISTS (SELECT 1 FROM u))").arg(lockChange);
            sql += QStringLiteral(", s AS (INSERT INTO lontaris_saves (token) SELECT ?::text WHERE EXISTS (SELECT 1 FROM u)) "
                                  "SELECT count(*) FROM u");
        } else {
            // No account (or nothing of it to change): the switches alone.
            sql = QStringLiteral("WITH l AS (%1), s AS (INSERT INTO lontaris_saves (token) VALUES (?::text)) SELECT 1")
                      .arg(lockChange);
        }
        QVariantList values;
        if (!cols.isEmpty()) {
            for (const auto &c : cols)
                values << bound(c.second);
            values << a.rowId;
            for (const auto &c : cols) {
                const QString *was = c.first == QLatin1String("sotien") ? &found->sotien
                                     : c.first == QLatin1String("solan") ? &found->solan
                                     : c.first == QLatin1String("gio")   ? &found->gio
                                                                         : &found->phut;
                values << bound(*was);
            }
        }
        if (lock) {
            const QVariantList switches = lockValues(*lock);
            values << switches  // the new values
                   << switches; // the same, compared with the stored ones
        }
        values << token;
        pg::Result w = m_conn.run(sql, values);
        if (!w.ok()) {
            if (w.sqlState() == QLatin1String("23505")) {
                // The key is taken: an earlier try of this very save went
                // through, its answer lost with the connection.
                return done(findAccount(nick));
            }
            noteError(w);
            if (givenUp())
                return out;
            continue;
        }
        const bool written = w.next() && w.value(0).toLongLong() > 0;
        if (written)
            return done(cols.isEmpty() ? found : std::optional<Account>(a));
        // Changed by another session since it was read: read it again.
    }
    out.status = WriteStatus::Busy;
    m_lastError = QStringLiteral("The account kept changing under this save.");
    return out;
}

bool PgBackend::deleteAccountRow(qint64 rowId)
{
    m_known.clear();
    int removed = 0;
    const bool done = write([&] {
        pg::Result q = run(QStringLiteral("DELETE FROM hoso WHERE rid = ?"), {rowId});
        removed = int(q.affected());
        return q.ok();
    });
    return done && removed > 0;
}

QList<Account> PgBackend::accountsByMoney()
{
    return readRows(QStringLiteral("SELECT %1 FROM hoso ORDER BY money NULLS FIRST, rid").arg(accountColumns()), {},
                    accountRow, Statement::Once)
        .value_or(QList<Account>());
}

QList<Account> PgBackend::richestAccounts(int n)
{
    return readRows(
               QStringLiteral("SELECT %1 FROM hoso ORDER BY money DESC NULLS LAST, rid DESC LIMIT ?").arg(accountColumns()),
               {n}, accountRow)
        .value_or(QList<Account>());
}

int PgBackend::accountCount()
{
    int n = 0;
    reading([&] {
        pg::Result q = run(QStringLiteral("SELECT count(*) FROM hoso"));
        if (!q.next())
            return false;
        n = q.value(0).toInt();
        return true;
    });
    return n;
}

// --- lock -------------------------------------------------------------------------

std::optional<LockRow> PgBackend::readLock()
{
    std::optional<LockRow> out;
    reading([&] {
        std::optional<Answer> a = call(QStringLiteral("lontaris_switches"));
        if (!a || !a->ok())
            return false;
        out.reset();
        if (a->rows.next())
            out = lockIn(a->rows, 1);
        return true;
    });
    return out;
}

bool PgBackend::writeLock(const LockRow &r)
{
    return write([&] { return run(lockUpdate(), lockValues(r)).ok(); });
}

} // namespace db
