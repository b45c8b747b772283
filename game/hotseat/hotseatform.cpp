#include "hotseatform.h"

#include "accounts/briefingform.h"
#include "accounts/loginform.h"
#include "audiencevote.h"
#include "fiftyfifty.h"
#include "desktop/soundpanel.h"
#include "desktop/windowkeeper.h"
#include "gameapp.h"
#include "gamedb.h"
#include "hotseatkeys.h"
#include "hotseattexts.h"
#include "ladderboard.h"
#include "legacylabel.h"
#include "legacytimer.h"
#include "numtext.h"
#include "phonecall.h"
#include "optionspanel.h"
#include "referee/gamerules.h"
#include "referee/referee.h"
#include "stagepresentation.h"
#include "studiotheme.h"
#include "topfiveboard.h"

#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QVBoxLayout>

using namespace hotseat;

namespace {
// Texts of the stage's own captions, written in Unicode and kept as VnTimes text
// like every other caption.
QString vnTimes(const QString &unicode)
{
    return vn::encodeLossy(unicode, vn::Encoding::VnTimes);
}

// The closing line typed out when a game is over: a contact line and a wish.
const QString kClosingText = QStringLiteral(
    "Mọi thắc mắc và góp ý về trò chơi Lontaris xin gửi về ban tổ chức: lontaris@example.com ... "
    "Chúc bạn luôn vui vẻ, may mắn và hẹn gặp lại bạn ở lần chơi sau!");

const QColor kWhite(255, 255, 255);
const QColor kLetter(255, 180, 40);

LegacyLabel *smallCaption(QWidget *parent, const char *name, const QString &unicode)
{
    auto *l = new LegacyLabel(parent, QString::fromLatin1(name), vnTimes(unicode));
    l->setForeColor(QColor(150, 175, 240));
    l->setExtraStyle(QStringLiteral("font-size: 10pt;"));
    return l;
}

LegacyLabel *stageButton(QWidget *parent, const char *name, const QString &caption, vn::Encoding enc)
{
    auto *b = new LegacyLabel(parent, QString::fromLatin1(name), caption, enc);
    b->makeButton();
    b->setLeastWidth(140);
    b->setBackdrop(studio::behindButton());
    return b;
}
} // namespace

// Closing the window ends the program; nothing of this game is saved.
HotSeatForm::HotSeatForm(GameApp &app)
    : LegacyForm(app, QStringLiteral("Form1"), QStringLiteral("Lontaris")), m_app(app)
{
    // The opening size; the layout sets the smallest, which fits a 1280×720
    // screen less its title bar and a panel.
    resize(1280, 820);

    m_stage = new StagePresentation(this, app);
    buildStage();
    m_options = new OptionsPanel(this, m_l, m_lo);
    m_picture6 = m_options;
    m_check31 = m_options->check31();
    m_check4 = m_options->check4();
    m_check2 = m_options->check2();
    m_check1 = m_options->check1();
    m_board = new TopFiveBoard(this, app.db(), [this] { m_app.toldOffline(this, windowTitle()); });

    m_timer12 = new LegacyTimer(this, "Timer12", 2000, true, this, &HotSeatForm::introTick);
    m_timer11 = new LegacyTimer(this, "Timer11", 80, false, this, &HotSeatForm::sweepTick);
    m_tg = new LegacyTimer(this, "tg", 50, true, this, &HotSeatForm::offsetTick);
    // The draw counter only matters at the moment of a Start: its ticks are
    // counted on the clock instead of waking the program twenty times a second.
    m_tg->countWithoutWaking([this] { return m_app.now().toMSecsSinceEpoch(); });
    m_timer3 = new LegacyTimer(this, "Timer3", 7600, false, this, &HotSeatForm::autoContinue);
    m_timer1 = new LegacyTimer(this, "Timer1", 400, false, this, &HotSeatForm::flashTick);
    m_timer10 = new LegacyTimer(this, "Timer10", 70, false, this, &HotSeatForm::closingTick);
    m_timer18 = new LegacyTimer(this, "Timer18", 60000, true, this, &HotSeatForm::playClockTick);

    connect(m_strart, &LegacyLabel::clicked, this, &HotSeatForm::startClicked);
    connect(m_label4, &LegacyLabel::clicked, this, &HotSeatForm::confirmClicked);
    connect(m_stop113, &LegacyLabel::clicked, this, &HotSeatForm::stopClicked);
    connect(m_trunggian, &LegacyLabel::clicked, this, &HotSeatForm::continueClicked);
    connect(m_label3, &LegacyLabel::clicked, this, &HotSeatForm::leaveClicked);
    connect(m_options->image13(), &LegacyLabel::clicked, this, &HotSeatForm::applyOptions);
    for (LegacyLabel *opener : {m_label20, m_label20a})
        connect(opener, &LegacyLabel::clicked, this, [this] { m_options->open(num::value(m_label25)); });
    connect(m_label9, &LegacyLabel::clicked, m_board, &TopFiveBoard::open);
    connect(m_board, &TopFiveBoard::titleClicked, this, &HotSeatForm::markRightAnswer);
    connect(m_tien, &QLineEdit::textChanged, this, &HotSeatForm::recomputeTotal);
    for (int i = 0; i < 4; ++i)
        connect(m_traloi[size_t(i)], &LegacyLabel::clicked, this, [this, i] { pick(i); });

    StagePresentation::Cast cast;
    cast.label20a = m_label20a;
    cast.goals = m_options->goals();
    cast.label3 = m_label3;
    cast.label9 = m_label9;
    cast.label4 = m_label4;
    cast.stop113 = m_stop113;
    cast.strart = m_strart;
    cast.trunggian = m_trunggian;
    cast.chon50 = m_chon50;
    for (int i = 0; i < 4; ++i) {
        cast.answers[size_t(i)] = m_traloi[size_t(i)];
        cast.boxes[size_t(i)] = boxOf(i);
    }
    cast.answerPanel = m_lock113;
    cast.buttonArea = m_label3->parentWidget();
    m_stage->attach(cast);

    m_fiftyFifty = new FiftyFifty(*this, app, m_chon50);
    m_phoneCall = new PhoneCall(*this, app, m_label5);
    m_audienceVote = new AudienceVote(*this, app, m_label13);

    // Keyboard play, F11 and the window's remembered place.
    new HotSeatKeys(this, m_app);
    new WindowKeeper(this, m_app.settings());

    ensureLoaded();
}

