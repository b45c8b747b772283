#include "gamedb.h"

#include "numtext.h"
#include "pgbackend.h"
#include "serveraddress.h"
#include "sqlitebackend.h"
#include "storethread.h"

#include <QDir>
#include <QFileInfo>

namespace db {

const char *const kHosoColumns[10] = {"nick",         "pass",   "ngaysinh", "mail", "cauhoibimat",
                                      "traloiibimat", "sotien", "solan",    "gio",  "phut"};
const char *const kLockColumns[8] = {"hienten",  "thuthach",  "hien19",  "hiencode",
                                     "hienten1", "thuthach1", "hien191", "hiencode1"};
const char *const kQuestionColumns[8] = {"ID", "cauhoi", "A", "B", "C", "D", "traloi", "selected"};

QString tableName(QuestionTable t)
{
    switch (t) {
    case QuestionTable::Muc1: return QStringLiteral("muc1");
    case QuestionTable::Muc2: return QStringLiteral("muc2");
    case QuestionTable::Muc3: return QStringLiteral("muc3");
    case QuestionTable::Thuthach: return QStringLiteral("thuthach");
    case QuestionTable::Thungrac: return QStringLiteral("thungrac");
    }
    return QString();
}

QSqlDatabase ConnectedBackend::connection() const
{
    return QSqlDatabase::database(m_connName, false);
}

bool ConnectedBackend::isOpen() const
{
    return connection().isOpen();
}

bool isHosoColumn(const QString &name)
{
    for (const char *c : kHosoColumns)
        if (name.compare(QLatin1String(c), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

QString nickKey(const QString &nick)
{
    return nick.toCaseFolded();
}

WriteStatus applyDelta(Account &a, const AccountDelta &delta, QList<QPair<QString, QString>> &cols, QString &why)
{
    const Account before = a;
    auto add = [&](const QString &column, QString &stored, const QString &amount) {
        if (amount.isEmpty())
            return true;
        const std::optional<QString> sum = num::exactSum(stored, amount);
        if (!sum)
            return false;
        stored = *sum;
        cols.append({column, stored});
        return true;
    };
    auto inexact = [&](const QString &reason) {
        a = before;
        cols.clear();
        why = reason;
        return WriteStatus::Inexact;
    };
    if (!add(QStringLiteral("sotien"), a.sotien, delta.money) || !add(QStringLiteral("solan"), a.solan, delta.plays))
        return inexact(QStringLiteral("A stored number cannot be computed exactly."));
    if (delta.minutes != 0) {
        // Minutes stay 0..59, the hours take the rest.
        const std::optional<QString> phut = num::exactText(a.phut);
        bool small = false;
        const qint64 p = phut ? phut->toLongLong(&small) : 0;
        if (!small || p > (std::numeric_limits<qint64>::max() >> 2) || p < -(std::numeric_limits<qint64>::max() >> 2)
            || delta.minutes > (std::numeric_limits<qint64>::max() >> 2))
            return inexact(QStringLiteral("The stored play time cannot be computed exactly."));
        const qint64 total = p + delta.minutes;
        qint64 hours = total / 60, minutes = total % 60;
        if (minutes < 0) {
            minutes += 60;
            --hours;
        }
        if (hours != 0 && !add(QStringLiteral("gio"), a.gio, QString::number(hours)))
            return inexact(QStringLiteral("The stored play time cannot be computed exactly."));
        a.phut = QString::number(minutes);
        cols.append({QStringLiteral("phut"), a.phut});
    }
    return WriteStatus::Done;
}

// --- GameDb -------------------------------------------------------------------

namespace {

std::unique_ptr<Backend> backendFor(const QString &location)
{
    if (isServerLocation(location))
        return std::make_unique<PgBackend>(location);
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
    : m_backend(std::make_unique<SqliteBackend>(defaultFileName(programDir))), m_programDir(programDir)
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
    m_backend = backendFor(location);
}

OpenResult GameDb::open()
{
    return reading([&] { return m_backend->open(m_createMissing); });
}

void GameDb::openInBackground(QObject *context, std::function<void(const OpenResult &)> opened)
{
    if (!m_thread) {
        opened(open());
        return;
    }
    auto result = std::make_shared<OpenResult>();
    m_thread->post([this, result] { *result = m_backend->open(m_createMissing); }, context,
                   [result, opened = std::move(opened)] { opened(*result); });
}

bool GameDb::isOpen() const { return reading([&] { return m_backend->isOpen(); }); }
QString GameDb::filePath() const { return m_backend->location(); } // fixed when made
QString GameDb::lastError() const { return reading([&] { return m_backend->lastError(); }); }
QSqlDatabase GameDb::connection() const { return m_backend->connection(); }

void GameDb::withBackend(const std::function<void(Backend &)> &use)
{
    reading([&] { use(*m_backend); });
}

void GameDb::withConnection(const std::function<void(QSqlDatabase)> &use)
{
    reading([&] { use(m_backend->connection()); });
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
    const std::unique_ptr<Backend> source = backendFor(from);
    const OpenResult opened = source->open(false);
    if (!opened.usable()) {
        r.detail = QStringLiteral("The source cannot be read: %1").arg(opened.detail);
        return r;
    }
    if (source->waitForCheck(-1) == CheckState::Damaged) {
        r.detail = QStringLiteral("The source %1 is damaged (its whole-file check failed).").arg(source->location());
        return r;
    }
    const std::unique_ptr<Backend> target = backendFor(isServerLocation(to) ? to : QFileInfo(to).absoluteFilePath());
    auto counting = [&](const QString &table, int rows) {
        if (table == QLatin1String("hoso"))
            r.accounts = rows;
        else if (table != QLatin1String("lock"))
            r.questions += rows;
        if (progress)
            progress(table, rows);
    };
    QString why;
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
