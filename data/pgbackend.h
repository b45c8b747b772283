#pragma once
// The game database on a PostgreSQL server, for many machines on one set of
// accounts and one question bank. It lives in the server module (the client
// library with it), which a program loads only when it is given a server's
// address (servermodule.h).
//
// The tables and columns are those of the file, plus a real key column `rid`
// on every table (the file's rowid), the nick's key `nickkey` the lookups use
// (computed by the server, lontaris_key: a trigger keeps it), and a small table `lontaris_changes` whose counters the
// question tables' triggers move, so that a table's size is counted again only
// after it changed, and `lontaris_saves`, the keys of saves already made. Money
// is ordered by the column `money`, which the server keeps as
// lontaris_money(sotien): the number the text starts with, as the file orders it.
//
// Writes lock only what they change. A save of money is one statement that
// writes the account row only if it is still as it was read (compare and
// set), the switches row only when the switches change, and the save's key
// into lontaris_saves, in one go; a save that lost the race reads again. The
// editor's writes are transactions that lock the one question table they
// change against other writers, never against readers. A game's draw reads
// one snapshot, so it sees a renumbering wholly before or wholly after.
//
// The game's own operations (log in, register, recover and change a password,
// the fee, the game's end, the draws, the switches, the top five) are calls of
// the server's functions (pgfunctions.cpp, pggame.cpp), whichever role logs
// in: a pupils' role may make nothing else. The other operations (the editor's,
// a copy's, the generic account writes) are the teacher's role's, on the tables.
// Every value is a parameter of its statement (pgconn.h), never in its text.
//
// A lost connection is made again before the next statement. A save tried
// again after its answer was lost keeps its key, which the server takes only
// once; another write whose commit went unanswered is asked of the server
// (txid_status) before it is made again. Nothing is ever written twice.

#include "answerstats.h"
#include "backend.h"
#include "pgconn.h"
#include "serveraddress.h"

#include <QVariantList>

#include <chrono>
#include <memory>

namespace db {

namespace pg {
class Watchdog;
}

class PgBackend : public BackendBase, public AnswerStore {
public:
    explicit PgBackend(const QString &location);
    ~PgBackend() override;

    // Opening and the transactions (pgbackend.cpp).
    LONTARIS_BACKEND(override)
    bool isOpen() const override;
    QSqlDatabase connection() const override;
    bool execute(const QString &sql, QVariantList *firstRow) override;
    // AccountStore (pgaccounts.cpp; the game's operations: pggame.cpp).
    LONTARIS_ACCOUNT_STORE(override)
    std::optional<Account> logIn(const QString &nick, const QString &password) override;
    std::optional<Account> player(const QString &nick) override;
    std::optional<QString> nickTaken(const QString &nick) override;
    Recovery recoverPassword(const QString &nick, const QString &ngaysinh, const QString &cauhoibimat,
                             const QString &traloiibimat, const QString &newPassword) override;
    bool changePassword(const QString &nick, const QString &oldPassword, const QString &newPassword) override;
    QString recoveredPassword() const override { return m_recovered; }
    AccountUpdate payFee(const QString &nick, LockWait wait) override;
    AccountUpdate endGame(const QString &nick, const AccountDelta &delta, const LockRow &lock, LockWait wait) override;
    QList<Account> topFive() override;
    // The referee's steps (pgrefereeapi.cpp).
    RefereeAnswer refereeStep(const QString &step, const QList<QVariant> &values) override;
    bool mayEditBank() const override { return m_owner; }
    bool outcomeUnknown() const override { return m_unsettledCall; }
    bool lastWasOffline() const override { return m_offline; }
    bool heldBack() const override { return m_heldBack; }

    // QuestionStore (pgquestions.cpp).
    LONTARIS_QUESTION_STORE(override)
    // InstallationCopy (pgcopy.cpp).
    LONTARIS_INSTALLATION_COPY(override)

