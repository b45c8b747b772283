#include "qualifyingform.h"

#include "accounts/loginform.h"
#include "desktop/soundpanel.h"
#include "desktop/windowkeeper.h"
#include "gameapp.h"
#include "gamedb.h"
#include "hotseat/hotseatform.h"
#include "legacylabel.h"
#include "legacytimer.h"
#include "numtext.h"
#include "qualifyingkeys.h"
#include "referee/referee.h"
#include "studiotheme.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QValidator>
#include <QVBoxLayout>

namespace {
const QString kIntro = QStringLiteral("Xin thäng baïo baûn coï thãø bàõt âáöu våïi voìng thæí thaïch cuía troì chåi "
                                      "Lontaris... Chuïc baûn may màõn... ");
const QString kGuide = QStringLiteral("Hæåïng Dáùn");
const QString kQuestionHead = QStringLiteral("Cáu hoíi:");
const QString kWelcome = QStringLiteral("Chaøo möøng baïn tham gia...");
const QString kInstructions = QStringLiteral(
    "Baïn coù 20 giaây vöøa ñoïc caâu hoûi vöøa traû lôøi nhaäp vaøo textbox phía döôùi baèng baøn phím hay "
    "duøng chuoät ...Chuùc baïn may maén...");
const QString kStart = QStringLiteral("Baét ñaàu");
const QString kExit = QStringLiteral("Thoaùt");
const QString kContinue = QStringLiteral("Tieáp tuïc");
const QString kAnswerButton = QStringLiteral("Traí Låìi");
const QString kPassed = QStringLiteral("Xin chuùc möøng baïn ñaõ vöôït qua voøng thöû thaùch...");
const QString kFailed = QStringLiteral("Raá tieác caâu traû lôøi ñuùng laø ");
const QString kChosen = QStringLiteral("Cáu traí låìi læûa choün cuía baûn:");
const QString kEnter = QStringLiteral("Nháûp cáu traí låìi cuía baûn:");
const QString kRound = QStringLiteral("Voìng Thæí Thaïch");
const QString kSeconds = QStringLiteral("20");

const QColor kNavy(0, 0, 128);
const QColor kHoverOff(0, 0, 192);
const QColor kHoverOn(0, 0, 255);
const QColor kCapsule(28, 52, 150);
const QColor kPanelFill(16, 30, 104);

// Shown when thuthach has no question that can be drawn (the first row never is).
QString noQuestionsText()
{
    static const QString text = vn::encode(QStringLiteral("Rất tiếc, vòng thử thách hiện chưa có đủ câu hỏi để chơi. "
                                                          "Bạn chỉ có thể thoát khỏi trò chơi."),
                                           vn::Encoding::Vni)
                                    .value_or(QStringLiteral("Chua co cau hoi nao."));
    return text;
}

// Letters typed into the answer box come out in upper case; the cursor stays put.
class UpperCaseValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString &input, int &) const override
    {
        input = input.toUpper();
        return Acceptable;
    }
};
} // namespace

