// The class server as the pupils' machines reach it: through the game's own
// operations only (the server's functions), passwords hashed there, a game's
// end settled by its keys, and addresses whose password is never shown.

#include "answerstats.h"
#include "backend.h"
#include "editorapp.h"
#include "pgserver.h"
#include "relay.h"
#include "serveraddress.h"
#include "testsupport.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QUrl>

using db::QuestionTable;
using testkit::Relay;
using testkit::account;
using testkit::opened;

class TestServerRoles : public testkit::ServerTest {
    Q_OBJECT
    // A pupil's machine: a login role in the pupils' group, as the README sets it up.
    std::unique_ptr<db::GameDb> asPupil(const QString &owner)
    {
        if (m_server.value(QStringLiteral("postgres"), QStringLiteral("SELECT count(*) FROM pg_roles WHERE rolname = 'pupil1'"))
            == QLatin1String("0"))
            m_server.exec(QStringLiteral("postgres"), {QStringLiteral("CREATE ROLE pupil1 LOGIN"),
                                                       QStringLiteral("GRANT lontaris_pupil TO pupil1")});
        return opened(QString(owner).replace(QLatin1String("//postgres@"), QLatin1String("//pupil1@")));
    }

private slots:
    void aPupilPlaysAWholeGameButReachesNothingElse()
    {
        const QString owner = fresh();
        const auto teacher = opened(owner);
        QVERIFY(teacher);
        QVERIFY(teacher->mayEditBank());
        db::Account mine = account(QStringLiteral("An"), QStringLiteral("1200"));
        db::Account other = account(QStringLiteral("Binh"), QStringLiteral("5000"));
        QVERIFY(teacher->insertAccount(mine) && teacher->insertAccount(other));
        const auto d = asPupil(owner);
        QVERIFY(d);
        QVERIFY(!d->mayEditBank());

        QVERIFY(!d->logIn(QStringLiteral("an"), QStringLiteral("PW")));
        QCOMPARE(d->payFee(QStringLiteral("an")).status, db::WriteStatus::Failed); // not logged in
        const auto in = d->logIn(QStringLiteral("an"), QStringLiteral("pw"));
        QVERIFY(in);
        QVERIFY(in->pass.isNull() && in->traloiibimat.isNull());
        QCOMPARE(d->player(QStringLiteral("AN"))->sotien, QStringLiteral("1200"));
        db::AccountUpdate u = d->payFee(QStringLiteral("an"), db::LockWait::NoWait);
        QCOMPARE(u.status, db::WriteStatus::Done);
        QCOMPARE(u.stored->sotien, QStringLiteral("200"));
        QCOMPARE(u.stored->solan, QStringLiteral("1"));
        const int n = d->questionCount(QuestionTable::Muc3);
        QVERIFY(n > 0);
        QVERIFY(d->questionAt(QuestionTable::Muc3, n - 1).has_value());
        QVERIFY(d->answeredQuestionFrom(QuestionTable::Thuthach, 0).has_value());
        QCOMPARE(d->lastId(QuestionTable::Muc1), teacher->lastId(QuestionTable::Muc1));
        QVERIFY(d->readLock().has_value());

        // What one game cannot end with is refused, and changes nothing; the
        // winnings it claims are not the server's concern: nothing was won.
        db::LockRow lock;
        lock.hienten = QStringLiteral("1");
        const struct {
            qint64 minutes;
            const char *switchValue;
        } refused[] = {{5, "0"}, {-1, "0"}, {1, "7"}};
        for (const auto &r : refused) {
            db::LockRow bad = lock;
            bad.hiencode = QLatin1String(r.switchValue);
            u = d->endGame(QStringLiteral("an"), {QStringLiteral("100 000$"), {}, r.minutes}, bad, db::LockWait::NoWait);
            QVERIFY2(u.status == db::WriteStatus::Failed, r.switchValue);
        }
        u = d->endGame(QStringLiteral("an"), {QStringLiteral("100 000$"), {}, 1}, lock, db::LockWait::NoWait);
        QVERIFY2(u.status == db::WriteStatus::Done, qPrintable(d->lastError()));
        QCOMPARE(u.stored->sotien, QStringLiteral("200"));
        QCOMPARE(u.stored->phut, QStringLiteral("1"));
        // One end per fee: a second is refused, however it is made.
        QCOMPARE(d->endGame(QStringLiteral("an"), {QStringLiteral("100 000$"), {}, 1}, lock).status, db::WriteStatus::Failed);
        QCOMPARE(d->endGame(QStringLiteral("an"), {QStringLiteral("1000"), {}, 1}, lock).status, db::WriteStatus::Failed);
        QCOMPARE(teacher->findAccount(QStringLiteral("an"))->sotien, QStringLiteral("200"));
        // The switches are the teacher's: a pupil's end leaves them.
        QCOMPARE(teacher->readLock()->hienten, QStringLiteral("0"));
        const QList<db::Account> top = d->topFive();
        QCOMPARE(top.size(), 2);
        QCOMPARE(top[0].nick, QStringLiteral("Binh"));
        QVERIFY(top[0].pass.isNull() && top[1].pass.isNull());

        // Plain SQL on the pupil's connection reaches no table and no helper.
        for (const char *sql : {"SELECT pass FROM hoso", "UPDATE hoso SET sotien = '99999999'",
                                "UPDATE \"lock\" SET hiencode = '1'", "DELETE FROM hoso", "DELETE FROM muc1",
                                "DROP TABLE hoso", "SELECT * FROM lontaris_sessions", "INSERT INTO lontaris_fees VALUES ('x', 1)",
                                "SELECT lontaris_session('x')", "CREATE TABLE mine (x int)",
                                "SELECT * FROM lontaris_logins", "DELETE FROM lontaris_logins",
                                "SELECT lontaris_wrong('binh', 'x')",
                                "CREATE OR REPLACE FUNCTION lontaris_money(t text) RETURNS numeric LANGUAGE sql AS 'SELECT 1'"}) {
            QVERIFY2(!testkit::execAll(*d, {QLatin1String(sql)}), sql);
        }
        QCOMPARE(teacher->findAccount(QStringLiteral("binh"))->sotien, QStringLiteral("5000"));
        QCOMPARE(teacher->accountCount(), 2);
        // Pelmaro on the pupil's role says where the bank is edited, and ends.
        QList<ui::MessageRequest> told;
        int ended = 0;
        EditorServices services;
        services.db = d.get();
        services.message = [&](QWidget *, const ui::MessageRequest &m) {
            told << m;
            return QMessageBox::Ok;
        };
        services.endProgram = [&] { ++ended; };
        EditorApp editor(std::move(services));
        editor.start();
        QCOMPARE(ended, 1);
        QCOMPARE(told.size(), 1);
        QVERIFY(told[0].text.contains(QStringLiteral("máy của giáo viên")));
    }

