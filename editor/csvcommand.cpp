// What the CSV import and export say, in English on the command line and in
// Vietnamese in the window, and the command line itself.

#include "csvbank.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace csvbank {

using db::QuestionTable;

namespace {

QString quoted(const QString &s)
{
    return QStringLiteral("\u201C%1\u201D").arg(s);
}

} // namespace

QString reason(const Fault &f, QuestionTable t, Language lang)
{
    const bool en = lang == Language::English;
    const auto say = [en](const QString &english, const QString &vietnamese) { return en ? english : vietnamese; };
    switch (f.kind) {
    case FaultKind::Missing:
        return say(QStringLiteral("missing: the row ends before this column"),
                   QStringLiteral("thiếu: dòng kết thúc trước cột này"));
    case FaultKind::Empty: return say(QStringLiteral("empty"), QStringLiteral("trống"));
    case FaultKind::NotALetter:
        return say(QStringLiteral("%1 is not one of the letters A, B, C, D"),
                   QStringLiteral("%1 không phải một trong các chữ A, B, C, D"))
            .arg(quoted(f.detail));
    case FaultKind::NotAnOrder:
        return say(QStringLiteral("%1 is not an order of the four letters A, B, C, D (such as DABC)"),
                   QStringLiteral("%1 không phải một thứ tự của bốn chữ A, B, C, D (ví dụ DABC)"))
            .arg(quoted(f.detail));
    case FaultKind::NotEither:
        return say(QStringLiteral("%1 is neither one of the letters A, B, C, D nor an order of all four"),
                   QStringLiteral("%1 không phải một chữ A, B, C, D, cũng không phải một thứ tự của cả bốn chữ"))
            .arg(quoted(f.detail));
    case FaultKind::TooLong:
        return say(QStringLiteral("too long: %1 characters as stored (a letter with marks takes two), the column "
                                  "holds %2"),
                   QStringLiteral("quá dài: %1 ký tự khi lưu (chữ có dấu chiếm hai), cột chỉ chứa được %2"))
            .arg(f.detail)
            .arg(db::kQuestionTextSize);
    case FaultKind::Unstorable:
        return say(QStringLiteral("the character %1 cannot be written in the question bank's VNI text"),
                   QStringLiteral("ký tự %1 không viết được bằng bảng mã VNI của ngân hàng câu hỏi"))
            .arg(f.detail);
    case FaultKind::Beyond:
        return say(QStringLiteral("a value in a column the header does not name"),
                   QStringLiteral("có giá trị ở cột mà dòng tiêu đề không đặt tên"));
    case FaultKind::TooWide:
        return say(QStringLiteral("the row has %1 cells; a row of a question file has at most 7 (cauhoi, A, B, C, D, "
                                  "traloi and topic)"),
                   QStringLiteral("dòng có %1 ô; một dòng của tệp câu hỏi có nhiều nhất 7 ô (cauhoi, A, B, C, D, "
                                  "traloi và topic)"))
            .arg(f.detail);
    case FaultKind::Duplicate:
        return f.id > 0 ? say(QStringLiteral("the question is in %1 already (ID %2)"),
                              QStringLiteral("câu hỏi đã có trong bảng %1 (ID %2)"))
                              .arg(db::tableName(t))
                              .arg(f.id)
                        : say(QStringLiteral("the same question as row %1"), QStringLiteral("trùng câu hỏi ở dòng %1"))
                              .arg(f.firstRow);
    case FaultKind::NotExact:
        return say(QStringLiteral("(ID %1) holds stored bytes that are no Vietnamese letter: an import of this file "
                                  "will not give it back byte for byte"),
                   QStringLiteral("(ID %1) có byte không phải chữ tiếng Việt: nhập lại tệp này sẽ không cho lại "
                                  "đúng từng byte"))
            .arg(f.id);
    }
    return QString();
}

QString describe(const Fault &f, QuestionTable t, Language lang)
{
    if (lang == Language::English)
        return QStringLiteral("row %1, column %2: %3").arg(f.row).arg(f.column, reason(f, t, lang));
    return QStringLiteral("Dòng %1, cột %2: %3").arg(f.row).arg(f.column, reason(f, t, lang));
}

