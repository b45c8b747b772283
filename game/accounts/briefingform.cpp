#include "briefingform.h"

#include "accounts/loginform.h"
#include "gameapp.h"
#include "gamedb.h"
#include "hotseat/hotseatform.h"
#include "legacylabel.h"
#include "legacytimer.h"
#include "numtext.h"
#include "patientsave.h"
#include "qualifying/qualifyingform.h"
#include "referee/referee.h"
#include "studiotheme.h"

#include <QCheckBox>
#include <QDir>
#include <QFrame>
#include <QGraphicsDropShadowEffect>
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
const QString kFee = QStringLiteral("1000");
// The balance shown for an account that holds none.
const QString kShownBalance = QStringLiteral("1200");
const QString kCannotCharge = QStringLiteral(
    "Số tiền trong tài khoản (%1) không tính được chính xác, nên không thể trừ phí tham gia.");
} // namespace

BriefingForm::BriefingForm(GameApp &app) : LegacyForm(app, QStringLiteral("Form3"), kWindowTitle), m_app(app)
{
    resize(880, 600);

    m_tieude = new LegacyLabel(this, QStringLiteral("tieude"), QString(), vn::Encoding::Vni);
    m_tieude->setAlignment(Qt::AlignCenter);
    m_tieude->setWordWrap(true);
    m_tieude->setExtraStyle(QStringLiteral("font-size: 19pt; font-weight: bold;"));
    m_tieude->setForeColor(studio::gold());
    // Every random colour is drawn in a shade that reads on the stage.
    m_tieude->setBackdrop(studio::behindStage());
    // The title takes a new random colour every half second; a halo in the opposite
    // brightness keeps every draw readable on the blue stage.
    auto *halo = new QGraphicsDropShadowEffect(m_tieude);
    halo->setOffset(0, 0);
    halo->setBlurRadius(7);
    m_tieude->setGraphicsEffect(halo);
    fitHalo();

    auto *panel = new QFrame(this);
    studio::setRole(panel, "panel");
    auto *label1 = new LegacyLabel(panel, QStringLiteral("Label1"), kMoney);
    m_sotien = new LegacyLabel(panel, QStringLiteral("sotien"), kShownBalance, vn::Encoding::Plain);
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
    m_check1->setStyleSheet(QStringLiteral(
        "QCheckBox { font-size: 13pt; color: #ffe9a8; spacing: 12px; }"
        "QCheckBox::indicator { width: 20px; height: 20px; border: 2px solid #d9b44a; border-radius: 6px;"
        " background: #0a1236; }"
        "QCheckBox::indicator:hover { border-color: #ffd75a; }"
        "QCheckBox::indicator:checked { background: qradialgradient(cx:0.5, cy:0.5, radius:0.5, fx:0.5, fy:0.5,"
        " stop:0 #fff2c4, stop:0.55 #ffd75a, stop:0.6 #0a1236); }"));

    m_command2 = new LegacyLabel(this, QStringLiteral("Command2"), kStart);
    m_command2->makeButton();
    m_command2->setLeastWidth(180);
    m_command2->setEnabled(false);

    auto *money = new QHBoxLayout;
    money->addWidget(label1);
    money->addWidget(m_sotien);
    money->addStretch();

    auto *rules = new QVBoxLayout;
    rules->setContentsMargins(14, 0, 0, 0);
    rules->setSpacing(8);
    rules->addWidget(label3);
    rules->addWidget(label4);
    rules->addWidget(label5);

    auto *pv = new QVBoxLayout(panel);
    pv->setContentsMargins(30, 22, 30, 22);
    pv->setSpacing(12);
    pv->addLayout(money);
    pv->addSpacing(4);
    pv->addWidget(label2);
    pv->addLayout(rules);
    pv->addSpacing(10);
    pv->addWidget(m_check1);
    // Wide enough for each rule on one line, so the panel never clips a wrapped rule.
    panel->setMinimumWidth(720);
    panel->setMaximumWidth(980);

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(30, 24, 30, 26);
    outer->setSpacing(18);
    outer->addStretch(1);
    outer->addWidget(m_tieude);
    // The panel keeps its natural height and a readable width; a larger window only
    // adds stage around it.
    outer->addLayout(studio::centredRow({panel}, 1));
    outer->addLayout(studio::centredRow({m_command2}));
    outer->addStretch(1);

    m_timer1 = new LegacyTimer(this, "Timer1", 500, true, this, &BriefingForm::recolourTitle);
    m_timer1->pauseWhileHidden(this); // the title's colours are only for the eye
    connect(m_check1, &QCheckBox::clicked, this, &BriefingForm::feeClicked);
    connect(m_command2, &LegacyLabel::clicked, this, &BriefingForm::startClicked);
    m_save = new PatientSave(this, m_app);

    ensureLoaded();
}

