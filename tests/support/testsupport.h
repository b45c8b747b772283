#pragma once
// What the tests share: a temporary program folder with its own database, a game
// whose sound, randomness, clock and message boxes are recorded or scripted, and
// helpers that drive widgets the way a player does.

#include "gameapp.h"
#include "gamedb.h"
#include "messages.h"
#include "sound.h"

#include <QDateTime>
#include <QTemporaryDir>
#include <QTest>
#include <deque>
#include <functional>
#include <memory>

class QSqlDatabase;

namespace testkit {

// With LONTARIS_TEST_SERVER=1 (the ".server" runs of CTest) every harness works
// on a fresh database of a PostgreSQL server of the process's own instead of a
// file: the same tests, on the other backend. Where PostgreSQL is not
// installed, the program says so and ends with 77, which CTest reports as a skip.
bool onServer();
// A fresh location for a harness: empty for the file in its program folder.
QString freshLocation();
// The server of the .server runs (started by the first freshLocation()).
class PgServer *testServer();

// Holds what a save or an edit needs, as another program would: the file's
// write lock, or on a server the rows of hoso and lock and the question table
// t. Released by other.rollback() (or commit()).
bool holdWriteLock(db::GameDb &other, db::QuestionTable t = db::QuestionTable::Muc1);
// Makes the store refuse (or accept again) every `op` ("INSERT", "UPDATE") on
// `table` whose condition holds (a condition on the new row, "true" for all).
bool refuseWrites(db::GameDb &d, const QString &table, const QString &op, bool refuse,
                  const QString &newRowCondition = QStringLiteral("true"));

// Every row of an installation, every text with its NULL-ness, in order, read
// as a copy reads them; without `passwords`, only whether an account has one
// (a server keeps them hashed).
QStringList everyRow(db::GameDb &d, bool passwords = true);

// On a server, the fees paid so far as if paid `minutes` earlier: a game
// played on the test's clock may then save that much play time (the server
// takes no more minutes than have passed since the fee). Nothing on a file.
void backdateFees(db::GameDb &d, int minutes);

// On a server, the server process that serves d's connection; 0 when none.
qint64 servingPid(db::GameDb &d);
// Runs the statements in order on the store's own connection (on a server,
// its thread); false at the first that fails.
bool execAll(db::GameDb &d, const QStringList &statements);
// Stops a process (SIGSTOP: a server that takes the bytes and never answers)
// until resume() or the end of the object.
class StoppedProcess {
public:
    explicit StoppedProcess(qint64 pid);
    ~StoppedProcess() { resume(); }
    StoppedProcess(const StoppedProcess &) = delete;
    StoppedProcess &operator=(const StoppedProcess &) = delete;
    void resume();

private:
    qint64 m_pid;
};

// A stored password as the player typed it when it is typed's hash (a server
// keeps hashes), else as stored: QCOMPARE(asTyped(a->pass, typed), typed).
QString asTyped(const QString &stored, const QString &typed);

// A fresh program folder (temporary); the database is made from the shipped
// default when opened.
class ProgramFolder {
public:
    ProgramFolder();
    QString path() const { return m_dir.path(); }
    QString dbPath() const { return db::GameDb::defaultFileName(path()); }

private:
    QTemporaryDir m_dir;
};

// A connection of its own to the database of `folder` (or of `location`, when
// not empty), opened as another program would; null when it cannot be used.
std::unique_ptr<db::GameDb> openDatabase(const ProgramFolder &folder, const QString &location);
// The same for a harness: ends the test run, saying why, when it cannot be used.
std::unique_ptr<db::GameDb> harnessDatabase(const ProgramFolder &folder, const QString &location);

// An account of password "pw" and `sotien`, nothing played yet (solan, gio
// and phut "0"), to insert or register.
db::Account account(const QString &nick, const QString &sotien);

// A connection of its own to the database at `location` (a file or a server's
// address), with no program folder, as another program opens it; null, with a
// warning saying why, when it cannot be used.
std::unique_ptr<db::GameDb> opened(const QString &location);

// Runs statements on a database file through a connection of its own, outside
// GameDb; false (with a warning naming it) at the first that fails.
bool rawExec(const QString &file, const QStringList &statements);
// Runs `work` on a connection of its own to a database file, outside GameDb;
// false when the file cannot be opened or `work` says so.
bool withRawConnection(const QString &file, const std::function<bool(QSqlDatabase &)> &work);

// The side files beside a database file ("-wal", "-shm", "-journal") that exist.
QStringList sideFiles(const QString &dbPath);

struct ScriptedServices {
    sound::RecordingEffectPlayer effects;
    sound::RecordingMusicPlayer music;
    QList<ui::MessageRequest> messages;
    std::deque<QMessageBox::StandardButton> answers; // replies to message boxes; Ok when empty
    std::deque<double> randoms;                      // next random draws; 0.5 when empty
    QDateTime clock = QDateTime(QDate(2026, 12, 7), QTime(10, 0));
    int endCount = 0;