QualifyingForm::QualifyingForm(GameApp &app)
    : LegacyForm(app, QStringLiteral("choi"), vn::display(kRound, vn::Encoding::VnTimes)), m_app(app)
{
    setMouseTracking(true);
    // The layout sets the smallest size that shows everything; this is the opening size.
    resize(980, 700);

    // --- header: flickering lamp, title with its shadow, the clock -------------
    m_shape1Lamp = new ShapeBox(this, QStringLiteral("Shape1(2)"));
    m_shape1Lamp->setFixedSize(26, 26);
    m_shape1Lamp->setOpaque(true);
    m_shape1Lamp->setBorderColor(studio::gold());
    m_shape1Lamp->setVisible(false);

    auto *titleShadow = new LegacyLabel(this, QStringLiteral("Label1(3)"), kRound);
    titleShadow->setAlignment(Qt::AlignCenter);
    titleShadow->setContentsMargins(4, 4, 0, 0);
    titleShadow->setExtraStyle(QStringLiteral("font-size: 26pt; font-weight: bold;"));
    titleShadow->setForeColor(QColor(2, 6, 30));
    auto *title = new LegacyLabel(this, QStringLiteral("Label1(2)"), kRound);
    title->setAlignment(Qt::AlignCenter);
    title->setContentsMargins(0, 0, 4, 4);
    title->setExtraStyle(QStringLiteral("font-size: 26pt; font-weight: bold;"));
    title->setForeColor(studio::gold());

    auto *clockRing = new ShapeBox(this, QStringLiteral("clockRing"));
    clockRing->setFixedSize(88, 88);
    clockRing->setOpaque(true);
    clockRing->setFillColor(QColor(8, 14, 52));
    m_shape4 = new ShapeBox(this, QStringLiteral("Shape4"), QColor(196, 24, 44));
    m_shape4->setFixedSize(88, 88);
    m_shape4->setOpaque(true);
    m_shape4->setBorderColor(QColor(255, 120, 120));
    m_shape4->setVisible(false);
    m_label5 = new LegacyLabel(this, QStringLiteral("Label5"), kSeconds, vn::Encoding::Plain);
    m_label5->setAlignment(Qt::AlignCenter);
    m_label5->setFixedSize(88, 88);
    m_label5->setExtraStyle(QStringLiteral("font-size: 34pt; font-weight: bold;"));
    m_label5->setForeColor(QColor(255, 255, 255));

    auto *header = new QGridLayout;
    header->setColumnMinimumWidth(0, 120);
    header->setColumnMinimumWidth(2, 120);
    header->setColumnStretch(1, 1);
    header->addWidget(m_shape1Lamp, 0, 0, Qt::AlignLeft | Qt::AlignVCenter);
    header->addWidget(titleShadow, 0, 1);
    header->addWidget(title, 0, 1);
    header->addWidget(clockRing, 0, 2, Qt::AlignRight | Qt::AlignVCenter);
    header->addWidget(m_shape4, 0, 2, Qt::AlignRight | Qt::AlignVCenter);
    header->addWidget(m_label5, 0, 2, Qt::AlignRight | Qt::AlignVCenter);

    // --- the introduction, typed out --------------------------------------------
    m_label3 = new LegacyLabel(this, QStringLiteral("Label3"), kGuide);
    m_label3->setExtraStyle(QStringLiteral("background: #ffe9a8; border: 2px solid #d9b44a; border-radius: 12px;"
                                           "padding: 4px 22px; font-size: 14pt; font-weight: bold;"));
    m_label3->setForeColor(kHoverOff);
    m_label3->setEnabled(false);

    m_picture3 = new QFrame(this);
    m_picture3->setObjectName(QStringLiteral("Picture3"));
    studio::setRole(m_picture3, "panel");
    m_label7 = new LegacyLabel(m_picture3, QStringLiteral("Label7"), QString());
    m_label7->setWordWrap(true);
    m_label7->setMinimumHeight(48);
    m_label7->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_label7->setExtraStyle(QStringLiteral("font-size: 15pt;"));
    m_label7->setForeColor(QColor(255, 233, 168));
    m_label8 = new LegacyLabel(m_picture3, QStringLiteral("Label8"), kIntro);
    m_label8->setVisible(false);
    auto *p3 = new QVBoxLayout(m_picture3);
    p3->setContentsMargins(24, 14, 24, 14);
    p3->addWidget(m_label7);

    // --- the question panel -------------------------------------------------------
    m_shape1Panel = new ShapeBox(this, QStringLiteral("Shape1(1)"), kPanelFill);
    m_shape1Panel->setBorderColor(QColor(63, 99, 224));
    m_shape1Panel->setMinimumHeight(100);
    m_label4 = new LegacyLabel(this, QStringLiteral("Label4"), kGuide);
    m_label4->setExtraStyle(QStringLiteral("font-size: 14pt; font-weight: bold;"));
    m_label4->setForeColor(studio::gold());
    m_label4->setVisible(false);
    m_cauhoi = new LegacyLabel(this, QStringLiteral("cauhoi"), kWelcome, vn::Encoding::Vni);
    m_cauhoi->setWordWrap(true);
    m_cauhoi->setAlignment(Qt::AlignCenter);
    m_cauhoi->setExtraStyle(QStringLiteral("font-size: 16pt;"));
    m_cauhoi->setForeColor(QColor(255, 255, 255));

    auto *questionText = new QVBoxLayout;
    questionText->setContentsMargins(26, 14, 26, 18);
    questionText->addWidget(m_label4, 0, Qt::AlignLeft);
    questionText->addWidget(m_cauhoi, 1);
    auto *questionPanel = new QGridLayout;
    questionPanel->addWidget(m_shape1Panel, 0, 0);
    questionPanel->addLayout(questionText, 0, 0);

    // --- the four answer capsules ---------------------------------------------------
    static const char *const answerNames[4] = {"caua", "caub", "cauc", "caud"};
    static const char *const shapeNames[4] = {"Shape2(2)", "Shape2(3)", "Shape2(4)", "Shape2(0)"};
    static const char *const letterNames[4] = {"Label2(0)", "Label2(1)", "Label2(2)", "Label2(3)"};
    static const char *const letters[4] = {"A.", "B.", "C.", "D."};
    auto *answerGrid = new QGridLayout;
    answerGrid->setHorizontalSpacing(26);
    answerGrid->setVerticalSpacing(14);
    for (int i = 0; i < 4; ++i) {
        auto *shape = new ShapeBox(this, QString::fromLatin1(shapeNames[i]), kCapsule);
        shape->setBorderColor(QColor(111, 140, 255));
        shape->setMinimumHeight(58);
        m_answerShapes[i] = shape;

        auto *letter = new LegacyLabel(this, QString::fromLatin1(letterNames[i]), QString::fromLatin1(letters[i]),
                                       vn::Encoding::Plain);
        letter->setExtraStyle(QStringLiteral("font-size: 14pt; font-weight: bold;"));
        letter->setForeColor(studio::gold());
        letter->setFixedWidth(38);

        auto *answer = new LegacyLabel(this, QString::fromLatin1(answerNames[i]), QStringLiteral("?"),
                                       vn::Encoding::Vni);
        answer->setWordWrap(true);
        answer->setCursor(Qt::PointingHandCursor);
        answer->setExtraStyle(QStringLiteral("font-size: 14pt; padding: 8px 4px;"));
        answer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
        m_answers[i] = answer;
        connect(answer, &LegacyLabel::clicked, this, [this, i] { answerClicked(i); });

        auto *row = new QHBoxLayout;
        row->setContentsMargins(22, 2, 18, 2);
        row->setSpacing(6);
        row->addWidget(letter);
        row->addWidget(answer, 1);
        answerGrid->addWidget(shape, i / 2, i % 2);
        answerGrid->addLayout(row, i / 2, i % 2);
        letter->raise();
        answer->raise();
    }

    // --- the answer desk ------------------------------------------------------------
    auto *desk = new QFrame(this);
    studio::setRole(desk, "panel");
    auto *enterHint = new LegacyLabel(desk, QStringLiteral("Label1(0)"), kEnter);
    enterHint->setForeColor(QColor(127, 178, 255));
    auto *tieude = new LegacyLabel(desk, QStringLiteral("tieude"), kChosen);
    tieude->setExtraStyle(QStringLiteral("font-weight: bold;"));
    m_text1 = new QLineEdit(QStringLiteral("Textbox"), desk);
    m_text1->setObjectName(QStringLiteral("Text1"));
    m_text1->setReadOnly(true);
    m_text1->setMinimumWidth(200);
    m_text1->setStyleSheet(QStringLiteral("font-size: 16pt; font-weight: bold; letter-spacing: 4px;"));
    m_label6 = new LegacyLabel(desk, QStringLiteral("Label6"), kSeconds);
    m_label6->setExtraStyle(QStringLiteral("font-size: 20pt; font-weight: bold;"));
    m_label6->setForeColor(QColor(255, 84, 84));
    m_label6->setLeastWidth(44);
    m_label6->setAlignment(Qt::AlignCenter);
    m_label6->setVisible(false);
    m_command1 = new QPushButton(vn::display(kAnswerButton, vn::Encoding::VnTimes), desk);
    m_command1->setObjectName(QStringLiteral("Command1"));
    m_command1->setCursor(Qt::PointingHandCursor);
    m_command1->setEnabled(false);

    auto *deskGrid = new QGridLayout(desk);
    deskGrid->setContentsMargins(22, 12, 22, 14);
    deskGrid->setHorizontalSpacing(12);
    deskGrid->addWidget(enterHint, 0, 0, 1, 4);
    deskGrid->addWidget(tieude, 1, 0);
    deskGrid->addWidget(m_text1, 1, 1);
    deskGrid->addWidget(m_label6, 1, 2);
    deskGrid->addWidget(m_command1, 1, 3);
    deskGrid->setColumnStretch(1, 1);

    // --- Start / Exit / Continue --------------------------------------------------
    m_bdau = new LegacyLabel(this, QStringLiteral("bdau"), kStart, vn::Encoding::Vni);
    m_bdau->makeButton();
    m_bdau->setLeastWidth(220);
    m_bdau->setExtraStyle(QStringLiteral(
        "font-size: 14pt; font-weight: bold; padding: 8px 28px; border: 2px solid #fff2c4; border-radius: 18px;"
        "background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #ffe9a8, stop:0.5 #ffd75a, stop:1 #c99a2e);"));
    m_bdau->setForeColor(kHoverOff);
    m_bdau->setEnabled(false);
    m_bdau->setVisible(false);

    // Start in the middle; the sound control in a place of its own on the right.
    auto *buttons = new QGridLayout;
    buttons->setColumnStretch(0, 1);
    buttons->setColumnStretch(2, 1);
    buttons->addWidget(m_bdau, 0, 1);
    buttons->addWidget(new SoundPanel(this, m_app.mixer(), true), 0, 2, Qt::AlignRight | Qt::AlignBottom);

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(30, 12, 30, 14);
    outer->setSpacing(10);
    outer->addLayout(header);
    outer->addWidget(m_label3, 0, Qt::AlignHCenter);
    outer->addWidget(m_picture3);
    outer->addLayout(questionPanel, 1);
    outer->addLayout(answerGrid);
    outer->addWidget(desk);
    outer->addLayout(buttons);

    setTabOrder(m_text1, m_command1);

    // --- timers and events ----------------------------------------------------------
    m_timer3 = new LegacyTimer(this, "Timer3", 60, true, this, &QualifyingForm::introTick);
    m_timer1 = new LegacyTimer(this, "Timer1", 100, true, this, &QualifyingForm::drawTick);
    m_timer2 = new LegacyTimer(this, "Timer2", 1000, false, this, &QualifyingForm::countdownTick);
    connect(m_bdau, &LegacyLabel::clicked, this, &QualifyingForm::bdauClicked);
    connect(m_command1, &QPushButton::clicked, this, &QualifyingForm::submit);
    connect(m_text1, &QLineEdit::textChanged, this, &QualifyingForm::answerTextChanged);
    connect(m_bdau, &LegacyLabel::hovered, this, [this] { m_bdau->setForeColor(kHoverOff); });
    connect(m_label3, &LegacyLabel::hovered, this, [this] { m_label3->setForeColor(kHoverOn); });

    // Keyboard play, F11 and the window's remembered place.
    new QualifyingKeys(this, m_app);
    new WindowKeeper(this, m_app.settings());

    ensureLoaded();
}

