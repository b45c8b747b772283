#pragma once
// The game database: one SQLite file, data/dataqa.db under the program folder,
// shared by the game and the editor (WAL, busy timeout; either may hold it while
// the other writes). Every statement binds its values: a nick or a question text
// holding ' " -- ; is matched literally.
//
// Values are read and written as text. Legacy texts (secret questions, question
// bank) are QStrings of Latin-1 characters, one per byte (see common/vntext.h).
// sotien, solan, gio and phut are kept as text, exactly as written; the money
// order is taken from the number each text starts with.

#include <QHash>
#include <QList>
#include <QPair>
#include <QSqlDatabase>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

class QTemporaryDir;

namespace db {

enum class QuestionTable { Muc1, Muc2, Muc3, Thuthach, Thungrac };
QString tableName(QuestionTable t);
constexpr QuestionTable kAllQuestionTables[] = {QuestionTable::Muc1, QuestionTable::Muc2,
                                                 QuestionTable::Muc3, QuestionTable::Thuthach,
                                                 QuestionTable::Thungrac};

// A row of hoso. A null QString stands for a NULL value.
struct Account {
    qint64 rowId = 0;
    QString nick, pass, ngaysinh, mail, cauhoibimat, traloiibimat;
    QString sotien, solan, gio, phut;
};

// The first row of lock: four option switches and their unlock flags, "0" or "1".
struct LockRow {
    QString hienten = QStringLiteral("0"), thuthach = QStringLiteral("0"),
            hien19 = QStringLiteral("0"), hiencode = QStringLiteral("0");
    QString hienten1 = QStringLiteral("0"), thuthach1 = QStringLiteral("0"),
            hien191 = QStringLiteral("0"), hiencode1 = QStringLiteral("0");
};

// A row of muc1, muc2, muc3, thuthach or thungrac.
struct Question {
    qint64 rowId = 0;
    qint64 id = 0;
    QString cauhoi, a, b, c, d, traloi;
    bool selected = false;
};

enum class OpenStatus {
    Opened,       // an existing, sound database
    Created,      // was missing; made from the shipped default
    ReadOnly,     // sound, but the file or its folder cannot be written: nothing will be saved
    Damaged,      // not a database, or a table is missing: left untouched
    CannotCreate  // missing and the folder cannot be written
};

// The whole-file check (every table and index) of a file that was already
// sound when last used runs in the background after open(); nothing is written
// to the file before it has passed.
enum class CheckState { Pending, Sound, Damaged };

// How long a write waits for the write lock that another program (or a second
// window) holds: Patient waits a few seconds, blocking; NoWait gives up at once
// with Busy, for callers that keep their window moving and try again.
enum class LockWait { Patient, NoWait };

enum class WriteStatus {
    Done,    // written
    Busy,    // the write lock was held elsewhere (or the file's check was not done): nothing written
    Inexact, // a number could not be computed exactly: nothing written
    Failed   // the store refused (damaged, read-only, disk full...): nothing written; see lastError()
};

// A change to an account, applied to the values stored at the moment of the
// write, so that any number of sessions of one account add up exactly.
struct AccountDelta {
    QString money;      // added to sotien; empty leaves it alone ("-1000", "12 000$")
    QString plays;      // added to solan; empty leaves it alone
    qint64 minutes = 0; // play time added to gio and phut (phut kept 0..59)
};

struct AccountUpdate {
    WriteStatus status = WriteStatus::Failed;
    std::optional<Account> stored; // the row as stored after the change; none: no such account
};

struct OpenResult {
    OpenStatus status = OpenStatus::Damaged;
    QString detail; // what went wrong, in English, for the message box
    bool usable() const { return status == OpenStatus::Opened || status == OpenStatus::Created
                                 || status == OpenStatus::ReadOnly; }
};

class GameDb {
public:
    // programDir: the folder of the executable; the file is programDir/data/dataqa.db.
    explicit GameDb(const QString &programDir);
    ~GameDb();
    GameDb(const GameDb &) = delete;
    GameDb &operator=(const GameDb &) = delete;

    // Works on this file instead of the one in the program folder (the command
    // line's --database, or the user's data folder). Call before open().
    void setFilePath(const QString &path) { m_path = path; }

    OpenResult open();
    bool isOpen() const;
    QString filePath() const { return m_path; }
    QString lastError() const { return m_lastError; }
    static QString defaultFileName(const QString &programDir);

    // --- hoso ---------------------------------------------------------------
    // The first row (in row order) whose nick the store matches: letter case is
    // ignored, as the old store did; everything else is literal.
    std::optional<Account> findAccount(const QString &nick);
    bool insertAccount(Account &account); // sets rowId
    // Writes the named columns of the first row matching nick. Column names are
    // checked against the schema. False when nothing was written.
    bool updateAccount(const QString &nick, const QList<QPair<QString, QString>> &columns);
    bool updateAccountRow(qint64 rowId, const QList<QPair<QString, QString>> &columns);
    // Adds delta to the first row matching nick, in one write transaction.
    AccountUpdate addToAccount(const QString &nick, const AccountDelta &delta, LockWait wait = LockWait::Patient);
    // The end of a game: addToAccount and writeLock in one write transaction,
    // so a retry never adds the winnings twice. The switches are written even
    // when the account is gone.
    AccountUpdate saveGameEnd(const QString &nick, const AccountDelta &delta, const LockRow &lock,
                              LockWait wait = LockWait::Patient);
    bool deleteAccountRow(qint64 rowId);
    // All accounts ordered by money, smallest first (money read as a number).
    QList<Account> accountsByMoney();
    // The n richest accounts, richest first.
    QList<Account> richestAccounts(int n);
    int accountCount();

