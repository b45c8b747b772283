#include "statsview.h"

#include "answerstats.h"
#include "editorapp.h"
#include "statsmodel.h"
#include "studiotheme.h"

#include <QApplication>
#include <QCursor>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTextEdit>
#include <QVBoxLayout>

namespace {

const QString kTitle = QStringLiteral("Pelmaro");

// The tables and tabs on the studio's stage: gold headers and selection,
// light text on the deep blue panel.
const QString kStyle = QStringLiteral(R"css(
QTableView { background: #0a1236; alternate-background-color: #101a4a; color: #e8eefc; gridline-color: #22306e;
             border: 1px solid #3c5bd6; border-radius: 6px; font-size: 11pt; outline: none; }
QTableView::item:selected { background: #d9b44a; color: #0a1236; }
QHeaderView::section { background: #142170; color: #ffe9a8; border: none; border-right: 1px solid #2a3f9a;
                       padding: 4px 6px; font-weight: bold; }
QTableCornerButton::section { background: #142170; border: none; }
QTextEdit#questionText { background: #0a1236; color: #e8eefc; border: 1px solid #3c5bd6; border-radius: 6px;
                         font-size: 11pt; }
QTabWidget::pane { border: 1px solid #3c5bd6; border-radius: 6px; top: -1px; }
QTabBar::tab { background: #0b1440; color: #e8eefc; padding: 6px 16px; border: 1px solid #3c5bd6;
               border-bottom: none; border-top-left-radius: 6px; border-top-right-radius: 6px; }
QTabBar::tab:selected { background: #142170; color: #ffd75a; font-weight: bold; }
QLabel#statsTitle { color: #ffd75a; font-size: 14pt; font-weight: bold; }
QLabel#statsSummary { color: #e8eefc; font-size: 11pt; }
QScrollBar:vertical { background: #08102e; width: 12px; margin: 2px; border-radius: 5px; }
QScrollBar::handle:vertical { background: #3c5bd6; min-height: 36px; border-radius: 4px; }
QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; }
QScrollBar:horizontal { background: #08102e; height: 12px; margin: 2px; border-radius: 5px; }
QScrollBar::handle:horizontal { background: #3c5bd6; min-width: 36px; border-radius: 4px; }
QScrollBar::add-line:horizontal, QScrollBar::sub-line:horizontal { width: 0; }
)css");

QTableView *makeTable(QWidget *parent, const QString &name, QAbstractItemModel *model)
{
    auto *v = new QTableView(parent);
    v->setObjectName(name);
    v->setModel(model);
    v->setSortingEnabled(true);
    v->setSelectionBehavior(QAbstractItemView::SelectRows);
    v->setSelectionMode(QAbstractItemView::SingleSelection);
    v->setEditTriggers(QAbstractItemView::NoEditTriggers);
    v->setAlternatingRowColors(true);
    v->setWordWrap(false);
    v->verticalHeader()->setVisible(false);
    v->verticalHeader()->setDefaultSectionSize(26);
    v->horizontalHeader()->setHighlightSections(false);
    return v;
}

} // namespace

StatsView::StatsView(EditorApp &app, QWidget *parent) : QWidget(parent, Qt::Window), m_app(app)
{
    setObjectName(QStringLiteral("frmThongKe"));
    setWindowTitle(QStringLiteral("Thống kê câu hỏi – Pelmaro"));
    studio::styleForm(this);
    setStyleSheet(kStyle);

    m_title = new QLabel(this);
    m_title->setObjectName(QStringLiteral("statsTitle"));
    m_summary = new QLabel(this);
    m_summary->setObjectName(QStringLiteral("statsSummary"));
    m_summary->setWordWrap(true);

    m_questions = new stats::QuestionFiguresModel(this);
    m_pupilModel = new stats::PupilFiguresModel(this);
    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("statsTabs"));

    auto *questionPage = new QWidget(m_tabs);
    m_figures = makeTable(questionPage, QStringLiteral("figures"), m_questions);
    QHeaderView *h = m_figures->horizontalHeader();
    h->setSectionResizeMode(QHeaderView::ResizeToContents);
    h->setSectionResizeMode(stats::QuestionFiguresModel::Text, QHeaderView::Stretch);
    m_figures->setTextElideMode(Qt::ElideRight);
    m_text = new QTextEdit(questionPage);
    m_text->setObjectName(QStringLiteral("questionText"));
    m_text->setReadOnly(true);
    m_text->setPlaceholderText(QStringLiteral("Chọn một câu hỏi để xem toàn bộ nội dung."));
    m_text->setFixedHeight(140);
    auto *qv = new QVBoxLayout(questionPage);
    qv->setContentsMargins(8, 8, 8, 8);
    qv->addWidget(m_figures, 1);
    qv->addWidget(m_text);
    m_tabs->addTab(questionPage, QStringLiteral("Câu hỏi"));

    auto *pupilPage = new QWidget(m_tabs);
    m_pupils = makeTable(pupilPage, QStringLiteral("pupils"), m_pupilModel);
    m_pupils->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    auto *pv = new QVBoxLayout(pupilPage);
    pv->setContentsMargins(8, 8, 8, 8);
    pv->addWidget(m_pupils);
    m_tabs->addTab(pupilPage, QStringLiteral("Học sinh"));

    m_clear = new QPushButton(QStringLiteral("Xoá số liệu…"), this);
    m_clear->setObjectName(QStringLiteral("ClearStats"));
    m_clear->setToolTip(QStringLiteral("Xoá mọi câu trả lời đã ghi lại (ví dụ khi bắt đầu học kỳ mới)"));
    auto *close = new QPushButton(QStringLiteral("Đóng"), this);
    close->setObjectName(QStringLiteral("CloseStats"));
    for (QPushButton *b : {m_clear, close}) {
        b->setCursor(Qt::PointingHandCursor);
        b->setAutoDefault(true);
    }

    auto *top = new QHBoxLayout;
    top->addWidget(m_title, 1);
    top->addWidget(close);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(m_summary, 1);
    bottom->addWidget(m_clear);
    auto *v = new QVBoxLayout(this);
    v->setContentsMargins(18, 14, 18, 14);
    v->setSpacing(10);
    v->addLayout(top);
    v->addWidget(m_tabs, 1);
    v->addLayout(bottom);
    setMinimumSize(760, 480);
    resize(1240, 660);

    connect(close, &QPushButton::clicked, this, &QWidget::close);
    connect(m_clear, &QPushButton::clicked, this, &StatsView::clearFigures);
    connect(m_figures->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] { showSelected(); });
    connect(m_questions, &QAbstractItemModel::modelReset, this, [this] { m_text->clear(); });
}

void StatsView::showTable(db::QuestionTable t)
{
    m_table = t;
    refresh();
    show();
    raise();
    activateWindow();
}

void StatsView::refresh()
{
    m_title->setText(QStringLiteral("Thống kê bảng %1").arg(db::tableName(m_table)));
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const std::optional<QList<db::QuestionFigures>> figures = db::questionFigures(m_app.db(), m_table);
    const bool pupils = db::keepsPupils(m_app.db());
    const std::optional<QList<db::PupilFigures>> pupilRows =
        pupils ? db::pupilFigures(m_app.db()) : std::optional<QList<db::PupilFigures>>();
    QApplication::restoreOverrideCursor();

    m_tabs->setTabVisible(1, pupils);
    m_pupilModel->setFigures(pupilRows.value_or(QList<db::PupilFigures>()));
    if (!figures) {
        m_questions->setFigures({});
        m_summary->setText(QStringLiteral("Không đọc được số liệu của bảng này."));
        m_clear->setEnabled(false);
        return;
    }
    qint64 answers = 0;
    int asked = 0, changed = 0;
    for (const db::QuestionFigures &f : *figures) {
        answers += f.asked;
        asked += f.asked > 0 ? 1 : 0;
        changed += f.changed ? 1 : 0;
    }
    m_questions->setFigures(*figures);
    m_figures->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    QString summary = QStringLiteral("%1 câu hỏi, %2 câu đã được hỏi, %3 lượt trả lời.")
                          .arg(figures->size())
                          .arg(asked)
                          .arg(answers);
    if (changed > 0)
        summary += QStringLiteral(" Dấu * : câu hỏi đã sửa sau khi có số liệu (%1 câu).").arg(changed);
    m_summary->setText(summary);
    m_clear->setEnabled(m_app.db().mayEditBank());
}

void StatsView::showSelected()
{
    const QModelIndex i = m_figures->currentIndex();
    if (!i.isValid() || i.row() >= m_questions->rowCount()) {
        m_text->clear();
        return;
    }
    m_text->setPlainText(stats::QuestionFiguresModel::fullText(m_questions->at(i.row())));
}

void StatsView::tell(const QString &text, int icon)
{
    m_app.message(this, {text, kTitle, vn::Encoding::Plain, QMessageBox::Icon(icon), QMessageBox::Ok});
}

void StatsView::clearFigures()
{
    const std::optional<db::AnswerTally> tally = db::answerTally(m_app.db());
    if (!tally) {
        tell(QStringLiteral("Không đọc được số liệu đã ghi, nên không xoá gì.\n\n%1").arg(m_app.db().lastError()),
             QMessageBox::Warning);
        return;
    }
    if (tally->count == 0) {
        tell(QStringLiteral("Chưa có câu trả lời nào được ghi lại: không có gì để xoá."), QMessageBox::Information);
        return;
    }
    const QMessageBox::StandardButton sure = m_app.message(
        this, {QStringLiteral("Xoá số liệu của %1 câu trả lời đã ghi lại, ở mọi bảng câu hỏi?\n\n"
                              "Không thể hoàn tác. Các câu hỏi vẫn được giữ nguyên.")
                   .arg(tally->count),
               kTitle, vn::Encoding::Plain, QMessageBox::Question, QMessageBox::Yes | QMessageBox::No});
    if (sure != QMessageBox::Yes)
        return;
    const std::optional<qint64> removed = db::clearAnswers(m_app.db(), *tally);
    if (!removed) {
        tell(QStringLiteral("Không xoá được số liệu: cơ sở dữ liệu từ chối. Số liệu vẫn như cũ.\n\n%1")
                 .arg(m_app.db().lastError()),
             QMessageBox::Warning);
        return;
    }
    refresh();
    tell(QStringLiteral("Đã xoá số liệu của %1 câu trả lời.").arg(*removed), QMessageBox::Information);
}