// --- the stage ---------------------------------------------------------------------

void HotSeatForm::buildStage()
{
    // Running text line across the top, the motto labels at its ends.
    auto *marquee = new QFrame(this);
    marquee->setObjectName(QStringLiteral("marquee"));
    marquee->setStyleSheet(QStringLiteral(
        "#marquee { border: 2px solid #d9b44a; border-radius: 16px;"
        "background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #1a2a7a, stop:1 #07103a); }"));
    m_label17 = new LegacyLabel(marquee, QStringLiteral("Label17"), QString());
    m_label17->setAlignment(Qt::AlignCenter);
    m_label17->setMinimumHeight(34);
    m_label17->setExtraStyle(QStringLiteral("font-size: 15pt; font-weight: bold;"));
    m_label17->setForeColor(QColor(255, 215, 90));
    auto *mq = new QHBoxLayout(marquee);
    mq->setContentsMargins(18, 6, 18, 6);
    mq->addWidget(m_stage->motto1());
    mq->addWidget(m_label17, 1);
    mq->addWidget(m_stage->motto2());
    mq->addWidget(m_stage->wallClock());

    // The host's line.
    m_cuaban1 = new LegacyLabel(this, QStringLiteral("cuaban1"), QString());
    studio::setRole(m_cuaban1, "host");
    m_cuaban1->setWordWrap(true);
    m_cuaban1->setAlignment(Qt::AlignCenter);
    m_cuaban1->setMinimumHeight(64);

    // The question panel.
    auto *questionPanel = new QFrame(this);
    questionPanel->setObjectName(QStringLiteral("questionPanel"));
    questionPanel->setStyleSheet(QStringLiteral(
        "#questionPanel { border: 3px solid #d9b44a; border-radius: 26px;"
        "background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #13236e, stop:0.5 #0a1548, stop:1 #13236e); }"));
    m_label2 = new LegacyLabel(questionPanel, QStringLiteral("Label2"), QString(), vn::Encoding::Vni);
    m_label2->setWordWrap(true);
    m_label2->setAlignment(Qt::AlignCenter);
    m_label2->setMinimumHeight(110);
    m_label2->setExtraStyle(QStringLiteral("font-size: 18pt;"));
    m_label2->setForeColor(kWhite);
    auto *qp = new QVBoxLayout(questionPanel);
    qp->setContentsMargins(34, 16, 34, 16);
    qp->addWidget(m_label2);

    auto *stage = new QVBoxLayout;
    stage->setSpacing(14);
    stage->addWidget(m_cuaban1);
    stage->addWidget(questionPanel, 3);
    stage->addWidget(buildAnswerPanel(), 2);
    stage->addWidget(buildButtons());

    auto *body = new QHBoxLayout;
    body->setSpacing(22);
    body->addLayout(stage, 1);
    body->addWidget(buildSidebar());

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(22, 16, 22, 16);
    outer->setSpacing(14);
    outer->addWidget(marquee);
    outer->addLayout(body, 1);
}

