#include "phonecall.h"

#include "chatbox.h"
#include "gameapp.h"
#include "hotseatform.h"
#include "hotseattexts.h"
#include "legacylabel.h"
#include "legacytimer.h"
#include "lifelinepanel.h"
#include "lifelinetexts.h"
#include "numtext.h"
#include "referee/referee.h"
#include "studiotheme.h"

#include <QApplication>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace hotseat;

namespace {
const QString kCrLf = QStringLiteral("\r\n");
} // namespace

PhoneCall::PhoneCall(HotSeatForm &form, GameApp &app, LegacyLabel *label5)
    : PanelLifeline(form, app, label5, {kPhoneHelp, kPhoneOffer, kUsePhone, kDeclinePhone}, false,
                    {"Shape1", "Shape5", "Label15", "Shape6", "Picture3"}, "Timer13")
{
    buildPanel();
    m_timer6 = makeTimer("Timer6", 1500, &PhoneCall::ringTick);
    m_timer7 = makeTimer("Timer7", 2500, &PhoneCall::talkTick);
    m_timer8 = makeTimer("Timer8", 1000, &PhoneCall::countdownTick);
    connect(m_command1, &QPushButton::clicked, this, &PhoneCall::connectClicked);
    connect(m_text5, &QLineEdit::returnPressed, this, &PhoneCall::connectClicked);
    connect(m_command2, &QPushButton::clicked, this, &PhoneCall::beginClicked);
    connect(m_ok, &LegacyLabel::clicked, this, &PhoneCall::closePanel);
}

void PhoneCall::buildPanel()
{
    QFrame *p3 = m_panel->panel();

    auto *title = new LegacyLabel(p3, QStringLiteral("Label1(4)"), kCallTitle);
    title->setExtraStyle(QStringLiteral("font-size: 15pt; font-weight: bold; padding-left: 34px;"));
    title->setForeColor(studio::gold());
    m_ok = panelCloseButton(p3, "ok");

    m_a = new ChatBox(p3, QStringLiteral("a"));
    m_a->setMinimumHeight(120);

    // The name entry, over the chat until the call is connected.
    auto *p4 = new QFrame(p3);
    p4->setObjectName(QStringLiteral("Picture4"));
    p4->setStyleSheet(QStringLiteral(
        "#Picture4 { background: rgba(8, 14, 50, 235); border: 2px solid #d9b44a; border-radius: 14px; }"));
    m_picture4 = p4;
    auto *label14 = new LegacyLabel(p4, QStringLiteral("Label14"), kFriendName);
    label14->setForeColor(QColor(255, 233, 168));
    m_text5 = new QLineEdit(p4);
    m_text5->setObjectName(QStringLiteral("Text5"));
    m_text5->setMaxLength(255);
    m_text5->setMinimumWidth(200);
    label14->setBuddy(m_text5);
    // The accelerator of "&Kãút näúi" stays an accelerator.
    m_command1 = new QPushButton(QStringLiteral("&") + vn::display(kConnect.mid(1), vn::Encoding::VnTimes), p4);
    m_command1->setObjectName(QStringLiteral("Command1"));
    m_command1->setCursor(Qt::PointingHandCursor);
    auto *entry = new QHBoxLayout(p4);
    entry->setContentsMargins(18, 14, 18, 14);
    entry->setSpacing(10);
    entry->addWidget(label14);
    entry->addWidget(m_text5, 1);
    entry->addWidget(m_command1);

    // The countdown beside the chat.
    m_image10 = new Stopwatch(p3, QStringLiteral("Image10"));
    m_label16 = new LegacyLabel(p3, QStringLiteral("Label16"), kCallSeconds, vn::Encoding::Plain);
    m_label16->setAlignment(Qt::AlignCenter);
    m_label16->setFixedSize(78, 78);
    m_label16->setExtraStyle(QStringLiteral(
        "font-size: 26pt; font-weight: bold; border: 3px solid #d9b44a; border-radius: 39px;"
        "background: qradialgradient(cx:0.5, cy:0.4, radius:0.7, stop:0 #2a3f9a, stop:1 #07103a);"));
    m_label16->setForeColor(studio::gold());
    m_command2 = new QPushButton(vn::display(kBegin, vn::Encoding::VnTimes), p3);
    m_command2->setObjectName(QStringLiteral("Command2"));
    m_command2->setCursor(Qt::PointingHandCursor);
    for (QWidget *w : {m_image10, static_cast<QWidget *>(m_label16), static_cast<QWidget *>(m_command2)})
        w->setVisible(false);
    m_command2->setEnabled(false);

    auto *side = new QVBoxLayout;
    side->setSpacing(10);
    side->addStretch();
    side->addWidget(m_image10, 0, Qt::AlignHCenter);
    side->addWidget(m_label16, 0, Qt::AlignHCenter);
    side->addWidget(m_command2, 0, Qt::AlignHCenter);
    side->addStretch();
    auto *sideBox = new QWidget(p3);
    sideBox->setMinimumWidth(130);
    sideBox->setLayout(side);

    auto *grid = new QGridLayout(p3);
    grid->setContentsMargins(8, 4, 8, 8);
    grid->setHorizontalSpacing(14);
    grid->setVerticalSpacing(8);
    grid->addWidget(title, 0, 0);
    grid->addWidget(m_ok, 0, 1, Qt::AlignRight | Qt::AlignVCenter);
    grid->addWidget(m_a, 1, 0);
    grid->addWidget(p4, 1, 0, Qt::AlignCenter);
    grid->addWidget(sideBox, 1, 1);
    grid->setColumnStretch(0, 1);
    grid->setRowStretch(1, 1);
    p4->raise();
}

