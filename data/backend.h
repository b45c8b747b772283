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

// Each part's operations that every backend makes in its own dialect are
// listed once, here: the part declares them pure (`= 0`), each backend its
// own (`override`), so the lists cannot drift apart.

// The accounts (hoso) and the switches (lock). The look for the nick and the
// insert of registerAccount are one write on every store.
#define LONTARIS_ACCOUNT_STORE(how)                                                                                  \
    virtual std::optional<Account> findAccount(const QString &nick) how;                                         \
    virtual bool insertAccount(Account &account) how;                                                            \
    virtual Registration registerAccount(Account &a) how;                                                        \
    /* GameDb::addToAccount, and with `lock` GameDb::saveGameEnd. */                                             \
    virtual AccountUpdate changeAccount(const QString &nick, const AccountDelta &delta, const LockRow *lock,      \
                                        LockWait wait) how;                                                      \
    virtual bool deleteAccountRow(qint64 rowId) how;                                                             \
    virtual QList<Account> accountsByMoney() how;                                                                \
    virtual QList<Account> richestAccounts(int n) how;                                                           \
    virtual int accountCount() how;                                                                              \
    virtual std::optional<LockRow> readLock() how;                                                               \
    virtual bool writeLock(const LockRow &row) how;

// The question tables. holdQuestionTable and addQuestionRows
// (GameDb::holdQuestionTable and GameDb::insertQuestions) work in the
// caller's write transaction.
#define LONTARIS_QUESTION_STORE(how)                                                                                 \
    virtual std::optional<qint64> lastId(QuestionTable t) how;                                                   \
    virtual std::optional<Question> answeredQuestionFrom(QuestionTable t, qint64 position) how;                  \
    virtual QList<Question> questionsFrom(QuestionTable t, qint64 position, int count) how;                      \
    virtual std::optional<QList<Question>> readQuestions(QuestionTable t) how;                                   \
    virtual std::optional<int> countQuestions(QuestionTable t) how;                                              \
    virtual QList<Question> questionsByText(QuestionTable t, const QString &cauhoi) how;                         \
    virtual bool appendQuestion(QuestionTable t, Question &q) how;                                               \
    virtual bool deleteQuestionsWithId(QuestionTable t, qint64 id) how;                                          \
    virtual bool renumber(QuestionTable t) how;                                                                  \
    virtual bool deleteAndRenumber(QuestionTable t, qint64 id) how;                                              \
    virtual std::optional<qint64> nextId(QuestionTable t) how;                                                   \
    virtual std::optional<qint64> appendAtEnd(QuestionTable t, const Question &q) how;                           \
    virtual RowRemoval deleteRowAndRenumber(QuestionTable t, const Question &listed) how;                        \
    virtual bool holdQuestionTable(QuestionTable t) how;                                                         \
    virtual bool addQuestionRows(QuestionTable t, const QList<Question> &rows) how;

// A whole installation. The reads between beginSnapshot and endSnapshot see
// one moment of the store, whoever writes. The rows come in their stored
// order, `limit` at a time after the row key `after` (none: from the first
// row, whatever its key; a file made by another tool may hold keys of 0 and
// below); nothing when the table cannot be read. rowCount: the rows of one of
// the game's tables (hoso, lock or a question table), nothing when they
// cannot be counted. importFrom, on a backend that was not opened: makes the
// schema at its location, which must be empty, and fills it from `source`,
// all or nothing.
#define LONTARIS_INSTALLATION_COPY(how)                                                                              \
    virtual bool beginSnapshot() how;                                                                            \
    virtual void endSnapshot() how;                                                                              \
    virtual std::optional<QList<Account>> accountRows(std::optional<qint64> after, int limit) how;               \
    virtual std::optional<QList<LockRow>> lockRows() how;                                                        \
    virtual std::optional<QList<Question>> questionRows(QuestionTable t, std::optional<qint64> after, int limit) \
        how;                                                                                                     \
    virtual std::optional<qint64> rowCount(const QString &table) how;                                            \
    virtual bool importFrom(Backend &source, const std::function<void(const QString &, int)> &progress,          \
                            QString &why) how;

// A store opened at its location, with the write transactions that span its
// parts. location() is safe to show.
#define LONTARIS_BACKEND(how)                                                                                        \
    virtual OpenResult open(bool createMissing) how;                                                             \
    virtual QString location() const how;                                                                        \
    virtual bool beginWrite(LockWait wait) how;                                                                  \
    virtual bool commit() how;                                                                                   \
    virtual void rollback() how;

class Backend;
class AnswerStore;

// The accounts (hoso), the switches (lock) and the game's own operations.
class AccountStore {
public:
    virtual ~AccountStore() = default;

    LONTARIS_ACCOUNT_STORE(= 0)
    // GameDb::updateAccount: the named columns of the first row matching nick.
    bool updateAccount(const QString &nick, const QList<QPair<QString, QString>> &columns);