QWidget *HotSeatForm::buildAnswerPanel()
{
    // A B on top, C D below. Each capsule stacks its backdrop label, its highlight
    // box and the answer, with the letter drawn over the answer's left margin.
    m_lock113 = new QFrame(this);
    m_lock113->setObjectName(QStringLiteral("lock113"));
    m_lock113->setEnabled(false);
    // Hidden until the first Start; the stage keeps its place meanwhile.
    m_lock113->setVisible(false);
    QSizePolicy keep = m_lock113->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    m_lock113->setSizePolicy(keep);
    auto *grid = new QGridLayout(m_lock113);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(26);
    grid->setVerticalSpacing(14);

    static const char *const answerNames[4] = {"traloi1", "traloi2", "traloi3", "traloi4"};
    static const char *const backdropNames[4] = {"ac", "bc", "cc", "dc"};
    static const char *const letters[4] = {"A:", "B:", "C:", "D:"};
    static const int boxIndex[4] = {0, 2, 1, 3};
    for (int i = 0; i < 4; ++i) {
        auto *backdrop = new LegacyLabel(m_lock113, QString::fromLatin1(backdropNames[i]), QString(),
                                         vn::Encoding::Plain);
        backdrop->setExtraStyle(QStringLiteral("border-radius: 26px;"));
        backdrop->setBackColor(kBackdrop);
        backdrop->setMinimumHeight(62);
        m_backdrop[size_t(i)] = backdrop;

        auto *inner = new QFrame(m_lock113);
        inner->setObjectName(QStringLiteral("capsule%1").arg(i));
        inner->setStyleSheet(QStringLiteral(
            "#capsule%1 { border-radius: 21px;"
            "background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #16287a, stop:1 #070f3c); }")
                                 .arg(i));
        inner->setAttribute(Qt::WA_TransparentForMouseEvents);

        auto *box = new ShapeBox(m_lock113, QStringLiteral("da(%1)").arg(boxIndex[i]), kPickFill);
        box->setBorderColor(QColor(255, 215, 90));
        box->setBorderWidth(1); // the mouse over its answer makes it 2
        // Picked or wrong, the answer and its letter read on the box.
        box->setInks({{kWhite, 4.5}, {kLetter, 3.0}});
        m_da[size_t(boxIndex[i])] = box;

        auto *answer = new LegacyLabel(m_lock113, QString::fromLatin1(answerNames[i]), QString(), vn::Encoding::Vni);
        answer->setWordWrap(true);
        answer->setCursor(Qt::PointingHandCursor);
        answer->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        answer->setExtraStyle(QStringLiteral("font-size: 14pt; padding: 6px 16px 6px 62px;"));
        answer->setForeColor(kWhite);
        m_traloi[size_t(i)] = answer;

        auto *letter = new LegacyLabel(m_lock113, QStringLiteral("letter%1").arg(i), QString::fromLatin1(letters[i]),
                                       vn::Encoding::Plain);
        letter->setExtraStyle(QStringLiteral("font-size: 15pt; font-weight: bold; padding-left: 28px;"));
        letter->setForeColor(kLetter);
        letter->setAttribute(Qt::WA_TransparentForMouseEvents);

        const int r = i / 2, c = i % 2;
        grid->addWidget(backdrop, r, c);
        auto *innerWrap = new QVBoxLayout;
        innerWrap->setContentsMargins(5, 5, 5, 5);
        innerWrap->addWidget(inner);
        grid->addLayout(innerWrap, r, c);
        auto *boxWrap = new QVBoxLayout;
        boxWrap->setContentsMargins(5, 5, 5, 5);
        boxWrap->addWidget(box);
        grid->addLayout(boxWrap, r, c);
        grid->addWidget(answer, r, c);
        grid->addWidget(letter, r, c, Qt::AlignLeft | Qt::AlignVCenter);
    }
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    return m_lock113;
}