QString describe(const FileProblem &p, Language lang)
{
    using K = FileProblem::Kind;
    const bool en = lang == Language::English;
    const QString columns = QStringLiteral("cauhoi, A, B, C, D, traloi");
    switch (p.kind) {
    case K::None: return QString();
    case K::CannotOpen:
        return en ? QStringLiteral("The file cannot be read: %1").arg(p.detail)
                  : QStringLiteral("Không đọc được tệp: %1").arg(p.detail);
    case K::Empty: return en ? QStringLiteral("The file is empty.") : QStringLiteral("Tệp trống, không có gì để nhập.");
    case K::NoRows:
        return en ? QStringLiteral("The file holds a header but no questions.")
                  : QStringLiteral("Tệp chỉ có dòng tiêu đề, không có câu hỏi nào.");
    case K::NotText:
        return en ? p.detail
                  : QStringLiteral("Tệp này không phải tệp CSV. Hãy lưu trang tính dưới dạng CSV rồi nhập lại.");
    case K::NotUtf8:
        return en ? p.detail
                  : QStringLiteral("Tệp không phải văn bản UTF-8 (dòng %1). Hãy lưu lại dưới dạng CSV UTF-8 "
                                   "(\u201CCSV UTF-8\u201D, hoặc bộ ký tự Unicode UTF-8) rồi nhập lại.")
                        .arg(p.row);
    case K::OpenQuote:
        return en ? p.detail
                  : QStringLiteral("Tệp không đúng dạng CSV: dấu ngoặc kép mở ở dòng %1 không được đóng lại.")
                        .arg(p.row);
    case K::StrayQuote:
        return en ? p.detail
                  : QStringLiteral("Tệp không đúng dạng CSV: ở dòng %1, sau dấu ngoặc kép đóng một ô còn có chữ.")
                        .arg(p.row);
    case K::FieldTooLong:
        return en ? p.detail
                  : QStringLiteral("Tệp không đúng dạng CSV: dòng %1 có một ô dài hơn một megabyte.").arg(p.row);
    case K::TooManyFields:
        return en ? QStringLiteral("The header row has %1 columns; a question file has no more than the columns %2 and "
                                   "topic.")
                        .arg(p.detail, columns)
                  : QStringLiteral("Dòng tiêu đề của tệp có %1 cột; tệp câu hỏi chỉ có các cột %2 và topic.")
                        .arg(p.detail, columns);
    case K::TabSeparated:
        return en ? p.detail
                  : QStringLiteral("Các cột của tệp được phân cách bằng dấu tab. Hãy lưu lại dưới dạng CSV, phân "
                                   "cách bằng dấu phẩy hoặc dấu chấm phẩy.");
    case K::Header: {
        QStringList parts;
        const QString sep = QStringLiteral(", ");
        if (!p.missing.isEmpty())
            parts << (en ? QStringLiteral("it lacks %1") : QStringLiteral("thiếu cột %1")).arg(p.missing.join(sep));
        if (!p.unknown.isEmpty())
            parts << (en ? QStringLiteral("it names columns the bank does not have: %1")
                         : QStringLiteral("có cột ngân hàng câu hỏi không có: %1"))
                         .arg(p.unknown.join(sep));
        if (!p.twice.isEmpty())
            parts << (en ? QStringLiteral("it names %1 twice") : QStringLiteral("cột %1 có hai lần")).arg(p.twice.join(sep));
        return en ? QStringLiteral("The header row is not that of a question file: %1. It names the columns %2 (in "
                                   "any order; a column topic may be there too).")
                        .arg(parts.join(QStringLiteral("; ")), columns)
                  : QStringLiteral("Dòng tiêu đề của tệp không đúng: %1. Dòng tiêu đề phải có các cột %2 (theo thứ "
                                   "tự bất kỳ; có thể thêm cột topic).")
                        .arg(parts.join(QStringLiteral("; ")), columns);
    }
    }
    return QString();
}

// --- the command line -----------------------------------------------------------

