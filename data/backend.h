#pragma once
// What a store of the game's data must offer: the operations of GameDb, each
// backend in its own dialect. Only the data layer sees this header.

#include "gamedb.h"

#include <limits>

namespace db {

// A store's parts, each an interface of its own: what the game and the
// editor ask of the accounts and switches, of the question tables, and what a
// copy of a whole installation reads. Each names operations; the statements
// they are made of stay inside the backends.

// The accounts (hoso), the switches (lock) and the game's own operations.
class AccountStore {
public:
    virtual ~AccountStore() = default;

    virtual std::optional<Account> findAccount(const QString &nick) = 0;
    virtual bool insertAccount(Account &account) = 0;
    // GameDb::updateAccount: the named columns of the first row matching nick.
    bool updateAccount(const QString &nick, const QList<QPair<QString, QString>> &columns);
    // GameDb::addToAccount, and with `lock` GameDb::saveGameEnd.
    virtual AccountUpdate changeAccount(const QString &nick, const AccountDelta &delta, const LockRow *lock,
                                        LockWait wait) = 0;
    virtual bool deleteAccountRow(qint64 rowId) = 0;
    virtual QList<Account> accountsByMoney() = 0;
    virtual QList<Account> richestAccounts(int n) = 0;
    virtual int accountCount() = 0;

    // The game's own operations (GameDb's); by default made of the others,
    // as on the file (gameops.cpp).
    virtual std::optional<Account> logIn(const QString &nick, const QString &password);
    virtual std::optional<Account> player(const QString &nick);
    virtual std::optional<QString> nickTaken(const QString &nick);
    // The look for the nick and the insert are one write on every store.
    virtual Registration registerAccount(Account &a) = 0;
    virtual Recovery recoverPassword(const QString &nick, const QString &ngaysinh, const QString &cauhoibimat,
                                     const QString &traloiibimat, const QString &newPassword);
    virtual bool changePassword(const QString &nick, const QString &oldPassword, const QString &newPassword);
    virtual AccountUpdate payFee(const QString &nick, LockWait wait);
    virtual AccountUpdate endGame(const QString &nick, const AccountDelta &delta, const LockRow &lock, LockWait wait);
    virtual QList<Account> topFive();
    virtual bool mayEditBank() const { return true; }
    // The last game operation's answer was lost with the connection: it may
    // have been made (the same call made again settles it).
    virtual bool outcomeUnknown() const { return false; }
    // The last operation gave up because the store could not be reached (a
    // server's connection lost and not made again): a file never does.
    virtual bool lastWasOffline() const { return false; }
    // The last operation was refused without a look at its password: too
    // many wrong ones for that nick a moment ago (a server's limit).
    virtual bool heldBack() const { return false; }

    virtual std::optional<LockRow> readLock() = 0;
    virtual bool writeLock(const LockRow &row) = 0;

protected:
    // Writes columns of hoso (checked against the schema) into the row with
    // this key: what updateAccount and the default password changes are made of.
    virtual bool updateAccountRow(qint64 rowId, const QList<QPair<QString, QString>> &columns) = 0;
};

// The question tables (muc1, muc2, muc3, thuthach, thungrac).
class QuestionStore {
public:
    virtual ~QuestionStore() = default;

    virtual std::optional<qint64> lastId(QuestionTable t) = 0;
    virtual std::optional<Question> answeredQuestionFrom(QuestionTable t, qint64 position) = 0;
    virtual QList<Question> questionsFrom(QuestionTable t, qint64 position, int count) = 0;
    virtual std::optional<QList<Question>> readQuestions(QuestionTable t) = 0;
    virtual std::optional<int> countQuestions(QuestionTable t) = 0;
    virtual QList<Question> questionsByText(QuestionTable t, const QString &cauhoi) = 0;
    virtual bool appendQuestion(QuestionTable t, Question &q) = 0;
    virtual bool deleteQuestionsWithId(QuestionTable t, qint64 id) = 0;
    virtual bool renumber(QuestionTable t) = 0;
    virtual bool deleteAndRenumber(QuestionTable t, qint64 id) = 0;
    virtual std::optional<qint64> nextId(QuestionTable t) = 0;
    virtual std::optional<qint64> appendAtEnd(QuestionTable t, const Question &q) = 0;
    virtual RowRemoval deleteRowAndRenumber(QuestionTable t, const Question &listed) = 0;
    // GameDb::holdQuestionTable and GameDb::insertQuestions: in the caller's
    // write transaction.
    virtual bool holdQuestionTable(QuestionTable t) = 0;
    virtual bool addQuestionRows(QuestionTable t, const QList<Question> &rows) = 0;
};

class Backend;

// A whole installation, for copyInstallation (and the pages of
// GameDb::forEachQuestion).
class InstallationCopy {
public:
    virtual ~InstallationCopy() = default;

    // The reads between these two see one moment of the store, whoever writes.
    virtual bool beginSnapshot() = 0;
    virtual void endSnapshot() = 0;
    // Rows in their stored order, `limit` at a time after the row key `after`
    // (none: from the first row, whatever its key; a file made by another
    // tool may hold keys of 0 and below). Nothing when the table cannot be read.
    virtual std::optional<QList<Account>> accountRows(std::optional<qint64> after, int limit) = 0;
    virtual std::optional<QList<LockRow>> lockRows() = 0;
    virtual std::optional<QList<Question>> questionRows(QuestionTable t, std::optional<qint64> after, int limit) = 0;
    // The number of rows of one of the game's tables (hoso, lock or a question
    // table); nothing when it cannot be counted.
    virtual std::optional<qint64> rowCount(const QString &table) = 0;
    // On a backend that was not opened: makes the schema at its location, which
    // must be empty, and fills it from `source`, all or nothing.
    virtual bool importFrom(Backend &source, const std::function<void(const QString &, int)> &progress,
                            QString &why) = 0;
};

// A store as GameDb holds it: its parts, opened at its location, with the
// write transactions that span them and the file's whole-file check.
class Backend : public AccountStore, public QuestionStore, public InstallationCopy {
public:
    virtual OpenResult open(bool createMissing) = 0;
    virtual bool isOpen() const = 0;
    virtual QString location() const = 0; // safe to show
    virtual QString lastError() const = 0;
    virtual QSqlDatabase connection() const = 0;

    virtual bool beginWrite(LockWait wait) = 0;
    virtual bool commit() = 0;
    virtual void rollback() = 0;
    virtual bool lastWriteWasBusy() const = 0;

    virtual CheckState checkState() const { return CheckState::Sound; }
    virtual CheckState waitForCheck(int /*msecs*/) { return CheckState::Sound; }
    virtual void setDamageHandler(std::function<void(const QString &)> /*handler*/) {}
};

// --- what both backends share ------------------------------------------------

extern const char *const kHosoColumns[10];
extern const char *const kLockColumns[8];
extern const char *const kQuestionColumns[8];

bool isHosoColumn(const QString &name);
// The account as the game's own operations give it: no password, birth date,
// secret question or answer.
Account publicView(const Account &a);
// The key a nick is looked up by: letter case folded.
QString nickKey(const QString &nick);

// Applies delta to `a` (the row as stored) and lists the columns to write.
// Inexact (with `why`) when a number cannot be computed exactly; nothing
// changed then.
WriteStatus applyDelta(Account &a, const AccountDelta &delta, QList<QPair<QString, QString>> &columns, QString &why);

// The id questionRows gives a row that holds no ID (a file made by another tool).
constexpr qint64 kNoId = std::numeric_limits<qint64>::min();

// How many rows an import moves per statement.
constexpr int kCopyBatch = 2000;

} // namespace db