    // --- lock ---------------------------------------------------------------
    std::optional<LockRow> readLock();
    // Writes the first row; a table without rows is left as it is.
    bool writeLock(const LockRow &row);

    // --- question tables ----------------------------------------------------
    // The ID of the last record (records run in ID order): the table's size.
    std::optional<qint64> lastId(QuestionTable t);
    // The record at a 0-based position in record order (the row with ID
    // position + 1 while the IDs run 1..N, found through the ID index).
    std::optional<Question> questionAt(QuestionTable t, qint64 position);
    // The first record at or after `position` whose traloi is not empty.
    std::optional<Question> answeredQuestionFrom(QuestionTable t, qint64 position);
    // Up to `count` records from `position` on, in record order.
    QList<Question> questionsFrom(QuestionTable t, qint64 position, int count);
    QList<Question> questions(QuestionTable t);
    // The same, but tells a table that cannot be read from an empty one.
    std::optional<QList<Question>> readQuestions(QuestionTable t);
    // The number of rows (counted again only after a write, here or elsewhere).
    int questionCount(QuestionTable t);
    // The same, but nothing when the table cannot be read.
    std::optional<int> countQuestions(QuestionTable t);
    // Rows whose question text the store matches (letter case of ASCII ignored).
    QList<Question> questionsByText(QuestionTable t, const QString &cauhoi);
    bool appendQuestion(QuestionTable t, Question &q); // sets rowId; id and selected as given
    bool deleteQuestionsWithId(QuestionTable t, qint64 id);
    bool setQuestionId(QuestionTable t, qint64 oldId, qint64 newId);
    // Clears selected everywhere, then sets it where ID < 100.
    bool resetSelected(QuestionTable t);
    // Gives the records IDs 1..N in record order and resets selected, in one
    // transaction: either all of it happens or nothing.
    bool renumber(QuestionTable t);
    // Deletes the rows with this ID and renumbers, in one transaction.
    bool deleteAndRenumber(QuestionTable t, qint64 id);
    // The ID an appended record gets: one past the largest, 1 for an empty table.
    std::optional<qint64> nextId(QuestionTable t);
    // Appends q at the end with the next free ID (taken under the write lock,
    // so two writers never hand out the same one), selected unset.
    std::optional<qint64> appendAtEnd(QuestionTable t, const Question &q);
    enum class RowRemoval { Removed, Gone, Failed };
    // Deletes the one record `listed` (its rowid, and its question text still
    // as listed) and renumbers, in one transaction. Gone: the record changed or
    // went away meanwhile, and nothing was touched.
    RowRemoval deleteRowAndRenumber(QuestionTable t, const Question &listed);

    // --- transactions -------------------------------------------------------
    // BEGIN IMMEDIATE: takes the write lock at once, so a later write cannot
    // fail because the other program wrote in between.
    bool beginWrite(LockWait wait = LockWait::Patient);
    bool commit();
    void rollback();
    // Why the last beginWrite failed.
    bool lastWriteWasBusy() const { return m_busy; }

    // --- the whole-file check -------------------------------------------------
    CheckState checkState() const;
    // Blocks until the background check is over (or msecs passed; -1: no limit).
    CheckState waitForCheck(int msecs = -1);
    // Called on the thread that opened the file when the background check finds
    // damage (the file is then never written).
    void setDamageHandler(std::function<void(const QString &detail)> handler);

    QSqlDatabase connection() const;

    struct Check;

private:
    bool exec(const QString &sql);
    bool checkBeforeOpening(bool hotJournal, bool wholeFile, QString &why, bool &needsPreparation);
    static bool checkTables(const QSqlDatabase &c, QString &why, bool &needsPreparation);
    static bool checkWholeFile(const QSqlDatabase &c, QString &why);
    void startBackgroundCheck(const QString &uri, const QString &options);
    bool mayWrite();
    void removeStaleSideFiles();
    AccountUpdate changeAccount(const QString &nick, const AccountDelta &delta);
    bool isDense(QuestionTable t);
    bool renumberAfterDelete(QuestionTable t, std::optional<qint64> deletedId, int rowsBefore);
    void wrote() { ++m_ownWrites; }
    bool prepareForUse(QString &why);
    bool createDefault(QString &why);
    void fillMissingNickKeys();
    bool renumberInTransaction(QuestionTable t);

    QString m_programDir;
    QString m_path;
    QString m_connName;
    QString m_lastError;
    bool m_readOnly = false;
    bool m_inWrite = false;
    bool m_busy = false;
    std::shared_ptr<Check> m_check;
    std::unique_ptr<QTemporaryDir> m_scratch; // a rolled-back copy read in place of the file

    // Row counts and the largest ID, kept while nothing has been written
    // (PRAGMA data_version tells of other connections' writes).
    struct TableFacts {
        qint64 version = -1, ownWrites = -1;
        int count = 0;
        qint64 maxId = 0;
        bool dense = true;
        bool readable = false;
    };
    QHash<int, TableFacts> m_facts;
    qint64 m_ownWrites = 0;
    const TableFacts &facts(QuestionTable t);
    bool factsKey(qint64 &version, qint64 &own);
    void shiftFacts(QuestionTable t, int rows);
};

// The shipped question bank, compiled into the programs. parseQuestionFile() reads
// the Unicode source; shippedQuestions() gives the texts as stored (VNI).
struct ShippedQuestion {
    QString cauhoi, a, b, c, d, traloi;
};
QList<ShippedQuestion> shippedQuestions(QuestionTable t);
QList<ShippedQuestion> parseQuestionFile(const QString &utf8Text);

} // namespace db
