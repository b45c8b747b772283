// Question editor figures on a 10,000-question table: View (load and list),
// scrolling the list, and a removal with its renumbering and reload.

#include "editorapp.h"
#include "editorform.h"
#include "editorstore.h"
#include "benchtiming.h"
#include "gamedb.h"
#include "studiotheme.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>

namespace {
using bench::measure;
using bench::report;

constexpr int kQuestions = 10000;

void fillLevel(db::GameDb &d, int n)
{
    const db::QuestionTable t = db::QuestionTable::Muc1;
    d.beginWrite();
    for (const db::Question &q : d.questions(t))
        d.deleteQuestionsWithId(t, q.id);
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
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication qapp(argc, argv);
    studio::applyApplicationStyle(qapp);
    QTemporaryDir dir;
    db::GameDb database(dir.path());
    if (!database.open().usable()) {
        std::fprintf(stderr, "cannot open the benchmark database\n");
        return 1;
    }
    fillLevel(database, kQuestions);

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
    auto paintList = [list] {
        list->viewport()->repaint();
    };

    std::printf("%d questions in muc1\n", kQuestions);
    report("View (read table, fill list, show first question)", measure(7, [&] { form->view(); }), 150);
    report("View and first paint of the list", measure(7, [&] {
               form->view();
               paintList();
           }),
           150);

    form->view();
    paintList();
    QScrollBar *bar = list->verticalScrollBar();
    const int pages = 200;
    const double scrollTotal = measure(3, [&] {
        bar->setValue(0);
        for (int i = 0; i < pages; ++i) {
            bar->setValue(bar->value() + bar->pageStep());
            paintList();
        }
    });
    report("Scroll one page and repaint (mean of 200 pages)", scrollTotal / pages, 0);
    report("Jump to the last line and repaint", measure(5, [&] {
               bar->setValue(0);
               paintList();
               list->scrollToBottom();
               paintList();
           }) / 2,
           0);

    // Removals near the top renumber (almost) every row.
    auto *command3 = form->findChild<QPushButton *>(QStringLiteral("Command3"));
    auto *command6 = form->findChild<QPushButton *>(QStringLiteral("Command6"));
    const int runs = 5;
    QList<double> store, button;
    for (int i = 0; i < runs; ++i) {
        const db::Question first = database.questions(db::QuestionTable::Muc1).constFirst();
        QElapsedTimer c;
        c.start();
        editorstore::removeAndRenumber(database, db::QuestionTable::Muc1, first);
        store.append(c.nsecsElapsed() / 1e6);
    }
    form->view();
    for (int i = 0; i < runs; ++i) {
        list->setCurrentIndex(list->model()->index(1, 0));
        command3->click();
        QElapsedTimer c;
        c.start();
        command6->click(); // removes line 1, renumbers, reloads the list
        button.append(c.nsecsElapsed() / 1e6);
    }
    std::sort(store.begin(), store.end());
    std::sort(button.begin(), button.end());
    report("Delete + renumber, one transaction (median of 5)", store[runs / 2], 300);
    report("Command6: delete + renumber + reload the list (median of 5)", button[runs / 2], 300);

    const QList<db::Question> rows = database.questions(db::QuestionTable::Muc1);
    bool sound = rows.size() == kQuestions - 10;
    for (qsizetype i = 0; sound && i < rows.size(); ++i)
        sound = rows[i].id == i + 1 && rows[i].selected == (rows[i].id < 100);
    std::printf("after the removals: %lld rows, IDs 1..N and selected flags %s, %d message(s)\n",
                static_cast<long long>(rows.size()), sound ? "right" : "WRONG", messages);
    return sound ? 0 : 1;
}
