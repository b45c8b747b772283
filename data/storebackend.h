#pragma once
// A backend whose every operation runs on a store thread of its own (see
// storethread.h): the server's, so that no step holds the window while the
// server is slow or gone. The backend inside is opened, used and destroyed
// only there. Its answers and state (lastError() and the like)
// are read through the thread as well, one operation at a time.

#include "backend.h"
#include "storethread.h"

namespace db {

class StoreBackend : public Backend {
public:
    explicit StoreBackend(std::unique_ptr<Backend> inner);
    ~StoreBackend() override;

    // Runs use on the store thread with the connection (tests, benchmarks:
    // a statement of their own on the same session).
    void withConnection(const std::function<void(QSqlDatabase)> &use);

    OpenResult open(bool createMissing) override;
    bool isOpen() const override;
    QString location() const override;
    QString lastError() const override;
    // Valid on the store thread only (withConnection).
    QSqlDatabase connection() const override;

    std::optional<Account> findAccount(const QString &nick) override;
    bool insertAccount(Account &account) override;
    AccountUpdate changeAccount(const QString &nick, const AccountDelta &delta, const LockRow *lock,
                                LockWait wait) override;
    bool deleteAccountRow(qint64 rowId) override;
    QList<Account> accountsByMoney() override;
    QList<Account> richestAccounts(int n) override;
    int accountCount() override;

    std::optional<Account> logIn(const QString &nick, const QString &password) override;
    std::optional<Account> player(const QString &nick) override;
    std::optional<QString> nickTaken(const QString &nick) override;
    Registration registerAccount(Account &a) override;
    Recovery recoverPassword(const QString &nick, const QString &ngaysinh, const QString &cauhoibimat,
                             const QString &traloiibimat, const QString &newPassword) override;
    bool changePassword(const QString &nick, const QString &oldPassword, const QString &newPassword) override;
    AccountUpdate payFee(const QString &nick, LockWait wait) override;
    AccountUpdate endGame(const QString &nick, const AccountDelta &delta, const LockRow &lock, LockWait wait) override;
    QList<Account> topFive() override;
    bool mayEditBank() const override;
    bool outcomeUnknown() const override;
    bool lastWasOffline() const override;
    bool heldBack() const override;

    std::optional<LockRow> readLock() override;
    bool writeLock(const LockRow &row) override;

    std::optional<qint64> lastId(QuestionTable t) override;
    std::optional<Question> answeredQuestionFrom(QuestionTable t, qint64 position) override;
    QList<Question> questionsFrom(QuestionTable t, qint64 position, int count) override;
    std::optional<QList<Question>> readQuestions(QuestionTable t) override;
    std::optional<int> countQuestions(QuestionTable t) override;
    QList<Question> questionsByText(QuestionTable t, const QString &cauhoi) override;
    bool appendQuestion(QuestionTable t, Question &q) override;
    bool deleteQuestionsWithId(QuestionTable t, qint64 id) override;
    bool renumber(QuestionTable t) override;
    bool deleteAndRenumber(QuestionTable t, qint64 id) override;
    std::optional<qint64> nextId(QuestionTable t) override;
    std::optional<qint64> appendAtEnd(QuestionTable t, const Question &q) override;
    RowRemoval deleteRowAndRenumber(QuestionTable t, const Question &listed) override;
    bool holdQuestionTable(QuestionTable t) override;
    bool addQuestionRows(QuestionTable t, const QList<Question> &rows) override;

    bool beginWrite(LockWait wait) override;
    bool commit() override;
    void rollback() override;
    bool lastWriteWasBusy() const override;

    CheckState checkState() const override;
    CheckState waitForCheck(int msecs) override;
    void setDamageHandler(std::function<void(const QString &)> handler) override;

    bool beginSnapshot() override;
    void endSnapshot() override;
    std::optional<QList<Account>> accountRows(std::optional<qint64> after, int limit) override;
    std::optional<QList<LockRow>> lockRows() override;
    std::optional<QList<Question>> questionRows(QuestionTable t, std::optional<qint64> after, int limit) override;
    std::optional<qint64> rowCount(const QString &table) override;
    bool importFrom(Backend &source, const std::function<void(const QString &, int)> &progress,
                    QString &why) override;

protected:
    bool updateAccountRow(qint64 rowId, const QList<QPair<QString, QString>> &columns) override;

private:
    template <typename F> auto reading(F &&f) const { return m_thread->call(StoreWait::Reading, std::forward<F>(f)); }
    template <typename F> auto saving(F &&f) const { return m_thread->call(StoreWait::Saving, std::forward<F>(f)); }

    std::unique_ptr<StoreThread> m_thread;
    std::unique_ptr<Backend> m_inner;
};

} // namespace db
