#include "briefingform.h"

#include "accounts/loginform.h"
#include "gameapp.h"
#include "gamedb.h"
#include "hotseat/hotseatform.h"
#include "legacylabel.h"
#include "legacytimer.h"
#include "numtext.h"
#include "qualifying/qualifyingform.h"
#include "studiotheme.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFrame>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace {
const QString kWindowTitle = QStringLiteral("Thong Tin");
const QString kMoney = QStringLiteral("Säú tiãön trong taìi khoaín cuía baûn laì :");
const QString kNotes = QStringLiteral("Nhæîng âiãöu læu yï khi tham gia chåi:");
const QString kRule1 = QStringLiteral(
    "1.   Âãø tham gia chåi säú tiãön cuía baûn bë træì trong taìi khoaín laì 1,000$.");
const QString kRule2 = QStringLiteral("2.   Baûn phaíi væåüt qua voìng thæí thaïch bao gäöm cáu hoíi "
                                      "sàõp xãúp, tráût tæû logic våïi nhau. ");
const QString kRule3 = QStringLiteral(
    "3.   Sau khi væåüt qua thæí thaïch baûn seî âæåc ngäöi trãn ghãú noïng cuìng MC Maïy Tênh.");
const QString kConfirm = QStringLiteral("Xaïc nháûn tiãúp tuûc cuäüc chåi");
const QString kStart = QStringLiteral("&Bàõt Âáöu");
const QString kWelcomeHead = QStringLiteral("Chaøo möøng  ");
const QString kWelcomeTail = QStringLiteral(" ñeán vôùi troø chôi Lontaris");
const QString kOfficial = QStringLiteral("Baïn chính thöùc tham gia Lontaris... Chuùc baïn thanh coâng.");
} // namespace

BriefingForm::BriefingForm(GameApp &app) : m_app(app)
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(kWindowTitle);
    studio::styleForm(this);
    setMinimumSize(760, 520);

    m_tieude = new LegacyLabel(this, QStringLiteral("tieude"), QString(), vn::Encoding::Vni);
    m_tieude->setAlignment(Qt::AlignCenter);
    m_tieude->setWordWrap(true);
    m_tieude->setExtraStyle(QStringLiteral("font-size: 19pt; font-weight: bold;"));
    m_tieude->setForeColor(studio::gold());

    auto *panel = new QFrame(this);
    studio::setRole(panel, "panel");
    auto *label1 = new LegacyLabel(panel, QStringLiteral("Label1"), kMoney);
    m_sotien = new LegacyLabel(panel, QStringLiteral("sotien"), QStringLiteral("1200"), vn::Encoding::Plain);
    studio::setRole(m_sotien, "money");
    m_sotien->setForeColor(QColor(255, 255, 0));
    auto *label2 = new LegacyLabel(panel, QStringLiteral("Label2"), kNotes);
    label2->setForeColor(QColor(127, 178, 255));
    label2->setExtraStyle(QStringLiteral("font-weight: bold;"));
    auto *label3 = new LegacyLabel(panel, QStringLiteral("Label3"), kRule1);
    auto *label4 = new LegacyLabel(panel, QStringLiteral("Label4"), kRule2);
    auto *label5 = new LegacyLabel(panel, QStringLiteral("Label5"), kRule3);
    for (LegacyLabel *l : {label3, label4, label5})
        l->setWordWrap(true);

    m_check1 = new QCheckBox(vn::display(kConfirm, vn::Encoding::VnTimes), panel);
    m_check1->setObjectName(QStringLiteral("Check1"));
    m_check1->setCursor(Qt::PointingHandCursor);

    m_command2 = new LegacyLabel(this, QStringLiteral("Command2"), kStart);
    m_command2->makeButton();
    m_command2->setMinimumWidth(180);
    m_command2->setEnabled(false);

    auto *money = new QHBoxLayout;
    money->addWidget(label1);
    money->addWidget(m_sotien);
    money->addStretch();

    auto *pv = new QVBoxLayout(panel);
    pv->setContentsMargins(28, 22, 28, 22);
    pv->setSpacing(12);
    pv->addLayout(money);
    pv->addSpacing(6);
    pv->addWidget(label2);
    pv->addWidget(label3);
    pv->addWidget(label4);
    pv->addWidget(label5);
    pv->addSpacing(8);
    pv->addWidget(m_check1);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_command2);
    buttons->addStretch();

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(30, 24, 30, 26);
    outer->setSpacing(18);
    outer->addWidget(m_tieude);
    outer->addWidget(panel, 1);
    outer->addLayout(buttons);

    m_timer1 = new LegacyTimer(this, "Timer1", 500, true);
    connect(m_timer1, &LegacyTimer::tick, this, &BriefingForm::recolourTitle);
    connect(m_check1, &QCheckBox::clicked, this, &BriefingForm::feeClicked);
    connect(m_command2, &LegacyLabel::clicked, this, &BriefingForm::startClicked);

    load();
}

QString BriefingForm::balanceCaption() const
{
    return m_sotien->caption();
}

void BriefingForm::load()
{
    LoginForm *login = m_app.login();
    m_a = login->nick();
    if (const auto acc = m_app.db().findAccount(m_a)) {
        if (!acc->sotien.isNull())
            m_sotien->setCaption(acc->sotien);
        if (!acc->solan.isNull())
            m_label6 = acc->solan;
    }
    m_tieude->setCaption(kWelcomeHead + vn::embed(login->nick(), vn::Encoding::Vni) + kWelcomeTail);
    login->setMusicFile(QDir(m_app.programDir()).filePath(QStringLiteral("media/nen.wav")));
    if (const auto lock = m_app.db().readLock(); lock && !lock->thuthach.isNull())
        m_l2 = lock->thuthach;
}

void BriefingForm::feeClicked(bool ticked)
{
    const double balance = num::value(m_sotien->caption());
    m_command2->setEnabled(ticked);
    m_sotien->setCaption(num::text(ticked ? balance - 1000 : balance + 1000));
    if (num::value(m_l2) == 1)
        m_tieude->setCaption(kOfficial);
}

void BriefingForm::startClicked()
{
    if (!m_check1->isChecked())
        return;
    m_label6 = num::text(num::value(m_label6) + 1);
    m_app.db().updateAccount(m_a, {{QStringLiteral("sotien"), m_sotien->caption()},
                                   {QStringLiteral("solan"), m_label6}});
    hide();
    // Any switch value other than 1 plays the qualifying round: the player is never
    // left without a window.
    if (num::value(m_l2) == 1)
        m_app.hotseat()->show();
    else
        m_app.qualifying()->show();
}

void BriefingForm::recolourTitle()
{
    const int r = int(num::roundHalfEven(m_app.random() * 255));
    const int g = int(num::roundHalfEven(m_app.random() * 255));
    const int b = int(num::roundHalfEven(m_app.random() * 255));
    m_tieude->setForeColor(QColor(r, g, b));
}

void BriefingForm::closeEvent(QCloseEvent *e)
{
    e->accept();
    m_app.endProgram();
}
