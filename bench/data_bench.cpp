// Database figures at 1,000, 10,000 and 100,000 accounts and questions per
// level, each beside its 1,000-row figure (the baseline, measured in the same
// run): open, the whole-file check, a draw, a nick lookup, the top five, a
// fee saved, delete + renumber; then encoding a text with many combining marks
// against the library's own normalisation.
//
// bench_data --make-db DIR N writes DIR/data/dataqa.db with N accounts and N
// questions in each level table (bench/run.sh times the game's start-up on it).

#include "benchfill.h"
#include "benchtiming.h"
#include "gamedb.h"
#include "vntext.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QMap>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>

using bench::measure;

namespace {

int makeDb(const QString &dir, int n)
{
    db::GameDb d(dir);
    if (!d.open().usable() || !bench::fill(d, n)) {
        std::fprintf(stderr, "cannot make the database in %s\n", qPrintable(dir));
        return 1;
    }
    QSqlQuery(d.connection()).exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc == 4 && qstrcmp(argv[1], "--make-db") == 0)
        return makeDb(QString::fromLocal8Bit(argv[2]), QByteArray(argv[3]).toInt());

    QList<bench::BySize> rows = {{"open an existing file (check runs behind)", "ms", 0, {}},
                                 {"whole-file check, in the background", "ms", 0, {}},
                                 {"question draw (count + row at a position)", "ms", 0.1, {}},
                                 {"nick lookup", "ms", 0.1, {}},
                                 {"top five", "ms", 0.1, {}},
                                 {"entry fee saved (one write transaction)", "ms", 0, {}},
                                 {"delete the first question + renumber", "ms", 150, {}}};
    for (int n : bench::kSizes) {
        QTemporaryDir dir;
        if (makeDb(dir.path(), n) != 0)
            return 1;
        db::GameDb d(dir.path());
        QElapsedTimer c;
        c.start();
        if (!d.open().usable())
            return 1;
        rows[0].at[n] = c.nsecsElapsed() / 1e6;
        d.waitForCheck();
        rows[1].at[n] = c.nsecsElapsed() / 1e6 - rows[0].at[n];

        const db::QuestionTable t = db::QuestionTable::Muc1;
        int k = 0;
        rows[2].at[n] = measure(201, [&] {
            const int count = d.questionCount(t);
            d.questionAt(t, (qint64(k++) * 7919) % count);
        });
        rows[3].at[n] = measure(201, [&] { d.findAccount(QStringLiteral("PLAYER%1").arg((k++ * 37) % n)); });
        rows[4].at[n] = measure(101, [&] { d.richestAccounts(5); });
        rows[5].at[n] = measure(21, [&] {
            d.addToAccount(QStringLiteral("player%1").arg((k++ * 37) % n), {QStringLiteral("-1000"), QStringLiteral("1"), 0});
        });
        rows[6].at[n] = measure(5, [&] { d.deleteAndRenumber(t, 1); });
        if (d.lastId(t) != n - 5 || d.questionAt(t, 0)->id != 1)
            std::printf("renumbering went wrong at %d rows\n", n);
    }

    bench::printBySize(rows, 44);

    // Typed text with a long run of combining marks (a pasted oddity): the
    // encoder normalises it first.
    QString marks = QStringLiteral("a");
    for (int i = 0; i < 20000; ++i)
        marks += QStringLiteral("\u0301\u0323");
    const double ours = measure(3, [&] { vn::encodeLossy(marks, vn::Encoding::Vni); });
    const double library = measure(3, [&] { (void)marks.normalized(QString::NormalizationForm_C); });
    std::printf("%-44s %9.3f ms   (the library's NFC alone: %.3f ms)\n", "encode 40,000 combining marks (VNI, lossy)",
                ours, library);
    return 0;
}