    void aPupilsCommandLineSaysWhereTheBankIsEditedAndTouchesNothing()
    {
        const QString pelmaro = QCoreApplication::applicationDirPath() + QStringLiteral("/pelmaro");
        if (!QFile::exists(pelmaro))
            QSKIP("pelmaro is not built");
        const QString owner = fresh();
        const auto teacher = opened(owner);
        QVERIFY(teacher);
        QVERIFY(asPupil(owner));
        const QString pupil = QString(owner).replace(QLatin1String("//postgres@"), QLatin1String("//pupil1@"));
        const int before = teacher->questionCount(QuestionTable::Muc1);
        QTemporaryDir dir;
        const QString csv = dir.filePath(QStringLiteral("in.csv")), out = dir.filePath(QStringLiteral("out.csv"));
        QFile in(csv);
        QVERIFY(in.open(QIODevice::WriteOnly));
        in.write("cauhoi,A,B,C,D,traloi\nNew?,1,2,3,4,A\n");
        in.close();
        testkit::ProgramFolder file;
        QVERIFY(db::GameDb(file.path()).open().usable());
        const QString copied = dir.filePath(QStringLiteral("copy.db"));
        const QList<QStringList> runs = {{"--database", pupil, "--import", "muc1", csv},
                                         {"--database", pupil, "--export", "muc1", out},
                                         {"--copy", pupil, copied},
                                         {"--copy", file.dbPath(), pupil}};
        for (const QStringList &args : runs) {
            QProcess p;
            p.start(pelmaro, args);
            QVERIFY(p.waitForFinished(60000));
            const QString err = QString::fromUtf8(p.readAllStandardError());
            QCOMPARE(p.exitCode(), 1);
            QVERIFY2(err.contains(QStringLiteral("edited from the teacher's machine")), qPrintable(err));
            QVERIFY2(!err.contains(QStringLiteral("permission denied")), qPrintable(err));
        }
        // The figures of the answers are the teacher's too: the window's words.
        QProcess stats;
        stats.start(pelmaro, {"--database", pupil, "--stats", out});
        QVERIFY(stats.waitForFinished(60000));
        QCOMPARE(stats.exitCode(), 1);
        const QString said = QString::fromUtf8(stats.readAllStandardError());
        QVERIFY2(said.contains(QStringLiteral("máy của giáo viên")), qPrintable(said));
        QCOMPARE(teacher->questionCount(QuestionTable::Muc1), before);
        QVERIFY(!QFile::exists(out) && !QFile::exists(copied));
    }

