#include "testsupport.h"
#include "vntext.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QSet>
#include <algorithm>
#include <QProcess>
#include <QSignalSpy>
#include <QSqlQuery>
#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

using db::QuestionTable;
using testkit::rawExec;
using testkit::sideFiles;

namespace {
QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
bool writeFile(const QString &path, const QByteArray &data)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}
// A sound database in rollback-journal mode, as another tool would leave it.
bool makeRollbackModeDatabase(const QString &programDir)
{
    db::GameDb d(programDir);
    if (!d.open().usable())
        return false;
    QSqlQuery(d.connection()).exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
    QSqlQuery mode(d.connection());
    return mode.exec(QStringLiteral("PRAGMA journal_mode=DELETE")) && mode.next()
           && mode.value(0).toString() == QLatin1String("delete");
}
// Makes a folder unwritable, for root too (root ignores permissions but not
// the immutable attribute). False when the platform cannot.
bool lockFolder(const QString &dir, bool locked)
{
    if (::geteuid() == 0)
        return QProcess::execute(QStringLiteral("chattr"), {QLatin1String(locked ? "+i" : "-i"), dir}) == 0;
    return QFile::setPermissions(dir, locked ? QFile::ReadOwner | QFile::ExeOwner
                                             : QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}
// Leaves in `to` a copy of `from`'s database caught in the middle of a write,
// with the hot journal a crash would leave behind.
bool copyWithHotJournal(const QString &from, const QString &to)
{
    return testkit::withRawConnection(from, [&](QSqlDatabase &c) {
        QSqlQuery s(c);
        // A tiny cache makes the write spill into the file before the commit.
        bool ok = s.exec(QStringLiteral("PRAGMA cache_size=2")) && s.exec(QStringLiteral("BEGIN"))
                  && s.exec(QStringLiteral("UPDATE muc1 SET cauhoi = 'changed', A = hex(randomblob(300))"));
        QDir().mkpath(QFileInfo(to).absolutePath());
        QFile::remove(to);
        QFile::remove(to + QStringLiteral("-journal"));
        ok = ok && QFileInfo(from + QStringLiteral("-journal")).size() > 0 && QFile::copy(from, to)
             && QFile::copy(from + QStringLiteral("-journal"), to + QStringLiteral("-journal"));
        s.exec(QStringLiteral("ROLLBACK"));
        return ok;
    });
}
db::Question q(const QString &text, qint64 id)
{
    db::Question r;
    r.id = id;
    r.cauhoi = text;
    r.a = QStringLiteral("A1");
    r.b = QStringLiteral("B1");
    r.c = QStringLiteral("C1");
    r.d = QStringLiteral("D1");
    r.traloi = QStringLiteral("A");
    return r;
}
} // namespace

class TestGameDb : public QObject {
    Q_OBJECT
private slots:
    void missingDatabaseIsMadeFromTheShippedDefault()
    {
        testkit::ProgramFolder folder;
        db::GameDb d(folder.path());
        QCOMPARE(d.open().status, db::OpenStatus::Created);
        QVERIFY(QFile::exists(folder.dbPath()));
        const auto lock = d.readLock();
        QVERIFY(lock.has_value());
        for (const QString &v : {lock->hienten, lock->thuthach, lock->hien19, lock->hiencode, lock->hienten1,
                                 lock->thuthach1, lock->hien191, lock->hiencode1})
            QCOMPARE(v, QStringLiteral("0"));
        QCOMPARE(d.accountCount(), 0);
        const int minimum[] = {40, 40, 40, 20, 0};
        int i = 0;
        for (QuestionTable t : db::kAllQuestionTables) {
            const auto rows = d.questions(t);
            QVERIFY2(rows.size() >= minimum[i++], qPrintable(db::tableName(t)));
            for (qsizetype k = 0; k < rows.size(); ++k) {
                QCOMPARE(rows[k].id, k + 1); // IDs 1..N in record order
                QCOMPARE(rows[k].selected, rows[k].id < 100);
            }
            if (!rows.isEmpty())
                QCOMPARE(d.lastId(t), std::optional<qint64>(rows.size()));
        }
        // Opening again finds it as it is.
        db::GameDb again(folder.path());
        QCOMPARE(again.open().status, db::OpenStatus::Opened);
    }

