#include "storebackend.h"

namespace db {

StoreBackend::StoreBackend(std::unique_ptr<Backend> inner)
    : m_thread(std::make_unique<StoreThread>()), m_inner(std::move(inner))
{
}

StoreBackend::~StoreBackend()
{
    // Its connection is closed on the thread that made it.
    m_thread->run(StoreWait::Reading, [&] { m_inner.reset(); });
}

void StoreBackend::withConnection(const std::function<void(QSqlDatabase)> &use)
{
    reading([&] { use(m_inner->connection()); });
}

OpenResult StoreBackend::open(bool createMissing)
{
    return reading([&] { return m_inner->open(createMissing); });
}

bool StoreBackend::isOpen() const { return reading([&] { return m_inner->isOpen(); }); }
QString StoreBackend::location() const { return m_inner->location(); } // fixed when made
QString StoreBackend::lastError() const { return reading([&] { return m_inner->lastError(); }); }
QSqlDatabase StoreBackend::connection() const { return m_inner->connection(); }

// --- accounts -------------------------------------------------------------------

std::optional<Account> StoreBackend::findAccount(const QString &nick)
{
    return reading([&] { return m_inner->findAccount(nick); });
}

bool StoreBackend::insertAccount(Account &account)
{
    return saving([&] { return m_inner->insertAccount(account); });
}

bool StoreBackend::updateAccountRow(qint64 rowId, const QList<QPair<QString, QString>> &columns)
{
    return saving([&] { return m_inner->updateAccountRow(rowId, columns); });
}

AccountUpdate StoreBackend::changeAccount(const QString &nick, const AccountDelta &delta, const LockRow *lock,
                                          LockWait wait)
{
    return saving([&] { return m_inner->changeAccount(nick, delta, lock, wait); });
}

bool StoreBackend::deleteAccountRow(qint64 rowId)
{
    return saving([&] { return m_inner->deleteAccountRow(rowId); });
}

QList<Account> StoreBackend::accountsByMoney() { return reading([&] { return m_inner->accountsByMoney(); }); }
QList<Account> StoreBackend::richestAccounts(int n) { return reading([&] { return m_inner->richestAccounts(n); }); }
int StoreBackend::accountCount() { return reading([&] { return m_inner->accountCount(); }); }

// --- the game's own operations ----------------------------------------------------

std::optional<Account> StoreBackend::logIn(const QString &nick, const QString &password)
{
    return reading([&] { return m_inner->logIn(nick, password); });
}

std::optional<Account> StoreBackend::player(const QString &nick)
{
    return reading([&] { return m_inner->player(nick); });
}

std::optional<QString> StoreBackend::nickTaken(const QString &nick)
{
    return reading([&] { return m_inner->nickTaken(nick); });
}

Registration StoreBackend::registerAccount(Account &a)
{
    return saving([&] { return m_inner->registerAccount(a); });
}

Recovery StoreBackend::recoverPassword(const QString &nick, const QString &ngaysinh, const QString &cauhoibimat,
                                       const QString &traloiibimat, const QString &newPassword)
{
    return saving([&] { return m_inner->recoverPassword(nick, ngaysinh, cauhoibimat, traloiibimat, newPassword); });
}

bool StoreBackend::changePassword(const QString &nick, const QString &oldPassword, const QString &newPassword)
{
    return saving([&] { return m_inner->changePassword(nick, oldPassword, newPassword); });
}

AccountUpdate StoreBackend::payFee(const QString &nick, LockWait wait)
{
    return saving([&] { return m_inner->payFee(nick, wait); });
}

AccountUpdate StoreBackend::endGame(const QString &nick, const AccountDelta &delta, const LockRow &lock, LockWait wait)
{
    return saving([&] { return m_inner->endGame(nick, delta, lock, wait); });
}

QList<Account> StoreBackend::topFive() { return reading([&] { return m_inner->topFive(); }); }
bool StoreBackend::mayEditBank() const { return reading([&] { return m_inner->mayEditBank(); }); }
bool StoreBackend::outcomeUnknown() const { return reading([&] { return m_inner->outcomeUnknown(); }); }
bool StoreBackend::lastWasOffline() const { return reading([&] { return m_inner->lastWasOffline(); }); }
bool StoreBackend::heldBack() const { return reading([&] { return m_inner->heldBack(); }); }

std::optional<LockRow> StoreBackend::readLock() { return reading([&] { return m_inner->readLock(); }); }
bool StoreBackend::writeLock(const LockRow &row) { return saving([&] { return m_inner->writeLock(row); }); }

// --- the question tables --------------------------------------------------------------

std::optional<qint64> StoreBackend::lastId(QuestionTable t) { return reading([&] { return m_inner->lastId(t); }); }

std::optional<Question> StoreBackend::answeredQuestionFrom(QuestionTable t, qint64 position)
{
    return reading([&] { return m_inner->answeredQuestionFrom(t, position); });
}

QList<Question> StoreBackend::questionsFrom(QuestionTable t, qint64 position, int count)
{
    return reading([&] { return m_inner->questionsFrom(t, position, count); });
}

std::optional<QList<Question>> StoreBackend::readQuestions(QuestionTable t)
{
    return reading([&] { return m_inner->readQuestions(t); });
}

std::optional<int> StoreBackend::countQuestions(QuestionTable t)
{
    return reading([&] { return m_inner->countQuestions(t); });
}

QList<Question> StoreBackend::questionsByText(QuestionTable t, const QString &cauhoi)
{
    return reading([&] { return m_inner->questionsByText(t, cauhoi); });
}

bool StoreBackend::appendQuestion(QuestionTable t, Question &q)
{
    return saving([&] { return m_inner->appendQuestion(t, q); });
}

bool StoreBackend::deleteQuestionsWithId(QuestionTable t, qint64 id)
{
    return saving([&] { return m_inner->deleteQuestionsWithId(t, id); });
}

bool StoreBackend::renumber(QuestionTable t) { return saving([&] { return m_inner->renumber(t); }); }

bool StoreBackend::deleteAndRenumber(QuestionTable t, qint64 id)
{
    return saving([&] { return m_inner->deleteAndRenumber(t, id); });
}

std::optional<qint64> StoreBackend::nextId(QuestionTable t) { return reading([&] { return m_inner->nextId(t); }); }

std::optional<qint64> StoreBackend::appendAtEnd(QuestionTable t, const Question &q)
{
    return saving([&] { return m_inner->appendAtEnd(t, q); });
}

RowRemoval StoreBackend::deleteRowAndRenumber(QuestionTable t, const Question &listed)
{
    return saving([&] { return m_inner->deleteRowAndRenumber(t, listed); });
}

bool StoreBackend::holdQuestionTable(QuestionTable t)
{
    return saving([&] { return m_inner->holdQuestionTable(t); });
}

bool StoreBackend::addQuestionRows(QuestionTable t, const QList<Question> &rows)
{
    return saving([&] { return m_inner->addQuestionRows(t, rows); });
}

// --- transactions and the rest ----------------------------------------------------------

bool StoreBackend::beginWrite(LockWait wait) { return saving([&] { return m_inner->beginWrite(wait); }); }
bool StoreBackend::commit() { return saving([&] { return m_inner->commit(); }); }
void StoreBackend::rollback() { saving([&] { m_inner->rollback(); }); }
bool StoreBackend::lastWriteWasBusy() const { return reading([&] { return m_inner->lastWriteWasBusy(); }); }

CheckState StoreBackend::checkState() const { return reading([&] { return m_inner->checkState(); }); }
CheckState StoreBackend::waitForCheck(int msecs) { return reading([&] { return m_inner->waitForCheck(msecs); }); }

void StoreBackend::setDamageHandler(std::function<void(const QString &)> handler)
{
    reading([&] { m_inner->setDamageHandler(std::move(handler)); });
}

bool StoreBackend::beginSnapshot() { return reading([&] { return m_inner->beginSnapshot(); }); }
void StoreBackend::endSnapshot() { reading([&] { m_inner->endSnapshot(); }); }

std::optional<QList<Account>> StoreBackend::accountRows(std::optional<qint64> after, int limit)
{
    return reading([&] { return m_inner->accountRows(after, limit); });
}

std::optional<QList<LockRow>> StoreBackend::lockRows() { return reading([&] { return m_inner->lockRows(); }); }

std::optional<QList<Question>> StoreBackend::questionRows(QuestionTable t, std::optional<qint64> after, int limit)
{
    return reading([&] { return m_inner->questionRows(t, after, limit); });
}

std::optional<qint64> StoreBackend::rowCount(const QString &table)
{
    return reading([&] { return m_inner->rowCount(table); });
}

bool StoreBackend::importFrom(Backend &source, const std::function<void(const QString &, int)> &progress, QString &why)
{
    return saving([&] { return m_inner->importFrom(source, progress, why); });
}

} // namespace db