QString PhoneCall::name() const
{
    return vn::embed(m_text5->text(), vn::Encoding::Vni);
}

// --- offer, confirm, decline ----------------------------------------------------------

void PhoneCall::confirm()
{
    const referee::Call call = m_app.referee().phoneFriend();
    if (!answered(call.outcome))
        return;
    m_advice = call.advice;
    closeOtherPanels();
    openPanel();
    backToQuestion();
    confirmButton()->setEnabled(true);
}

// --- the call --------------------------------------------------------------------------

void PhoneCall::unfolded(int step)
{
    if (step == 4 && m_picture4->isVisible())
        m_text5->setFocus();
}

void PhoneCall::connectClicked()
{
    if (!panelOpen())
        return; // a closed panel connects nothing
    // A name the stage's texts cannot hold is named and the call waits for another.
    if (const auto refusal = ui::unstorableRefusal(m_text5->text(), QStringLiteral("Tên người bạn"),
                                                   kNoNameTitle)) {
        m_app.message(&m_form, *refusal);
        m_text5->setFocus();
        return;
    }
    if (!m_text5->text().isEmpty()) {
        // The keyboard leaves the name entry with it, so a stray Enter connects nothing.
        if (QWidget *focus = QApplication::focusWidget(); focus && m_picture4->isAncestorOf(focus))
            focus->clearFocus();
        m_picture4->setVisible(false);
        m_timer6->setEnabled(true);
        m_connected = true;
    } else {
        m_app.message(&m_form, {kNoNameText, kNoNameTitle, vn::Encoding::Plain, QMessageBox::Critical,
                                QMessageBox::Ok});
    }
    // The music piece playing ends and is not started again until the call is over.
    musicLoop()->setEnabled(false);
    m_musicHeld = true;
}

void PhoneCall::giveMusicBack()
{
    if (!m_musicHeld)
        return;
    m_musicHeld = false;
    musicLoop()->setEnabled(true);
}

void PhoneCall::followBoard(const referee::FriendAdvice &advice)
{
    m_advice = advice;
}

void PhoneCall::ringTick()
{
    ++m_ringStep;
    switch (m_ringStep) {
    case 1: m_a->setLegacyText(kRing1); break;
    case 2: m_a->appendLine(kRing2); break;
    case 3: m_a->appendLine(QLatin1Char('<') + name() + kFriendHello); break;
    case 4:
        m_a->appendLine(kMcHelloHead + name() + kCrLf + kMcHelloTail + vn::embed(nick(), vn::Encoding::Vni));
        break;
    case 5: m_a->setLegacyText(kMcAskHead + name() + kMcAskTail); break;
    case 6: m_a->appendLine(QLatin1Char('<') + name() + kFriendReady); break;
    case 7: m_a->appendLine(kMcThirty); break;
    case 8: m_a->appendLine(kMcGo); break;
    case 9:
        m_app.playEffect(kCallStarts);
        m_command2->setEnabled(true);
        m_timer8->setEnabled(true);
        m_label16->setVisible(true);
        m_command2->setVisible(true);
        m_image10->setVisible(true);
        if (m_panel->panel()->isVisible())
            m_command2->setFocus();
        break;
    default: break; // the script is over; the timer idles
    }
}

void PhoneCall::beginClicked()
{
    m_a->setLegacyText(QString());
    m_timer7->setEnabled(true);
    m_command2->setEnabled(false);
}

void PhoneCall::talkTick()
{
    ++m_callStep;
    const QString friendSays = QLatin1Char('<') + name();
    switch (m_callStep) {
    case 1:
        m_a->setLegacyText(kPlayerAsksHead + name() + kPlayerAsksTail + questionLabel()->caption() + kCrLf
                           + QStringLiteral("A. ") + answerLabel(0)->caption() + QStringLiteral("  B. ")
                           + answerLabel(1)->caption() + QStringLiteral("  C. ") + answerLabel(2)->caption()
                           + QStringLiteral("  D. ") + answerLabel(3)->caption());
        break;
    case 2: m_a->appendLine(friendSays + kFriendThinks); break;
    case 3: m_a->setLegacyText(friendSays + kFriendMumbles); break;
    case 4:
        if (m_advice)
            m_a->appendLine(friendSays + m_advice->pair);
        break;
    case 5: m_a->appendLine(kPlayerWhich); break;
    case 6:
        if (m_advice)
            m_a->appendLine(friendSays + m_advice->guess);
        break;
    case 7: m_a->appendLine(kPlayerHurryHead + m_label16->caption() + kPlayerHurryTail); break;
    case 8: m_a->appendLine(friendSays + kFriendMumbles); break;
    default: break;
    }
}

void PhoneCall::countdownTick()
{
    m_label16->setCaption(num::text(num::value(m_label16->caption()) - 1));
    if (num::value(m_label16->caption()) != 0)
        return;
    m_a->setLegacyText(kCallTimeUp);
    m_timer8->setEnabled(false);
    m_timer7->setEnabled(false);
    m_ok->setVisible(true);
    m_command2->setEnabled(false);
    musicLoop()->setEnabled(true);
    m_musicHeld = false;
}

void PhoneCall::panelClosed()
{
    // A call never connected will not end by its countdown: the music comes back now.
    if (!m_connected)
        giveMusicBack();
}

void PhoneCall::endScript()
{
    PanelLifeline::endScript();
    for (LegacyTimer *t : {m_timer6, m_timer7, m_timer8})
        t->setEnabled(false);
    giveMusicBack();
}