    void shippedBankIsStoredAsVniAndEveryTextSurvives()
    {
        for (QuestionTable t : {QuestionTable::Muc1, QuestionTable::Muc2, QuestionTable::Muc3, QuestionTable::Thuthach}) {
            QFile f(QStringLiteral(":/questions/%1.tsv").arg(db::tableName(t)));
            QVERIFY(f.open(QIODevice::ReadOnly));
            const auto source = db::parseQuestionFile(QString::fromUtf8(f.readAll()));
            const auto stored = db::shippedQuestions(t);
            QCOMPARE(stored.size(), source.size());
            QSet<QString> seen;
            for (qsizetype i = 0; i < source.size(); ++i) {
                for (const QString &text : {source[i].cauhoi, source[i].a, source[i].b, source[i].c, source[i].d}) {
                    QVERIFY2(vn::firstUnencodable(text, vn::Encoding::Vni).isNull(), qPrintable(text));
                    QVERIFY(!text.isEmpty());
                }
                QCOMPARE(vn::decode(stored[i].cauhoi, vn::Encoding::Vni), source[i].cauhoi.normalized(QString::NormalizationForm_C));
                QVERIFY2(!seen.contains(source[i].cauhoi), qPrintable(source[i].cauhoi));
                seen.insert(source[i].cauhoi);
                const QString ans = source[i].traloi;
                if (t == QuestionTable::Thuthach) {
                    QString sorted = ans;
                    std::sort(sorted.begin(), sorted.end());
                    QCOMPARE(sorted, QStringLiteral("ABCD"));
                } else {
                    QVERIFY2(ans.size() == 1 && QStringLiteral("ABCD").contains(ans), qPrintable(source[i].cauhoi));
                }
            }
        }
    }

