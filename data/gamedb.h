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

#include <QList>
#include <QPair>
#include <QSqlDatabase>
#include <QString>
#include <optional>

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
    bool deleteAccountRow(qint64 rowId);
    // All accounts ordered by money, smallest first (money read as a number).
    QList<Account> accountsByMoney();
    // The n richest accounts, richest first.
    QList<Account> richestAccounts(int n);
    int accountCount();

    // --- lock ---------------------------------------------------------------
    std::optional<LockRow> readLock();
    bool writeLock(const LockRow &row); // the first row; made when missing

    // --- question tables ----------------------------------------------------
    // The ID of the last record (records run in ID order): the table's size.
    std::optional<qint64> lastId(QuestionTable t);
    // The record at a 0-based position in record order.
    std::optional<Question> questionAt(QuestionTable t, qint64 position);
    QList<Question> questions(QuestionTable t);
    // The same, but tells a table that cannot be read from an empty one.
    std::optional<QList<Question>> readQuestions(QuestionTable t);
    int questionCount(QuestionTable t);
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
    bool beginWrite();
    bool commit();
    void rollback();

    QSqlDatabase connection() const;

private:
    bool exec(const QString &sql);
    bool checkBeforeOpening(bool hotJournal, QString &why);
    static bool checkTables(const QSqlDatabase &c, QString &why);
    bool prepareForUse(QString &why);
    bool createDefault(QString &why);
    void fillMissingNickKeys();
    bool renumberInTransaction(QuestionTable t);

    QString m_programDir;
    QString m_path;
    QString m_connName;
    QString m_lastError;
    bool m_readOnly = false;
};

// The shipped question bank, compiled into the programs. parseQuestionFile() reads
// the Unicode source; shippedQuestions() gives the texts as stored (VNI).
struct ShippedQuestion {
    QString cauhoi, a, b, c, d, traloi;
};
QList<ShippedQuestion> shippedQuestions(QuestionTable t);
QList<ShippedQuestion> parseQuestionFile(const QString &utf8Text);

} // namespace db