    // The recorded answers, read by the teacher's role (pganswers.cpp).
    AnswerStore *answerStore() override { return this; }
    bool recordAnswer(const AnswerRecord &r) override;
    std::optional<QList<AnswerGroup>> answerGroups(QuestionTable t) override;
    std::optional<AnswerTally> answerTally() override;
    std::optional<qint64> clearAnswers(const AnswerTally &tally) override;
    bool keepsPupils() const override { return true; }
    std::optional<QList<PupilFigures>> pupilFigures() override;

private:
    enum class Inspection { Complete, Empty, Broken };

    bool connect(QString &why);
    void disconnect();
    void hearChanges();
    // The lock wait of statements outside a transaction (the saves).
    bool setSessionLockWait(LockWait wait);
    bool ensureConnected();
    // How a statement with values runs: prepared once per connection and
    // kept, or once (the whole lists, read seldom).
    enum class Statement { Kept, Once };
    // sql run with values as its parameters; a failure noted (noteError).
    pg::Result run(const QString &sql, const QVariantList &values = {}, Statement how = Statement::Kept);
    // Statements without values, as text; false (noted) when one failed.
    bool runText(const QString &sql);
    void noteError(const pg::Result &r);
    // A call of one of the game's functions, made as pgfunctions.cpp says:
    // its outcome ("ok" for an answer, else a refusal's word) and its rows,
    // before the first, each with the outcome in column 0. Nothing when the
    // statement failed (noted).
    struct Answer {
        QString outcome;
        pg::Result rows;
        bool ok() const { return outcome == QLatin1String("ok"); }
    };
    std::optional<Answer> call(const QString &function, const QVariantList &values = {});
    // A game operation or a read waits for the server no longer than this in
    // all (connections made again included, each bounded by its own timeout):
    // then its statement is cut off (pgwatchdog.h) and it reports the
    // connection lost. A lock is waited for within it.
    class Bound {
    public:
        explicit Bound(PgBackend &b);
        ~Bound();
        Bound(const Bound &) = delete;
        Bound &operator=(const Bound &) = delete;
        bool passed() const;

    private:
        PgBackend &m_backend;
        bool m_outer;
    };
    // Around each exchange with the server: cut off when the bound of the
    // operation it belongs to passes. `ok`: whether the exchange succeeded.
    void armWatch();
    void disarmWatch(bool ok);
    // Runs a read; when the connection was lost, once more on a new one.
    bool reading(const std::function<bool()> &body);
    // The rows of a read (in reading()), each made by `from`; nothing when it
    // failed.
    template <typename Row>
    std::optional<QList<Row>> readRows(const QString &sql, const QVariantList &values, Row (*from)(const pg::Result &),
                                       Statement how = Statement::Kept);
    // Runs body in a write transaction (or in the caller's, after beginWrite).
    // A commit whose answer was lost with the connection is asked of the
    // server on the new one: found made, it is not made again.
    WriteStatus writing(LockWait wait, const std::function<WriteStatus()> &body);
    // writing() of a patient write that succeeds or fails.
    bool write(const std::function<bool()> &body);
    bool begin(LockWait wait, qint64 *txid);
    bool lockTable(QuestionTable t);

    // Opening and the schema (pgschema.cpp).
    // A write transaction under the lock of those who make a schema or a copy.
    bool beginUnderSchemaLock();
    // Whether this role may make tables here (the teacher's may, a pupil's
    // not): only such a role waits for the schema lock.
    bool mayMakeTables();
    Inspection inspect(QString &why);
    // The game's server functions and the pupils' role (pgfunctions.cpp).
    bool installApi(QString &why);
    // Functions of an earlier revision of this version made anew, when this
    // role may (else they stay: their calls are the same).
    void refreshApi();
    // Whether this role owns the game's tables, whether they have the
    // functions (and of which revision), whether the pupils' role may call
    // them.
    bool readRole();
    // A game operation (a call of one of the functions) made until it is
    // answered: on a new connection when the connection was lost, as its
    // keys make it safe to. Done when the answer is "ok" (`read` has its
    // rows); Busy, Inexact or Failed (m_refusal says which word) when it was
    // refused; Offline when the server cannot be reached. Busy counts as
    // offline too for lastWasOffline(): nothing was done, the step may be
    // taken again.
    WriteStatus calling(const QString &function, const QVariantList &values,
                        const std::function<void(pg::Result &)> &read = {});
    AccountUpdate accountCall(const QString &function, const QVariantList &values);
    bool createSchema(bool withBank, bool lockRow, QString &why);
    // Brings the money order of a database made by an older version up to date.
    void updateMoneyRule();
    // What the teacher's role does at each start: its long work unbounded,
    // old save keys gone, the money rule brought up to date (moneyRule).
    void ownersWork(bool moneyRule);

