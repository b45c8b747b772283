// Question tables as CSV files: the reader's edge cases, the round trip of the
// shipped tables, files as spreadsheets write them, every fault reported with
// nothing written, the window's buttons and the command line.

#include "csvbank.h"
#include "csvfile.h"
#include "editorharness.h"
#include "pgserver.h"

#include <QBuffer>
#include <QFile>
#include <QMessageBox>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <sys/mount.h>

using db::QuestionTable;
using csv::Reader;
using Kind = csvbank::FaultKind;
using Outcome = csvbank::ImportResult::Outcome;

namespace {

QList<QStringList> readAll(const QByteArray &bytes, Reader::Trouble &trouble, char &sep)
{
    QBuffer buf;
    buf.setData(bytes);
    buf.open(QIODevice::ReadOnly);
    Reader r(buf);
    QList<QStringList> out;
    Reader::Result res;
    while ((res = r.next()) == Reader::Result::Record)
        out.append(r.fields());
    trouble = r.trouble();
    sep = r.separator();
    return out;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// Imports `bytes` as a file into t, duplicates refusing it.
csvbank::ImportResult importBytes(EditorHarness &h, QuestionTable t, const QByteArray &bytes)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("in.csv"));
    writeFile(file, bytes);
    return csvbank::importFile(*h.database, t, file, false);
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The stored columns of each row, in order.
QList<QStringList> texts(const QList<db::Question> &rows)
{
    QList<QStringList> out;
    for (const db::Question &q : rows)
        out.append({q.cauhoi, q.a, q.b, q.c, q.d, q.traloi});
    return out;
}

QString vni(const QString &unicode)
{
    return vn::encode(unicode, vn::Encoding::Vni).value_or(QStringLiteral("?"));
}

// (row, column, kind) of every fault, to compare as a whole.
QStringList faultKeys(const QList<csvbank::Fault> &faults)
{
    QStringList out;
    for (const csvbank::Fault &f : faults)
        out << QStringLiteral("%1 %2 %3").arg(f.row).arg(f.column).arg(int(f.kind));
    return out;
}
QString key(qint64 row, const char *column, Kind kind)
{
    return QStringLiteral("%1 %2 %3").arg(row).arg(QLatin1String(column)).arg(int(kind));
}

} // namespace

