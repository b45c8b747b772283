// The game's own operations on the server: each one call of the server's
// functions (pgfunctions.cpp), the same for the teacher's role and a
// pupil's. The session of a login, the key of the fee and the key of the
// game's end live here; a call whose answer was lost is made again with the
// same keys, which the server takes once.

#include "pgbackend.h"
#include "pgbackend_p.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

namespace db {

using namespace pg;

namespace {

QString newKey()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces);
}

// The columns the account functions give: rid, nick, sotien, solan, gio, phut.
Account playerFrom(const QSqlQuery &q, int first)
{
    Account a;
    a.rowId = q.value(first).toLongLong();
    a.nick = textOf(q, first + 1);
    a.sotien = textOf(q, first + 2);
    a.solan = textOf(q, first + 3);
    a.gio = textOf(q, first + 4);
    a.phut = textOf(q, first + 5);
    return a;
}

const QString kNotLoggedIn = QStringLiteral("No player is logged in on this connection.");

} // namespace

WriteStatus PgBackend::calling(LockWait wait, const std::function<bool()> &body)
{
    m_busy = false;
    m_inexact = false;
    m_heldBack = false;
    // A call whose answer was lost with the connection may have been made:
    // until the server has answered the same call (the same keys), nothing is
    // said of it but that it is not known. Asked again, the server says.
    auto offline = [&] {
        if (m_unsettledCall)
            m_lastError = QStringLiteral("The connection was lost while the server was answering, so whether it "
                                         "was saved is not known yet. Trying again asks the server, which never "
                                         "counts it twice.");
        m_offline = true;
        return WriteStatus::Offline;
    };
    const Bound bound(*this);
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (attempt > 0 && bound.passed())
            return offline();
        if (!ensureConnected())
            return offline();
        if (!setSessionLockWait(wait)) {
            if (m_lost)
                continue;
            return WriteStatus::Failed;
        }
        if (body()) {
            m_unsettledCall = false;
            return WriteStatus::Done;
        }
        if (!m_lost) {
            m_unsettledCall = false;
            return m_inexact ? WriteStatus::Inexact : m_busy ? WriteStatus::Busy : WriteStatus::Failed;
        }
        m_unsettledCall = true;
    }
    return !bound.passed() && ensureConnected() ? WriteStatus::Failed : offline();
}

AccountUpdate PgBackend::accountCall(const QString &sql, const QVariantList &values, LockWait wait)
{
    AccountUpdate out;
    out.status = calling(wait, [&] {
        QSqlQuery *q = runStatement(sql, values);
        if (!q)
            return false;
        out.stored.reset();
        if (q->next())
            out.stored = playerFrom(*q, 0);
        q->finish();
        return true;
    });
    return out;
}

std::optional<Account> PgBackend::logIn(const QString &nick, const QString &password)
{
    std::optional<Account> out;
    QString token;
    calling(LockWait::Patient, [&] {
        QSqlQuery *q = runStatement(QStringLiteral("SELECT * FROM lontaris_login(?, ?)"), {nickKey(nick), bound(password)});
        if (!q)
            return false;
        out.reset();
        if (q->next()) {
            token = q->value(0).toString();
            out = playerFrom(*q, 1);
        }
        q->finish();
        return true;
    });
    if (out) {
        m_session = token;
        m_sessionKey = nickKey(nick);
        m_fee.clear();
    }
    return out;
}

std::optional<Account> PgBackend::player(const QString &nick)
{
    if (m_session.isEmpty() || nickKey(nick) != m_sessionKey)
        return std::nullopt;
    return accountCall(QStringLiteral("SELECT * FROM lontaris_player(?)"), {m_session}, LockWait::Patient).stored;
}

std::optional<QString> PgBackend::nickTaken(const QString &nick)
{
    std::optional<QString> out;
    calling(LockWait::Patient, [&] {
        QSqlQuery *q = runStatement(QStringLiteral("SELECT * FROM lontaris_nick_taken(?)"), {nickKey(nick)});
        if (!q)
            return false;
        out.reset();
        if (q->next())
            out = textOf(*q, 0);
        q->finish();
        return true;
    });
    return out;
}

Registration PgBackend::registerAccount(Account &a)
{
    std::optional<Account> made;
    const WriteStatus s = calling(LockWait::Patient, [&] {
        QSqlQuery *q = runStatement(QStringLiteral("SELECT * FROM lontaris_register(?, ?, ?, ?, ?, ?, ?)"),
                                    {nickKey(a.nick), bound(a.nick), bound(a.pass), bound(a.ngaysinh), bound(a.mail),
                                     bound(a.cauhoibimat), bound(a.traloiibimat)});
        if (!q)
            return false;
        made.reset();
        if (q->next()) {
            Account back;
            back.rowId = q->value(0).toLongLong();
            back.nick = textOf(*q, 1);
            back.ngaysinh = textOf(*q, 2);
            back.sotien = textOf(*q, 3);
            made = back;
        }
        q->finish();
        return true;
    });
    if (s != WriteStatus::Done)
        return Registration::Failed;
    if (!made)
        return Registration::Taken;
    a.rowId = made->rowId;
    a.nick = made->nick;
    a.ngaysinh = made->ngaysinh;
    a.sotien = made->sotien;
    return Registration::Made;
}