QWidget *HotSeatForm::buildButtons()
{
    // imgBlue(0): the stage around the buttons; the mouse over it calms them again.
    auto *deck = new QWidget(this);
    deck->setObjectName(QStringLiteral("imgBlue(0)"));
    m_image3 = new LegacyLabel(deck, QStringLiteral("Image3"), QStringLiteral("\u2726"), vn::Encoding::Plain);
    m_image4 = new LegacyLabel(deck, QStringLiteral("Image4"), QStringLiteral("\u2726"), vn::Encoding::Plain);
    for (LegacyLabel *deco : {m_image3, m_image4}) {
        deco->setExtraStyle(QStringLiteral("font-size: 20pt;"));
        deco->setForeColor(QColor(255, 215, 90));
    }
    m_strart = stageButton(deck, "strart", kStart, vn::Encoding::Vni);
    m_strart->setEnabled(false);
    m_label4 = stageButton(deck, "Label4", kGoOn, vn::Encoding::Vni);
    m_label4->setVisible(false);
    m_stop113 = stageButton(deck, "stop113", kStop, vn::Encoding::Vni);
    m_stop113->setEnabled(false);
    m_trunggian = stageButton(deck, "trunggian", kGoOn, vn::Encoding::Vni);
    m_trunggian->setVisible(false);

    m_sl = new LegacyLabel(deck, QStringLiteral("sl"), QStringLiteral("0"), vn::Encoding::Plain);
    m_gio = new LegacyLabel(deck, QStringLiteral("gio"), QStringLiteral("0"), vn::Encoding::Plain);
    m_phut = new LegacyLabel(deck, QStringLiteral("phut"), QStringLiteral("0"), vn::Encoding::Plain);
    for (LegacyLabel *stat : {m_sl, m_gio, m_phut}) {
        stat->setForeColor(QColor(255, 233, 168));
        stat->setExtraStyle(QStringLiteral("font-weight: bold;"));
    }
    auto *stats = new QHBoxLayout;
    stats->setSpacing(6);
    stats->addWidget(smallCaption(deck, "slCaption", QStringLiteral("Lần chơi:")));
    stats->addWidget(m_sl);
    stats->addSpacing(14);
    stats->addWidget(smallCaption(deck, "timeCaption", QStringLiteral("Thời gian chơi:")));
    stats->addWidget(m_gio);
    stats->addWidget(smallCaption(deck, "gioCaption", QStringLiteral("giờ")));
    stats->addWidget(m_phut);
    stats->addWidget(smallCaption(deck, "phutCaption", QStringLiteral("phút")));
    stats->addStretch();

    m_label20 = new LegacyLabel(deck, QStringLiteral("Label20"), QStringLiteral("\u2699"), vn::Encoding::Plain);
    m_label20->setCursor(Qt::PointingHandCursor);
    m_label20->setExtraStyle(QStringLiteral("font-size: 16pt;"));
    m_label20->setForeColor(QColor(255, 215, 90));
    m_label20a = new LegacyLabel(deck, QStringLiteral("Label20a"), kUnlock, vn::Encoding::Vni);
    m_label20a->setCursor(Qt::PointingHandCursor);
    m_label20a->setForeColor(QColor(150, 175, 240));
    m_label20a->setBackdrop(studio::behindStage());
    m_label9 = new LegacyLabel(deck, QStringLiteral("Label9"), kTopFive, vn::Encoding::Plain);
    m_label9->makeButton();
    m_label9->setBackdrop(studio::behindButton());
    m_label9->setLeastWidth(100);
    m_label9->setEnabled(false);
    m_label3 = new LegacyLabel(deck, QStringLiteral("Label3"), kExit);
    m_label3->makeButton();
    m_label3->setBackdrop(studio::behindButton());
    m_label3->setLeastWidth(110);
    m_label3->setExtraStyle(QStringLiteral("border-color: #ff8a6a;"));

    auto *actions = new QHBoxLayout;
    actions->setSpacing(14);
    actions->addStretch();
    actions->addWidget(m_image3);
    actions->addWidget(m_strart);
    actions->addWidget(m_label4);
    actions->addWidget(m_stop113);
    actions->addWidget(m_trunggian);
    actions->addWidget(m_image4);
    actions->addStretch();

    // The sound control has its own place at the start of the footer.
    auto *footer = new QHBoxLayout;
    footer->setSpacing(10);
    footer->addWidget(new SoundPanel(deck, m_app.mixer()));
    footer->addSpacing(8);
    footer->addLayout(stats, 1);
    footer->addWidget(m_label20);
    footer->addWidget(m_label20a);
    footer->addSpacing(10);
    footer->addWidget(m_label9);
    footer->addWidget(m_label3);

    auto *v = new QVBoxLayout(deck);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(12);
    v->addLayout(actions);
    v->addLayout(footer);
    return deck;
}