class TestCsvBank : public QObject {
    Q_OBJECT
private slots:
    void readerEdgeCases_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QList<QStringList>>("records");
        QTest::addColumn<int>("trouble");
        QTest::addColumn<char>("separator");
        const int ok = int(Reader::Trouble::None);
        using L = QList<QStringList>;
        QTest::newRow("LF") << QByteArray("a,b\nc,d\n") << L{{"a", "b"}, {"c", "d"}} << ok << ',';
        QTest::newRow("CRLF, no last line end") << QByteArray("a,b\r\nc,d") << L{{"a", "b"}, {"c", "d"}} << ok << ',';
        QTest::newRow("CR") << QByteArray("a,b\rc,d\r") << L{{"a", "b"}, {"c", "d"}} << ok << ',';
        QTest::newRow("BOM, semicolons, comma in a value")
            << QByteArray("\xEF\xBB\xBF" "a;b\r\n1,5;x\r\n") << L{{"a", "b"}, {"1,5", "x"}} << ok << ';';
        QTest::newRow("more semicolons than commas in the header")
            << QByteArray("a;b;c,d\n") << L{{"a", "b", "c,d"}} << ok << ';';
        QTest::newRow("quoted separator and doubled quotes")
            << QByteArray("a,b\n\"x, y\",\"say \"\"hi\"\"\"\n") << L{{"a", "b"}, {"x, y", "say \"hi\""}} << ok << ',';
        QTest::newRow("quoted line breaks kept as they are")
            << QByteArray("a,b\n\"l1\r\nl2\",\"m1\nm2\"\r\n") << L{{"a", "b"}, {"l1\r\nl2", "m1\nm2"}} << ok << ',';
        QTest::newRow("empty fields, empty quoted field, blank line")
            << QByteArray("a,b,c\n,\"\",\n\n") << L{{"a", "b", "c"}, {"", "", ""}, {""}} << ok << ',';
        QTest::newRow("quote inside an unquoted field") << QByteArray("a\nab\"c\n") << L{{"a"}, {"ab\"c"}} << ok << ',';
        QTest::newRow("UTF-8 Vietnamese")
            << QByteArray("cauhoi\nTh\xe1\xbb\xa7 \xc4\x91\xc3\xb4\n") << L{{"cauhoi"}, {QStringLiteral("Thủ đô")}} << ok << ',';
        const L none;
        QTest::newRow("empty file") << QByteArray() << none << int(Reader::Trouble::Empty) << ',';
        QTest::newRow("only a BOM") << QByteArray("\xEF\xBB\xBF") << none << int(Reader::Trouble::Empty) << ',';
        QTest::newRow("quote never closed")
            << QByteArray("a\n\"abc\n") << L{{"a"}} << int(Reader::Trouble::OpenQuote) << ',';
        QTest::newRow("text after a closing quote")
            << QByteArray("a\n\"ab\"c\n") << L{{"a"}} << int(Reader::Trouble::StrayQuote) << ',';
        QTest::newRow("Latin-1, not UTF-8") << QByteArray("a\ncaf\xe9\n") << L{{"a"}} << int(Reader::Trouble::NotUtf8) << ',';
        QTest::newRow("overlong UTF-8") << QByteArray("a\n\xC0\xAF\n") << L{{"a"}} << int(Reader::Trouble::NotUtf8) << ',';
        QTest::newRow("overlong UTF-8, three bytes")
            << QByteArray("a\n\xE0\x80\xAF\n") << L{{"a"}} << int(Reader::Trouble::NotUtf8) << ',';
        QTest::newRow("overlong UTF-8, four bytes")
            << QByteArray("a\n\xF0\x80\x80\xAF\n") << L{{"a"}} << int(Reader::Trouble::NotUtf8) << ',';
        QTest::newRow("UTF-16") << QByteArray("\xFF\xFE" "a\0" "\n\0", 6) << none << int(Reader::Trouble::NotUtf8) << ',';
        QTest::newRow("NUL byte") << QByteArray("a\nb\0c\n", 6) << L{{"a"}} << int(Reader::Trouble::NotText) << ',';
        QTest::newRow("a workbook") << QByteArray("PK\x03\x04\x14\0", 6) << none << int(Reader::Trouble::NotText) << ',';
        QTest::newRow("tabs") << QByteArray("a\tb\n1\t2\n") << none << int(Reader::Trouble::TabSeparated) << ',';
    }
    void readerEdgeCases()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QList<QStringList>, records);
        QFETCH(int, trouble);
        QFETCH(char, separator);
        Reader::Trouble got = Reader::Trouble::None;
        char sep = 0;
        QCOMPARE(readAll(bytes, got, sep), records);
        QCOMPARE(int(got), trouble);
        if (trouble == int(Reader::Trouble::None))
            QCOMPARE(sep, separator);
    }

    void writerQuotesOnlyWhatNeedsItAndReadsBack()
    {
        const QStringList fields = {"plain", "a,b", "say \"hi\"", "l1\r\nl2", "", QStringLiteral("Hà Nội"), "\r"};
        const QByteArray line = csv::Writer::line(fields);
        QCOMPARE(line, QByteArray("plain,\"a,b\",\"say \"\"hi\"\"\",\"l1\r\nl2\",,H\xc3\xa0 N\xe1\xbb\x99i,\"\r\"\r\n"));
        Reader::Trouble t;
        char sep;
        QCOMPARE(readAll(line, t, sep), QList<QStringList>{fields});
    }

    void roundTripIsByteExact()
    {
        EditorHarness h;
        QTemporaryDir dir;
        // The trash holds texts a spreadsheet must quote: separators, quotes,
        // stored line breaks, and Vietnamese.
        QList<db::Question> trash;
        trash << EditorHarness::question(1, QStringLiteral("Caâu \"moät\", hai;\r\nba"))
              << EditorHarness::question(2, vni(QStringLiteral("Đâu là thủ đô của Việt Nam?")));
        trash[1].traloi = QStringLiteral("DABC");
        h.database->beginWrite();
        h.setRows(QuestionTable::Thungrac, trash);
        h.database->commit();
        for (QuestionTable t : db::kAllQuestionTables) {
            const QList<db::Question> before = h.rows(t);
            QVERIFY(!before.isEmpty());
            const QString file = dir.filePath(db::tableName(t) + QStringLiteral(".csv"));
            const csvbank::ExportResult out = csvbank::exportFile(*h.database, t, file);
            QVERIFY2(out.ok, qPrintable(out.problem));
            QCOMPARE(out.rows, before.size());
            QVERIFY(out.inexact.isEmpty());
            const QByteArray bytes = readFile(file);
            QVERIFY(bytes.startsWith("\xEF\xBB\xBF" "cauhoi,A,B,C,D,traloi\r\n"));
            if (t != QuestionTable::Thungrac) { // CR LF ends each record, and nothing else breaks a line
                QCOMPARE(bytes.count("\r\n"), before.size() + 1);
                QCOMPARE(bytes.count('\n'), before.size() + 1);
            }

            h.setRows(t, {});
            const csvbank::ImportResult in = csvbank::importFile(*h.database, t, file, false);
            QCOMPARE(int(in.outcome), int(Outcome::Imported));
            QCOMPARE(in.written, before.size());
            const QList<db::Question> after = h.rows(t);
            QCOMPARE(texts(after), texts(before));
            QCOMPARE(h.ids(t), EditorHarness::range(before.size()));
            QVERIFY(std::none_of(after.cbegin(), after.cend(), [](const db::Question &q) { return q.selected; }));

            const QString again = file + QStringLiteral(".again");
            QVERIFY(csvbank::exportFile(*h.database, t, again).ok);
            QCOMPARE(readFile(again), bytes);
        }
    }

    void filesAsSpreadsheetsWriteThem_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        // A Vietnamese-locale sheet: BOM, semicolons, CR LF, the columns in
        // another order with a topic, a question with a line break in it.
        QTest::newRow("semicolons, BOM, line break")
            << QByteArray("\xEF\xBB\xBF" "Topic;CAUHOI;traloi;A;B;C;D\r\n"
                          "ls;\"S\xC3\xB4ng n\xC3\xA0o\r\nd\xC3\xA0i nh\xe1\xba\xa5t?\";B;H\xe1\xbb\x93ng;\"M\xC3\xAA K\xC3\xB4ng\";\xC4\x90\xC3\xA0;C\xe1\xba\xa3\r\n"
                          ";;;;;;\r\n"
                          "x;\"Hai, ba?\";D;1;2;3;\"\"\"4\"\"\"\r\n");
        // Excel's "CSV UTF-8": BOM, commas, CR LF.
        QTest::newRow("commas, BOM")
            << QByteArray("\xEF\xBB\xBF" "cauhoi,A,B,C,D,traloi\r\n"
                          "\"S\xC3\xB4ng n\xC3\xA0o\r\nd\xC3\xA0i nh\xe1\xba\xa5t?\",H\xe1\xbb\x93ng,M\xC3\xAA K\xC3\xB4ng,\xC4\x90\xC3\xA0,C\xe1\xba\xa3,B\r\n"
                          "\"Hai, ba?\",1,2,3,\"\"\"4\"\"\",D\r\n");
        // An online sheet: no BOM, LF.
        QTest::newRow("commas, LF")
            << QByteArray("cauhoi,A,B,C,D,traloi\n"
                          "\"S\xC3\xB4ng n\xC3\xA0o\r\nd\xC3\xA0i nh\xe1\xba\xa5t?\",H\xe1\xbb\x93ng,M\xC3\xAA K\xC3\xB4ng,\xC4\x90\xC3\xA0,C\xe1\xba\xa3,B\n"
                          "\"Hai, ba?\",1,2,3,\"\"\"4\"\"\",D\n");
    }
    void filesAsSpreadsheetsWriteThem()
    {
        QFETCH(QByteArray, bytes);
        EditorHarness h;
        const qsizetype before = h.rows(QuestionTable::Muc2).size();
        const csvbank::ImportResult r = importBytes(h, QuestionTable::Muc2, bytes);
        QCOMPARE(int(r.outcome), int(Outcome::Imported));
        QCOMPARE(r.rows, 2);
        QCOMPARE(r.firstId, before + 1);
        const QList<db::Question> rows = h.rows(QuestionTable::Muc2);
        QCOMPARE(rows.size(), before + 2);
        QCOMPARE(texts(rows.mid(before)),
                 (QList<QStringList>{{vni(QStringLiteral("Sông nào\r\ndài nhất?")), vni(QStringLiteral("Hồng")),
                                      vni(QStringLiteral("Mê Kông")), vni(QStringLiteral("Đà")), vni(QStringLiteral("Cả")),
                                      "B"},
                                     {"Hai, ba?", "1", "2", "3", "\"4\"", "D"}}));
        QCOMPARE(rows.last().id, before + 2);
    }

    void everyFaultIsReportedAndNothingWritten()
    {
        EditorHarness h;
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("faults.csv"));
        // The shipped muc1's second question, in other letter case and spacing.
        const QString known = vn::decode(h.rows(QuestionTable::Muc1).at(1).cauhoi, vn::Encoding::Vni);
        const QByteArray tooLong(256, 'x');
        // A question may hold commas and quotes: a spreadsheet quotes it.
        auto quoted = [](QString text) { return '"' + text.replace(QLatin1Char('"'), QStringLiteral("\"\"")).toUtf8() + '"'; };
        writeFile(file, "cauhoi,A,B,C,D,traloi,topic\n"
                        "Good one?,1,2,3,4,A,t\n"           // 2: fine
                        "Short row?,1,2\n"                  // 3: C, D, traloi missing
                        ",1,2,3,4,B\n"                      // 4: empty question
                        "Blank?,1,   ,3,4,E\n"              // 5: blank B, E
                        "Lower?,1,2,3,4,a\n"                // 6: lower-case letter
                        "Long?,1," + tooLong + ",3,4,C\n"   // 7: too long
                        "Euro \xe2\x82\xac?,1,2,3,4,D\n"    // 8: a character VNI cannot hold
                        + quoted(known.toUpper() + QLatin1Char(' ')) + ",1,2,3,4,A\n" // 9: in the table already
                        "good ONE?,1,2,3,4,A\n"             // 10: the same as row 2
                        "Extra?,1,2,3,4,A,t,more\n"        // 11: a value past the seven columns
                        "Fits?,1," + QByteArray(255, 'y') + ",3,4,B\n"); // 12: fine
        const QList<db::Question> before = h.rows(QuestionTable::Muc1);
        const csvbank::ImportResult r = csvbank::importFile(*h.database, QuestionTable::Muc1, file, true);
        QCOMPARE(int(r.outcome), int(Outcome::Refused));
        QCOMPARE(faultKeys(r.faults),
                 (QStringList{key(3, "C", Kind::Missing), key(3, "D", Kind::Missing), key(3, "traloi", Kind::Missing),
                              key(4, "cauhoi", Kind::Empty), key(5, "B", Kind::Empty), key(5, "traloi", Kind::NotALetter),
                              key(6, "traloi", Kind::NotALetter), key(7, "B", Kind::TooLong),
                              key(8, "cauhoi", Kind::Unstorable), key(9, "cauhoi", Kind::Duplicate),
                              key(10, "cauhoi", Kind::Duplicate), key(11, "8", Kind::TooWide)}));
        QCOMPARE(r.rows, 11);
        QCOMPARE(r.duplicates, 2);
        QCOMPARE(r.faultyRows, 7);
        QCOMPARE(texts(h.rows(QuestionTable::Muc1)), texts(before));
        // What the lines say: the character named as the compose form names it,
        // the row or ID a duplicate repeats.
        auto line = [&](int i) { return csvbank::describe(r.faults.at(i), QuestionTable::Muc1, csvbank::Language::English); };
        QCOMPARE(line(7), QStringLiteral("row 7, column B: too long: 256 characters as stored (a letter with marks takes "
                                         "two), the column holds 255"));
        QVERIFY2(line(8).startsWith(QStringLiteral("row 8, column cauhoi: the character \u201C\u20AC\u201D (U+20AC)")),
                 qPrintable(line(8)));
        QCOMPARE(line(9), QStringLiteral("row 9, column cauhoi: the question is in muc1 already (ID 2)"));
        QCOMPARE(line(10), QStringLiteral("row 10, column cauhoi: the same question as row 2"));

        // The qualifying round wants an order of ABCD, the trash either.
        writeFile(file, "cauhoi,A,B,C,D,traloi\nQ1?,1,2,3,4,ABCC\nQ2?,1,2,3,4,B\nQ3?,1,2,3,4,CDAB\n");
        QCOMPARE(faultKeys(csvbank::checkFile(*h.database, QuestionTable::Thuthach, file).faults),
                 (QStringList{key(2, "traloi", Kind::NotAnOrder), key(3, "traloi", Kind::NotAnOrder)}));
        QCOMPARE(faultKeys(csvbank::checkFile(*h.database, QuestionTable::Thungrac, file).faults),
                 QStringList{key(2, "traloi", Kind::NotEither)});

        // Only duplicates: refused, or the rest imported when asked.
        writeFile(file, "cauhoi,A,B,C,D,traloi\nNew?,1,2,3,4,A\n" + quoted(known) + ",1,2,3,4,B\n");
        QCOMPARE(int(csvbank::importFile(*h.database, QuestionTable::Muc1, file, false).outcome), int(Outcome::Refused));
        QCOMPARE(h.rows(QuestionTable::Muc1).size(), before.size());
        const csvbank::ImportResult rest = csvbank::importFile(*h.database, QuestionTable::Muc1, file, true);
        QCOMPARE(int(rest.outcome), int(Outcome::Imported));
        QCOMPARE(rest.written, 1);
        QCOMPARE(h.rows(QuestionTable::Muc1).last().cauhoi, QStringLiteral("New?"));
    }

    void aWideRowOrManyFaultsStayBounded()
    {
        EditorHarness h;
        // A row of a million cells is one fault: the cells past the seventh
        // are counted, not kept.
        const QByteArray wide = "cauhoi,A,B,C,D,traloi\nQ?,1,2,3,4,A" + QByteArray(1000000 - 6, ',') + "x\n";
        csvbank::ImportResult r = importBytes(h, QuestionTable::Muc1, wide);
        QCOMPARE(int(r.outcome), int(Outcome::Refused));
        QCOMPARE(faultKeys(r.faults), QStringList{key(2, "8", Kind::TooWide)});
        QVERIFY(csvbank::describe(r.faults.first(), QuestionTable::Muc1, csvbank::Language::English)
                    .startsWith(QStringLiteral("row 2, column 8: the row has 1000000 cells")));

        // A hundred faults are told, then how many more.
        QByteArray many = "cauhoi,A,B,C,D,traloi\n";
        for (int i = 0; i < 150; ++i)
            many += "Q" + QByteArray::number(i) + "?,1,2,3,4,E\n";
        r = importBytes(h, QuestionTable::Muc1, many);
        QCOMPARE(r.faults.size(), 100);
        QCOMPARE(r.faultCount, 150);
        QCOMPARE(r.faultyRows, 150);
        const QStringList lines = csvbank::faultLines(r, QuestionTable::Muc1, csvbank::Language::English);
        QCOMPARE(lines.size(), 101);
        QCOMPARE(lines.last(), QStringLiteral("\u2026 and 50 more"));
    }

    void anExportToAFullDiskSaysSoAndLeavesTheFile()
    {
        EditorHarness h;
        csvbank::ExportResult r = csvbank::exportFile(*h.database, QuestionTable::Muc1, QStringLiteral("/dev/full"));
        QVERIFY(!r.ok);
        QVERIFY2(r.diskFull, qPrintable(r.problem));
        // A folder on a full disk (a tiny memory disk, where the tests may
        // mount one): the file there stays as it was.
        QTemporaryDir dir;
        const QByteArray at = QFile::encodeName(dir.path());
        if (::mount("tmpfs", at.constData(), "tmpfs", 0, "size=16k") != 0)
            return;
        const auto unmount = qScopeGuard([&] { ::umount2(at.constData(), MNT_DETACH); });
        const QString file = dir.filePath(QStringLiteral("muc1.csv"));
        writeFile(file, "kept");
        r = csvbank::exportFile(*h.database, QuestionTable::Muc1, file);
        QVERIFY(!r.ok);
        QVERIFY2(r.diskFull, qPrintable(r.problem));
        QCOMPARE(readFile(file), QByteArray("kept"));
    }

    void filesThatAreNoQuestionFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("says");
        using K = csvbank::FileProblem::Kind;
        QTest::newRow("empty") << QByteArray("\n\n") << int(K::Empty) << "empty";
        QTest::newRow("header only") << QByteArray("cauhoi,A,B,C,D,traloi\r\n,,,,,\r\n") << int(K::NoRows) << "no questions";
        QTest::newRow("unknown column") << QByteArray("cauhoi,A,B,C,D,traloi,ghichu\nq,1,2,3,4,A,x\n") << int(K::Header)
                                        << "not have: ghichu";
        QTest::newRow("missing and twice") << QByteArray("cauhoi,A,A,C,D\n") << int(K::Header) << "lacks B, traloi";
        QTest::newRow("not UTF-8") << QByteArray("cauhoi,A,B,C,D,traloi\ncaf\xe9,1,2,3,4,A\n") << int(K::NotUtf8)
                                   << "not UTF-8 text (row 2)";
        QTest::newRow("a header of nine columns") << QByteArray("cauhoi,A,B,C,D,traloi,topic,x,y\nq,1,2,3,4,A\n")
                                                  << int(K::TooManyFields) << "The header row has 9 columns";
    }
    void filesThatAreNoQuestionFiles()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, kind);
        QFETCH(QString, says);
        EditorHarness h;
        const qsizetype before = h.rows(QuestionTable::Muc3).size();
        const csvbank::ImportResult r = importBytes(h, QuestionTable::Muc3, bytes);
        QCOMPARE(int(r.outcome), int(Outcome::BadFile));
        QCOMPARE(int(r.problem.kind), kind);
        const QString text = csvbank::describe(r.problem, csvbank::Language::English);
        QVERIFY2(text.contains(says), qPrintable(text));
        QCOMPARE(h.rows(QuestionTable::Muc3).size(), before);
    }

    void windowShowsWhatItFoundAndAsksFirst()
    {
        EditorHarness h;
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("in.csv"));
        h.chooseFile = [&](bool save, const QString &) { return save ? dir.filePath(QStringLiteral("out")) : file; };
        EditorForm *f = h.form();
        chooseOption(f, 4); // thuthach
        const qsizetype before = h.rows(QuestionTable::Thuthach).size();
        // The shipped first prompt, quoted as a spreadsheet writes it (a prompt may hold commas).
        QString known = vn::decode(h.rows(QuestionTable::Thuthach).at(0).cauhoi, vn::Encoding::Vni);
        known = '"' + known.replace(QLatin1Char('"'), QStringLiteral("\"\"")) + '"';
        writeFile(file, "cauhoi,A,B,C,D,traloi\nXếp?,1,2,3,4,DCBA\n" + known.toUtf8() + ",1,2,3,4,ABDC\n");
        h.answers = {QMessageBox::No};
        testkit::click(button(f, "ImportCsv"));
        QCOMPARE(h.messages.size(), 1);
        QCOMPARE(h.messages.last().icon, QMessageBox::Question);
        QVERIFY2(h.lastMessage().contains(QStringLiteral("có 2 câu hỏi cho bảng thuthach: 0 dòng có lỗi, 1 câu hỏi trùng")),
                 qPrintable(h.lastMessage()));
        QVERIFY(h.lastMessage().contains(QStringLiteral("Dòng 3, cột cauhoi: câu hỏi đã có trong bảng thuthach (ID 1)")));
        QCOMPARE(h.rows(QuestionTable::Thuthach).size(), before); // No: nothing written

        h.answers = {QMessageBox::Yes};
        testkit::click(button(f, "ImportCsv"));
        QCOMPARE(h.rows(QuestionTable::Thuthach).size(), before + 1);
        QVERIFY2(h.lastMessage().contains(QStringLiteral("Đã nhập 1 câu hỏi vào bảng thuthach (ID %1 đến %1)").arg(before + 1)),
                 qPrintable(h.lastMessage()));
        // The list shows the table again, the new question last.
        QVERIFY(testkit::widget(f, QStringLiteral("Picture1"))->isVisible());
        QCOMPARE(lineCount(f), before + 1);
        QCOMPARE(listLines(f).last(), QStringLiteral("Xếp?"));

        // A file with faults is only reported.
        writeFile(file, "cauhoi,A,B,C,D,traloi\nXếp lại?,1,2,3,4,ABC\n");
        h.messages.clear();
        testkit::click(button(f, "ImportCsv"));
        QCOMPARE(h.messages.size(), 1);
        QCOMPARE(h.messages.last().buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QVERIFY(h.lastMessage().contains(QStringLiteral("Dòng 2, cột traloi: \u201CABC\u201D không phải một thứ tự")));
        QCOMPARE(h.rows(QuestionTable::Thuthach).size(), before + 1);

        // Export: the suffix is added, the file holds the table.
        testkit::click(button(f, "ExportCsv"));
        QVERIFY2(h.lastMessage().contains(QStringLiteral("Đã xuất %1 câu hỏi của bảng thuthach ra tệp out.csv").arg(before + 1)),
                 qPrintable(h.lastMessage()));
        QVERIFY(readFile(dir.filePath(QStringLiteral("out.csv"))).endsWith("Xếp?,1,2,3,4,DCBA\r\n"));
    }

    void commandLine()
    {
        const QString pelmaro = QCoreApplication::applicationDirPath() + QStringLiteral("/pelmaro");
        if (!QFile::exists(pelmaro))
            QSKIP("pelmaro is not built");
        EditorHarness h;
        QTemporaryDir dir;
        const QString location = h.location.isEmpty() ? h.folder.dbPath() : h.location;
        auto run = [&](const QStringList &args, QString &err) {
            QProcess p;
            p.start(pelmaro, args + QStringList{QStringLiteral("--database"), location});
            p.waitForFinished(60000);
            err = QString::fromUtf8(p.readAllStandardError());
            return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        };
        QString err;
        const QString file = dir.filePath(QStringLiteral("muc3.csv"));
        QCOMPARE(run({"--export", "muc3", file}, err), 0);
        QVERIFY2(err.contains(QStringLiteral("Exported %1 questions of muc3").arg(h.rows(QuestionTable::Muc3).size())),
                 qPrintable(err));
        QCOMPARE(run({"--export", "muc3", "/dev/full"}, err), 1);
        QVERIFY2(err.contains(QStringLiteral("the disk is full")), qPrintable(err));
        // Into muc3 again: every row a duplicate, each said on its own line,
        // the first hundred, then how many more.
        const qsizetype rows = h.rows(QuestionTable::Muc3).size();
        QVERIFY(rows > 100);
        QCOMPARE(run({"--import", "muc3", file}, err), 1);
        QVERIFY2(err.startsWith(QStringLiteral("row 2, column cauhoi: the question is in muc3 already (ID 1)\n")),
                 qPrintable(err));
        const QStringList said = err.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(said.size(), 102);
        QCOMPARE(said.at(100), QStringLiteral("\u2026 and %1 more").arg(rows - 100));
        // Into the empty trash it lands.
        QCOMPARE(run({"--import", "THUNGRAC", file}, err), 0);
        QVERIFY2(err.contains(QStringLiteral("Imported %1 questions into thungrac (IDs 1 to %1).")
                                  .arg(h.rows(QuestionTable::Muc3).size())),
                 qPrintable(err));
        QCOMPARE(texts(h.rows(QuestionTable::Thungrac)), texts(h.rows(QuestionTable::Muc3)));
        // Misuse ends with 2 and changes nothing.
        for (const QStringList &args : {QStringList{"--import", "muc9", file}, QStringList{"--import", "muc1"},
                                        QStringList{"--export"}, QStringList{"--export", "muc1", file, "--import", "muc2"},
                                        QStringList{"--skip-duplicates", "--export", "muc1", file}})
            QCOMPARE(run(args, err), 2);
    }
};

QTEST_MAIN(TestCsvBank)
#include "test_csvbank.moc"