int runCommand(const Command &c, std::FILE *err)
{
    const QString program = QCoreApplication::applicationName().toLower();
    auto say = [err](const QString &line) {
        std::fprintf(err, "%s\n", qPrintable(line));
        std::fflush(err);
    };
    auto fail = [&](const QString &why) {
        say(QStringLiteral("%1: %2").arg(program, QString(why).replace(QLatin1Char('\n'), QLatin1Char(' '))));
        return 1;
    };
    const QString table = db::tableName(c.table);
    const QString file = QDir::toNativeSeparators(QFileInfo(c.file).absoluteFilePath());

    db::GameDb database(QCoreApplication::applicationDirPath());
    database.setLocation(c.location);
    const db::OpenResult opened = database.open();
    if (!opened.usable())
        return fail(QStringLiteral("the database cannot be used: %1").arg(opened.detail));
    // On a class server the bank is the teacher's: a pupil's role reads and writes none of it.
    if (!database.mayEditBank())
        return fail(QStringLiteral("nothing was %1: %2").arg(c.import ? QStringLiteral("imported") : QStringLiteral("exported"),
                                                             db::bankIsTheTeachers()));
    if (database.waitForCheck() == db::CheckState::Damaged)
        return fail(QStringLiteral("the database %1 is damaged; it was left as it was.").arg(database.filePath()));

    if (!c.import) {
        const ExportResult r = exportFile(database, c.table, c.file);
        if (!r.ok && r.diskFull)
            return fail(QStringLiteral("nothing was exported to %1: the disk is full (%2); free some room or "
                                       "export elsewhere.")
                            .arg(file, r.problem));
        if (!r.ok)
            return fail(QStringLiteral("nothing was exported to %1: %2").arg(file, r.problem));
        for (const Fault &f : r.inexact)
            say(QStringLiteral("note: %1").arg(describe(f, c.table, Language::English)));
        say(QStringLiteral("Exported %1 questions of %2 to %3.").arg(r.rows).arg(table, file));
        return 0;
    }

    if (opened.status == db::OpenStatus::ReadOnly)
        return fail(QStringLiteral("nothing was imported: %1").arg(opened.detail));
    const ImportResult r = importFile(database, c.table, c.file, c.skipDuplicates);
    using O = ImportResult::Outcome;
    switch (r.outcome) {
    case O::Imported: {
        if (r.duplicates > 0) {
            for (const QString &line : faultLines(r, c.table, Language::English, QStringLiteral("skipped: ")))
                say(line);
        }
        QString line = QStringLiteral("Imported %1 questions into %2 (IDs %3 to %4)")
                           .arg(r.written)
                           .arg(table)
                           .arg(r.firstId)
                           .arg(r.firstId + r.written - 1);
        if (r.duplicates > 0)
            line += QStringLiteral("; left out %1 duplicate questions").arg(r.duplicates);
        say(line + QLatin1Char('.'));
        return 0;
    }
    case O::Refused: {
        for (const QString &line : faultLines(r, c.table, Language::English))
            say(line);
        auto rows = [](qint64 n) { return n == 1 ? QStringLiteral("1 row") : QStringLiteral("%1 rows").arg(n); };
        QString line = QStringLiteral("Nothing was imported into %1: of the file's %2, %3 with faults")
                           .arg(table, rows(r.rows), rows(r.faultyRows));
        if (r.duplicates > 0)
            line += QStringLiteral(", %1 repeating a question").arg(rows(r.duplicates));
        line += QLatin1Char('.');
        if (r.faultyRows == 0 && r.duplicates < r.rows)
            line += QStringLiteral(" With --skip-duplicates the other %1 imported.").arg(rows(r.rows - r.duplicates));
        say(line);
        return 1;
    }
    case O::BadFile:
        return fail(QStringLiteral("nothing was imported from %1: %2").arg(file, describe(r.problem, Language::English)));
    case O::StoreFailed:
        return fail(QStringLiteral("nothing was imported: the database refused: %1").arg(r.storeError));
    case O::Checked:
    case O::Stopped:
        break;
    }
    return 1;
}

} // namespace csvbank