void QualifyingForm::load()
{
    if (const auto id = m_app.db().lastId(db::QuestionTable::Thuthach))
        m_m1 = num::text(*id);
}

void QualifyingForm::introTick()
{
    ++m_introCount;
    const QString source = m_label8->caption();
    m_label7->setCaption(source.left(m_introCount) + QStringLiteral(" _"));
    if (m_introCount < source.size() + 20)
        return;
    m_label7->setCaption(source);
    m_timer3->setEnabled(false);
    // The first row is never drawn: a round needs at least two. A server out
    // of reach says nothing of them: the player is told, and the start
    // button (which counts again) is offered all the same.
    if (m_app.db().questionCount(db::QuestionTable::Thuthach) < 2 && !m_app.toldOffline(this, windowTitle())) {
        showNoQuestions();
        return;
    }
    m_label4->setCaption(kGuide);
    m_label4->setVisible(true);
    m_picture3->setVisible(false);
    m_bdau->setVisible(true);
    m_cauhoi->setCaption(kInstructions);
    m_label3->setVisible(false);
    m_bdau->setEnabled(true);
    m_shape1Lamp->setVisible(true);
}

void QualifyingForm::drawTick()
{
    m_text2 = num::text(num::value(m_text2) + 1);
    if (m_text2 == m_m1)
        m_text2 = QStringLiteral("1");
    const int r = int(num::roundHalfEven(m_app.random() * 255));
    const int g = int(num::roundHalfEven(m_app.random() * 255));
    const int b = int(num::roundHalfEven(m_app.random() * 255));
    m_shape1Lamp->setFillColor(QColor(r, g, b));
}

