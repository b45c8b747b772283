// Question editor figures at 1,000, 10,000 and 100,000 questions, each beside
// its 1,000-row figure (the baseline, measured in the same run): View (count,
// first block, first question shown), View with the first paint, one page of
// scrolling, a jump to the last line, Delete (Command6: delete + renumber +
// reload), and the memory that View holds.

#include "editorapp.h"
#include "editorform.h"
#include "editorstore.h"
#include "editorwidgets.h"
#include "benchtiming.h"
#include "gamedb.h"
#include "studiotheme.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QPushButton>
#include <QScrollBar>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>

namespace {
using bench::measure;

void fillLevel(db::GameDb &d, int n)
{
    const db::QuestionTable t = db::QuestionTable::Muc1;
    d.beginWrite();
    QSqlQuery(d.connection()).exec(QStringLiteral("DELETE FROM muc1"));
    for (int i = 1; i <= n; ++i) {
        db::Question q;
        q.id = i;
        q.cauhoi = QStringLiteral("Caâu hoûi soá %1: thuû ñoâ cuûa nöôùc naøo naèm beân soâng Hoàng?").arg(i);
        q.a = QStringLiteral("Vieät Nam");
        q.b = QStringLiteral("Laøo");
        q.c = QStringLiteral("Campuchia");
        q.d = QStringLiteral("Thaùi Lan");
        q.traloi = QStringLiteral("A");
        q.selected = i < 100;
        d.appendQuestion(t, q);
    }
    d.commit();
    QSqlQuery(d.connection()).exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
}

// Resident memory of this process, in MB.
double residentMb()
{
    QFile f(QStringLiteral("/proc/self/statm"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> parts = f.readAll().split(' ');
    return parts.size() > 1 ? parts[1].toDouble() * 4096 / (1024 * 1024) : 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication qapp(argc, argv);
    studio::applyApplicationStyle(qapp);
    QList<bench::BySize> rows = {{"View (count, first lines, first question)", "ms", 100, {}},
                                 {"View and first paint of the list", "ms", 100, {}},
                                 {"scroll one page and repaint (mean of 100)", "ms", 0, {}},
                                 {"jump to the last line and repaint", "ms", 0, {}},
                                 {"Command6: delete + renumber + reload (median of 5)", "ms", 150, {}},
                                 {"rows held by the list after scrolling", "rows", 0, {}},
                                 {"memory taken by View and scrolling", "MB", 0, {}}};
    bool sound = true;
    for (int n : bench::kSizes) {
        QTemporaryDir dir;
        db::GameDb database(dir.path());
        if (!database.open().usable()) {
            std::fprintf(stderr, "cannot open the benchmark database\n");
            return 1;
        }
        fillLevel(database, n);
        database.waitForCheck();

        int messages = 0;
        EditorServices services;
        services.db = &database;
        services.message = [&messages](QWidget *, const ui::MessageRequest &) {
            ++messages;
            return QMessageBox::Ok;
        };
        services.endProgram = [] {};
        EditorApp app(std::move(services));
        EditorForm *form = app.editor();
        form->resize(1100, 760);
        form->show();
        QApplication::processEvents();
        auto *list = form->findChild<QAbstractItemView *>(QStringLiteral("List1"));
        auto paintList = [list] { list->viewport()->repaint(); };

        const double before = residentMb();
        rows[0].at[n] = measure(7, [&] { form->view(); });
        rows[1].at[n] = measure(7, [&] {
            form->view();
            paintList();
        });
        QScrollBar *bar = list->verticalScrollBar();
        const int pages = 100;
        rows[2].at[n] = measure(3, [&] {
                            bar->setValue(0);
                            for (int i = 0; i < pages; ++i) {
                                bar->setValue(bar->value() + bar->pageStep());
                                paintList();
                            }
                        }) / pages;
        rows[3].at[n] = measure(5, [&] {
                            bar->setValue(0);
                            paintList();
                            list->scrollToBottom();
                            paintList();
                        }) / 2;
        rows[5].at[n] = form->listModel()->rowsHeld();
        rows[6].at[n] = residentMb() - before;

        // Removals near the top renumber (almost) every row.
        auto *command3 = form->findChild<QPushButton *>(QStringLiteral("Command3"));
        auto *command6 = form->findChild<QPushButton *>(QStringLiteral("Command6"));
        form->view();
        QList<double> button;
        for (int i = 0; i < 5; ++i) {
            list->setCurrentIndex(list->model()->index(1, 0));
            command3->click();
            QElapsedTimer c;
            c.start();
            command6->click(); // removes line 1, renumbers, reloads the list
            button.append(c.nsecsElapsed() / 1e6);
        }
        std::sort(button.begin(), button.end());
        rows[4].at[n] = button[2];

        const QList<db::Question> left = database.questions(db::QuestionTable::Muc1);
        bool ok = left.size() == n - 5 && messages == 0;
        for (qsizetype i = 0; ok && i < left.size(); ++i)
            ok = left[i].id == i + 1 && left[i].selected == (left[i].id < 100);
        if (!ok)
            std::printf("after the removals at %d rows: IDs or selected flags WRONG, %d message(s)\n", n, messages);
        sound = sound && ok;
    }

    bench::printBySize(rows, 52);
    std::printf("after the removals: IDs 1..N and selected flags %s\n", sound ? "right" : "WRONG");
    return sound ? 0 : 1;
}
