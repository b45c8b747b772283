// The game's own operations on the server: each one call of the server's
// functions (pgfunctions.cpp), the same for the teacher's role and a
// pupil's. The session of a login, the key of the fee and the key of the
// game's end live here; a call whose answer was lost is made again with the
// same keys, which the server takes once.

#include "pgbackend.h"
#include "pgbackend_p.h"

#include <QUuid>

namespace db {

using namespace pg;

namespace {

QString newKey()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces);
}

// The columns the account functions give after their outcome: rid, nick,
// sotien, solan, gio, phut.
Account playerFrom(const pg::Result &r, int first)
{
    Account a;
    a.rowId = r.value(first).toLongLong();
    a.nick = textIn(r, first + 1);
    a.sotien = textIn(r, first + 2);
    a.solan = textIn(r, first + 3);
    a.gio = textIn(r, first + 4);
    a.phut = textIn(r, first + 5);
    return a;
}

const QString kNotLoggedIn = QStringLiteral("No player is logged in on this connection.");

} // namespace

WriteStatus PgBackend::calling(const QString &function, const QVariantList &values,
                               const std::function<void(pg::Result &)> &read)
{
    m_busy = false;
    m_inexact = false;
    m_heldBack = false;
    m_refusal.clear();
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
    // Nothing done, and the same step may be taken again: as when the server
    // cannot be reached (the forms say so, never that a password is wrong).
    auto busy = [&] {
        m_busy = true;
        m_offline = true;
        m_lastError = QStringLiteral("The server is busy: a lock was held past its time. Nothing was changed.");
        return WriteStatus::Busy;
    };
    const Bound bound(*this);
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (attempt > 0 && bound.passed())
            return offline();
        if (!ensureConnected())
            return offline();
        std::optional<Answer> answer = call(function, values);
        if (!answer) {
            if (m_lost) {
                m_unsettledCall = true;
                continue;
            }
            m_unsettledCall = false;
            return m_busy ? busy() : WriteStatus::Failed;
        }
        m_unsettledCall = false;
        if (answer->ok()) {
            if (read)
                read(answer->rows);
            return WriteStatus::Done;
        }
        m_refusal = answer->outcome;
        if (m_refusal == QLatin1String("busy"))
            return busy();
        if (m_refusal == QLatin1String("inexact")) {
            m_inexact = true;
            m_lastError = QStringLiteral("A stored number cannot be computed exactly.");
            return WriteStatus::Inexact;
        }
        m_heldBack = m_refusal == QLatin1String("held");
        m_lastError = QStringLiteral("The server refused: %1.").arg(m_refusal);
        return WriteStatus::Failed;
    }
    return !bound.passed() && ensureConnected() ? WriteStatus::Failed : offline();
}

AccountUpdate PgBackend::accountCall(const QString &function, const QVariantList &values)
{
    AccountUpdate out;
    out.status = calling(function, values, [&](pg::Result &r) {
        if (r.next())
            out.stored = playerFrom(r, 1);
    });
    return out;
}