    void questionFileKeepsSixFieldsAndIgnoresExtraColumns()
    {
        const auto rows = db::parseQuestionFile(QStringLiteral(
            "cauhoi\tA\tB\tC\tD\ttraloi\ttopic\n"
            "Một?\t1\t2\t3\t4\tB\tmaths\n"
            "# a comment\n"
            "Thiếu cột?\t1\t2\t3\tA\n"
            "Hai?\ta\tb\tc\td\tD\r\n"));
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows[0].cauhoi, QStringLiteral("Một?"));
        QCOMPARE(rows[0].traloi, QStringLiteral("B")); // the topic is not the answer
        QCOMPARE(rows[1].d, QStringLiteral("d"));
        QCOMPARE(rows[1].traloi, QStringLiteral("D"));
    }

    void nickLookupIsLiteralAndIgnoresLetterCase()
    {
        testkit::GameHarness h;
        for (const QString &nick : {QStringLiteral("O'Brien"), QStringLiteral("say \"hi\""), QStringLiteral("x'; DROP TABLE hoso; --"),
                                    QStringLiteral("Đức Anh")})
            h.addAccount(nick, QStringLiteral("pw"));
        QCOMPARE(h.database->findAccount(QStringLiteral("o'brien"))->nick, QStringLiteral("O'Brien"));
        QCOMPARE(h.database->findAccount(QStringLiteral("SAY \"HI\""))->nick, QStringLiteral("say \"hi\""));
        QCOMPARE(h.database->findAccount(QStringLiteral("x'; drop table hoso; --"))->nick,
                 QStringLiteral("x'; DROP TABLE hoso; --"));
        QCOMPARE(h.database->findAccount(QStringLiteral("ĐỨC ANH"))->nick, QStringLiteral("Đức Anh"));
        QVERIFY(!h.database->findAccount(QStringLiteral("' OR '1'='1")).has_value());
        QVERIFY(!h.database->findAccount(QStringLiteral("O'Brien ")).has_value()); // nothing trimmed
        QVERIFY(!h.database->findAccount(QString()).has_value());
        QCOMPARE(h.database->accountCount(), 4);
    }

    void theFirstRowWinsAndUpdatesTouchOnlyNamedColumns()
    {
        testkit::GameHarness h;
        const auto first = h.addAccount(QStringLiteral("lan"), QStringLiteral("one"), QStringLiteral("500"));
        h.addAccount(QStringLiteral("LAN"), QStringLiteral("two"), QStringLiteral("900"));
        QCOMPARE(h.database->findAccount(QStringLiteral("Lan"))->pass, QStringLiteral("one"));
        QVERIFY(h.database->updateAccount(QStringLiteral("lan"), {{QStringLiteral("sotien"), QStringLiteral("-500")},
                                                                  {QStringLiteral("solan"), QStringLiteral("1")}}));
        const auto a = h.database->findAccount(QStringLiteral("lan"));
        QCOMPARE(a->rowId, first.rowId);
        QCOMPARE(a->sotien, QStringLiteral("-500"));
        QCOMPARE(a->solan, QStringLiteral("1"));
        QCOMPARE(a->pass, QStringLiteral("one"));
        QCOMPARE(a->ngaysinh, QStringLiteral("3/15/1990"));
        // An unknown column is refused, nothing written.
        QVERIFY(!h.database->updateAccount(QStringLiteral("lan"), {{QStringLiteral("pass = 'x', sotien"), QStringLiteral("1")}}));
        QCOMPARE(h.database->findAccount(QStringLiteral("lan"))->pass, QStringLiteral("one"));
        QVERIFY(!h.database->updateAccount(QStringLiteral("nobody"), {{QStringLiteral("sotien"), QStringLiteral("1")}}));
    }

    void moneyIsTextThatSortsAsANumber()
    {
        testkit::GameHarness h;
        h.addAccount(QStringLiteral("a"), QStringLiteral("p"), QStringLiteral("900"));
        h.addAccount(QStringLiteral("b"), QStringLiteral("p"), QStringLiteral("10000"));
        h.addAccount(QStringLiteral("c"), QStringLiteral("p"), QStringLiteral("-500"));
        h.addAccount(QStringLiteral("d"), QStringLiteral("p"), QStringLiteral("abc"));
        h.addAccount(QStringLiteral("e"), QStringLiteral("p"), QStringLiteral("1200"));
        QCOMPARE(h.database->findAccount(QStringLiteral("d"))->sotien, QStringLiteral("abc"));
        QCOMPARE(h.database->findAccount(QStringLiteral("b"))->sotien, QStringLiteral("10000"));
        QStringList order;
        for (const auto &a : h.database->richestAccounts(5))
            order << a.nick;
        QCOMPARE(order, QStringList({"b", "e", "a", "d", "c"}));
        order.clear();
        for (const auto &a : h.database->accountsByMoney())
            order << a.nick;
        QCOMPARE(order, QStringList({"c", "d", "a", "e", "b"}));
    }

    void hugeAndEmptyTextsRoundTrip()
    {
        testkit::GameHarness h;
        const QString huge = QStringLiteral("Tôi'\"--;").repeated(1250); // 10,000 characters
        h.addAccount(huge, huge);
        h.addAccount(QStringLiteral("empty"), QString(QLatin1String("")));
        QCOMPARE(h.database->findAccount(huge)->pass, huge);
        const auto e = h.database->findAccount(QStringLiteral("empty"));
        QVERIFY(!e->pass.isNull());
        QVERIFY(e->pass.isEmpty());
        db::Question big = q(QString(10000, QChar(0xE2)), 1);
        QVERIFY(h.database->appendQuestion(QuestionTable::Thungrac, big));
        QCOMPARE(h.database->questionAt(QuestionTable::Thungrac, 0)->cauhoi, big.cauhoi);
    }

    void positionedReadsFollowIdOrder()
    {
        testkit::GameHarness h;
        for (const auto &row : h.database->questions(QuestionTable::Thungrac))
            h.database->deleteQuestionsWithId(QuestionTable::Thungrac, row.id);
        for (qint64 id : {3, 1, 2}) {
            auto r = q(QStringLiteral("q%1").arg(id), id);
            h.database->appendQuestion(QuestionTable::Thungrac, r);
        }
        QCOMPARE(h.database->questionAt(QuestionTable::Thungrac, 0)->cauhoi, QStringLiteral("q1"));
        QCOMPARE(h.database->questionAt(QuestionTable::Thungrac, 2)->cauhoi, QStringLiteral("q3"));
        QVERIFY(!h.database->questionAt(QuestionTable::Thungrac, 3).has_value());
        QVERIFY(!h.database->questionAt(QuestionTable::Thungrac, -1).has_value());
        QCOMPARE(h.database->lastId(QuestionTable::Thungrac), std::optional<qint64>(3));
        QVERIFY(h.database->questionsByText(QuestionTable::Thungrac, QStringLiteral("Q2")).size() == 1);
        QVERIFY(h.database->questionsByText(QuestionTable::Thungrac, QStringLiteral("q2'")).isEmpty());
    }

    void renumberingMendsGapsAndDuplicatesInOneGo()
    {
        testkit::GameHarness h;
        const QuestionTable t = QuestionTable::Thungrac;
        for (qint64 id : {5, 5, 9, 12, 12, 40}) {
            auto r = q(QStringLiteral("id%1").arg(id), id);
            h.database->appendQuestion(t, r);
        }
        for (int i = 0; i < 294; ++i) {
            auto r = q(QStringLiteral("bulk%1").arg(i), 1000 + i);
            h.database->appendQuestion(t, r);
        }
        QVERIFY(h.database->renumber(t));
        const auto rows = h.database->questions(t);
        QCOMPARE(rows.size(), 300);
        for (qsizetype i = 0; i < rows.size(); ++i) {
            QCOMPARE(rows[i].id, i + 1);
            QCOMPARE(rows[i].selected, i + 1 < 100);
        }
        QCOMPARE(rows[2].cauhoi, QStringLiteral("id9"));
        QVERIFY(h.database->deleteAndRenumber(t, 3));
        const auto after = h.database->questions(t);
        QCOMPARE(after.size(), 299);
        QCOMPARE(after[2].cauhoi, QStringLiteral("id12"));
        QCOMPARE(after.last().id, 299);
    }

    void damagedFilesAreReportedAndLeftUntouched_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("text") << QByteArray("this is not a database\n");
        QTest::newRow("access file") << QByteArray("\x00\x01\x00\x00Standard Jet DB", 19).leftJustified(4096, '\0');
    }
    void damagedFilesAreReportedAndLeftUntouched()
    {
        QFETCH(QByteArray, content);
        testkit::ProgramFolder folder;
        QVERIFY(writeFile(folder.dbPath(), content));
        db::GameDb d(folder.path());
        const auto r = d.open();
        QCOMPARE(r.status, db::OpenStatus::Damaged);
        QVERIFY(!r.detail.isEmpty());
        QCOMPARE(readAll(folder.dbPath()), content);
    }

    void aPipeIsNeitherOpenedNorReplacedByACopy()
    {
        testkit::ProgramFolder folder;
        QVERIFY(QDir().mkpath(QFileInfo(folder.dbPath()).absolutePath()));
        const QByteArray fifo = QFile::encodeName(folder.dbPath());
        QVERIFY(::mkfifo(fifo.constData(), 0600) == 0);
        db::GameDb d(folder.path());
        const auto r = d.open(); // reading a pipe would wait for a writer for ever
        QCOMPARE(r.status, db::OpenStatus::Damaged);
        QVERIFY2(r.detail.contains(QStringLiteral("not a regular file")), qPrintable(r.detail));

        testkit::ProgramFolder source;
        QVERIFY(db::GameDb(source.path()).open().usable());
        const db::CopyResult copy = db::copyInstallation(source.dbPath(), folder.dbPath());
        QVERIFY(!copy.ok);
        QVERIFY2(copy.detail.contains(QStringLiteral("not a regular file")), qPrintable(copy.detail));
        struct stat st {};
        QVERIFY(::stat(fifo.constData(), &st) == 0 && S_ISFIFO(st.st_mode));
    }

    void truncatedOrIncompleteDatabasesAreDamaged()
    {
        testkit::ProgramFolder folder;
        {
            db::GameDb d(folder.path());
            QVERIFY(d.open().usable());
            QSqlQuery(d.connection()).exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
            QSqlQuery(d.connection()).exec(QStringLiteral("PRAGMA journal_mode=DELETE"));
        }
        const QByteArray whole = readAll(folder.dbPath());
        QVERIFY(whole.size() > 8192);
        const QByteArray half = whole.left(whole.size() / 2);
        QVERIFY(writeFile(folder.dbPath(), half));
        {
            db::GameDb d(folder.path());
            QCOMPARE(d.open().status, db::OpenStatus::Damaged);
        }
        QCOMPARE(readAll(folder.dbPath()), half);

        QVERIFY(writeFile(folder.dbPath(), whole));
        {
            db::GameDb d(folder.path());
            QVERIFY(d.open().usable());
            QVERIFY(QSqlQuery(d.connection()).exec(QStringLiteral("DROP TABLE thungrac")));
        }
        db::GameDb d(folder.path());
        const auto r = d.open();
        QCOMPARE(r.status, db::OpenStatus::Damaged);
        QVERIFY(r.detail.contains(QLatin1String("thungrac")));
    }

    void openingADamagedFileNeverWritesToIt_data() { testkit::twoCases("walMode", "rollback journal", "write-ahead log"); }
    void openingADamagedFileNeverWritesToIt()
    {
        // A table is missing: the file is refused, byte for byte as it was, and
        // no log or index file is left beside it.
        QFETCH(bool, walMode);
        testkit::ProgramFolder folder;
        QVERIFY(makeRollbackModeDatabase(folder.path()));
        QStringList change{QStringLiteral("DROP TABLE muc2")};
        if (walMode)
            change << QStringLiteral("PRAGMA journal_mode=WAL");
        QVERIFY(rawExec(folder.dbPath(), change));
        QCOMPARE(sideFiles(folder.dbPath()), QStringList());
        const QByteArray before = readAll(folder.dbPath());
        {
            db::GameDb d(folder.path());
            const auto r = d.open();
            QCOMPARE(r.status, db::OpenStatus::Damaged);
            QVERIFY(r.detail.contains(QLatin1String("muc2")));
            QVERIFY(!d.isOpen());
        }
        QCOMPARE(readAll(folder.dbPath()), before);
        QCOMPARE(sideFiles(folder.dbPath()), QStringList());
    }

    void anUnfinishedWriteIsRecoveredOnlyInASoundFile()
    {
        // A sound file whose last write was cut short: the journal puts it back.
        testkit::ProgramFolder source;
        QVERIFY(makeRollbackModeDatabase(source.path()));
        testkit::ProgramFolder crashed;
        QVERIFY(copyWithHotJournal(source.dbPath(), crashed.dbPath()));
        {
            db::GameDb d(crashed.path());
            QCOMPARE(d.open().status, db::OpenStatus::Opened);
            QVERIFY(!d.questions(QuestionTable::Muc1).isEmpty());
            QVERIFY(d.questionsByText(QuestionTable::Muc1, QStringLiteral("changed")).isEmpty());
        }
        // The same crash in a file that lacks a table: neither the file nor its
        // journal is touched.
        QVERIFY(rawExec(source.dbPath(), {QStringLiteral("DROP TABLE thungrac")}));
        testkit::ProgramFolder damaged;
        QVERIFY(copyWithHotJournal(source.dbPath(), damaged.dbPath()));
        const QByteArray file = readAll(damaged.dbPath());
        const QByteArray journal = readAll(damaged.dbPath() + QStringLiteral("-journal"));
        {
            db::GameDb d(damaged.path());
            QCOMPARE(d.open().status, db::OpenStatus::Damaged);
        }
        QCOMPARE(readAll(damaged.dbPath()), file);
        QCOMPARE(readAll(damaged.dbPath() + QStringLiteral("-journal")), journal);
    }

    void numbersHeldAsTextKeepEveryCharacter()
    {
        // Money and times are text: whatever is written is read back as written,
        // yet the board still orders by the number the text starts with.
        testkit::GameHarness h;
        const QString huge = QString(40, QLatin1Char('9'));
        const QStringList texts{huge, QStringLiteral("  7"), QStringLiteral("007"), QStringLiteral("1.0"),
                                QStringLiteral("1e3"), QStringLiteral("1 000$"), QString(QLatin1String("")),
                                QStringLiteral("12ab"), QStringLiteral("-500")};
        for (const QString &t : texts) {
            const QString nick = QStringLiteral("n") + QString::number(texts.indexOf(t));
            h.addAccount(nick, QStringLiteral("p"), t, t);
            QVERIFY(h.database->updateAccount(nick, {{QStringLiteral("gio"), t}, {QStringLiteral("phut"), t}}));
            const auto a = h.database->findAccount(nick);
            QCOMPARE(a->sotien, t);
            QCOMPARE(a->solan, t);
            QCOMPARE(a->gio, t);
            QCOMPARE(a->phut, t);
        }
        QCOMPARE(h.database->richestAccounts(1).value(0).sotien, huge);
        QCOMPARE(h.database->accountsByMoney().value(0).sotien, QStringLiteral("-500"));
    }

    void olderFilesWithNumericMoneyColumnsAreConverted()
    {
        // A file whose money and time columns have numeric affinity is rebuilt
        // with text columns on open: rows, their order and their values kept.
        testkit::ProgramFolder folder;
        {
            db::GameDb d(folder.path());
            QVERIFY(d.open().usable());
        }
        QVERIFY(rawExec(folder.dbPath(),
                        {QStringLiteral("DROP TABLE hoso"),
                         QStringLiteral("CREATE TABLE hoso (nick TEXT, pass TEXT, ngaysinh TEXT, mail TEXT, "
                                        "cauhoibimat TEXT, traloiibimat TEXT, sotien NUMERIC, solan NUMERIC, "
                                        "gio NUMERIC, phut NUMERIC)"),
                         QStringLiteral("INSERT INTO hoso (rowid, nick, pass, sotien) VALUES (7, 'Ann', 'first', '1200')"),
                         QStringLiteral("INSERT INTO hoso (rowid, nick, pass, sotien) VALUES (3, 'bob', 'b', 'x9')"),
                         QStringLiteral("INSERT INTO hoso (rowid, nick, pass, sotien) VALUES (9, 'ANN', 'second', '5')")}));
        db::GameDb d(folder.path());
        QCOMPARE(d.open().status, db::OpenStatus::Opened);
        QCOMPARE(d.findAccount(QStringLiteral("ANN"))->pass, QStringLiteral("first")); // rowid order kept
        QCOMPARE(d.findAccount(QStringLiteral("bob"))->sotien, QStringLiteral("x9"));
        QCOMPARE(d.accountCount(), 3);
        QVERIFY(d.updateAccount(QStringLiteral("bob"), {{QStringLiteral("sotien"), QStringLiteral("007")}}));
        QCOMPARE(d.findAccount(QStringLiteral("bob"))->sotien, QStringLiteral("007"));
        QCOMPARE(d.richestAccounts(1).value(0).pass, QStringLiteral("first"));
    }

    void aReadOnlyProgramFolderIsReadButNeverWritten()
    {
        testkit::ProgramFolder folder;
        {
            db::GameDb d(folder.path());
            QVERIFY(d.open().usable());
        }
        QCOMPARE(sideFiles(folder.dbPath()), QStringList());
        const QString dataDir = QFileInfo(folder.dbPath()).absolutePath();
        if (!lockFolder(dataDir, true))
            QSKIP("the folder cannot be made unwritable here");
        const auto restore = qScopeGuard([&] { lockFolder(dataDir, false); });
        const QByteArray before = readAll(folder.dbPath());
        {
            db::GameDb d(folder.path());
            QCOMPARE(d.open().status, db::OpenStatus::ReadOnly);
            QVERIFY(d.readLock().has_value());
            QVERIFY(!d.questions(QuestionTable::Muc1).isEmpty());
            db::Account a;
            a.nick = QStringLiteral("x");
            QVERIFY(!d.insertAccount(a));
        }
        QCOMPARE(readAll(folder.dbPath()), before);
    }

    void readOnlyFolderWithoutDatabaseCannotCreateIt()
    {
        testkit::ProgramFolder folder;
        const QString dataDir = folder.path() + QStringLiteral("/data");
        QDir().mkpath(dataDir);
        if (!lockFolder(dataDir, true))
            QSKIP("the folder cannot be made unwritable here");
        const auto restore = qScopeGuard([&] { lockFolder(dataDir, false); });
        db::GameDb d(folder.path());
        QCOMPARE(d.open().status, db::OpenStatus::CannotCreate);
        QVERIFY(!QFile::exists(folder.dbPath()));
    }

    void aPendingJournalInAReadOnlyFolderIsReadNotRefused()
    {
        // The unfinished write cannot be undone in place: the file is reported
        // as one that cannot be written, and read as it was before that write.
        testkit::ProgramFolder source;
        QVERIFY(makeRollbackModeDatabase(source.path()));
        testkit::ProgramFolder crashed;
        QVERIFY(copyWithHotJournal(source.dbPath(), crashed.dbPath()));
        const QString dataDir = QFileInfo(crashed.dbPath()).absolutePath();
        const QByteArray file = readAll(crashed.dbPath());
        if (!lockFolder(dataDir, true))
            QSKIP("the folder cannot be made unwritable here");
        const auto restore = qScopeGuard([&] { lockFolder(dataDir, false); });
        db::GameDb d(crashed.path());
        QCOMPARE(d.open().status, db::OpenStatus::ReadOnly);
        QVERIFY(!d.questions(QuestionTable::Muc1).isEmpty());
        QVERIFY(d.questionsByText(QuestionTable::Muc1, QStringLiteral("changed")).isEmpty());
        QCOMPARE(readAll(crashed.dbPath()), file);
    }

    void sideFilesOfAKilledFirstStartAreCleanedUp()
    {
        testkit::ProgramFolder folder;
        const QString dataDir = QFileInfo(folder.dbPath()).absolutePath();
        QDir().mkpath(dataDir);
        qint64 gone = 4000000;
        while (::kill(pid_t(gone), 0) == 0 || errno == EPERM)
            --gone;
        const QString dead = folder.dbPath() + QStringLiteral(".%1.gamedb-3.new").arg(gone);
        const QString live = folder.dbPath() + QStringLiteral(".%1.gamedb-9.new").arg(::getppid());
        QVERIFY(writeFile(dead, "half") && writeFile(dead + QStringLiteral("-journal"), "j") && writeFile(live, "x"));
        db::GameDb d(folder.path());
        QVERIFY(d.open().usable());
        QVERIFY(!QFile::exists(dead));
        QVERIFY(!QFile::exists(dead + QStringLiteral("-journal")));
        QVERIFY(QFile::exists(live)); // another program may still be building it
    }

    void aDamagedIndexIsFoundBeforeAnythingIsWritten()
    {
        // muc1's index holds 5 of its rows: quick_check passes such a file,
        // lookups through the index see a shorter table, deletes fail.
        testkit::ProgramFolder folder;
        {
            db::GameDb d(folder.path());
            QVERIFY(d.open().usable());
        }
        QVERIFY(rawExec(folder.dbPath(), {QStringLiteral("DROP INDEX muc1_id"),
                                          QStringLiteral("CREATE INDEX muc1_id ON muc1(ID) WHERE ID <= 5"),
                                          QStringLiteral("PRAGMA writable_schema=ON"),
                                          QStringLiteral("UPDATE sqlite_master SET sql = 'CREATE INDEX muc1_id ON muc1(ID)' "
                                                         "WHERE name = 'muc1_id'")}));
        const QByteArray before = readAll(folder.dbPath());
        db::GameDb d(folder.path());
        const db::OpenResult r = d.open();
        QString reported;
        d.setDamageHandler([&](const QString &detail) { reported = detail; });
        if (r.status != db::OpenStatus::Damaged) {
            QCOMPARE(d.waitForCheck(), db::CheckState::Damaged);
            QTRY_VERIFY(reported.contains(QLatin1String("muc1_id")));
            db::Account a;
            a.nick = QStringLiteral("x");
            QVERIFY(!d.insertAccount(a));
            QCOMPARE(d.addToAccount(QStringLiteral("x"), {QStringLiteral("1"), {}, 0}).status, db::WriteStatus::Failed);
            QVERIFY(!d.renumber(QuestionTable::Muc1));
        }
        QCOMPARE(readAll(folder.dbPath()), before);
    }

    void aHeldWriteLockIsWaitedOnlyWhenAsked()
    {
        testkit::ProgramFolder folder;
        db::GameDb game(folder.path()), other(folder.path());
        QVERIFY(game.open().usable() && other.open().usable());
        db::Account a = testkit::account(QStringLiteral("an"), QStringLiteral("1200"));
        QVERIFY(game.insertAccount(a));
        QVERIFY(other.beginWrite());
        const db::AccountDelta fee{QStringLiteral("-1000"), QStringLiteral("1"), 0};
        QCOMPARE(game.addToAccount(QStringLiteral("an"), fee, db::LockWait::NoWait).status, db::WriteStatus::Busy);
        QVERIFY(game.lastWriteWasBusy());
        other.rollback();
        const db::AccountUpdate u = game.addToAccount(QStringLiteral("an"), fee, db::LockWait::NoWait);
        QCOMPARE(u.status, db::WriteStatus::Done);
        QCOMPARE(u.stored->sotien, QStringLiteral("200"));
        QCOMPARE(u.stored->solan, QStringLiteral("1"));
    }

    void sessionsOfOneAccountAddUpInEitherOrder()
    {
        // Two windows of one account, each paying a fee and saving a game, in
        // both orders: every change lands on what the other one stored.
        for (bool aFirst : {true, false}) {
            testkit::ProgramFolder folder;
            db::GameDb a(folder.path()), b(folder.path());
            QVERIFY(a.open().usable() && b.open().usable());
            db::Account acc;
            acc.nick = QStringLiteral("Minh");
            acc.sotien = QStringLiteral("1200");
            acc.gio = QStringLiteral("1");
            acc.phut = QStringLiteral("50");
            QVERIFY(a.insertAccount(acc));
            const db::AccountDelta fee{QStringLiteral("-1000"), QStringLiteral("1"), 0};
            const db::AccountDelta winA{QStringLiteral("400"), {}, 7}, winB{QStringLiteral("12 000$"), {}, 15};
            db::GameDb &first = aFirst ? a : b, &second = aFirst ? b : a;
            QCOMPARE(first.addToAccount(QStringLiteral("minh"), fee).status, db::WriteStatus::Done);
            QCOMPARE(second.addToAccount(QStringLiteral("MINH"), fee).status, db::WriteStatus::Done);
            QCOMPARE(first.saveGameEnd(QStringLiteral("Minh"), aFirst ? winA : winB, db::LockRow()).status,
                     db::WriteStatus::Done);
            const db::AccountUpdate last =
                second.saveGameEnd(QStringLiteral("Minh"), aFirst ? winB : winA, db::LockRow());
            QCOMPARE(last.stored->sotien, QStringLiteral("11600"));
            QCOMPARE(last.stored->solan, QStringLiteral("2"));
            QCOMPARE(last.stored->gio, QStringLiteral("2"));
            QCOMPARE(last.stored->phut, QStringLiteral("12"));
            QCOMPARE(a.findAccount(QStringLiteral("Minh"))->sotien, QStringLiteral("11600"));
        }
    }

    void moneyThatCannotBeComputedExactlyIsNotWritten()
    {
        testkit::GameHarness h;
        h.addAccount(QStringLiteral("big"), QStringLiteral("p"), QStringLiteral("1e999999"));
        h.addAccount(QStringLiteral("odd"), QStringLiteral("p"), QStringLiteral("9999999999999999999"));
        const db::AccountDelta fee{QStringLiteral("-1000"), QStringLiteral("1"), 0};
        QCOMPARE(h.database->addToAccount(QStringLiteral("big"), fee).status, db::WriteStatus::Inexact);
        QCOMPARE(h.database->findAccount(QStringLiteral("big"))->sotien, QStringLiteral("1e999999"));
        QCOMPARE(h.database->addToAccount(QStringLiteral("odd"), fee).stored->sotien,
                 QStringLiteral("9999999999999999999").chopped(4) + QStringLiteral("8999"));
    }

    void theSwitchesAreWrittenToTheFirstRowOnly()
    {
        testkit::GameHarness h;
        QVERIFY(rawExec(h.folder.dbPath(), {QStringLiteral("DELETE FROM \"lock\"")}));
        db::LockRow on;
        on.hienten = QStringLiteral("1");
        QVERIFY(h.database->writeLock(on));
        QVERIFY(!h.database->readLock()); // no row is made up
    }

    void twoProgramsShareTheFile()
    {
        testkit::ProgramFolder folder;
        db::GameDb game(folder.path());
        QVERIFY(game.open().usable());
        db::GameDb editor(folder.path());
        QVERIFY(editor.open().usable());
        db::Account a;
        a.nick = QStringLiteral("p");
        a.pass = QStringLiteral("p");
        a.sotien = QStringLiteral("1");
        QVERIFY(game.insertAccount(a));
        // The game reads, the editor writes meanwhile, then the game writes.
        QVERIFY(game.findAccount(QStringLiteral("p")).has_value());
        QVERIFY(editor.renumber(QuestionTable::Muc1));
        QVERIFY(game.updateAccount(QStringLiteral("p"), {{QStringLiteral("sotien"), QStringLiteral("2")}}));
        QCOMPARE(editor.findAccount(QStringLiteral("p"))->sotien, QStringLiteral("2"));
        // A write transaction held by one blocks the other's until released, and
        // nothing is lost.
        QVERIFY(editor.beginWrite());
        QVERIFY(editor.deleteQuestionsWithId(QuestionTable::Muc1, 1));
        QVERIFY(editor.commit());
        QVERIFY(game.lastId(QuestionTable::Muc1).has_value());
    }
};

QTEST_MAIN(TestGameDb)
#include "test_gamedb.moc"
