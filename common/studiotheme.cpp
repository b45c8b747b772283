#include "studiotheme.h"

#include <QApplication>
#include <QEvent>
#include <QFont>
#include <QHBoxLayout>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <QVariant>
#include <QWidget>

namespace studio {

namespace {
const char *kStyle = R"css(
*[studioForm="true"] {
    background: qradialgradient(cx:0.5, cy:0.35, radius:0.9, fx:0.5, fy:0.3,
        stop:0 #24338f, stop:0.55 #0e1850, stop:1 #050a26);
}
QLabel { color: #e8eefc; background: transparent; }
QLabel[role="title"] { color: #ffd75a; font-size: 22pt; font-weight: bold; }
QLabel[role="host"] {
    color: #ffffff; font-size: 13pt;
    background: rgba(8, 14, 50, 200); border: 2px solid #3f63e0; border-radius: 14px;
    padding: 8px 16px;
}
QLabel[role="money"] { color: #ffd75a; font-size: 16pt; font-weight: bold; }
QLabel[role="button"] {
    color: #ffe9a8; font-weight: bold; font-size: 12pt;
    border: 2px solid #d9b44a; border-radius: 16px; padding: 6px 20px;
    background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #2a3f9a, stop:1 #0b1440);
}
QLabel[role="button"]:hover { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #3d5fd8, stop:1 #14217a); }
QLabel[role="button"]:disabled { color: #6f7aa3; border-color: #3b4670; background: #0b1233; }
QLabel[role="answer"] {
    color: #ffffff; font-size: 13pt; padding: 6px 18px;
    border: 2px solid #6f8cff; border-radius: 18px; background: rgba(12, 22, 80, 220);
}
QLabel[role="answer"]:hover { border-color: #ffd75a; }
QFrame[role="panel"] {
    background: rgba(6, 12, 44, 215); border: 2px solid #3f63e0; border-radius: 18px;
}
QLineEdit, QTextEdit, QPlainTextEdit {
    color: #ffffff; background: #0a1236; border: 2px solid #3c5bd6; border-radius: 8px;
    padding: 4px 8px; selection-background-color: #d9b44a; selection-color: #0a1236;
}
QLineEdit:focus, QTextEdit:focus, QPlainTextEdit:focus { border-color: #ffd75a; }
QLineEdit:read-only { color: #b8c2e8; }
QPushButton {
    color: #ffe9a8; font-weight: bold; padding: 7px 22px; border-radius: 15px;
    border: 2px solid #d9b44a;
    background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #2a3f9a, stop:1 #0b1440);
}
QPushButton:hover { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #3d5fd8, stop:1 #14217a); }
QPushButton:default { border-color: #ffd75a; }
QPushButton:disabled { color: #6f7aa3; border-color: #3b4670; background: #0b1233; }
QCheckBox, QRadioButton { color: #e8eefc; spacing: 8px; }
QComboBox, QListWidget, QListView, QTableView, QTreeView {
    color: #ffffff; background: #0a1236; border: 2px solid #3c5bd6; border-radius: 8px;
    selection-background-color: #d9b44a; selection-color: #0a1236;
}
QComboBox { padding: 4px 28px 4px 8px; }
QComboBox:focus { border-color: #ffd75a; }
QComboBox::drop-down {
    subcontrol-origin: padding; subcontrol-position: center right; width: 24px;
    border: none; background: transparent;
}
QComboBox::down-arrow { image: url(:/studio/arrow-down.png); width: 10px; height: 6px; }
QComboBox::down-arrow:disabled { image: none; }
QComboBox QAbstractItemView { background: #0a1236; color: #ffffff; }
QGroupBox { color: #ffd75a; border: 2px solid #3f63e0; border-radius: 12px; margin-top: 14px; padding-top: 8px; }
QGroupBox::title { subcontrol-origin: margin; left: 14px; padding: 0 6px; }
QDialog { background: #0e1850; }
QDialogButtonBox { dialogbuttonbox-buttons-have-icons: 0; }
QMessageBox QLabel { color: #e8eefc; }
QHeaderView { background: #0a1236; }
QHeaderView::section {
    color: #ffe9a8; background: #16287a; padding: 4px 8px;
    border: none; border-right: 1px solid #3c5bd6; border-bottom: 1px solid #3c5bd6;
}
QToolButton { background: #dfe6ff; border: 1px solid #3c5bd6; border-radius: 6px; padding: 3px; }
QToolButton:hover { border-color: #ffd75a; }
QToolButton:disabled { background: #6f7aa3; }
QMenu { color: #e8eefc; background: #0e1850; border: 1px solid #3c5bd6; }
QMenu::item:selected { color: #0a1236; background: #d9b44a; }
QMenu::item:disabled { color: #8a94bd; }
QProgressBar {
    color: #ffffff; background: #0a1236; border: 2px solid #3c5bd6; border-radius: 8px;
    text-align: center; min-height: 22px;
}
QProgressBar::chunk { background: #3f63e0; border-radius: 6px; }
QToolTip { color: #0a1236; background: #ffe9a8; border: 1px solid #d9b44a; }
)css";
} // namespace

void applyApplicationStyle(QApplication &app)
{
    // The desktop's own sans-serif (its settings choose it), at the stage's size.
    QFont f = app.font();
    f.setPointSize(11);
    app.setFont(f);
    app.setStyleSheet(QString::fromLatin1(kStyle));
}

namespace {
// A form's stage, painted once a paint. Left to Qt, a window is first filled
// with its palette's window brush (the style sheet puts its background there)
// and then the style sheet's background is drawn over it: the gradient twice
// over the whole window. The stage is opaque, so the form paints it alone,
// before its own painting, pixel for pixel as before.
class Stage : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *e) override
    {
        if (e->type() == QEvent::Paint) {
            auto *form = static_cast<QWidget *>(watched);
            QPainter p(form);
            QStyleOption opt;
            opt.initFrom(form);
            form->style()->drawPrimitive(QStyle::PE_Widget, &opt, &p, form);
        }
        return false;
    }
};
} // namespace

void styleForm(QWidget *form)
{
    form->setProperty("studioForm", true);
    form->setAttribute(Qt::WA_StyledBackground, true);
    form->setAttribute(Qt::WA_OpaquePaintEvent, true);
    form->installEventFilter(new Stage(form));
}

void setRole(QWidget *w, const char *role)
{
    w->setProperty("role", QString::fromLatin1(role));
}

QHBoxLayout *centredRow(std::initializer_list<QWidget *> widgets, int stretch)
{
    auto *row = new QHBoxLayout;
    row->addStretch();
    for (QWidget *w : widgets)
        row->addWidget(w, stretch);
    row->addStretch();
    return row;
}

} // namespace studio