std::optional<Account> PgBackend::logIn(const QString &nick, const QString &password)
{
    std::optional<Account> out;
    QString token;
    calling(QStringLiteral("lontaris_login"), {nick, bound(password)}, [&](pg::Result &r) {
        if (!r.next())
            return;
        token = r.value(1).toString();
        out = playerFrom(r, 2);
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
    return accountCall(QStringLiteral("lontaris_player"), {m_session}).stored;
}

std::optional<QString> PgBackend::nickTaken(const QString &nick)
{
    std::optional<QString> out;
    calling(QStringLiteral("lontaris_nick_taken"), {nick}, [&](pg::Result &r) {
        if (r.next())
            out = textIn(r, 1);
    });
    return out;
}

Registration PgBackend::registerAccount(Account &a)
{
    std::optional<Account> made;
    const WriteStatus s = calling(QStringLiteral("lontaris_register"),
                                  {bound(a.nick), bound(a.pass), bound(a.ngaysinh), bound(a.mail), bound(a.cauhoibimat),
                                   bound(a.traloiibimat)},
                                  [&](pg::Result &r) {
                                      if (!r.next())
                                          return;
                                      Account back;
                                      back.rowId = r.value(1).toLongLong();
                                      back.nick = textIn(r, 2);
                                      back.ngaysinh = textIn(r, 3);
                                      back.sotien = textIn(r, 4);
                                      made = back;
                                  });
    if (s != WriteStatus::Done)
        return m_refusal == QLatin1String("taken") ? Registration::Taken : Registration::Failed;
    if (!made)
        return Registration::Failed;
    a.rowId = made->rowId;
    a.nick = made->nick;
    a.ngaysinh = made->ngaysinh;
    a.sotien = made->sotien;
    return Registration::Made;
}

Recovery PgBackend::recoverPassword(const QString &nick, const QString &ngaysinh, const QString &cauhoibimat,
                                    const QString &traloiibimat, const QString &newPassword)
{
    // The server sets a fresh password of its own (newPassword is the file's
    // choice) and gives it back to be shown.
    Q_UNUSED(newPassword);
    m_recovered.clear();
    const WriteStatus s = calling(QStringLiteral("lontaris_recover"),
                                  {bound(nick), bound(ngaysinh), bound(cauhoibimat), bound(traloiibimat)},
                                  [&](pg::Result &r) {
                                      if (r.next())
                                          m_recovered = textIn(r, 1);
                                  });
    if (s == WriteStatus::Done)
        return m_recovered.isEmpty() ? Recovery::Failed : Recovery::Changed;
    // Details not as stored (or a password that cannot be one): wrong. Held
    // back, busy or out of reach: not checked, which the form tells apart.
    const bool answered = s == WriteStatus::Failed && !m_heldBack && !m_refusal.isEmpty();
    return answered ? Recovery::Wrong : Recovery::Failed;
}

bool PgBackend::changePassword(const QString &nick, const QString &oldPassword, const QString &newPassword)
{
    const WriteStatus s = calling(QStringLiteral("lontaris_change_password"),
                                  {bound(nick), bound(oldPassword), bound(newPassword)});
    if (s != WriteStatus::Done && m_lastError.isEmpty())
        m_lastError = QStringLiteral("The password was not changed.");
    return s == WriteStatus::Done;
}

AccountUpdate PgBackend::payFee(const QString &nick, LockWait)
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
    AccountUpdate u = accountCall(QStringLiteral("lontaris_pay_fee"), {m_session, key});
    if (u.status == WriteStatus::Done) {
        m_fee = key;
        m_pendingSave = {};
    }
    return u;
}

AccountUpdate PgBackend::endGame(const QString &nick, const AccountDelta &delta, const LockRow &lock, LockWait)
{
    if (m_session.isEmpty() || nickKey(nick) != m_sessionKey || m_fee.isEmpty()) {
        m_lastError = m_fee.isEmpty() ? QStringLiteral("No fee was paid for this game.") : kNotLoggedIn;
        return {};
    }
    const QStringList switches = {lock.hien19,   lock.hienten,  lock.thuthach,  lock.hiencode,
                                  lock.hien191, lock.hienten1, lock.thuthach1, lock.hiencode1};
    // The same end asked again keeps its key: the server takes it once. What
    // it pays is the server's to say, from its record of the game: the
    // winnings are never sent.
    const QString fingerprint = QStringList{QStringLiteral("end"), m_fee, QString::number(delta.minutes)}
                                        .join(QChar(0x1f))
                                + switches.join(QChar(0x1f));
    if (fingerprint != m_pendingSave.first)
        m_pendingSave = {fingerprint, newKey()};
    QList<const QString *> refs;
    for (const QString &s : switches)
        refs << &s;
    AccountUpdate u = accountCall(QStringLiteral("lontaris_end_game"),
                                  {m_session, m_fee, m_pendingSave.second, delta.minutes, textArray(refs)});
    if (u.status == WriteStatus::Done)
        m_pendingSave = {};
    return u;
}

QList<Account> PgBackend::topFive()
{
    QList<Account> out;
    calling(QStringLiteral("lontaris_top_five"), {}, [&](pg::Result &r) {
        while (r.next()) {
            Account a;
            a.rowId = r.value(1).toLongLong();
            a.nick = textIn(r, 2);
            a.sotien = textIn(r, 3);
            out << a;
        }
    });
    return out;
}

} // namespace db