    GameServices make(const QString &programDir, db::GameDb *db);
    // Decoded text of the last message box.
    QString lastMessageText() const;
};

// A whole game on a temporary folder.
class GameHarness {
public:
    GameHarness();
    ~GameHarness();

    ProgramFolder folder;
    QString location; // empty: the file in the folder
    std::unique_ptr<db::GameDb> database;
    ScriptedServices s;
    std::unique_ptr<GameApp> app;

    // A second connection to the same database, opened (another program).
    std::unique_ptr<db::GameDb> another() const;

    db::Account addAccount(const QString &nick, const QString &pass, const QString &sotien = QStringLiteral("1200"),
                           const QString &solan = QString());
    void setLock(const QString &thuthach, const QString &hienten = QStringLiteral("0"),
                 const QString &hien19 = QStringLiteral("0"));
    // Logs in through frmLogin (types nick and password, presses Enter).
    void login(const QString &nick, const QString &pass);
};

// On a server: lets no new connection in to the harness's database and ends
// the ones open (the game's too), so that its next step cannot reach the
// server; or lets connections in again.
bool cutOff(const GameHarness &h, bool cut);

// Widgets by objectName ("cmdOK", "da(2)"); fails the test when missing.
QWidget *widget(QObject *root, const QString &name);
template <typename T> T *child(QObject *root, const QString &name)
{
    T *w = qobject_cast<T *>(static_cast<QObject *>(widget(root, name)));
    if (!w)
        qWarning("no %s named %s", T::staticMetaObject.className(), qPrintable(name));
    return w;
}

// A left click in the middle of the widget.
void click(QWidget *w);
// Types Unicode text, one key event per character.
void type(QWidget *w, const QString &text);
void pressKey(QWidget *w, Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier);
// Runs one tick of the named LegacyTimer of a form; false when it could not fire.
bool tick(QObject *form, const QString &timerName, int times = 1);
// Caption (legacy text) of a LegacyLabel.
QString caption(QObject *root, const QString &name);
// Everything a player can see of a form's named widgets, a line each: shown,
// enabled, a label's caption (and with `colours` its colours), a shape's fill,
// a field's text.
QStringList widgetSnapshot(QWidget *form, bool colours);

// The data of a test run twice, told apart by the bool `column`: the row
// `whenFalse` first, then `whenTrue`.
inline void twoCases(const char *column, const char *whenFalse, const char *whenTrue)
{
    QTest::addColumn<bool>(column);
    QTest::newRow(whenFalse) << false;
    QTest::newRow(whenTrue) << true;
}

// The reference samples: encoding, legacy text (Latin-1 characters), Unicode.
struct Sample {
    QString encoding, legacy, unicode;
};
QList<Sample> referenceSamples();

} // namespace testkit