    // The teacher's role (no superuser) copies a file in: the game's own tables
    // are analysed, a table of another schema is not, and nothing but the
    // copy's own lines is printed.
    void aCopyToTheTeachersServerAnalysesOnlyTheGamesTablesQuietly()
    {
        const QString pelmaro = QCoreApplication::applicationDirPath() + QStringLiteral("/pelmaro");
        if (!QFile::exists(pelmaro))
            QSKIP("pelmaro is not built");
        const QString name = QStringLiteral("db%1").arg(m_next + 1);
        const QString owner = QString(fresh()).replace(QLatin1String("//postgres@"), QLatin1String("//teacher@"));
        QVERIFY(m_server.exec(QStringLiteral("postgres"),
                              {QStringLiteral("DO $$ BEGIN CREATE ROLE teacher LOGIN; EXCEPTION WHEN duplicate_object THEN "
                                              "NULL; END $$"),
                               QStringLiteral("ALTER DATABASE %1 OWNER TO teacher").arg(name)}));
        QVERIFY(m_server.exec(name, {QStringLiteral("CREATE SCHEMA other"), QStringLiteral("CREATE TABLE other.notes (t text)")}));
        testkit::ProgramFolder file;
        QVERIFY(db::GameDb(file.path()).open().usable());
        QProcess p;
        p.start(pelmaro, {QStringLiteral("--copy"), file.dbPath(), owner});
        QVERIFY(p.waitForFinished(120000));
        const QString err = QString::fromUtf8(p.readAllStandardError());
        const QStringList out = QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QVERIFY2(p.exitCode() == 0 && err.isEmpty(), qPrintable(err));
        for (const QString &line : out)
            QVERIFY2(line.startsWith(QLatin1String("Cop")) || line.startsWith(QLatin1String("  ")), qPrintable(line));
        const QString analysed = QStringLiteral("SELECT count(*) FROM pg_stat_user_tables WHERE relname = '%1' "
                                                "AND last_analyze IS NOT NULL");
        QCOMPARE(m_server.value(name, analysed.arg(QLatin1String("muc1"))), QStringLiteral("1"));
        QCOMPARE(m_server.value(name, analysed.arg(QLatin1String("notes"))), QStringLiteral("0"));
    }