    // The game's own operations (GameDb's); by default made of the others,
    // as on the file (gameops.cpp).
    virtual std::optional<Account> logIn(const QString &nick, const QString &password);
    virtual std::optional<Account> player(const QString &nick);
    virtual std::optional<QString> nickTaken(const QString &nick);
    virtual Recovery recoverPassword(const QString &nick, const QString &ngaysinh, const QString &cauhoibimat,
                                     const QString &traloiibimat, const QString &newPassword);
    virtual bool changePassword(const QString &nick, const QString &oldPassword, const QString &newPassword);
    // GameDb::recoveredPassword: a file sets the one it is given.
    virtual QString recoveredPassword() const { return {}; }
    virtual AccountUpdate payFee(const QString &nick, LockWait wait);
    virtual AccountUpdate endGame(const QString &nick, const AccountDelta &delta, const LockRow &lock, LockWait wait);
    virtual QList<Account> topFive();
    // GameDb::refereeStep: a file's game referees itself, and has none.
    virtual RefereeAnswer refereeStep(const QString & /*step*/, const QList<QVariant> & /*values*/) { return {}; }
    virtual bool mayEditBank() const { return true; }
    // The last game operation's answer was lost with the connection: it may
    // have been made (the same call made again settles it).
    virtual bool outcomeUnknown() const { return false; }
    // The last operation gave up because the store could not be reached (a
    // server's connection lost and not made again), or was too busy to
    // answer in time (a lock held past its timeout): nothing was done, and
    // the same step may be taken again. A file never does.
    virtual bool lastWasOffline() const { return false; }
    // The last operation was refused without a look at its password: too
    // many wrong ones for that nick a moment ago (a server's limit).
    virtual bool heldBack() const { return false; }

protected:
    // Writes columns of hoso (checked against the schema) into the row with
    // this key: what updateAccount and the default password changes are made of.
    virtual bool updateAccountRow(qint64 rowId, const QList<QPair<QString, QString>> &columns) = 0;
};

// The question tables (muc1, muc2, muc3, thuthach, thungrac).
class QuestionStore {
public:
    virtual ~QuestionStore() = default;

    LONTARIS_QUESTION_STORE(= 0)
};

// A whole installation, for copyInstallation (and the pages of
// GameDb::forEachQuestion).
class InstallationCopy {
public:
    virtual ~InstallationCopy() = default;

    LONTARIS_INSTALLATION_COPY(= 0)
};

// A store as GameDb holds it: its parts, opened at its location, with the
// write transactions that span them and the file's whole-file check.
class Backend : public AccountStore, public QuestionStore, public InstallationCopy {
public:
    LONTARIS_BACKEND(= 0)
    virtual bool isOpen() const = 0;
    virtual QString lastError() const = 0;
    // The file's connection (a server's is none of Qt's: an invalid one).
    virtual QSqlDatabase connection() const = 0;
    // Runs statements of the caller's own (tests, benchmarks) on the store's
    // connection, in its write transaction when one is open; `firstRow` gets
    // the first row's values. False when it failed.
    virtual bool execute(const QString &sql, QVariantList *firstRow) = 0;
    // Why the last beginWrite failed: the store was busy.
    virtual bool lastWriteWasBusy() const = 0;

    virtual CheckState checkState() const { return CheckState::Sound; }
    virtual CheckState waitForCheck(int /*msecs*/) { return CheckState::Sound; }
    virtual void setDamageHandler(std::function<void(const QString &)> /*handler*/) {}

    // The recorded answers (answerstats.h); none where the store keeps none.
    virtual AnswerStore *answerStore() { return nullptr; }
};

// What both backends keep alike: the last failure's text and whether the
// last write found the store busy.
class BackendBase : public Backend {
public:
    QString lastError() const override { return m_lastError; }
    bool lastWriteWasBusy() const override { return m_busy; }

protected:
    QString m_lastError;
    bool m_busy = false;
};

// --- what both backends share ------------------------------------------------

extern const char *const kHosoColumns[10];
extern const char *const kLockColumns[8];
extern const char *const kQuestionColumns[8];

bool isHosoColumn(const QString &name);
// The account as the game's own operations give it: no password, birth date,
// secret question or answer.
Account publicView(const Account &a);
// The key a nick is looked up by on the file: letter case folded. (A server
// computes its own, lontaris_key.)
QString nickKey(const QString &nick);

// The longest nick or money text the top-five board shows; a longer one is
// cut, an ellipsis its last character.
constexpr int kBoardText = 24;
QString boardText(const QString &text);

// Applies delta to `a` (the row as stored) and lists the columns to write.
// Inexact (with `why`) when a number cannot be computed exactly; nothing
// changed then.
WriteStatus applyDelta(Account &a, const AccountDelta &delta, QList<QPair<QString, QString>> &columns, QString &why);

// The id questionRows gives a row that holds no ID (a file made by another tool).
constexpr qint64 kNoId = std::numeric_limits<qint64>::min();

// How many rows an import moves per statement.
constexpr int kCopyBatch = 2000;

} // namespace db
