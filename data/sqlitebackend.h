#pragma once
// The game database in one SQLite file (the default): WAL, a busy timeout,
// BEGIN IMMEDIATE for every write, a whole-file check of a file used before,
// and a file that is damaged or foreign left exactly as it is.

#include "answerstats.h"
#include "backend.h"

#include <QVariantList>

class QSqlQuery;
class QTemporaryDir;

namespace db {

class SqliteBackend : public BackendBase, public AnswerStore {
public:
    explicit SqliteBackend(const QString &path);
    ~SqliteBackend() override;

    // Opening and the transactions (sqlitebackend.cpp).
    LONTARIS_BACKEND(override)
    bool isOpen() const override;
    QSqlDatabase connection() const override;
    bool execute(const QString &sql, QVariantList *firstRow) override;
    // AccountStore (sqliteaccounts.cpp; the game's other operations are
    // AccountStore's own, gameops.cpp).
    LONTARIS_ACCOUNT_STORE(override)
    // QuestionStore (sqlitequestions.cpp).
    LONTARIS_QUESTION_STORE(override)

    // The whole-file check (sqlitecheck.cpp).
    CheckState checkState() const override;
    CheckState waitForCheck(int msecs) override;
    void setDamageHandler(std::function<void(const QString &)> handler) override;

    // InstallationCopy (sqlitefile.cpp).
    LONTARIS_INSTALLATION_COPY(override)

    // The recorded answers (sqliteanswers.cpp).
    AnswerStore *answerStore() override { return this; }
    bool recordAnswer(const AnswerRecord &r) override;
    std::optional<QList<AnswerGroup>> answerGroups(QuestionTable t) override;
    std::optional<AnswerTally> answerTally() override;
    std::optional<qint64> clearAnswers(const AnswerTally &tally) override;
    // The table of answers and its index, as a new file has them and an
    // older one is given at its first open here.
    static QStringList answerSchema();

    struct Check;

private:
    bool updateAccountRow(qint64 rowId, const QList<QPair<QString, QString>> &columns) override;

    bool exec(const QString &sql);
    // Runs sql on q: as text, or prepared and bound to values when there are
    // any. A failure's text is kept for lastError().
    bool run(QSqlQuery &q, const QString &sql, const QVariantList &values = {});
    // In one write transaction: body's false rolls back, true commits.
    bool inTransaction(LockWait wait, const std::function<bool()> &body);

    // Judging the file (sqlitecheck.cpp).
    // pending: the side file ("-journal", "-wal") of writes that must be
    // undone or read into the file before it can be read here, on a copy;
    // empty when there is none.
    bool checkBeforeOpening(const QString &pending, bool wholeFile, QString &why, bool &needsPreparation);
    static bool checkTables(const QSqlDatabase &c, QString &why, bool &needsPreparation);
    static bool checkWholeFile(const QSqlDatabase &c, QString &why);
    void startBackgroundCheck(const QString &uri, const QString &options);
    static void runCheck(const std::shared_ptr<Check> &check);
    void stopBackgroundCheck();
    bool mayWrite();

    // Making the file and the one-time conversions (sqlitefile.cpp).
    void removeStaleSideFiles();
    bool prepareForUse(QString &why);
    void fillMissingNickKeys();
    // Builds a new file beside the final one and moves it into place only when
    // complete. fill runs inside its one transaction (the schema is made first).
    // replaceNothing: fail when another file took the place meanwhile.
    bool buildFile(const std::function<bool(QSqlDatabase &, QString &)> &fill, bool lockRow, bool replaceNothing,
                   QString &why);
    bool createDefault(QString &why);

    // The question tables (sqlitequestions.cpp).
    bool isDense(QuestionTable t);
    bool renumberAfterDelete(QuestionTable t, std::optional<qint64> deletedId, int rowsBefore);
    // In a renumbering's transaction, before the IDs change: the recorded
    // answers follow their questions to the new IDs, and those of a removed
    // question keep ID 0 (sqliteanswers.cpp).
    void moveAnswers(QuestionTable t, std::optional<qint64> deletedId);
    void wrote() { ++m_ownWrites; }

    const QString m_connName; // Qt's connection, by its name
    QString m_path;
    // The answers' insert, prepared at the first verdict, and the answers
    // that found the file busy, written with the next one.
    std::unique_ptr<QSqlQuery> m_answerInsert;
    QList<AnswerRecord> m_unwrittenAnswers;
    bool m_readOnly = false;
    bool m_inWrite = false;
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

} // namespace db