    void theTeacherReadsTheRecordedAnswersAPupilNone()
    {
        // The answers and games as the server's verdicts keep them; the
        // fingerprint made by the server's own SQL.
        const QString owner = fresh();
        const auto teacher = opened(owner);
        QVERIFY(teacher);
        const QString fingerprint = QStringLiteral(
            "left(encode(sha256(convert_to(concat_ws(chr(31), coalesce(cauhoi,''), coalesce(a,''), coalesce(b,''), "
            "coalesce(c,''), coalesce(d,'')), 'UTF8')), 'hex'), 16)");
        QVERIFY(m_server.exec(
            QStringLiteral("db%1").arg(m_next),
            {QStringLiteral("CREATE TABLE IF NOT EXISTS lontaris_answers (tbl text, qid integer, fingerprint text, correct "
                            "integer, fifty integer, phone integer, audience integer, seconds real, answered timestamptz, "
                            "nick text)"),
             QStringLiteral("CREATE TABLE IF NOT EXISTS lontaris_games (nick text, started timestamptz, rung integer)"),
             QStringLiteral("INSERT INTO lontaris_answers (tbl, qid, fingerprint, correct, fifty, phone, audience, seconds, "
                            "answered, nick) SELECT 'muc1', id, %1, v.correct, 1, 0, v.audience, v.seconds, now(), v.nick "
                            "FROM muc1, (VALUES (1, 0, 4.0, 'an'), (0, 1, 8.0, 'binh')) AS v(correct, audience, seconds, "
                            "nick) WHERE id = 2")
                 .arg(fingerprint),
             QStringLiteral("INSERT INTO lontaris_games (game, account, nick, started, rung) VALUES "
                            "('g1', 1, 'an', now(), 3), ('g2', 1, 'an', now(), 7), ('g3', 2, 'binh', now(), 0)")}));
        const auto muc1 = db::questionFigures(*teacher, QuestionTable::Muc1);
        QVERIFY(muc1 && muc1->size() > 2);
        const db::QuestionFigures &q2 = muc1->at(1);
        QCOMPARE(QList<qint64>({q2.question.id, q2.asked, q2.right, q2.fifty, q2.phone, q2.audience}),
                 QList<qint64>({2, 2, 1, 2, 0, 1}));
        QVERIFY(!q2.changed); // the server's digits are the client's
        QCOMPARE(q2.averageSeconds().value_or(-1), 6.0);
        QVERIFY(db::keepsPupils(*teacher));
        const auto pupils = db::pupilFigures(*teacher);
        QVERIFY(pupils && pupils->size() == 2);
        QCOMPARE(QList<qint64>({pupils->at(0).games, pupils->at(0).answered, pupils->at(0).right, pupils->at(0).highestRung}),
                 QList<qint64>({2, 1, 1, 7}));
        QCOMPARE(pupils->at(1).nick, QStringLiteral("binh"));

        // A pupil's role reads none of it.
        QVERIFY(asPupil(owner));
        const auto pupil = asPupil(owner);
        QVERIFY(!db::answerTally(*pupil) && !db::pupilFigures(*pupil) && !db::questionFigures(*pupil, QuestionTable::Muc1));

        const auto tally = db::answerTally(*teacher);
        QVERIFY(tally && tally->count == 2);
        QCOMPARE(db::clearAnswers(*teacher, *tally).value_or(-1), 2);
        QCOMPARE(db::answerTally(*teacher)->count, 0);
    }