Recovery PgBackend::recoverPassword(const QString &nick, const QString &ngaysinh, const QString &cauhoibimat,
                                    const QString &traloiibimat, const QString &newPassword)
{
    bool changed = false;
    const WriteStatus s = calling(LockWait::Patient, [&] {
        QSqlQuery *q = runStatement(QStringLiteral("SELECT lontaris_recover(?, ?, ?, ?, ?, ?)"),
                                    {nickKey(nick), bound(nick), bound(ngaysinh), bound(cauhoibimat), bound(traloiibimat),
                                     bound(newPassword)});
        if (!q)
            return false;
        changed = q->next() && q->value(0).toBool();
        q->finish();
        return true;
    });
    if (s != WriteStatus::Done)
        return Recovery::Failed;
    return changed ? Recovery::Changed : Recovery::Wrong;
}

bool PgBackend::changePassword(const QString &nick, const QString &oldPassword, const QString &newPassword)
{
    bool changed = false;
    calling(LockWait::Patient, [&] {
        QSqlQuery *q = runStatement(QStringLiteral("SELECT lontaris_change_password(?, ?, ?)"),
                                    {nickKey(nick), bound(oldPassword), bound(newPassword)});
        if (!q)
            return false;
        changed = q->next() && q->value(0).toBool();
        q->finish();
        return true;
    });
    if (!changed && m_lastError.isEmpty())
        m_lastError = QStringLiteral("The password was not changed.");
    return changed;
}

AccountUpdate PgBackend::payFee(const QString &nick, LockWait wait)
{
    if (m_session.isEmpty() || nickKey(nick) != m_sessionKey) {
        m_lastError = kNotLoggedIn;
        return {};
    }
    // The key stays the same until the fee is known taken: a fee whose answer
    // was lost, asked again, is not taken twice.
    if (m_pendingSave.first != QLatin1String("fee"))
        m_pendingSave = {QStringLiteral("fee"), newKey()};
    const QString key = m_pendingSave.second;
    AccountUpdate u = accountCall(QStringLiteral("SELECT * FROM lontaris_pay_fee(?, ?)"), {m_session, key}, wait);
    if (u.status == WriteStatus::Done) {
        m_fee = key;
        m_pendingSave = {};
    }
    return u;
}

AccountUpdate PgBackend::endGame(const QString &nick, const AccountDelta &delta, const LockRow &lock, LockWait wait)
{
    if (m_session.isEmpty() || nickKey(nick) != m_sessionKey || m_fee.isEmpty()) {
        m_lastError = m_fee.isEmpty() ? QStringLiteral("No fee was paid for this game.") : kNotLoggedIn;
        return {};
    }
    const QStringList switches = {lock.hien19,   lock.hienten,  lock.thuthach,  lock.hiencode,
                                  lock.hien191, lock.hienten1, lock.thuthach1, lock.hiencode1};
    // The same end asked again keeps its key: the server takes it once.
    const QString fingerprint = QStringList{QStringLiteral("end"), m_fee, delta.money, QString::number(delta.minutes)}
                                        .join(QChar(0x1f))
                                + switches.join(QChar(0x1f));
    if (fingerprint != m_pendingSave.first)
        m_pendingSave = {fingerprint, newKey()};
    QList<const QString *> refs;
    for (const QString &s : switches)
        refs << &s;
    AccountUpdate u = accountCall(QStringLiteral("SELECT * FROM lontaris_end_game(?, ?, ?, ?, ?, ?::text[])"),
                                  {m_session, m_fee, m_pendingSave.second, bound(delta.money), delta.minutes,
                                   textArray(refs)},
                                  wait);
    if (u.status == WriteStatus::Done)
        m_pendingSave = {};
    return u;
}

QList<Account> PgBackend::topFive()
{
    QList<Account> out;
    calling(LockWait::Patient, [&] {
        QSqlQuery *q = runStatement(QStringLiteral("SELECT * FROM lontaris_top_five()"));
        if (!q)
            return false;
        out.clear();
        while (q->next()) {
            Account a;
            a.rowId = q->value(0).toLongLong();
            a.nick = textOf(*q, 1);
            a.sotien = textOf(*q, 2);
            out << a;
        }
        q->finish();
        return true;
    });
    return out;
}

} // namespace db
