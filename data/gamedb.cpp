#include "gamedb.h"

#include "serveraddress.h"
#include "servermodule.h"
#include "sqlitebackend.h"
#include "storethread.h"

#include <QDir>
#include <QFileInfo>

namespace db {

// --- GameDb -------------------------------------------------------------------

namespace {

// The store at a location; none, with why, when a server's cannot be had
// (its module not loadable).
std::unique_ptr<Backend> backendFor(const QString &location, QString &why)
{
    if (isServerLocation(location))
        return serverBackend(location, why);
    return std::make_unique<SqliteBackend>(location);
}

} // namespace

template <typename F> auto GameDb::reading(F &&f) const
{
    return m_thread ? m_thread->call(StoreWait::Reading, std::forward<F>(f)) : f();
}

template <typename F> auto GameDb::saving(F &&f) const
{
    return m_thread ? m_thread->call(StoreWait::Saving, std::forward<F>(f)) : f();
}

GameDb::GameDb(const QString &programDir)
    : m_backend(std::make_unique<SqliteBackend>(defaultFileName(programDir))), m_location(defaultFileName(programDir)),
      m_programDir(programDir)
{
}

GameDb::~GameDb() { dropBackend(); }

void GameDb::dropBackend()
{
    // A connection is closed on the thread that made it.
    if (m_thread)
        m_thread->run(StoreWait::Reading, [&] { m_backend.reset(); });
    m_backend.reset();
    m_thread.reset();
}

QString GameDb::defaultFileName(const QString &programDir)
{
    return QDir(programDir).filePath(QStringLiteral("data/dataqa.db"));
}

void GameDb::setLocation(const QString &location)
{
    dropBackend();
    m_server = isServerLocation(location);
    m_countRead.clear();
    // Never on the window's thread: a server may be slow, or gone.
    if (m_server)
        m_thread = std::make_unique<StoreThread>();
    m_location = location;
    m_unusable.clear();
    m_backend = backendFor(location, m_unusable);
}

OpenResult GameDb::open()
{
    if (!m_backend)
        return {OpenStatus::Unreachable, QStringLiteral("%1: %2").arg(filePath(), m_unusable)};
    return reading([&] { return m_backend->open(m_createMissing); });
}

void GameDb::openInBackground(QObject *context, std::function<void(const OpenResult &)> opened)
{
    if (!m_thread || !m_backend) {
        opened(open());
        return;
    }
    auto result = std::make_shared<OpenResult>();
    m_thread->post([this, result] { *result = m_backend->open(m_createMissing); }, context,
                   [result, opened = std::move(opened)] { opened(*result); });
}

bool GameDb::isOpen() const { return m_backend && reading([&] { return m_backend->isOpen(); }); }
QString GameDb::filePath() const { return m_backend ? m_backend->location() : displayLocation(m_location); } // fixed when made
QString GameDb::lastError() const { return m_backend ? reading([&] { return m_backend->lastError(); }) : m_unusable; }
QSqlDatabase GameDb::connection() const { return m_backend->connection(); }

void GameDb::withBackend(const std::function<void(Backend &)> &use)
{
    reading([&] { use(*m_backend); });
}

bool GameDb::execute(const QString &sql, QVariantList *firstRow)
{
    return m_backend && reading([&] { return m_backend->execute(sql, firstRow); });
}

std::optional<Account> GameDb::findAccount(const QString &nick)
{
    return reading([&] { return m_backend->findAccount(nick); });
}

bool GameDb::insertAccount(Account &account) { return saving([&] { return m_backend->insertAccount(account); }); }

bool GameDb::updateAccount(const QString &nick, const QList<QPair<QString, QString>> &columns)
{
    return saving([&] { return m_backend->updateAccount(nick, columns); });
}

AccountUpdate GameDb::addToAccount(const QString &nick, const AccountDelta &delta, LockWait wait)
{
    return saving([&] { return m_backend->changeAccount(nick, delta, nullptr, wait); });
}

AccountUpdate GameDb::saveGameEnd(const QString &nick, const AccountDelta &delta, const LockRow &lock, LockWait wait)
{
    return saving([&] { return m_backend->changeAccount(nick, delta, &lock, wait); });
}

bool GameDb::deleteAccountRow(qint64 rowId) { return saving([&] { return m_backend->deleteAccountRow(rowId); }); }
QList<Account> GameDb::accountsByMoney() { return reading([&] { return m_backend->accountsByMoney(); }); }
QList<Account> GameDb::richestAccounts(int n) { return reading([&] { return m_backend->richestAccounts(n); }); }
int GameDb::accountCount() { return reading([&] { return m_backend->accountCount(); }); }

// --- the game's own operations ----------------------------------------------------

std::optional<Account> GameDb::logIn(const QString &nick, const QString &password)
{
    return reading([&] { return m_backend->logIn(nick, password); });
}

std::optional<Account> GameDb::player(const QString &nick) { return reading([&] { return m_backend->player(nick); }); }

std::optional<QString> GameDb::nickTaken(const QString &nick)
{
    return reading([&] { return m_backend->nickTaken(nick); });
}

Registration GameDb::registerAccount(Account &a) { return saving([&] { return m_backend->registerAccount(a); }); }

Recovery GameDb::recoverPassword(const QString &nick, const QString &ngaysinh, const QString &cauhoibimat,
                                 const QString &traloiibimat, const QString &newPassword)
{
    return saving([&] { return m_backend->recoverPassword(nick, ngaysinh, cauhoibimat, traloiibimat, newPassword); });
}

bool GameDb::changePassword(const QString &nick, const QString &oldPassword, const QString &newPassword)
{
    return saving([&] { return m_backend->changePassword(nick, oldPassword, newPassword); });
}

AccountUpdate GameDb::payFee(const QString &nick, LockWait wait)
{
    return saving([&] { return m_backend->payFee(nick, wait); });
}

QString GameDb::recoveredPassword() const
{
    return m_backend ? reading([&] { return m_backend->recoveredPassword(); }) : QString();
}

RefereeAnswer GameDb::refereeStep(const QString &step, const QList<QVariant> &values)
{
    return saving([&] { return m_backend->refereeStep(step, values); });
}

AccountUpdate GameDb::endGame(const QString &nick, const AccountDelta &delta, const LockRow &lock, LockWait wait)
{
    return saving([&] { return m_backend->endGame(nick, delta, lock, wait); });
}

QList<Account> GameDb::topFive() { return reading([&] { return m_backend->topFive(); }); }
bool GameDb::mayEditBank() const { return reading([&] { return m_backend->mayEditBank(); }); }
bool GameDb::outcomeUnknown() const { return reading([&] { return m_backend->outcomeUnknown(); }); }
bool GameDb::lastWasOffline() const { return m_backend && reading([&] { return m_backend->lastWasOffline(); }); }
bool GameDb::heldBack() const { return m_backend && reading([&] { return m_backend->heldBack(); }); }
std::optional<LockRow> GameDb::readLock() { return reading([&] { return m_backend->readLock(); }); }
bool GameDb::writeLock(const LockRow &row) { return saving([&] { return m_backend->writeLock(row); }); }

// --- the question tables --------------------------------------------------------------

std::optional<qint64> GameDb::lastId(QuestionTable t) { return reading([&] { return m_backend->lastId(t); }); }

std::optional<Question> GameDb::questionAt(QuestionTable t, qint64 position)
{
    if (position < 0)
        return std::nullopt;
    const qint64 countRead = m_countRead.value(int(t));
    return reading([&]() -> std::optional<Question> {
        QList<Question> rows = m_backend->questionsFrom(t, position, 1);
        if (rows.isEmpty() && position < countRead) {
            // The caller kept inside the size it read, and the table has shrunk
            // since (a removal and renumbering committed in between): the draw
            // goes on as on the table after the change, which stops on its last row.
            const std::optional<int> now = m_backend->countQuestions(t);
            if (now && *now > 0 && position >= *now)
                rows = m_backend->questionsFrom(t, *now - 1, 1);
        }
        if (rows.isEmpty())
            return std::nullopt;
        return rows.constFirst();
    });
}

std::optional<Question> GameDb::answeredQuestionFrom(QuestionTable t, qint64 position)
{
    return reading([&] { return m_backend->answeredQuestionFrom(t, position); });
}

QList<Question> GameDb::questionsFrom(QuestionTable t, qint64 position, int count)
{
    return reading([&] { return m_backend->questionsFrom(t, position, count); });
}

QList<Question> GameDb::questions(QuestionTable t) { return readQuestions(t).value_or(QList<Question>()); }

std::optional<QList<Question>> GameDb::readQuestions(QuestionTable t)
{
    return reading([&] { return m_backend->readQuestions(t); });
}

int GameDb::questionCount(QuestionTable t) { return countQuestions(t).value_or(0); }

std::optional<int> GameDb::countQuestions(QuestionTable t)
{
    const std::optional<int> n = reading([&] { return m_backend->countQuestions(t); });
    if (n)
        m_countRead[int(t)] = *n;
    return n;
}

QList<Question> GameDb::questionsByText(QuestionTable t, const QString &cauhoi)
{
    return reading([&] { return m_backend->questionsByText(t, cauhoi); });
}

bool GameDb::appendQuestion(QuestionTable t, Question &q) { return saving([&] { return m_backend->appendQuestion(t, q); }); }

bool GameDb::deleteQuestionsWithId(QuestionTable t, qint64 id)
{
    return saving([&] { return m_backend->deleteQuestionsWithId(t, id); });
}

bool GameDb::renumber(QuestionTable t) { return saving([&] { return m_backend->renumber(t); }); }

bool GameDb::deleteAndRenumber(QuestionTable t, qint64 id)
{
    return saving([&] { return m_backend->deleteAndRenumber(t, id); });
}

std::optional<qint64> GameDb::nextId(QuestionTable t) { return reading([&] { return m_backend->nextId(t); }); }

std::optional<qint64> GameDb::appendAtEnd(QuestionTable t, const Question &q)
{
    return saving([&] { return m_backend->appendAtEnd(t, q); });
}

RowRemoval GameDb::deleteRowAndRenumber(QuestionTable t, const Question &listed)
{
    return saving([&] { return m_backend->deleteRowAndRenumber(t, listed); });
}

bool GameDb::forEachQuestion(QuestionTable t, const std::function<bool(const QList<Question> &)> &each, bool snapshot)
{
    if (snapshot && !reading([&] { return m_backend->beginSnapshot(); }))
        return false;
    // By position, a page at a time: through the ID index while the IDs run 1..N.
    // Each page is handed on here, between the store's steps.
    constexpr int kPage = 1000;
    bool ok = true;
    for (qint64 position = 0;; position += kPage) {
        const QList<Question> page = questionsFrom(t, position, kPage);
        if (page.isEmpty()) {
            // An empty page is the end only when the table really holds no more.
            const std::optional<int> n = reading([&] { return m_backend->countQuestions(t); });
            ok = n && *n <= position;
            break;
        }
        if (!each(page))
            break;
        if (page.size() < kPage)
            break;
    }
    if (snapshot)
        reading([&] { m_backend->endSnapshot(); });
    return ok;
}

bool GameDb::holdQuestionTable(QuestionTable t) { return saving([&] { return m_backend->holdQuestionTable(t); }); }

bool GameDb::insertQuestions(QuestionTable t, const QList<Question> &rows)
{
    return saving([&] { return m_backend->addQuestionRows(t, rows); });
}

// --- transactions and the whole-file check ------------------------------------------

bool GameDb::beginWrite(LockWait wait) { return saving([&] { return m_backend->beginWrite(wait); }); }
bool GameDb::commit() { return saving([&] { return m_backend->commit(); }); }
void GameDb::rollback() { saving([&] { m_backend->rollback(); }); }
bool GameDb::lastWriteWasBusy() const { return reading([&] { return m_backend->lastWriteWasBusy(); }); }
CheckState GameDb::checkState() const { return reading([&] { return m_backend->checkState(); }); }
CheckState GameDb::waitForCheck(int msecs) { return reading([&] { return m_backend->waitForCheck(msecs); }); }

void GameDb::setDamageHandler(std::function<void(const QString &)> handler)
{
    reading([&] { m_backend->setDamageHandler(std::move(handler)); });
}

// --- copying an installation ------------------------------------------------------

QString bankIsTheTeachers()
{
    return QStringLiteral("the class's question bank is edited from the teacher's machine: this machine reaches the "
                          "class server with a pupil's role, so Pelmaro does not open the question bank here.");
}

CopyResult copyInstallation(const QString &from, const QString &to,
                            const std::function<void(const QString &, int)> &progress)
{
    CopyResult r;
    if (from == to) {
        r.detail = QStringLiteral("The source and the target are the same.");
        return r;
    }
    // No window waits on a copy: both ends are worked on here and now.
    QString why;
    const std::unique_ptr<Backend> source = backendFor(from, why);
    if (!source) {
        r.detail = QStringLiteral("The source cannot be read: %1").arg(why);
        return r;
    }
    const OpenResult opened = source->open(false);
    if (!opened.usable()) {
        r.detail = QStringLiteral("The source cannot be read: %1").arg(opened.detail);
        return r;
    }
    if (source->waitForCheck(-1) == CheckState::Damaged) {
        r.detail = QStringLiteral("The source %1 is damaged (its whole-file check failed).").arg(source->location());
        return r;
    }
    const std::unique_ptr<Backend> target = backendFor(isServerLocation(to) ? to : QFileInfo(to).absoluteFilePath(), why);
    if (!target) {
        r.detail = why;
        return r;
    }
    auto counting = [&](const QString &table, int rows) {
        if (table == QLatin1String("hoso"))
            r.accounts = rows;
        else if (table != QLatin1String("lock"))
            r.questions += rows;
        if (progress)
            progress(table, rows);
    };
    if (!source->beginSnapshot()) {
        r.detail = QStringLiteral("The source cannot be read: %1").arg(source->lastError());
        return r;
    }
    r.ok = target->importFrom(*source, counting, why);
    source->endSnapshot();
    if (!r.ok)
        r.detail = why;
    return r;
}

} // namespace db