    void aDatabaseOfTheEarlierProgramsIsMadeReadyByTheTeachersRole()
    {
        const QString owner = fresh();
        QVERIFY(opened(owner));
        asPupil(owner); // the pupils' role exists
        // As the earlier programs left it: no functions, passwords as typed.
        QVERIFY(m_server.exec(QStringLiteral("db%1").arg(m_next),
                              {QStringLiteral("DROP FUNCTION lontaris_api_4()"), QStringLiteral("DROP TRIGGER hoso_pass ON hoso"),
                               QStringLiteral("INSERT INTO hoso (nick, pass, nickkey, sotien) VALUES ('Old', 'pw', 'old', '1200')")}));
        db::GameDb early{QString()};
        early.setLocation(QString(owner).replace(QLatin1String("//postgres@"), QLatin1String("//pupil1@")));
        const db::OpenResult r = early.open();
        QCOMPARE(r.status, db::OpenStatus::Damaged);
        QVERIFY2(r.detail.contains(QLatin1String("teacher's role")), qPrintable(r.detail));
        const auto teacher = opened(owner);
        QVERIFY(teacher);
        QVERIFY(teacher->findAccount(QStringLiteral("old"))->pass.startsWith(QLatin1String("$2a$")));
        const auto d = asPupil(owner);
        QVERIFY(d);
        QVERIFY(d->logIn(QStringLiteral("OLD"), QStringLiteral("pw")));
    }

    void aServerPreparedByANewerProgramAsksThisOneToUpdate()
    {
        const QString owner = fresh();
        QVERIFY(opened(owner));
        asPupil(owner);
        // As a later program leaves it: its own version's mark, this one's gone.
        QVERIFY(m_server.exec(QStringLiteral("db%1").arg(m_next),
                              {QStringLiteral("DROP FUNCTION lontaris_api_4()"),
                               QStringLiteral("CREATE FUNCTION lontaris_api_5() RETURNS integer LANGUAGE sql AS 'SELECT 5'"),
                               QStringLiteral("GRANT EXECUTE ON FUNCTION lontaris_api_5() TO lontaris_pupil")}));
        for (const QLatin1String role : {QLatin1String("//pupil1@"), QLatin1String("//postgres@")}) {
            db::GameDb d{QString()};
            d.setLocation(QString(owner).replace(QLatin1String("//postgres@"), role));
            const db::OpenResult r = d.open();
            QCOMPARE(r.status, db::OpenStatus::Damaged);
            QVERIFY2(r.detail.contains(QLatin1String("update Lontaris")), qPrintable(r.detail));
        }
        // The teacher's older program left the newer functions as they were.
        QCOMPARE(m_server.value(QStringLiteral("db%1").arg(m_next),
                                QStringLiteral("SELECT to_regprocedure('lontaris_api_4()') IS NULL "
                                               "AND to_regprocedure('lontaris_api_5()') IS NOT NULL")),
                 QStringLiteral("true"));
    }

    void functionsOfAnEarlierRevisionAreMadeAnewByTheTeacher()
    {
        const QString owner = fresh();
        QVERIFY(opened(owner));
        const QString dbName = QStringLiteral("db%1").arg(m_next);
        const QString probe = QStringLiteral("SELECT lontaris_fingerprint('', '', '', '', '') || ' ' || "
                                             "(SELECT prosrc ~ 'regexp_match' FROM pg_proc WHERE proname = 'lontaris_money')");
        auto leave = [&](int revision) {
            return m_server.exec(dbName, {QStringLiteral("CREATE OR REPLACE FUNCTION lontaris_api_4() RETURNS integer "
                                                         "LANGUAGE sql IMMUTABLE AS 'SELECT %1'").arg(revision),
                                          QStringLiteral("CREATE OR REPLACE FUNCTION lontaris_fingerprint(p_cauhoi text, "
                                                         "p_a text, p_b text, p_c text, p_d text) RETURNS text "
                                                         "LANGUAGE sql IMMUTABLE AS 'SELECT ''left as it was'''"),
                                          QStringLiteral("CREATE OR REPLACE FUNCTION lontaris_money(t text) RETURNS numeric "
                                                         "LANGUAGE sql IMMUTABLE AS 'SELECT length(t)::numeric'")});
        };
        // A later revision's functions: the teacher's program leaves them.
        QVERIFY(leave(499));
        QVERIFY(opened(owner));
        QCOMPARE(m_server.value(dbName, probe), QStringLiteral("left as it was false"));
        // An earlier one's (the first of the version marked 4): a pupil's
        // machine goes on with them, the teacher's makes them anew.
        QVERIFY(leave(4));
        QVERIFY(asPupil(owner));
        QCOMPARE(m_server.value(dbName, probe), QStringLiteral("left as it was false"));
        QVERIFY(opened(owner));
        QCOMPARE(m_server.value(dbName, probe).size(), 16 + 5);
        QVERIFY(m_server.value(dbName, probe).endsWith(QLatin1String(" true")));
        QVERIFY(m_server.value(dbName, QStringLiteral("SELECT lontaris_api_4()")).toInt() > 4);
    }