    // Many rows in one statement each, in their order (ids and flags as given;
    // pgcopy.cpp).
    bool insertQuestionRows(QuestionTable t, const QList<Question> &rows);
    bool insertAccountRows(const QList<Account> &rows);

    // The accounts (pgaccounts.cpp).
    bool updateAccountRow(qint64 rowId, const QList<QPair<QString, QString>> &columns) override;

    // The question tables (pgquestions.cpp).
    // Locks the table against other writers (readers never wait) and says
    // whether its IDs run 1..N; nothing when it cannot be locked or counted.
    std::optional<bool> lockForRenumbering(QuestionTable t);
    bool renumberLocked(QuestionTable t, std::optional<qint64> deletedId);

    struct Facts {
        qint64 version = -1;
        int count = 0;
        bool dense = true;
        bool readable = false;
    };
    // The table's size and whether its IDs run 1..N, counted again only when
    // its change counter moved. Null when it cannot be read.
    const Facts *facts(QuestionTable t);
    const Facts *countFacts(QuestionTable t);
    // Questions whose place the table's facts give (statementFor makes the
    // call that reads them from the facts: the function and its values; the
    // table's change counter comes after the outcome): read again, the facts
    // counted anew, when the table changed since they were counted.
    bool readPlaced(QuestionTable t, const std::function<QPair<QString, QVariantList>(const Facts &)> &statementFor,
                    QList<Question> &out);
    // Counted again at the next use (after a write to the table).
    void forgetFacts(QuestionTable t) { m_facts[int(t)].readable = false; }

    QString m_location;
    std::optional<ServerAddress> m_address;
    QString m_addressError;
    pg::Connection m_conn;
    bool m_listening = false; // told of the question tables' changes
    bool m_lost = false;    // the last statement found the connection gone
    bool m_inWrite = false; // in a transaction of beginWrite (or of writing())
    bool m_inTransaction = false; // BEGIN sent, no COMMIT or ROLLBACK yet
    bool m_offline = false; // the last operation gave up: the server could not be reached
    int m_sessionLockMs = -1;
    QHash<int, Facts> m_facts;

    // The transaction whose commit went unanswered, until the server said
    // what became of it.
    std::optional<qint64> m_unsettled;
    // Accounts as last read or written here, by nick key: where a save starts.
    QHash<QString, Account> m_known;
    void remember(const Account &a);
    // The save last tried and its key (kept until it is known to be written).
    QPair<QString, QString> m_pendingSave;

    bool m_owner = false;       // the role owns the game's tables: the teacher's
    bool m_hasApi = false;      // the game's functions are made
    bool m_pupilsLetIn = false; // lontaris_pupil may call them
    bool m_newerApi = false;    // the functions are of a newer program
    int m_apiRevision = 0;      // the revision of this version's functions (0: none)
    bool m_newerFunctions = false; // of a newer version or revision: left to their program
    QString m_session;          // the token of the player's login
    QString m_sessionKey;       // the nick key it was made for
    QString m_fee;              // the key of the fee last paid in this session
    QString m_recovered;        // the password the last recovery set
    bool m_inexact = false;     // the last call was refused for a number
    bool m_heldBack = false;    // the last call was refused for wrong passwords of its nick
    QString m_refusal;          // the last call's refusal word, if it was refused
    bool m_unsettledCall = false; // the last call's answer was lost: it may have been made

    std::unique_ptr<pg::Watchdog> m_watchdog; // made at the first bounded statement
    std::optional<std::chrono::steady_clock::time_point> m_deadline; // of the operation under way
    bool m_armed = false;
};

} // namespace db
