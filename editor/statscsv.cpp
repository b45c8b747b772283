#include "statscsv.h"

#include "answerstats.h"
#include "csvbank.h"
#include "csvfile.h"
#include "editorapp.h"
#include "statsmodel.h"
#include "vntext.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace stats {

namespace {
constexpr db::QuestionTable kGameTables[] = {db::QuestionTable::Muc1, db::QuestionTable::Muc2,
                                             db::QuestionTable::Muc3, db::QuestionTable::Thuthach};
} // namespace

QStringList csvHeader()
{
    return {QStringLiteral("table"),    QStringLiteral("id"),      QStringLiteral("question"),
            QStringLiteral("asked"),    QStringLiteral("right"),   QStringLiteral("wrong"),
            QStringLiteral("fifty"),    QStringLiteral("phone"),   QStringLiteral("audience"),
            QStringLiteral("seconds"),  QStringLiteral("share_right"), QStringLiteral("changed")};
}

CsvResult writeCsv(db::GameDb &db, const QString &path)
{
    CsvResult r;
    // Every table read first: a file is written only when all of it can be.
    QList<QPair<db::QuestionTable, QList<db::QuestionFigures>>> tables;
    for (db::QuestionTable t : kGameTables) {
        std::optional<QList<db::QuestionFigures>> figures = db::questionFigures(db, t);
        if (!figures) {
            r.problem = QStringLiteral("the recorded answers of %1 cannot be read: %2").arg(db::tableName(t), db.lastError());
            return r;
        }
        tables.append({t, std::move(*figures)});
    }
    const std::unique_ptr<QFileDevice> file = csvbank::outputFile(path);
    auto *whole = qobject_cast<QSaveFile *>(file.get());
    if (!file->open(QIODevice::WriteOnly)) {
        r.problem = file->errorString();
        return r;
    }
    csv::Writer out(*file);
    bool written = out.begin() && out.write(csvHeader());
    for (const auto &[t, figures] : std::as_const(tables)) {
        for (const db::QuestionFigures &f : figures) {
            if (f.asked == 0)
                continue;
            written = written
                      && out.write({db::tableName(t), QString::number(f.question.id),
                                    vn::decode(f.question.cauhoi, vn::Encoding::Vni), QString::number(f.asked),
                                    QString::number(f.right), QString::number(f.wrong()), QString::number(f.fifty),
                                    QString::number(f.phone), QString::number(f.audience),
                                    shown(f.averageSeconds(), false), shown(f.shareRight(), false),
                                    f.changed ? QStringLiteral("1") : QStringLiteral("0")});
            ++r.rows;
        }
    }
    // A file replaced whole is left as it was when any write failed (its
    // commit then drops the copy and says why).
    if (!written || !(whole ? whole->commit() : file->flush())) {
        if (whole && whole->isOpen())
            whole->commit();
        r.problem = file->errorString();
        return r;
    }
    r.ok = true;
    return r;
}

int runCommand(const QString &location, const QString &file, std::FILE *err)
{
    const QString program = QCoreApplication::applicationName().toLower();
    auto fail = [&](const QString &why) {
        std::fprintf(err, "%s: %s\n", qPrintable(program), qPrintable(QString(why).replace(QLatin1Char('\n'), QLatin1Char(' '))));
        std::fflush(err);
        return 1;
    };
    const QString shownPath = QDir::toNativeSeparators(QFileInfo(file).absoluteFilePath());
    db::GameDb database(QCoreApplication::applicationDirPath());
    database.setLocation(location);
    const db::OpenResult opened = database.open();
    if (!opened.usable())
        return fail(QStringLiteral("the database cannot be used: %1").arg(opened.detail));
    // The figures are the teacher's, as the whole editor is.
    if (!database.mayEditBank())
        return fail(EditorApp::teachersOnly());
    if (database.waitForCheck() == db::CheckState::Damaged)
        return fail(QStringLiteral("the database %1 is damaged; it was left as it was.").arg(database.filePath()));
    const CsvResult r = writeCsv(database, file);
    if (!r.ok)
        return fail(QStringLiteral("nothing was written to %1: %2").arg(shownPath, r.problem));
    std::fprintf(err, "%s\n",
                 qPrintable(QStringLiteral("Wrote the figures of %1 questions to %2.").arg(r.rows).arg(shownPath)));
    std::fflush(err);
    return 0;
}

} // namespace stats
