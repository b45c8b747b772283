#include "editorform.h"


#include "csvactions.h"
#include "csvbank.h"
#include "editorapp.h"
#include "editorstore.h"
#include "editorwidgets.h"
#include "legacylabel.h"
#include "statsview.h"
#include "studiotheme.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QListView>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

using db::QuestionTable;

const QString kOptionCaptions[5] = {
    QStringLiteral("Mæïc Dãù(1-5)"),
    QStringLiteral("Mæïc Tb(6-10)"),
    QStringLiteral("Mæïc Khoï(11-15)"),
    QStringLiteral("Cáu hoíi voìng thæí thaïch"),
    QStringLiteral("Thuìng Raïc"),
};
const QuestionTable kOptionTables[5] = {QuestionTable::Muc1, QuestionTable::Muc2, QuestionTable::Muc3,
                                        QuestionTable::Thuthach, QuestionTable::Thungrac};

const QString kNote = QStringLiteral(
    "Xin löu yù: Ñeå Pelmaro trong moãi möùc baïn phaûi coù toái thieåu 20 caâu. Xaùc suaát laëp laïi "
    "caâu hoûi tuyø thuoäc soá löôïng caâu hoûi. Chi tieác lieân heä vôùi taùc giaû...");
const QString kView = QStringLiteral("&Xem cáu hoíi");
const QString kExit = QStringLiteral("&Thoaït");
const QString kCompose = QStringLiteral("&Pelmaro");
const QString kSave = QStringLiteral("&Læu");
const QString kDelete = QStringLiteral("&Xoaï cáu hoíi");
const QString kClose = QStringLiteral("X");
const QString kKeepCopy = QStringLiteral("&Coï læu");
const QString kNoCopyDesign = QStringLiteral("&Khäng læu");
const QString kNoCopy = QStringLiteral("Khäng læu");
const QString kDeleteNow = QStringLiteral("Xoaï cáu hoíi");
const QString kAskTrash = QStringLiteral("Baûn coï muäún  læu vaìo thuìng raïc khäng ?");
const QString kSavedTrash =
    QStringLiteral("Baûn âaî læu vaìo thuìng raïc,báy giåì vui loìng xoaï trong danh muc naìy !");

// Field captions, by Label1 index.
const QString kFieldCaptions[7] = {
    QStringLiteral("Cáu hoíi"), QStringLiteral("Traí låìi"), QStringLiteral("D"),
    QStringLiteral("C"),        QStringLiteral("Âaïp AÏn"),  QStringLiteral("A"),
    QStringLiteral("B"),
};

// The preview line's literals (VNI).
const QString kPvQuestion = QStringLiteral("???: ");
const QString kPvA = QStringLiteral("   Da A: ");
const QString kPvB = QStringLiteral("   Da B: ");
const QString kPvC = QStringLiteral("  Da  C: ");
const QString kPvD = QStringLiteral("   Da  D: ");
const QString kPvAnswer = QStringLiteral("Ñ   Dung: ");

const QString kMessageTitle = QStringLiteral("Pelmaro");