QWidget *HotSeatForm::buildSidebar()
{
    auto *side = new QWidget(this);
    side->setMinimumWidth(270);
    side->setMaximumWidth(340);

    // The three lifelines, under the blank Label7 until a question is on.
    auto *lifelines = new QWidget(side);
    auto *lg = new QGridLayout(lifelines);
    lg->setContentsMargins(0, 0, 0, 0);
    lg->setHorizontalSpacing(10);
    m_chon50 = new LegacyLabel(lifelines, QStringLiteral("chon50"), QStringLiteral("50:50"), vn::Encoding::Plain);
    m_label5 = new LegacyLabel(lifelines, QStringLiteral("Label5"), QStringLiteral("\u260E"), vn::Encoding::Plain);
    m_label13 = new LegacyLabel(lifelines, QStringLiteral("Label13"), QStringLiteral("%"), vn::Encoding::Plain);
    int col = 0;
    for (LegacyLabel *life : {m_chon50, m_label5, m_label13}) {
        life->setAlignment(Qt::AlignCenter);
        life->setCursor(Qt::PointingHandCursor);
        life->setMinimumSize(74, 46);
        life->setExtraStyle(QStringLiteral(
            "font-size: 15pt; font-weight: bold; border: 2px solid #d9b44a; border-radius: 23px;"
            "background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #fff6d8, stop:1 #c9d4ff);"));
        life->setForeColor(kLifelineIdle);
        // Lit or idle, the glyph reads on its cream capsule.
        life->setBackdrop({QColor(0xff, 0xf6, 0xd8), QColor(0xc9, 0xd4, 0xff)});
        lg->addWidget(life, 0, col++);
    }
    m_label7 = new LegacyLabel(lifelines, QStringLiteral("Label7"), QString());
    lg->addWidget(m_label7, 0, 0, 1, 3);
    m_label7->raise();

    m_ladder = new LadderBoard(side);

    // Money: the prize reached, the sum secured, the player's total.
    auto *money = new QFrame(side);
    studio::setRole(money, "panel");
    m_sotiennhan = new LegacyLabel(money, QStringLiteral("Sotiennhan"), QStringLiteral("0$"), vn::Encoding::Plain);
    studio::setRole(m_sotiennhan, "money");
    m_tien = new QLineEdit(QStringLiteral("0$"), money);
    m_tien->setObjectName(QStringLiteral("tien"));
    // Only the game writes the winnings.
    m_tien->setReadOnly(true);
    m_tien->setFocusPolicy(Qt::NoFocus);
    m_tien->setAlignment(Qt::AlignRight);
    m_tien->setStyleSheet(QStringLiteral("color: #ffe9a8; font-weight: bold; background: transparent; border: none;"));
    m_tong = new LegacyLabel(money, QStringLiteral("tong"), QString(), vn::Encoding::Plain);
    studio::setRole(m_tong, "money");
    for (LegacyLabel *l : {m_sotiennhan, m_tong})
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto *mg = new QGridLayout(money);
    mg->setContentsMargins(16, 10, 16, 10);
    mg->setVerticalSpacing(4);
    mg->addWidget(smallCaption(money, "prizeCaption", QStringLiteral("Tiền thưởng")), 0, 0);
    mg->addWidget(m_sotiennhan, 0, 1);
    mg->addWidget(smallCaption(money, "securedCaption", QStringLiteral("Chắc chắn có")), 1, 0);
    mg->addWidget(m_tien, 1, 1);
    mg->addWidget(smallCaption(money, "totalCaption", QStringLiteral("Tài khoản")), 2, 0);
    mg->addWidget(m_tong, 2, 1);

    auto *v = new QVBoxLayout(side);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(12);
    v->addWidget(lifelines);
    v->addWidget(m_ladder, 1);
    v->addWidget(money);
    return side;
}

// --- accessors ---------------------------------------------------------------------

QString HotSeatForm::levelSize(int level) const
{
    return m_m[size_t(level - 1)];
}

int HotSeatForm::liTop() const
{
    return m_ladder->liTop();
}

int HotSeatForm::sotiencoTop() const
{
    return m_ladder->sotiencoTop();
}