void QualifyingForm::bdauClicked()
{
    const QString state = m_bdau->caption();
    if (state == kStart) {
        start();
    } else if (state == kContinue) {
        m_app.hotseat()->show();
        hide();
        m_app.login()->hide();
    } else if (state == kExit) {
        m_app.endProgram();
    }
}

void QualifyingForm::start()
{
    // The referee asks the question; the counter picks it on this machine.
    const referee::OrderQuestion q = m_app.referee().orderQuestion(num::whole(m_text2));
    if (q.outcome == referee::Outcome::Offline) {
        m_app.tellOffline(this, windowTitle());
        return; // nothing drawn: the start button waits to be pressed again
    }
    if (q.outcome != referee::Outcome::Done)
        return;
    if (q.none) {
        showNoQuestions();
        return;
    }

    m_command1->setEnabled(true);
    m_label4->setCaption(kQuestionHead);
    m_text1->setReadOnly(false);
    m_bdau->setCaption(kExit);
    m_label4->setVisible(true);
    m_timer2->setEnabled(true);
    m_text1->clear();
    for (ShapeBox *s : m_answerShapes)
        s->setOpaque(true);
    m_shape1Panel->setOpaque(true);

    m_cauhoi->setCaptionUnlessMissing(q.texts.cauhoi);
    m_answers[0]->setCaptionUnlessMissing(q.texts.a);
    m_answers[1]->setCaptionUnlessMissing(q.texts.b);
    m_answers[2]->setCaptionUnlessMissing(q.texts.c);
    m_answers[3]->setCaptionUnlessMissing(q.texts.d);
    m_app.referee().questionShown();
    m_text1->setFocus();
}

