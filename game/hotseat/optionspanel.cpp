#include "optionspanel.h"

#include "hotseattexts.h"
#include "legacylabel.h"
#include "screenfit.h"
#include "numtext.h"

#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

using namespace hotseat;

namespace {
// Goals under the boxes and the lock-all button (VNI).
const QString kGoalCode = QStringLiteral("Muïc tieâu:1,000,000 $");
const QString kGoalFifteen = QStringLiteral("Muïc tieâu:Vöôït 15 caâu");
const QString kGoalTen = QStringLiteral("Muïc tieâu:Vöôït 10 caâu");
const QString kLockAll = QStringLiteral("Khoaù heát laïi");
// A pupil's panel on a class server: the switches are the teacher's.
const QString kTeacherSets = QStringLiteral("Caùc löïa choïn naøy do giaùo vieân ñaët treân maùy chuû.");
// The code display: the question editor's access code and its name.
const QString kEditorCode = QStringLiteral("Code: keeper42");
const QString kEditorName = QStringLiteral("Pelmaro");

QString vni(const QString &unicode)
{
    return vn::encodeLossy(unicode, vn::Encoding::Vni);
}

const char *kStyle = R"css(
#Picture6 {
    border: 2px solid #d9b44a; border-radius: 18px;
    background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #1b2c86, stop:1 #060d36);
}
QCheckBox { font-size: 12pt; color: #ffe9a8; spacing: 12px; }
QCheckBox:disabled { color: #7f8ab8; }
QCheckBox::indicator { width: 20px; height: 20px; border: 2px solid #d9b44a; border-radius: 6px; background: #0a1236; }
QCheckBox::indicator:hover { border-color: #ffd75a; }
QCheckBox::indicator:disabled { border-color: #46507c; background: #0b1130; }
QCheckBox::indicator:checked {
    background: qradialgradient(cx:0.5, cy:0.5, radius:0.5, fx:0.5, fy:0.5,
        stop:0 #fff2c4, stop:0.55 #ffd75a, stop:0.6 #0a1236);
}
#Picture6[teacherSets="true"] QCheckBox:disabled { color: #ffe9a8; }
#Picture6[teacherSets="true"] QCheckBox::indicator:disabled { border-color: #b8973c; }
#Picture8 { border: 1px dashed #d9b44a; border-radius: 8px; background: rgba(255, 215, 90, 28); }
)css";
} // namespace

OptionsPanel::OptionsPanel(QWidget *form, std::array<QString, 4> &values, std::array<QString, 4> &unlocks)
    : QFrame(form), m_l(values), m_lo(unlocks)
{
    setObjectName(QStringLiteral("Picture6"));
    setStyleSheet(QString::fromLatin1(kStyle));
    setVisible(false);

    auto *title = new LegacyLabel(this, QStringLiteral("optionsTitle"), vni(QStringLiteral("Tùy chọn")),
                                  vn::Encoding::Vni);
    title->setAlignment(Qt::AlignCenter);
    title->setExtraStyle(QStringLiteral("font-size: 15pt; font-weight: bold;"));
    title->setForeColor(QColor(255, 215, 90));

    auto makeBox = [this](const char *name, const QString &caption) {
        auto *box = new QCheckBox(vn::display(caption, vn::Encoding::Vni), this);
        box->setObjectName(QString::fromLatin1(name));
        box->setCursor(Qt::PointingHandCursor);
        box->setEnabled(false);
        return box;
    };
    m_check31 = makeBox("Check31", kOptionTopFive);
    m_check4 = makeBox("Check4", kOptionCode);
    m_check2 = makeBox("Check2", kOptionShowAnswer);
    m_check1 = makeBox("Check1", kOptionSkipRound);

    auto makeGoal = [this](const char *name, const QString &caption) {
        auto *goal = new LegacyLabel(this, QString::fromLatin1(name), caption, vn::Encoding::Vni);
        goal->setExtraStyle(QStringLiteral("font-size: 10pt; font-style: italic; padding-left: 34px;"));
        goal->setForeColor(QColor(150, 175, 240));
        goal->setBackdrop({QColor(0x1b, 0x2c, 0x86), QColor(0x06, 0x0d, 0x36)});
        return goal;
    };
    // The top-five box has no goal label of its own; this one tells where it unlocks.
    LegacyLabel *goalTopFive = makeGoal("goalTopFive", vni(QStringLiteral("Mục tiêu:Vượt 5 câu")));
    m_label23 = makeGoal("Label23", kGoalCode);
    m_label29 = makeGoal("Label29", kGoalFifteen);
    m_label31 = makeGoal("Label31", kGoalTen);

    m_picture8 = new QFrame(this);
    m_picture8->setObjectName(QStringLiteral("Picture8"));
    auto *code = new LegacyLabel(m_picture8, QStringLiteral("Label24(0)"), kEditorCode, vn::Encoding::Plain);
    code->setExtraStyle(QStringLiteral("font-family: 'DejaVu Sans Mono', monospace; font-size: 12pt; font-weight: bold;"));
    code->setForeColor(QColor(255, 233, 168));
    auto *name = new LegacyLabel(m_picture8, QStringLiteral("Label24(1)"), kEditorName, vn::Encoding::Plain);
    name->setExtraStyle(QStringLiteral("font-size: 10pt;"));
    name->setForeColor(QColor(150, 175, 240));
    auto *p8 = new QHBoxLayout(m_picture8);
    p8->setContentsMargins(12, 6, 12, 6);
    p8->addWidget(code);
    p8->addStretch();
    p8->addWidget(name);
    m_picture8->setVisible(false);
    m_picture8->installEventFilter(this); // the open panel fits the code display in or out

    m_label26 = new LegacyLabel(this, QStringLiteral("Label26"), kLockAll, vn::Encoding::Vni);
    m_label26->makeButton();
    m_label26->setExtraStyle(QStringLiteral("font-size: 10pt; padding: 4px 14px; border-color: #ff8a6a;"));
    m_teacherNote = new LegacyLabel(this, QStringLiteral("teacherNote"), kTeacherSets, vn::Encoding::Vni);
    m_teacherNote->setWordWrap(true);
    m_teacherNote->setExtraStyle(QStringLiteral("font-size: 10pt; font-weight: bold;"));
    m_teacherNote->setForeColor(QColor(255, 215, 90));
    m_teacherNote->setBackdrop({QColor(0x1b, 0x2c, 0x86), QColor(0x06, 0x0d, 0x36)});
    m_teacherNote->setVisible(false);
    m_image13 = new LegacyLabel(this, QStringLiteral("Image13"), QStringLiteral("\u2714"), vn::Encoding::Plain);
    m_image13->makeButton();
    m_image13->setLeastWidth(80);

    auto *boxes = new QVBoxLayout;
    boxes->setSpacing(4);
    auto addBox = [boxes](QCheckBox *box, QWidget *under, QWidget *more = nullptr) {
        boxes->addSpacing(6);
        boxes->addWidget(box);
        boxes->addWidget(under);
        if (more) {
            auto *indent = new QHBoxLayout;
            indent->setContentsMargins(34, 2, 0, 0);
            indent->addWidget(more);
            boxes->addLayout(indent);
        }
    };
    addBox(m_check31, goalTopFive);
    addBox(m_check4, m_label23, m_picture8);
    addBox(m_check2, m_label29);
    addBox(m_check1, m_label31);

    auto *footer = new QHBoxLayout;
    footer->addWidget(m_label26);
    footer->addStretch();
    footer->addWidget(m_image13);

    auto *v = new QVBoxLayout(this);
    v->setContentsMargins(28, 18, 28, 20);
    v->setSpacing(8);
    v->addWidget(title);
    v->addLayout(boxes);
    v->addWidget(m_teacherNote);
    v->addSpacing(10);
    v->addLayout(footer);

    // Every change of the code box shows the code display, ticked or not.
    connect(m_check4, &QCheckBox::toggled, m_picture8, &QWidget::show);
    connect(m_label26, &LegacyLabel::clicked, this, &OptionsPanel::lockAll);
    form->installEventFilter(this);
}

void OptionsPanel::showValues()
{
    m_check2->setChecked(num::whole(m_l[1]) == 1);
    m_check31->setChecked(num::whole(m_l[0]) == 1);
    m_check1->setChecked(num::whole(m_l[2]) == 1);
    m_check4->setChecked(num::whole(m_l[3]) == 1);
}

void OptionsPanel::open(double broughtIn)
{
    if (broughtIn >= 1000000)
        m_lo[3] = QStringLiteral("1");
    if (num::value(m_l[3]) == 1)
        m_picture8->setVisible(true);
    if (num::value(m_l[3]) == 0)
        m_picture8->setVisible(false);
    place();
    setVisible(true);
    raise();
    showValues();
    // A box can be changed when it is ticked or unlocked; any other is locked.
    const std::pair<QCheckBox *, int> order[4] = {{m_check2, 1}, {m_check31, 0}, {m_check1, 2}, {m_check4, 3}};
    for (const auto &[box, n] : order)
        box->setEnabled(!m_teacherSets && (box->isChecked() || num::value(m_lo[size_t(n)]) == 1));
}

void OptionsPanel::setTeacherSets(bool teacherSets)
{
    m_teacherSets = teacherSets;
    setProperty("teacherSets", teacherSets);
    setStyleSheet(QString::fromLatin1(kStyle)); // the property's rules apply from now on
    m_teacherNote->setVisible(teacherSets);
    // Locking everything again would change the switches too.
    if (teacherSets)
        m_label26->setVisible(false);
    for (QCheckBox *box : {m_check4, m_check2, m_check1, m_check31}) {
        box->setCursor(teacherSets ? Qt::ArrowCursor : Qt::PointingHandCursor);
        if (teacherSets)
            box->setEnabled(false);
    }
}

void OptionsPanel::applyAndClose()
{
    setVisible(false);
    if (m_teacherSets)
        return;
    auto flag = [](const QCheckBox *box) { return box->isChecked() ? QStringLiteral("1") : QStringLiteral("0"); };
    m_l[1] = flag(m_check2);
    m_l[0] = flag(m_check31);
    m_l[2] = flag(m_check1);
    m_l[3] = flag(m_check4);
}

void OptionsPanel::lockAll()
{
    for (QCheckBox *box : {m_check4, m_check2, m_check1, m_check31})
        box->setChecked(false);
    for (QString &s : m_l)
        s = QStringLiteral("0");
    for (QString &s : m_lo)
        s = QStringLiteral("0");
    // Once per run: it does not come back.
    m_label26->setVisible(false);
}

bool OptionsPanel::eventFilter(QObject *watched, QEvent *e)
{
    const bool refit = (watched == parentWidget() && e->type() == QEvent::Resize)
                       || (watched == m_picture8 && (e->type() == QEvent::ShowToParent
                                                     || e->type() == QEvent::HideToParent));
    if (refit && isVisible())
        place();
    return QFrame::eventFilter(watched, e);
}

void OptionsPanel::place()
{
    screenfit::centreOnForm(this, 420);
}
