// The editor's CSV files: import and export of a question table of 10,000 and
// 100,000 rows, beside the time to read the same table (the baseline,
// measured in the same run), on the SQLite file and on a PostgreSQL server of
// the bench's own (its socket on this machine, fsync on, as a real server has
// it). Goal: an import of 100,000 rows under 3 s on the file, its peak memory
// not growing with the file (the file is read as a stream and written a page
// of rows at a time; only a 16-byte key a question is kept, for duplicates).
//
// The memory is measured in a process of its own for each import (the peak
// over what it held once the database was open), where no earlier run's
// freed memory hides what this one takes.
//
// Usage: bench_csv [--file-only]

#include "benchfill.h"
#include "benchtiming.h"
#include "csvbank.h"
#include "gamedb.h"
#include "pgserver.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <cstdio>

using bench::opened;
using db::QuestionTable;

namespace {

// Peak resident memory (kB) since the last reset, and the reset.
long statusKb(const char *field)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(qstrlen(field)).trimmed().split(' ').value(0).toLong();
    return 0;
}

// n questions as a teacher's sheet would hold them: Vietnamese, each its own.
void writeSheet(const QString &path, int n)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    f.write("\xEF\xBB\xBF" "cauhoi,A,B,C,D,traloi,topic\r\n");
    const char letters[] = "ABCD";
    for (int i = 1; i <= n; ++i)
        f.write(QStringLiteral("\"Câu hỏi số %1: sông nào dài nhất, theo sách giáo khoa lớp %2?\",Sông Hồng,"
                               "Sông Mê Kông,Sông Đà,Sông Cả,%3,địa lý\r\n")
                    .arg(i)
                    .arg(i % 12 + 1)
                    .arg(QLatin1Char(letters[i % 4]))
                    .toUtf8());
}

void empty(db::GameDb &d)
{
    d.execute(QStringLiteral("DELETE FROM muc1"));
}

// In the child: one import into the emptied table; prints the peak memory it
// took, in kB.
int importOnce(const QString &location, const QString &sheet)
{
    const auto d = opened(location);
    if (!d)
        return 1;
    empty(*d);
    const long before = statusKb("VmHWM:");
    const csvbank::ImportResult r = csvbank::importFile(*d, QuestionTable::Muc1, sheet, false);
    if (r.outcome != csvbank::ImportResult::Outcome::Imported)
        return 1;
    std::printf("%ld\n", statusKb("VmHWM:") - before);
    return 0;
}

double peakMb(const QString &location, const QString &sheet)
{
    QProcess p;
    p.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--import-once"), location, sheet});
    p.waitForFinished(-1);
    return p.exitCode() == 0 ? p.readAllStandardOutput().trimmed().toLong() / 1024.0 : -1;
}

void measureOn(const char *where, const QString &location, const QString &folder)
{
    const auto d = opened(location);
    if (!d) {
        std::printf("%s: cannot open %s\n", where, qPrintable(location));
        return;
    }
    for (int n : {10000, 100000}) {
        const QString sheet = QStringLiteral("%1/sheet%2.csv").arg(folder).arg(n);
        const QString out = QStringLiteral("%1/out%2.csv").arg(folder).arg(n);
        writeSheet(sheet, n);
        const int runs = n >= 100000 ? 3 : 5;
        const double peak = peakMb(location, sheet);
        const double import = bench::measureAfter(
            runs, [&] { empty(*d); },
            [&] {
                const csvbank::ImportResult r = csvbank::importFile(*d, QuestionTable::Muc1, sheet, false);
                if (r.outcome != csvbank::ImportResult::Outcome::Imported || r.written != n)
                    qFatal("import failed: %s", qPrintable(r.storeError));
            });
        const double read = bench::measure(runs, [&] {
            if (d->questions(QuestionTable::Muc1).size() != n)
                qFatal("read failed");
        });
        const double exported = bench::measure(runs, [&] {
            if (!csvbank::exportFile(*d, QuestionTable::Muc1, out).ok)
                qFatal("export failed");
        });
        const double mb = QFile(sheet).size() / 1e6;
        std::printf("%-7s %7d rows (%5.1f MB): read %8.1f ms | import %8.1f ms (%5.2fx read) | export %8.1f ms "
                    "(%5.2fx read) | import peak memory +%.1f MB\n",
                    where, n, mb, read, import, import / read, exported, exported / read, peak);
        if (n == 100000 && QByteArray(where) == "file")
            std::printf("        goal: import of 100,000 rows under 3000 ms on the file: %s\n",
                        import < 3000 ? "ok" : "SLOW");
        std::fflush(stdout);
        QFile::remove(sheet);
        QFile::remove(out);
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (app.arguments().value(1) == QLatin1String("--import-once"))
        return importOnce(app.arguments().value(2), app.arguments().value(3));
    QTemporaryDir dir;
    measureOn("file", dir.filePath(QStringLiteral("bench.db")), dir.path());
    if (app.arguments().contains(QStringLiteral("--file-only")))
        return 0;
    if (!testkit::PgServer::unavailable().isEmpty()) {
        std::printf("server: skipped (%s)\n", qPrintable(testkit::PgServer::unavailable()));
        return 0;
    }
    testkit::PgServer server(true);
    if (!server.start()) {
        std::printf("server: cannot start: %s\n", qPrintable(server.error()));
        return 1;
    }
    measureOn("server", server.createDatabase(QStringLiteral("csvbench")), dir.path());
    return 0;
}
