// The statistics window and `pelmaro --stats`: a table's figures as recorded,
// sorted by a column, a question's whole text on selection, figures kept with
// their question through the editor's removal and renumbering, the clear
// after a confirmation naming its count; the file's header, mark and exit codes.

#include "answerstats.h"
#include "editorharness.h"
#include "statsmodel.h"
#include "statsview.h"

#include <QProcess>
#include <QTableView>
#include <QTextEdit>
#include <QTemporaryDir>

using db::QuestionTable;

namespace {

// `times` answers to question `line` (0-based) of table t as it is now, the
// first `right` of them right.
void answered(EditorHarness &h, QuestionTable t, int line, int times, int right)
{
    const db::Question q = h.rows(t).at(line);
    for (int i = 0; i < times; ++i) {
        db::AnswerRecord r;
        r.table = t;
        r.qid = q.id;
        r.fingerprint = db::questionFingerprint(q);
        r.correct = i < right;
        r.phone = i == 0;
        r.seconds = 2.0 * (i + 1);
        r.answered = QDateTime::currentDateTimeUtc();
        r.nick = QStringLiteral("an");
        QVERIFY(db::recordAnswer(*h.database, r));
    }
}

QString cell(const QAbstractItemModel *m, int row, int column)
{
    return m->index(row, column).data().toString();
}

} // namespace

class StatsTest : public QObject {
    Q_OBJECT
private slots:
    void theWindowShowsSortsAndKeepsFiguresWithTheirQuestion();
    void theCommandLineWritesTheFigures();
};

void StatsTest::theWindowShowsSortsAndKeepsFiguresWithTheirQuestion()
{
    EditorHarness h;
    if (h.database->isServer())
        QSKIP("a server's verdicts record its answers");
    h.fill(QuestionTable::Muc2, 5);
    answered(h, QuestionTable::Muc2, 1, 4, 3); // question 2: 4 asked, 3 right
    answered(h, QuestionTable::Muc2, 3, 2, 0); // question 4: 2 asked, both wrong

    EditorForm *f = h.form();
    chooseOption(f, 2);
    testkit::click(button(f, "Stats"));
    auto *view = f->findChild<StatsView *>(QStringLiteral("frmThongKe"));
    QVERIFY(view && view->isVisible());
    auto *table = testkit::child<QTableView>(view, QStringLiteral("figures"));
    const QAbstractItemModel *m = table->model();
    using C = stats::QuestionFiguresModel;
    QCOMPARE(m->rowCount(), 5);
    QCOMPARE(QStringList({cell(m, 1, C::Asked), cell(m, 1, C::Right), cell(m, 1, C::Wrong), cell(m, 1, C::Share),
                          cell(m, 1, C::Phone), cell(m, 1, C::Seconds)}),
             QStringList({"4", "3", "1", "75,0", "1", "5,0"}));

    // Most wrong first; the selected question's whole text below.
    table->sortByColumn(C::Wrong, Qt::DescendingOrder);
    QCOMPARE(cell(m, 0, C::Id), QStringLiteral("4"));
    table->selectRow(0);
    const QString text = testkit::child<QTextEdit>(view, QStringLiteral("questionText"))->toPlainText();
    QVERIFY2(text.startsWith(QStringLiteral("Câu hỏi số 4\nA. Đáp án A4")), qPrintable(text));

    // The editor removes question 1 and renumbers: 2 becomes 1, 4 becomes 3.
    QVERIFY(h.database->deleteAndRenumber(QuestionTable::Muc2, 1));
    testkit::click(button(f, "Stats"));
    QCOMPARE(m->rowCount(), 4);
    QCOMPARE(QStringList({cell(m, 0, C::Id), cell(m, 0, C::Asked), cell(m, 2, C::Id), cell(m, 2, C::Wrong)}),
             QStringList({"1", "4", "3", "2"}));
    // An edit in place keeps the figures, marked.
    QVERIFY(h.database->execute(QStringLiteral("UPDATE muc2 SET cauhoi = 'Khaùc' WHERE ID = 3")));
    view->refresh();
    QCOMPARE(cell(m, 2, C::Id), QStringLiteral("* 3"));
    QCOMPARE(cell(m, 2, C::Asked), QStringLiteral("2"));

    // The clear names how many answers go; No keeps them, Yes empties.
    h.answers = {QMessageBox::No};
    testkit::click(button(view, "ClearStats"));
    QVERIFY2(h.lastMessage().contains(QStringLiteral("6 câu trả lời")), qPrintable(h.lastMessage()));
    QCOMPARE(cell(m, 0, C::Asked), QStringLiteral("4"));
    h.answers = {QMessageBox::Yes};
    testkit::click(button(view, "ClearStats"));
    QVERIFY2(h.lastMessage().contains(QStringLiteral("Đã xoá số liệu của 6 câu trả lời")), qPrintable(h.lastMessage()));
    for (int i = 0; i < m->rowCount(); ++i)
        QCOMPARE(cell(m, i, C::Asked), QStringLiteral("0"));
}

void StatsTest::theCommandLineWritesTheFigures()
{
    const QString pelmaro = QCoreApplication::applicationDirPath() + QStringLiteral("/pelmaro");
    if (!QFile::exists(pelmaro))
        QSKIP("pelmaro is not built");
    EditorHarness h;
    if (h.database->isServer())
        QSKIP("a server's verdicts record its answers");
    h.fill(QuestionTable::Muc3, 3);
    answered(h, QuestionTable::Muc3, 2, 3, 1);
    QTemporaryDir dir;
    const QString location = h.location.isEmpty() ? h.folder.dbPath() : h.location;
    auto run = [&](const QStringList &args) {
        QProcess p;
        p.start(pelmaro, QStringList{QStringLiteral("--database"), location} + args);
        p.waitForFinished(60000);
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    };
    const QString out = dir.filePath(QStringLiteral("stats.csv"));
    QCOMPARE(run({"--stats", out}), 0);
    QFile file(out);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray written = file.readAll();
    QVERIFY(written.startsWith("\xEF\xBB\xBF" "table,id,question,asked,right,wrong,fifty,phone,audience,seconds,"));
    const QList<QByteArray> lines = written.split('\n');
    QCOMPARE(lines.size(), 3); // the header, one question, the end
    QCOMPARE(lines[1], QStringLiteral("muc3,3,Câu hỏi số 3,3,1,2,0,1,0,4.0,33.3,0\r").toUtf8());

    QCOMPARE(run({"--stats", "/dev/full"}), 1);
    QCOMPARE(run({"--stats", out, "--export", "muc1", out}), 2);
    QCOMPARE(run({"--stats"}), 2);
}

QTEST_MAIN(StatsTest)
#include "test_stats.moc"
