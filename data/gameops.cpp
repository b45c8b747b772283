// The account operations made of the store's others: a write of named columns
// on every store, and the game's own operations as on the file (a server
// backend makes each of those one call of its own function instead).

#include "backend.h"
#include "passwordhash.h"

namespace db {

Account publicView(const Account &a)
{
    Account v;
    v.rowId = a.rowId;
    v.nick = a.nick;
    v.sotien = a.sotien;
    v.solan = a.solan;
    v.gio = a.gio;
    v.phut = a.phut;
    return v;
}

bool AccountStore::updateAccount(const QString &nick, const QList<QPair<QString, QString>> &columns)
{
    const std::optional<Account> a = findAccount(nick);
    if (!a)
        return false;
    return updateAccountRow(a->rowId, columns);
}

std::optional<Account> AccountStore::logIn(const QString &nick, const QString &password)
{
    const std::optional<Account> a = findAccount(nick);
    if (!a || !passwordMatches(a->pass, password))
        return std::nullopt;
    return publicView(*a);
}

std::optional<Account> AccountStore::player(const QString &nick)
{
    const std::optional<Account> a = findAccount(nick);
    if (!a)
        return std::nullopt;
    return publicView(*a);
}

std::optional<QString> AccountStore::nickTaken(const QString &nick)
{
    const std::optional<Account> a = findAccount(nick);
    if (!a)
        return std::nullopt;
    return a->nick;
}

Recovery AccountStore::recoverPassword(const QString &nick, const QString &ngaysinh, const QString &cauhoibimat,
                                       const QString &traloiibimat, const QString &newPassword)
{
    const std::optional<Account> a = findAccount(nick);
    auto same = [](const QString &stored, const QString &typed) { return !stored.isNull() && stored == typed; };
    if (!a || !same(a->nick, nick) || !same(a->ngaysinh, ngaysinh) || !same(a->cauhoibimat, cauhoibimat)
        || !same(a->traloiibimat, traloiibimat) || newPassword.isEmpty())
        return Recovery::Wrong;
    return updateAccountRow(a->rowId, {{QStringLiteral("pass"), newPassword}}) ? Recovery::Changed : Recovery::Failed;
}

bool AccountStore::changePassword(const QString &nick, const QString &oldPassword, const QString &newPassword)
{
    const std::optional<Account> a = findAccount(nick);
    if (!a || !passwordMatches(a->pass, oldPassword) || newPassword.isEmpty())
        return false;
    return updateAccountRow(a->rowId, {{QStringLiteral("pass"), newPassword}});
}

AccountUpdate AccountStore::payFee(const QString &nick, LockWait wait)
{
    AccountDelta fee;
    fee.money = QLatin1Char('-') + QLatin1String(kEntryFee);
    fee.plays = QStringLiteral("1");
    return changeAccount(nick, fee, nullptr, wait);
}

AccountUpdate AccountStore::endGame(const QString &nick, const AccountDelta &delta, const LockRow &lock, LockWait wait)
{
    return changeAccount(nick, delta, &lock, wait);
}

QList<Account> AccountStore::topFive()
{
    QList<Account> out;
    for (const Account &a : richestAccounts(5)) {
        Account v;
        v.rowId = a.rowId;
        // No more than the board shows: a nick or a sum of any length never
        // reaches it whole.
        v.nick = boardText(a.nick);
        v.sotien = boardText(a.sotien);
        out << v;
    }
    return out;
}

} // namespace db