    void hashedPasswordsLogInRecoverAndChange()
    {
        const QString owner = fresh();
        const auto teacher = opened(owner);
        QVERIFY(teacher);
        db::Account a = account(QStringLiteral("Lan"), QStringLiteral("1200"));
        a.ngaysinh = QStringLiteral("3/15/1990");
        a.cauhoibimat = QStringLiteral("q");
        a.traloiibimat = QStringLiteral("mèo");
        QVERIFY(teacher->insertAccount(a));
        QVERIFY(teacher->findAccount(QStringLiteral("lan"))->pass.startsWith(QLatin1String("$2a$")));
        const auto d = asPupil(owner);
        QVERIFY(d);
        QCOMPARE(d->nickTaken(QStringLiteral("LAN")), std::optional<QString>(QStringLiteral("Lan")));
        db::Account again = account(QStringLiteral("lAN"), QString());
        QCOMPARE(d->registerAccount(again), db::Registration::Taken);
        db::Account fresh = account(QStringLiteral("Minh"), QString());
        QCOMPARE(d->registerAccount(fresh), db::Registration::Made);
        QCOMPARE(fresh.sotien, QStringLiteral("1200"));
        QVERIFY(d->logIn(QStringLiteral("minh"), QStringLiteral("pw")));

        // The stored nick exactly, and every detail as stored.
        QCOMPARE(d->recoverPassword(QStringLiteral("lan"), a.ngaysinh, a.cauhoibimat, a.traloiibimat, QStringLiteral("n1")),
                 db::Recovery::Wrong);
        QCOMPARE(d->recoverPassword(QStringLiteral("Lan"), a.ngaysinh, a.cauhoibimat, QStringLiteral("meo"), QStringLiteral("n1")),
                 db::Recovery::Wrong);
        QVERIFY(d->logIn(QStringLiteral("Lan"), QStringLiteral("pw")));
        QCOMPARE(d->recoverPassword(QStringLiteral("Lan"), a.ngaysinh, a.cauhoibimat, a.traloiibimat, QStringLiteral("n1")),
                 db::Recovery::Changed);
        // The server drew the password it set (not the one offered), and
        // draws another at the next recovery.
        const QString drawn = d->recoveredPassword();
        QVERIFY2(QRegularExpression(QStringLiteral("^[a-hjkmnp-z2-9]{10}$")).match(drawn).hasMatch(), qPrintable(drawn));
        QCOMPARE(d->recoverPassword(QStringLiteral("Lan"), a.ngaysinh, a.cauhoibimat, a.traloiibimat, QStringLiteral("n1")),
                 db::Recovery::Changed);
        QVERIFY(d->recoveredPassword() != drawn);
        QVERIFY(!d->logIn(QStringLiteral("Lan"), QStringLiteral("pw")) && !d->logIn(QStringLiteral("Lan"), QStringLiteral("n1")));
        QVERIFY(!d->changePassword(QStringLiteral("Lan"), drawn, QStringLiteral("n2")));
        QVERIFY(d->changePassword(QStringLiteral("Lan"), d->recoveredPassword(), QStringLiteral("n2")));
        QVERIFY(d->logIn(QStringLiteral("lan"), QStringLiteral("n2")));
        QVERIFY(teacher->findAccount(QStringLiteral("lan"))->pass.startsWith(QLatin1String("$2a$")));

        // Back in a file the hashes keep working, beside the file's plain passwords.
        testkit::ProgramFolder folder;
        const QString file = folder.path() + QStringLiteral("/back.db");
        QVERIFY(db::copyInstallation(owner, file).ok);
        const auto f = opened(file);
        QVERIFY(f->logIn(QStringLiteral("LAN"), QStringLiteral("n2")));
        QVERIFY(!f->logIn(QStringLiteral("LAN"), QStringLiteral("n1")));
        QVERIFY(f->changePassword(QStringLiteral("lan"), QStringLiteral("n2"), QStringLiteral("plain")));
        QCOMPARE(f->findAccount(QStringLiteral("lan"))->pass, QStringLiteral("plain"));
        QVERIFY(f->logIn(QStringLiteral("lan"), QStringLiteral("plain")));
    }
    void aGameEndWhoseAnswerIsLostIsSettledNotGuessed()
    {
        const QString location = fresh();
        const QString name = QStringLiteral("db%1").arg(m_next);
        QVERIFY(opened(location));
        QVERIFY(m_server.exec(name, {QStringLiteral("ALTER ROLE postgres PASSWORD 'p@ss/w:rd'")}));
        Relay relay(m_server.port());
        const auto d = opened(m_server.tcpUrl(name, QStringLiteral("postgres"), QStringLiteral("p@ss/w:rd"), relay.port()));
        QVERIFY(d);
        db::Account a = account(QStringLiteral("an"), QStringLiteral("1200"));
        QVERIFY(d->insertAccount(a));
        QVERIFY(d->logIn(QStringLiteral("an"), QStringLiteral("pw")));
        QCOMPARE(d->payFee(QStringLiteral("an"), db::LockWait::NoWait).status, db::WriteStatus::Done);
        relay.cutAfter("lontaris_end_game"); // the call of the game's end
        const db::AccountUpdate u = d->endGame(QStringLiteral("an"), {QString(), {}, 1}, db::LockRow(),
                                               db::LockWait::NoWait);
        QVERIFY(relay.cut());
        // Asked again on a new connection, under its key: the server had it,
        // and the minute is counted once.
        QCOMPARE(u.status, db::WriteStatus::Done);
        QCOMPARE(u.stored->phut, QStringLiteral("1"));
        QVERIFY(!d->outcomeUnknown());
        QCOMPARE(d->findAccount(QStringLiteral("an"))->phut, QStringLiteral("1"));
    }
    void addressesNeverShowThePassword_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("shown"); // what display() or displayLocation() gives
        QTest::addColumn<QString>("host");  // "-": refused
        QTest::addColumn<QString>("password");
        QTest::newRow("in the user part") << "postgresql://u:Pw1@h:5433/db" << "postgresql://u@h:5433/db" << "h" << "Pw1";
        QTest::newRow("as a setting") << "postgresql://u@h/db?sslmode=require&password=Pw1"
                                      << "postgresql://u@h/db?sslmode=require" << "h" << "Pw1";
        QTest::newRow("setting, encoded") << "postgresql://u@h/db?password=P%26w%3D1" << "postgresql://u@h/db" << "h" << "P&w=1";
        QTest::newRow("the @ encoded with the password") << "postgresql://lontaris:Pw1%40host:55432/db"
                                                         << "postgresql://lontaris@host:55432/db" << "host" << "Pw1";
        QTest::newRow("@ in the password, encoded") << "postgresql://u:a%40b@h/db" << "postgresql://u@h/db" << "h" << "a@b";
        QTest::newRow("@ in the password, plain") << "postgresql://u:a@b@h/db" << "postgresql://u@h/db" << "h" << "a@b";
        QTest::newRow("no @, the password taken for a host") << "postgresql://u:Pw1/db" << "postgresql://***" << "-" << "";
        QTest::newRow("no database") << "postgresql://u:Pw1@h" << "postgresql://***" << "-" << "";
        QTest::newRow("bad setting after the password") << "postgresql://u@h/db?password=Pw1&x=;"
                                                         << "postgresql://***/db" << "-" << "";
        QTest::newRow("IPv6") << "postgresql://u:Pw1@[::1]:5433/db" << "postgresql://u@[::1]:5433/db" << "::1" << "Pw1";
        QTest::newRow("@ in the password and in the database name") << "postgresql://u:a@b@h/d@b" << "postgresql://u@h/d@b"
                                                                   << "h" << "a@b";
        QTest::newRow(": and @ in the password") << "postgresql://u:a:b@c@h/db" << "postgresql://u@h/db" << "h" << "a:b@c";
        QTest::newRow("setting holding an @") << "postgresql://u@h/db?password=a@b" << "postgresql://u@h/db" << "h" << "a@b";
        QTest::newRow("IPv6, no port, @ in the password") << "postgresql://u:p@w@[::1]/db" << "postgresql://u@[::1]/db"
                                                         << "::1" << "p@w";
        QTest::newRow("IPv6 without brackets") << "postgresql://u:Pw1@::1/db" << "postgresql://***/db" << "-" << "";
        QTest::newRow("socket folder") << "postgresql://u:Pw1@/run/postgresql/db" << "postgresql://u@/run/postgresql/db"
                                       << "/run/postgresql" << "Pw1";
        QTest::newRow("a slash in the password, plain") << "postgresql://user:pa/Pw1@host/db" << "postgresql://user@host/db"
                                                        << "host" << "pa/Pw1";
        QTest::newRow("setting's name encoded") << "postgresql://u@h/db?pass%77ord=Pw1&sslmode=require"
                                                << "postgresql://u@h/db?sslmode=require" << "h" << "Pw1";
        QTest::newRow("setting's name in capitals") << "postgresql://u@h/db?PASSWORD=Pw1" << "postgresql://u@h/db" << "h" << "Pw1";
        QTest::newRow("the client key's password") << "postgresql://u@h/db?sslmode=require&ssl%70assword=Pw1"
                                                   << "postgresql://u@h/db?sslmode=require" << "h" << "";
        QTest::newRow("a ? in the password, plain") << "postgresql://u:a?Pw1@h/db" << "postgresql://***" << "-" << "";
        QTest::newRow("a bad setting's name holding the password") << "postgresql://u@h/db?Pw1%3D=x"
                                                                   << "postgresql://***/db" << "-" << "";
    }
    void addressesNeverShowThePassword()
    {
        QFETCH(QString, address);
        QFETCH(QString, shown);
        QFETCH(QString, host);
        QFETCH(QString, password);
        QString why;
        const auto a = db::ServerAddress::parse(address, &why);
        QCOMPARE(a.has_value(), host != QLatin1String("-"));
        QCOMPARE(db::displayLocation(address), shown);
        QVERIFY(!shown.contains(QLatin1String("Pw1")) && (password.isEmpty() || !shown.contains(password)));
        QVERIFY2(!why.contains(QLatin1String("Pw1")), qPrintable(why));
        if (!a)
            return;
        QCOMPARE(a->host, host);
        QCOMPARE(a->password, password);
        QCOMPARE(a->display(), shown);
        QVERIFY(!a->scrub(address).contains(QLatin1String("Pw1"))); // every secret, however written
        if (!password.isEmpty())
            QCOMPARE(a->scrub(QStringLiteral("failed for %1 and %2").arg(password, QString::fromUtf8(QUrl::toPercentEncoding(password)))),
                     QStringLiteral("failed for *** and ***"));
    }
};

QTEST_MAIN(TestServerRoles)
#include "test_serverroles.moc"