// The editor's touches over the studio look: a roomy list with a gold
// selection bar, slim gold scroll bars, gold option dots, square close buttons.
const QString kFormStyle = QStringLiteral(R"css(
QListView#List1 { padding: 4px; outline: none; font-size: 12pt; }
QListView#List1::item { padding: 3px 8px; border-radius: 6px; color: #e8eefc; }
QListView#List1::item:hover { background: rgba(63, 99, 224, 90); }
QListView#List1::item:selected { background: #d9b44a; color: #0a1236; }
QListView#List1:disabled { color: #6f7aa3; }
QListView#List1::item:selected:disabled { background: #6b5a2a; color: #0a1236; }
QScrollBar:vertical { background: #08102e; width: 12px; margin: 2px; border-radius: 5px; }
QScrollBar::handle:vertical { background: #3c5bd6; min-height: 36px; border-radius: 4px; }
QScrollBar::handle:vertical:hover { background: #d9b44a; }
QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; }
QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: none; }
QRadioButton { font-size: 12pt; padding: 3px 0; }
QRadioButton::indicator { width: 14px; height: 14px; border-radius: 8px; border: 2px solid #3c5bd6; background: #0a1236; }
QRadioButton::indicator:hover { border-color: #ffd75a; }
QRadioButton::indicator:checked { border-color: #ffd75a; background: qradialgradient(cx:0.5, cy:0.5, radius:0.5, fx:0.5, fy:0.5, stop:0 #ffe9a8, stop:0.55 #d9b44a, stop:0.6 #0a1236); }
QRadioButton:checked { color: #ffd75a; font-weight: bold; }
QPushButton#Command8, QPushButton#Command7 { padding: 4px 0; min-width: 40px; max-width: 40px; border-radius: 14px; }
QPushButton#Command8:hover, QPushButton#Command7:hover { border-color: #ff8a6a; color: #ffffff; }
QLabel#listTitle { color: #ffd75a; font-size: 13pt; font-weight: bold; }
QLabel#subtitle { color: #7fb2ff; font-size: 12pt; }
)css");

int optionOf(QuestionTable t)
{
    for (int i = 0; i < 5; ++i)
        if (kOptionTables[i] == t)
            return i;
    return 0;
}

} // namespace

// Leaving asks nothing and saves nothing still in the fields.
EditorForm::EditorForm(EditorApp &app) : LegacyForm(app, QStringLiteral("Form1"), QStringLiteral("Pelmaro")), m_app(app)
{
    setStyleSheet(kFormStyle);
    resize(1100, 720); // the layout sets the smallest size
    buildUi();

    m_option[0]->setChecked(true);
    m_picture1->setVisible(false);
    m_picture2->setVisible(false);
    m_text8->setVisible(false);
    m_picture3->setEnabled(false);
    m_command1->setEnabled(false);
    m_command3->setEnabled(false);

    for (int i = 0; i < 5; ++i)
        connect(m_option[i], &QRadioButton::clicked, this, [this, i] { chooseTable(i + 1); });
    connect(m_command2, &QPushButton::clicked, this, &EditorForm::view);
    connect(m_command4, &QPushButton::clicked, this, [this] { m_app.endProgram(); });
    connect(m_command9, &QPushButton::clicked, this, &EditorForm::compose);
    connect(m_command1, &QPushButton::clicked, this, &EditorForm::save);
    connect(m_command8, &QPushButton::clicked, this, &EditorForm::closeListPanel);
    connect(m_command3, &QPushButton::clicked, this, &EditorForm::startRemoval);
    connect(m_command10, &QPushButton::clicked, this, &EditorForm::saveCopyToTrash);
    connect(m_command6, &QPushButton::clicked, this, &EditorForm::removeQuestion);
    connect(m_command7, &QPushButton::clicked, this, &EditorForm::cancelRemoval);
    // The list's Click: a changed selection (mouse or keys), or a click on the
    // selected line, shows the line's question.
    connect(m_list1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) { showQuestion(current.isValid() ? current.row() : -1); });
    connect(m_list1, &QListView::clicked, this, [this](const QModelIndex &i) { showQuestion(i.row()); });
    connect(m_list1, &QListView::doubleClicked, this, [this] { preview(); });
}

StatsView *EditorForm::showStats()
{
    if (!m_stats)
        m_stats = new StatsView(m_app, this);
    m_stats->showTable(chosenTable());
    return m_stats;
}

void EditorForm::buildUi()
{
    auto makeButton = [](QWidget *parent, const char *name, const QString &caption) {
        auto *b = new LegacyButton(parent, QString::fromLatin1(name), caption);
        b->setAutoDefault(true); // Enter on a focused button presses it
        return b;
    };

    // --- header -------------------------------------------------------------
    auto *title = new QLabel(QStringLiteral("Pelmaro"), this);
    studio::setRole(title, "title");
    auto *subtitle = new QLabel(QStringLiteral("Biên tập ngân hàng câu hỏi"), this);
    subtitle->setObjectName(QStringLiteral("subtitle"));
    m_command4 = makeButton(this, "Command4", kExit);

    // --- left column: tables and actions -------------------------------------
    auto *tables = new QFrame(this);
    tables->setObjectName(QStringLiteral("tables"));
    studio::setRole(tables, "panel");
    auto *tv = new QVBoxLayout(tables);
    tv->setContentsMargins(18, 14, 18, 14);
    tv->setSpacing(8);
    for (int i = 0; i < 5; ++i) {
        m_option[i] = new QRadioButton(vn::display(kOptionCaptions[i], vn::Encoding::VnTimes), tables);
        m_option[i]->setObjectName(QStringLiteral("Option%1").arg(i + 1));
        m_option[i]->setCursor(Qt::PointingHandCursor);
        if (i == 4) {
            auto *sep = new QFrame(tables);
            sep->setFixedHeight(1);
            sep->setStyleSheet(QStringLiteral("background: #3f63e0; border: none;"));
            tv->addWidget(sep);
        }
        tv->addWidget(m_option[i]);
    }

    m_command2 = makeButton(this, "Command2", kView);
    m_command3 = makeButton(this, "Command3", kDelete);
    m_command9 = makeButton(this, "Command9", kCompose);
    m_command9->setDefault(true);

    m_label3 = new LegacyLabel(this, QStringLiteral("Label3"), kNote, vn::Encoding::Vni);
    m_label3->setWordWrap(true);
    studio::setRole(m_label3, "host");
    m_label3->setExtraStyle(QStringLiteral("font-size: 10pt;"));
    // The note wraps to the column's width rather than widening it.
    m_label3->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);

    auto *left = new QVBoxLayout;
    left->setSpacing(10);
    left->addWidget(tables);
    m_csv = new CsvActions(m_app, *this);
    left->addWidget(m_csv->buttons());
    auto *stats = new QPushButton(QStringLiteral("Thống kê…"), this);
    stats->setObjectName(QStringLiteral("Stats"));
    stats->setCursor(Qt::PointingHandCursor);
    stats->setAutoDefault(true);
    stats->setToolTip(QStringLiteral("Xem mỗi câu hỏi của bảng đang chọn đã được hỏi bao nhiêu lần, trả lời đúng "
                                     "sai ra sao, dùng trợ giúp nào"));
    connect(stats, &QPushButton::clicked, this, &EditorForm::showStats);
    left->addWidget(stats);
    left->addSpacing(4);
    left->addWidget(m_command2);
    left->addWidget(m_command3);
    left->addWidget(m_command9);
    left->addStretch(1);
    left->addWidget(m_label3);

    // --- list panel -----------------------------------------------------------
    m_picture1 = new QFrame(this);
    m_picture1->setObjectName(QStringLiteral("Picture1"));
    studio::setRole(m_picture1, "panel");

    m_command8 = makeButton(m_picture1, "Command8", kClose);
    m_listTitle = new QLabel(m_picture1);
    m_listTitle->setObjectName(QStringLiteral("listTitle"));
    m_command8->setToolTip(QStringLiteral("Đóng danh sách"));

    m_model = new QuestionListModel(this);
    m_list1 = new QListView(m_picture1);
    m_list1->setObjectName(QStringLiteral("List1"));
    m_list1->setModel(m_model);
    m_list1->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Every line has the same height: only the lines in sight are laid out and
    // decoded, however long the table is.
    m_list1->setUniformItemSizes(true);
    m_list1->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_list1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list1->setTextElideMode(Qt::ElideRight);
    m_list1->setAlternatingRowColors(false);

    m_text8 = new QLineEdit(m_picture1);
    m_text8->setObjectName(QStringLiteral("Text8"));
    m_text8->setReadOnly(true);
    m_text8->setStyleSheet(QStringLiteral("QLineEdit { border-color: #d9b44a; color: #ffe9a8; }"));

    m_picture2 = new QFrame(m_picture1);
    m_picture2->setObjectName(QStringLiteral("Picture2"));
    m_picture2->setStyleSheet(QStringLiteral(
        "QFrame#Picture2 { background: rgba(40, 18, 30, 230); border: 2px solid #ffd75a; border-radius: 14px; }"));
    m_label1[7] = new LegacyLabel(m_picture2, QStringLiteral("Label1(7)"), kAskTrash);
    m_label1[7]->setWordWrap(true);
    m_label1[7]->setForeColor(QColor(255, 233, 168));
    m_label1[7]->setExtraStyle(QStringLiteral("font-weight: bold;"));
    m_command10 = makeButton(m_picture2, "Command10", kKeepCopy);
    m_command6 = makeButton(m_picture2, "Command6", kNoCopyDesign);
    m_command7 = makeButton(m_picture2, "Command7", kClose);
    auto *p2 = new QHBoxLayout(m_picture2);
    p2->setContentsMargins(16, 10, 12, 10);
    p2->setSpacing(10);
    p2->addWidget(m_label1[7], 1);
    p2->addWidget(m_command10);
    p2->addWidget(m_command6);
    p2->addWidget(m_command7);

    auto *p1top = new QHBoxLayout;
    p1top->addWidget(m_listTitle, 1);
    p1top->addWidget(m_command8);
    auto *p1 = new QVBoxLayout(m_picture1);
    p1->setContentsMargins(14, 10, 14, 14);
    p1->setSpacing(8);
    p1->addLayout(p1top);
    p1->addWidget(m_list1, 1);
    p1->addWidget(m_text8);
    p1->addWidget(m_picture2);

    // --- editing panel --------------------------------------------------------
    m_picture3 = new QFrame(this);
    m_picture3->setObjectName(QStringLiteral("Picture3"));
    studio::setRole(m_picture3, "panel");
    for (int i = 0; i < 7; ++i) {
        m_label1[i] = new LegacyLabel(m_picture3, QStringLiteral("Label1(%1)").arg(i), kFieldCaptions[i]);
        m_label1[i]->setForeColor(studio::gold());
        m_label1[i]->setExtraStyle(QStringLiteral("font-weight: bold;"));
    }
    m_text1 = new VniLineEdit(m_picture3, QStringLiteral("Text1"));
    m_text2 = new VniLineEdit(m_picture3, QStringLiteral("Text2"));
    m_text3 = new VniLineEdit(m_picture3, QStringLiteral("Text3"));
    m_text4 = new VniLineEdit(m_picture3, QStringLiteral("Text4"));
    m_text5 = new VniLineEdit(m_picture3, QStringLiteral("Text5"));
    m_text6 = new VniLineEdit(m_picture3, QStringLiteral("Text6"));
    m_text6->setMaximumWidth(160);
    m_text7 = new QLineEdit(m_picture3);
    m_text7->setObjectName(QStringLiteral("Text7"));
    // The ID is given by the table (the next free number), never typed.
    m_text7->setReadOnly(true);
    m_text7->setFocusPolicy(Qt::NoFocus);
    m_text7->setAlignment(Qt::AlignCenter);
    m_text7->setFixedWidth(90);
    auto *idCaption = new QLabel(QStringLiteral("ID"), m_picture3);
    idCaption->setStyleSheet(QStringLiteral("color: #7fb2ff; font-weight: bold;"));
    m_command1 = makeButton(m_picture3, "Command1", kSave);
    m_command1->setMinimumWidth(140);

    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(8);
    grid->addWidget(m_label1[0], 0, 0);
    grid->addWidget(m_text1, 0, 1, 1, 3);
    auto *idBox = new QHBoxLayout;
    idBox->setSpacing(8);
    idBox->addSpacing(6);
    idBox->addWidget(idCaption);
    idBox->addWidget(m_text7);
    grid->addLayout(idBox, 0, 4);
    grid->addWidget(m_label1[1], 1, 0, 1, 5);
    grid->addWidget(m_label1[5], 2, 0, Qt::AlignRight);
    grid->addWidget(m_text2, 2, 1);
    grid->addWidget(m_label1[6], 2, 2, Qt::AlignRight);
    grid->addWidget(m_text3, 2, 3, 1, 2);
    grid->addWidget(m_label1[3], 3, 0, Qt::AlignRight);
    grid->addWidget(m_text4, 3, 1);
    grid->addWidget(m_label1[2], 3, 2, Qt::AlignRight);
    grid->addWidget(m_text5, 3, 3, 1, 2);
    grid->addWidget(m_label1[4], 4, 0);
    auto *answerRow = new QHBoxLayout;
    answerRow->addWidget(m_text6);
    answerRow->addStretch();
    answerRow->addWidget(m_command1);
    grid->addLayout(answerRow, 4, 1, 1, 4);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    auto *p3 = new QVBoxLayout(m_picture3);
    p3->setContentsMargins(18, 14, 18, 14);
    p3->addLayout(grid);

    QWidget::setTabOrder(m_text1, m_text2);
    QWidget::setTabOrder(m_text2, m_text3);
    QWidget::setTabOrder(m_text3, m_text4);
    QWidget::setTabOrder(m_text4, m_text5);
    QWidget::setTabOrder(m_text5, m_text6);
    QWidget::setTabOrder(m_text6, m_command1);

    // --- assembly ---------------------------------------------------------------
    auto *right = new QVBoxLayout;
    right->setSpacing(12);
    right->addWidget(m_picture1, 1);
    right->addWidget(m_picture3, 0);
    right->addStretch(0); // takes the room of the list panel while it is hidden

    auto *body = new QHBoxLayout;
    body->setSpacing(16);
    auto *leftHolder = new QWidget(this);
    leftHolder->setLayout(left);
    // As wide as its buttons need, whatever the font, at least 300 pixels, and no wider.
    left->addItem(new QSpacerItem(300, 0, QSizePolicy::Fixed, QSizePolicy::Minimum));
    leftHolder->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    left->setContentsMargins(0, 0, 0, 0);
    body->addWidget(leftHolder);
    body->addLayout(right, 1);

    auto *header = new QHBoxLayout;
    header->addWidget(title);
    header->addSpacing(14);
    header->addWidget(subtitle, 0, Qt::AlignBottom);
    header->addStretch();
    header->addWidget(m_command4);

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(22, 14, 22, 20);
    outer->setSpacing(12);
    outer->addLayout(header);
    outer->addLayout(body, 1);
}

QuestionTable EditorForm::chosenTable() const
{
    for (int i = 0; i < 5; ++i)
        if (m_option[i]->isChecked())
            return kOptionTables[i];
    return QuestionTable::Muc1;
}

void EditorForm::notify(const QString &text, QMessageBox::Icon icon)
{
    m_app.message(this, {text, kMessageTitle, vn::Encoding::Plain, icon, QMessageBox::Ok});
}

const QuestionListModel *EditorForm::listModel() const
{
    return m_model;
}

void EditorForm::clearFields()
{
    for (VniLineEdit *e : {m_text1, m_text2, m_text3, m_text4, m_text5, m_text6})
        e->setLegacy(QString());
}

// --- browsing -------------------------------------------------------------------

void EditorForm::chooseTable(int option)
{
    if (option < 1 || option > 5)
        return;
    if (!m_option[option - 1]->isChecked())
        m_option[option - 1]->setChecked(true);
    m_command1->setEnabled(false);
    offerDelete(false);
    m_picture3->setEnabled(false);
}

void EditorForm::view()
{
    // A reload ends any removal still waiting for its confirmation: the line it
    // was about may be gone or elsewhere now.
    closeConfirmation();
    m_picture1->setVisible(true);
    m_model->clear(); // emptying the list is no Click
    offerDelete(true); // even for an empty table: its removal deletes nothing
    m_listTable = chosenTable();
    const QString tableCaption = vn::display(kOptionCaptions[optionOf(m_listTable)], vn::Encoding::VnTimes);
    m_listTitle->setText(tableCaption);

    QString error;
    const std::optional<int> count = editorstore::countQuestions(m_app.db(), m_listTable, &error);
    if (!count) {
        notify(QStringLiteral("Không đọc được bảng câu hỏi %1.\n\n%2").arg(db::tableName(m_listTable), error),
               QMessageBox::Critical);
        return;
    }
    // Lines are read as the list shows them.
    db::GameDb *store = &m_app.db();
    const QuestionTable t = m_listTable;
    m_model->setSource(*count, [store, t](qint64 position, int n) { return store->questionsFrom(t, position, n); });
    m_listTitle->setText(QStringLiteral("%1  \u2014  %2 câu hỏi").arg(tableCaption).arg(m_model->rowCount()));
    if (m_model->rowCount() > 0) {
        // Selecting the first line is its Click: the first question is shown.
        m_list1->setCurrentIndex(m_model->index(0));
        m_list1->scrollToTop();
    }
}

void EditorForm::showQuestion(int line)
{
    // Each line stands for its own row: two questions of the same text, or one
    // holding an apostrophe, show their own answers.
    const std::optional<db::Question> row = m_model->rowAt(line);
    if (!row)
        return;
    const db::Question &r = *row;
    m_text1->setLegacy(r.cauhoi);
    m_text7->setText(QString::number(r.id));
    m_text2->setLegacy(r.a);
    m_text3->setLegacy(r.b);
    m_text4->setLegacy(r.c);
    m_text5->setLegacy(r.d);
    m_text6->setLegacy(r.traloi);
    m_text8->setVisible(false);
}

void EditorForm::preview()
{
    m_previewLegacy = kPvQuestion + m_text1->legacyLossy() + kPvA + m_text2->legacyLossy() + kPvB
                      + m_text3->legacyLossy() + kPvC + m_text4->legacyLossy() + kPvD + m_text5->legacyLossy()
                      + kPvAnswer + m_text6->legacyLossy();
    m_text8->setText(vn::decode(m_previewLegacy, vn::Encoding::Vni));
    m_text8->setCursorPosition(0);
    m_text8->setToolTip(m_text8->text());
    m_text8->setVisible(true);
}

// --- composing ------------------------------------------------------------------

void EditorForm::compose()
{
    m_command1->setEnabled(true);
    m_picture1->setVisible(false);
    offerDelete(false);
    m_picture3->setEnabled(true);
    m_text1->setFocus();

    const QuestionTable t = chosenTable();
    if (t == QuestionTable::Thungrac)
        return;
    QString error;
    if (const std::optional<qint64> id = editorstore::nextId(m_app.db(), t, &error)) {
        m_text7->setText(QString::number(*id));
    } else {
        // Never a stale ID: Save gives the question the next free one anyway.
        m_text7->clear();
        notify(QStringLiteral("Không đọc được số thứ tự tiếp theo của bảng %1.\n\n%2").arg(db::tableName(t), error));
    }
}

std::optional<db::Question> EditorForm::fieldsAsQuestion(QuestionTable t, bool whole, const QString &notDone)
{
    struct Field {
        VniLineEdit *edit;
        const char *name;
    };
    const Field fields[6] = {{m_text1, "Câu hỏi"}, {m_text2, "A"}, {m_text3, "B"},
                             {m_text4, "C"},       {m_text5, "D"}, {m_text6, "Đáp án"}};
    db::Question q;
    QString *out[6] = {&q.cauhoi, &q.a, &q.b, &q.c, &q.d, &q.traloi};
    // What the import refuses, said as it says it; without `whole`, only
    // what the store cannot hold.
    QStringList faults;
    VniLineEdit *first = nullptr;
    for (int c = 0; c < 6; ++c) {
        const std::optional<QString> stored = fields[c].edit->legacy();
        for (const csvbank::Fault &fault : csvbank::checkText(t, c, fields[c].edit->text(), stored)) {
            if (!whole && fault.kind != csvbank::FaultKind::Unstorable && fault.kind != csvbank::FaultKind::TooLong)
                continue;
            faults << QStringLiteral("Ô \u201C%1\u201D: %2")
                          .arg(QString::fromUtf8(fields[c].name), csvbank::reason(fault, t, csvbank::Language::Vietnamese));
            if (!first)
                first = fields[c].edit;
        }
        // An empty field is stored as the empty text it is, never as NULL.
        *out[c] = !stored || stored->isNull() ? QString(QLatin1String("")) : *stored;
    }
    if (!faults.isEmpty()) {
        notify(QStringLiteral("%1 Hãy sửa rồi bấm lại.\n\n%2").arg(notDone, faults.join(QLatin1Char('\n'))));
        first->setFocus();
        return std::nullopt;
    }
    return q;
}

void EditorForm::save()
{
    const QuestionTable t = chosenTable();
    if (t == QuestionTable::Thungrac) {
        // The trash only receives copies of removed questions; keep what was typed.
        notify(QStringLiteral("Câu hỏi không được lưu vào Thùng Rác. Hãy chọn một mức hoặc "
                              "Câu hỏi vòng thử thách, bấm \u201CPelmaro\u201D rồi bấm \u201CLưu\u201D."),
               QMessageBox::Information);
        return;
    }

    const std::optional<db::Question> q = fieldsAsQuestion(t, true, QStringLiteral("Câu hỏi chưa được lưu."));
    if (!q)
        return;
    QString error;
    const std::optional<qint64> id = editorstore::appendAtEnd(m_app.db(), t, *q, &error);
    if (!id) {
        notify(QStringLiteral("Không ghi được vào cơ sở dữ liệu, câu hỏi chưa được lưu.\n\n%1").arg(error),
               QMessageBox::Critical);
        return;
    }
    clearFields();
    m_text7->setText(QString::number(*id + 1));
}

void EditorForm::closeListPanel()
{
    compose();
    m_command1->setEnabled(false);
    offerDelete(false);
    clearFields();
    m_picture1->setVisible(false);
}

// --- removal --------------------------------------------------------------------

void EditorForm::startRemoval()
{
    m_label1[7]->setCaption(kAskTrash);
    m_list1->setEnabled(false);
    m_command6->setCaption(kNoCopy);

    // The removal is about the question selected now (none on an empty
    // list), in the table listed now.
    m_pendingTable = m_listTable;
    m_pending = m_model->rowAt(selectedLine());
    m_command10->setEnabled(true);

    if (m_listTable != QuestionTable::Thungrac) {
        const std::optional<qint64> id = editorstore::nextId(m_app.db(), QuestionTable::Thungrac);
        m_text9 = id ? QString::number(*id) : QString();
    }
    m_picture2->setVisible(true);
}

void EditorForm::saveCopyToTrash()
{
    if (m_pendingTable != QuestionTable::Thungrac) {
        // The question as the fields show it goes to the trash (the selected
        // line's, unless it was edited after Compose).
        const std::optional<db::Question> copy =
            fieldsAsQuestion(QuestionTable::Thungrac, false, QStringLiteral("Câu hỏi chưa được chép vào Thùng Rác."));
        if (!copy)
            return;
        QString error;
        const std::optional<qint64> id = editorstore::appendAtEnd(m_app.db(), QuestionTable::Thungrac, *copy, &error);
        if (!id) {
            notify(QStringLiteral("Không chép được câu hỏi vào Thùng Rác.\n\n%1").arg(error), QMessageBox::Critical);
            return;
        }
        m_text9 = QString::number(*id);
        clearFields();
    }
    m_label1[7]->setCaption(kSavedTrash);
    m_command10->setEnabled(false);
    m_command6->setCaption(kDeleteNow);
}

void EditorForm::removeQuestion()
{
    m_list1->setEnabled(true);
    m_picture2->setVisible(false);

    const QuestionTable t = m_pendingTable;
    const std::optional<db::Question> target = std::exchange(m_pending, std::nullopt);
    if (target) {
        QString error;
        switch (editorstore::removeAndRenumber(m_app.db(), t, *target, &error)) {
        case editorstore::RemoveResult::Removed:
            break;
        case editorstore::RemoveResult::Gone:
            notify(QStringLiteral("Câu hỏi này đã bị thay đổi hoặc xoá ở nơi khác nên không bị xoá. "
                                  "Danh sách được nạp lại."));
            break;
        case editorstore::RemoveResult::Failed:
            notify(QStringLiteral("Không xoá được câu hỏi; bảng câu hỏi được giữ nguyên như cũ.\n\n%1").arg(error),
                   QMessageBox::Critical);
            break;
        }
    } else if (!renumber(t)) {
        notify(QStringLiteral("Không đánh số lại được bảng câu hỏi %1; bảng được giữ nguyên như cũ.\n\n%2")
                   .arg(db::tableName(t), m_app.db().lastError()),
               QMessageBox::Critical);
    }
    view();
}

void EditorForm::cancelRemoval()
{
    closeConfirmation();
}

void EditorForm::closeConfirmation()
{
    m_list1->setEnabled(true);
    m_picture2->setVisible(false);
    m_pending.reset();
}

int EditorForm::selectedLine() const
{
    const QModelIndexList picked = m_list1->selectionModel()->selectedRows();
    return picked.isEmpty() ? -1 : picked.first().row();
}

void EditorForm::offerDelete(bool offered)
{
    m_command3->setEnabled(offered);
}

bool EditorForm::renumber(QuestionTable t)
{
    return m_app.db().renumber(t);
}

// --- window -----------------------------------------------------------------------

void EditorForm::keyPressEvent(QKeyEvent *e)
{
    // Compose is the form's default button.
    if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && !(e->modifiers() & ~Qt::KeypadModifier)) {
        e->accept();
        if (m_command9->isEnabled())
            m_command9->click();
        return;
    }
    QWidget::keyPressEvent(e);
}