QString QualifyingForm::correctAnswer() const
{
    if (!m_dapan.isNull())
        return m_dapan;
    const QString held = m_app.referee().heldOrder();
    return held.isNull() ? QStringLiteral("AA") : held;
}

void QualifyingForm::answerClicked(int index)
{
    static const char letters[4] = {'A', 'B', 'C', 'D'};
    m_text1->setText(m_text1->text() + QLatin1Char(letters[index]));
    m_answerShapes[index]->setFillColor(kNavy);
    m_answers[index]->setEnabled(false);
}

void QualifyingForm::answerTextChanged()
{
    if (!m_text1->validator())
        m_text1->setValidator(new UpperCaseValidator(m_text1));
    m_command1->setDefault(true);
}

void QualifyingForm::countdownTick()
{
    const QString left = num::text(num::value(m_label5->caption()) - 1);
    m_label5->setCaption(left);
    m_label6->setCaption(left);
    if (left == QLatin1String("10")) {
        m_label6->setVisible(true);
        m_shape4->setVisible(true);
    }
    if (left == QLatin1String("0")) {
        m_timer2->setEnabled(false);
        m_command1->setEnabled(false);
    }
}

void QualifyingForm::submit()
{
    // The referee judges; out of reach, the answer may be given again.
    const referee::Verdict verdict = m_app.referee().judgeOrder(m_text1->text());
    if (verdict.outcome == referee::Outcome::Offline)
        m_app.tellOffline(this, windowTitle());
    if (verdict.outcome != referee::Outcome::Done)
        return;
    m_dapan = verdict.answer;
    m_command1->setEnabled(false);
    m_timer1->setEnabled(false);
    m_timer2->setEnabled(false);
    if (verdict.right) {
        m_bdau->setCaption(kContinue);
        m_cauhoi->setCaption(kPassed);
        m_app.playEffect(QStringLiteral("Media\\dung.wav"));
    } else {
        m_bdau->setCaption(kExit);
        m_cauhoi->setCaption(kFailed + m_dapan);
        m_app.playEffect(QStringLiteral("Media\\sai.wav"));
    }
    m_label4->setVisible(false);
}

void QualifyingForm::showNoQuestions()
{
    m_noQuestions = true;
    m_timer1->setEnabled(false);
    m_timer2->setEnabled(false);
    m_command1->setEnabled(false);
    m_text1->setReadOnly(true);
    for (LegacyLabel *a : m_answers)
        a->setEnabled(false);
    m_label3->setVisible(false);
    m_label4->setVisible(false);
    m_picture3->setVisible(false);
    m_cauhoi->setCaption(noQuestionsText());
    m_bdau->setCaption(kExit);
    m_bdau->setVisible(true);
    m_bdau->setEnabled(true);
}

void QualifyingForm::mouseMoveEvent(QMouseEvent *e)
{
    m_bdau->setForeColor(kHoverOff);
    m_label3->setForeColor(kHoverOff);
    QWidget::mouseMoveEvent(e);
}

void QualifyingForm::keyPressEvent(QKeyEvent *e)
{
    // Enter anywhere on the form presses the default button, as in a dialog.
    if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && m_command1->isDefault()) {
        if (m_command1->isEnabled())
            m_command1->click();
        e->accept();
        return;
    }
    QWidget::keyPressEvent(e);
}
