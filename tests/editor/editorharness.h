#pragma once
// The question editor on a temporary program folder with its own database, its
// message boxes recorded and its end counted.

#include "editorapp.h"
#include "editorform.h"
#include "editorloginform.h"
#include "gamedb.h"
#include "testsupport.h"
#include "vntext.h"

#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QSqlQuery>
#include <deque>
#include <functional>
#include <memory>

struct EditorHarness {
    testkit::ProgramFolder folder;
    QString location = testkit::freshLocation(); // empty: the file in the folder
    std::unique_ptr<db::GameDb> database;
    QList<ui::MessageRequest> messages;
    std::deque<QMessageBox::StandardButton> answers; // replies to message boxes; Ok when empty
    // The file a file dialog gives (save: a save dialog); none when not set.
    std::function<QString(bool save, const QString &suggested)> chooseFile;
    int endCount = 0;
    std::unique_ptr<EditorApp> app;

    EditorHarness()
    {
        database = testkit::harnessDatabase(folder, location);
        EditorServices s;
        s.db = database.get();
        s.message = [this](QWidget *, const ui::MessageRequest &m) {
            messages.append(m);
            if (answers.empty())
                return QMessageBox::Ok;
            const QMessageBox::StandardButton b = answers.front();
            answers.pop_front();
            return b;
        };
        s.chooseFile = [this](QWidget *, bool save, const QString &suggested) {
            return chooseFile ? chooseFile(save, suggested) : QString();
        };
        s.endProgram = [this] { ++endCount; };
        app = std::make_unique<EditorApp>(std::move(s));
    }
    // A second connection to the same database, opened (another program).
    std::unique_ptr<db::GameDb> another() const { return testkit::openDatabase(folder, location); }
    ~EditorHarness()
    {
        app.reset();
        database.reset();
    }

    // The editor form, shown (as after the access code).
    EditorForm *form()
    {
        EditorForm *f = app->editor();
        if (!f->isVisible()) {
            f->show();
            f->resize(1100, 760);
        }
        return f;
    }
    QString lastMessage() const
    {
        return messages.isEmpty() ? QString() : vn::display(messages.last().text, messages.last().encoding);
    }

    // Replaces a table's rows: IDs 1..n in order, selected where ID < 100.
    void setRows(db::QuestionTable t, const QList<db::Question> &rows)
    {
        database->execute(QStringLiteral("DELETE FROM %1").arg(db::tableName(t)));
        for (db::Question r : rows)
            if (!database->appendQuestion(t, r))
                qFatal("setRows: %s", qPrintable(database->lastError()));
    }
    // n questions "Caâu hoûi soá k" (VNI for "Câu hỏi số k"), answers marked with k.
    void fill(db::QuestionTable t, int n)
    {
        QList<db::Question> rows;
        for (int k = 1; k <= n; ++k)
            rows.append(question(k, QStringLiteral("Caâu hoûi soá %1").arg(k)));
        database->beginWrite();
        setRows(t, rows);
        database->commit();
    }
    static db::Question question(qint64 id, const QString &cauhoi)
    {
        db::Question r;
        r.id = id;
        r.cauhoi = cauhoi;
        r.a = QStringLiteral("Ñaùp aùn A%1").arg(id);
        r.b = QStringLiteral("B%1").arg(id);
        r.c = QStringLiteral("C%1").arg(id);
        r.d = QStringLiteral("D%1").arg(id);
        r.traloi = QStringLiteral("B");
        r.selected = id < 100;
        return r;
    }
    QList<db::Question> rows(db::QuestionTable t) { return database->questions(t); }
    QList<qint64> ids(db::QuestionTable t)
    {
        QList<qint64> out;
        for (const db::Question &q : rows(t))
            out.append(q.id);
        return out;
    }
    static QList<qint64> range(qint64 n)
    {
        QList<qint64> out;
        for (qint64 i = 1; i <= n; ++i)
            out.append(i);
        return out;
    }
};

// Controls of the editor form, by their names.
inline QPushButton *button(QWidget *f, const char *name)
{
    return testkit::child<QPushButton>(f, QString::fromLatin1(name));
}
inline QLineEdit *field(QWidget *f, const char *name)
{
    return testkit::child<QLineEdit>(f, QString::fromLatin1(name));
}

// The access code typed into the shown login form and ended with `key`.
inline void enterCode(EditorHarness &h, const QString &code, Qt::Key key)
{
    EditorLoginForm *login = h.app->login();
    login->show();
    testkit::type(field(login, "txtPassword"), code);
    testkit::pressKey(field(login, "txtPassword"), key);
}

inline QListView *list1(QWidget *f)
{
    return testkit::child<QListView>(f, QStringLiteral("List1"));
}
inline int lineCount(QWidget *f)
{
    return list1(f)->model()->rowCount();
}
// The selected line, -1 when none.
inline int currentLine(QWidget *f)
{
    const QModelIndex i = list1(f)->currentIndex();
    return i.isValid() && list1(f)->selectionModel()->isSelected(i) ? i.row() : -1;
}
// The centre of line `row`, scrolled into sight.
inline QPoint linePoint(QWidget *f, int row)
{
    QListView *l = list1(f);
    const QModelIndex i = l->model()->index(row, 0);
    l->scrollTo(i);
    return l->visualRect(i).center();
}
inline void chooseOption(QWidget *f, int n)
{
    testkit::click(testkit::widget(f, QStringLiteral("Option%1").arg(n)));
}
// A click on line `row` of List1, as the mouse does it.
inline void clickLine(QWidget *f, int row)
{
    const QPoint p = linePoint(f, row);
    QTest::mouseClick(list1(f)->viewport(), Qt::LeftButton, Qt::NoModifier, p);
}
// The form with `n` questions in table t, its option chosen (the first level
// is chosen already) and the list of the table opened.
inline EditorForm *listed(EditorHarness &h, db::QuestionTable t, int n)
{
    h.fill(t, n);
    EditorForm *f = h.form();
    if (t != db::QuestionTable::Muc1)
        chooseOption(f, int(t) + 1);
    testkit::click(button(f, "Command2"));
    return f;
}
inline void doubleClickLine(QWidget *f, int row)
{
    const QPoint p = linePoint(f, row);
    QTest::mouseClick(list1(f)->viewport(), Qt::LeftButton, Qt::NoModifier, p);
    QTest::mouseDClick(list1(f)->viewport(), Qt::LeftButton, Qt::NoModifier, p);
}
inline QStringList listLines(QWidget *f)
{
    QStringList out;
    QAbstractItemModel *m = list1(f)->model();
    for (int i = 0; i < m->rowCount(); ++i)
        out.append(m->index(i, 0).data().toString());
    return out;
}
