#pragma once
// The statistics window of the editor ("Thống kê", beside the table chooser):
// how each question of the chosen table fared (times asked, right, wrong,
// share right, each lifeline, average seconds), sortable by every column, the
// whole question shown under the list, a question edited since its figures
// were recorded marked with a star. On a class server a second tab gives each
// pupil account's games. "Xoá số liệu…" clears every recorded answer (a new
// term) after a confirmation that says how many go.

#include "gamedb.h"

#include <QWidget>

class EditorApp;
class QLabel;
class QPushButton;
class QTabWidget;
class QTableView;
class QTextEdit;

namespace stats {
class QuestionFiguresModel;
class PupilFiguresModel;
} // namespace stats

class StatsView : public QWidget {
    Q_OBJECT
public:
    StatsView(EditorApp &app, QWidget *parent);

    // Reads the figures of table t and shows the window in front.
    void showTable(db::QuestionTable t);
    // Reads them again (the table shown).
    void refresh();
    void clearFigures(); // ClearStats

    const stats::QuestionFiguresModel *questions() const { return m_questions; }

private:
    void showSelected();
    void tell(const QString &text, int icon);

    EditorApp &m_app;
    db::QuestionTable m_table = db::QuestionTable::Muc1;
    QLabel *m_title;
    QLabel *m_summary;
    QTabWidget *m_tabs;
    QTableView *m_figures;
    QTableView *m_pupils;
    QTextEdit *m_text;
    QPushButton *m_clear;
    stats::QuestionFiguresModel *m_questions;
    stats::PupilFiguresModel *m_pupilModel;
};