void HotSeatForm::setTien(const QString &text)
{
    m_tien->setText(text);
}

QString HotSeatForm::tienText() const
{
    return m_tien->text();
}

ShapeBox *HotSeatForm::boxOf(int answer) const
{
    static const int boxIndex[4] = {0, 2, 1, 3};
    return answer >= 0 && answer < 4 ? m_da[size_t(boxIndex[answer])] : nullptr;
}

LegacyLabel *HotSeatForm::backdropOf(int answer) const
{
    return answer >= 0 && answer < 4 ? m_backdrop[size_t(answer)] : nullptr;
}

int HotSeatForm::answerOf(const QString &letter)
{
    return rules::letterIndex(letter);
}

QString HotSeatForm::dapandung() const
{
    return m_dapandung.isNull() ? m_app.referee().heldAnswer() : m_dapandung;
}

void HotSeatForm::tellOffline()
{
    m_app.tellOffline(this, windowTitle());
}

// The board's title shows the right answer where the top-five switch allows it,
// or as the verdict named it.
void HotSeatForm::markRightAnswer()
{
    if (!m_dapandung.isNull()) {
        m_board->setMark(m_dapandung);
        return;
    }
    const referee::Reveal shown = m_app.referee().revealAnswer(num::value(m_l[0]) == 1);
    if (shown.outcome == referee::Outcome::Offline)
        tellOffline();
    if (shown.outcome == referee::Outcome::Done)
        m_board->setMark(shown.answer);
}

void HotSeatForm::applyTopFiveSwitch()
{
    const bool on = num::value(m_l[0]) == 1;
    m_label9->setEnabled(on);
    m_stage->setDecorationsShown(on);
}

// --- load ----------------------------------------------------------------------------

void HotSeatForm::load()
{
    const QString balance = m_app.briefing()->balanceCaption();
    m_label25 = balance;

    // What the server could not give is told once; the play record is not
    // shown then (its minutes still count from 0, as only this game's are saved).
    bool offline = false;
    const QString nick = m_app.login()->nick();
    if (const auto account = m_app.db().player(nick)) {
        if (!account->solan.isNull())
            m_sl->setCaption(account->solan);
        if (!account->gio.isNull())
            m_gio->setCaption(account->gio);
        if (!account->phut.isNull())
            m_phut->setCaption(account->phut);
    } else if (m_app.db().lastWasOffline()) {
        offline = true;
        for (const char *name : {"sl", "slCaption", "timeCaption", "gio", "gioCaption", "phut", "phutCaption"})
            if (auto *w = findChild<QWidget *>(QLatin1String(name)))
                w->setVisible(false);
    }
    m_gioAtLoad = m_gio->caption();
    m_phutAtLoad = m_phut->caption();

    m_cuaban1->setCaption(kWelcomeHead + vn::embed(nick, vn::Encoding::VnTimes) + kWelcomeTail);
    m_app.login()->show();
    m_tong->setCaption(num::text(num::value(balance) + num::value(tienText())));

    if (const auto lock = m_app.db().readLock()) {
        auto copy = [](QString &to, const QString &from) {
            if (!from.isNull())
                to = from;
        };
        copy(m_l[1], lock->hien19);
        copy(m_l[0], lock->hienten);
        copy(m_l[2], lock->thuthach);
        copy(m_l[3], lock->hiencode);
        copy(m_lo[1], lock->hien191);
        copy(m_lo[0], lock->hienten1);
        copy(m_lo[2], lock->thuthach1);
        copy(m_lo[3], lock->hiencode1);
    } else {
        offline = offline || m_app.db().lastWasOffline();
    }
    m_lAtLoad = m_l;
    m_loAtLoad = m_lo;
    // The option boxes start from the stored switches, so that leaving (which
    // applies the boxes) keeps them as they were unless the player changed them.
    // On a class server only the teacher's role sets them.
    m_options->setTeacherSets(m_app.db().isServer() && !m_app.db().mayEditBank());
    m_options->showValues();
    if (num::value(m_l[0]) == 1)
        applyTopFiveSwitch();

    addPlayMinute();

    for (int i = 0; i < 3; ++i)
        offline = !readLevelSize(i) || offline;
    if (offline && !m_board->toldOffline()) // the board read first, and may have told
        m_app.tellOffline(this, windowTitle());

    m_label6 = vnTimes(kClosingText);
    if (!m_mUnread[0])
        setDrawRange(num::halfOf(num::whole(m_m[0])));
}
