// The recorded answers with 1,000,000 of them in the file, all on the first
// level's questions (the largest table the statistics window can be asked
// for): the window opening on that table beside the same window with no
// answers (the baseline), `--stats` writing its file beside the export of
// the same table, and a verdict of the game (the next question, its
// appearance and the verdict) with its answer recorded beside the same
// verdict on a copy of the file that cannot be written (nothing recorded),
// measured in the same run. Goals: under 1 s, under 3 s, under 1 ms added.

#include "answerstats.h"
#include "benchfill.h"
#include "benchtiming.h"
#include "csvbank.h"
#include "editorapp.h"
#include "referee/localreferee.h"
#include "statscsv.h"
#include "statsview.h"

#include <QApplication>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <cstdio>

using db::QuestionTable;

namespace {

constexpr int kAnswers = 1000000;

bool fillAnswers(db::GameDb &d, int n)
{
    const QList<db::Question> rows = d.questions(QuestionTable::Muc1);
    QStringList fingerprints;
    for (const db::Question &q : rows)
        fingerprints << db::questionFingerprint(q);
    bool ok = d.beginWrite();
    {
        QSqlQuery ins(d.connection());
        ins.prepare(QStringLiteral("INSERT INTO lontaris_answers (tbl, qid, fingerprint, correct, fifty, phone, "
                                   "audience, seconds, answered, nick) VALUES ('muc1', ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
        for (int i = 0; ok && i < n; ++i) {
            const int line = int((qint64(i) * 7919) % rows.size());
            ins.bindValue(0, rows[line].id);
            ins.bindValue(1, fingerprints[line]);
            ins.bindValue(2, i % 3 != 0 ? 1 : 0);
            ins.bindValue(3, i % 11 == 0 ? 1 : 0);
            ins.bindValue(4, i % 13 == 0 ? 1 : 0);
            ins.bindValue(5, i % 17 == 0 ? 1 : 0);
            ins.bindValue(6, 3.0 + i % 40);
            ins.bindValue(7, QStringLiteral("2026-12-08T12:00:00Z"));
            ins.bindValue(8, QStringLiteral("player%1").arg(i % 300));
            ok = ins.exec();
        }
    }
    return ok && d.commit();
}

// Opens the window on muc1 and lets it paint.
double openWindow(EditorApp &app)
{
    return bench::measure(3, [&] {
        StatsView view(app, nullptr);
        view.showTable(QuestionTable::Muc1);
        QApplication::processEvents();
    });
}

// Mean time of one verdict (question, appearance, verdict) over `games` games.
double verdict(db::GameDb &d, int games)
{
    return bench::timeOnce([&] {
               for (int i = 0; i < games; ++i) {
                   LocalReferee r(d);
                   r.nextQuestion(i % 50);
                   r.questionShown();
                   r.judge(r.heldAnswer());
               }
           })
           / games;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("dataqa.db"));
    auto d = bench::opened(path);
    if (!d || !bench::fill(*d, 1000))
        qFatal("cannot make the database");

    EditorServices services;
    services.db = d.get();
    services.message = [](QWidget *, const ui::MessageRequest &) { return QMessageBox::Ok; };
    EditorApp editor(std::move(services));
    const double emptyWindow = openWindow(editor);

    const double fillMs = bench::timeOnce([&] {
        if (!fillAnswers(*d, kAnswers))
            qFatal("cannot record the answers: %s", qPrintable(d->lastError()));
    });
    std::printf("(%d answers recorded on 1,000 questions in %.0f ms)\n", kAnswers, fillMs);

    const double window = openWindow(editor);
    bench::report("window, no answers (baseline)", emptyWindow, 0);
    bench::report("window, 1,000,000 answers", window, 1000);

    const QString csv = dir.filePath(QStringLiteral("stats.csv"));
    const double exportMs = bench::measure(3, [&] {
        csvbank::exportFile(*d, QuestionTable::Muc1, dir.filePath(QStringLiteral("muc1.csv")));
    });
    const double statsMs = bench::measure(3, [&] {
        if (!stats::writeCsv(*d, csv).ok)
            qFatal("--stats failed");
    });
    bench::report("export of muc1, 1,000 questions (baseline)", exportMs, 0);
    bench::report("--stats, 1,000,000 answers", statsMs, 3000);

    // The verdict with its answer recorded, beside the same verdict on a copy
    // that cannot be written.
    const QString copy = dir.filePath(QStringLiteral("readonly.db"));
    d->execute(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
    QFile::copy(path, copy);
    QFile::setPermissions(copy, QFileDevice::ReadOwner);
    auto readOnly = bench::opened(copy);
    if (!readOnly)
        qFatal("cannot open the copy");
    constexpr int kGames = 2000;
    verdict(*readOnly, 200);
    verdict(*d, 200); // warm: the insert prepared, the pages read
    const double bare = verdict(*readOnly, kGames);
    const double recording = verdict(*d, kGames);
    bench::report("verdict, nothing recorded (baseline)", bare, 0);
    bench::report("verdict, its answer recorded", recording, 0);
    bench::report("added by the recording", recording - bare, 1);
    return 0;
}