QString BriefingForm::balanceCaption() const
{
    return m_sotien->caption();
}

void BriefingForm::load()
{
    LoginForm *login = m_app.login();
    m_a = login->nick();
    m_tieude->setCaption(kWelcomeHead + vn::embed(login->nick(), vn::Encoding::Vni) + kWelcomeTail);
    login->setMusicFile(QDir(m_app.programDir()).filePath(QStringLiteral("media/nen.wav")));
    // With the server out of reach the player is told once, and no balance
    // is shown until it is read: ticking the fee reads it again.
    if (!readStored()) {
        if (!m_accountRead)
            m_sotien->setCaption(QString());
        m_app.tellOffline(this, windowTitle());
    }
}

bool BriefingForm::readStored()
{
    if (!m_accountRead) {
        const auto acc = m_app.db().player(m_a);
        m_accountRead = acc || !m_app.db().lastWasOffline();
        if (acc) {
            m_sotien->setCaption(acc->sotien.isNull() ? kShownBalance : acc->sotien);
            if (!acc->solan.isNull())
                m_label6 = acc->solan;
        }
    }
    if (!m_switchesRead) {
        const auto lock = m_app.db().readLock();
        m_switchesRead = lock || !m_app.db().lastWasOffline();
        if (lock && !lock->thuthach.isNull())
            m_l2 = lock->thuthach;
    }
    return m_accountRead && m_switchesRead;
}

void BriefingForm::feeClicked(bool ticked)
{
    // The fee is never taken from a balance that could not be read.
    if (ticked && !readStored()) {
        m_check1->setChecked(false);
        m_app.tellOffline(this, windowTitle());
        return;
    }
    // Money is computed digit for digit: what cannot be is refused, never rounded.
    const std::optional<QString> balance =
        num::exactSum(m_sotien->caption(), ticked ? QStringView(u"-1000") : QStringView(kFee));
    if (!balance) {
        m_check1->setChecked(!ticked);
        m_app.message(this, {kCannotCharge.arg(m_sotien->caption()), QStringLiteral("Lontaris"), vn::Encoding::Plain,
                             QMessageBox::Critical, QMessageBox::Ok});
        return;
    }
    m_command2->setEnabled(ticked);
    m_sotien->setCaption(*balance);
    if (num::value(m_l2) == 1)
        m_tieude->setCaption(kOfficial);
}

void BriefingForm::startClicked()
{
    if (!m_check1->isChecked() || m_save->running())
        return;
    // The fee and the play count are applied to what is stored when the
    // write happens, so a second window of the same account never writes a
    // stale balance over the other's. The form waits, moving, until it is
    // written; the next form opens only then.
    m_command2->setEnabled(false);
    m_check1->setEnabled(false);
    const QString nick = m_a;
    m_save->start(
        [this, nick] {
            const db::AccountUpdate u = m_app.referee().payFee(nick, db::LockWait::NoWait);
            if (u.status == db::WriteStatus::Done && u.stored) {
                // What is stored now, which another session may have moved.
                m_sotien->setCaption(u.stored->sotien);
                m_label6 = u.stored->solan;
            } else if (u.status == db::WriteStatus::Done) {
                m_label6 = num::exactSum(m_label6, QStringView(u"1")).value_or(m_label6);
            }
            return u.status;
        },
        [this] {
            hide();
            // Any switch value other than 1 plays the qualifying round: the player
            // is never left without a window.
            if (num::value(m_l2) == 1)
                m_app.hotseat()->show();
            else
                m_app.qualifying()->show();
        },
        [this] {
            m_check1->setEnabled(true);
            m_command2->setEnabled(m_check1->isChecked());
        });
}

void BriefingForm::recolourTitle()
{
    const int r = int(num::roundHalfEven(m_app.random() * 255));
    const int g = int(num::roundHalfEven(m_app.random() * 255));
    const int b = int(num::roundHalfEven(m_app.random() * 255));
    m_tieude->setForeColor(QColor(r, g, b));
    fitHalo();
}

void BriefingForm::fitHalo()
{
    auto *halo = qobject_cast<QGraphicsDropShadowEffect *>(m_tieude->graphicsEffect());
    if (!halo)
        return;
    const QColor c = m_tieude->foreColor();
    const double luma = 0.299 * c.red() + 0.587 * c.green() + 0.114 * c.blue();
    halo->setColor(luma < 110 ? QColor(240, 244, 255) : QColor(2, 4, 24));
}
