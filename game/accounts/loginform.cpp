#include "loginform.h"
#include "passwordmask.h"

#include "accounts/briefingform.h"
#include "accounts/recoveryform.h"
#include "accounts/registerfields.h"
#include "accounts/registerform.h"
#include "gameapp.h"
#include "gamedb.h"
#include "legacylabel.h"
#include "legacytimer.h"
#include "sound.h"
#include "studiotheme.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QProxyStyle>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
const QString kTitle = QStringLiteral("Âàng Nháûp");
const QString kConfirm = QStringLiteral("Xaïc nháûn");
const QString kRegister = QStringLiteral("Âàng Kyï");
const QString kForgot = QStringLiteral("Quãn password");
const QString kWrong = QStringLiteral(" Sai  ID  hay  Password ! ...");
const QString kHeldBack = QStringLiteral("Máy này vừa nhập sai mật khẩu của tài khoản này nhiều lần liền, nên máy chủ "
                                         "của lớp tạm không cho máy này đăng nhập vào tài khoản này trong một phút.\n\n"
                                         "Hãy đợi một phút rồi bấm lại nút Xác nhận.");

QFrame *underline(QWidget *parent, const char *name)
{
    auto *line = new QFrame(parent);
    line->setObjectName(QString::fromLatin1(name));
    line->setFixedHeight(2);
    line->setStyleSheet(QStringLiteral("background: #7fb2ff; border: none;"));
    line->setVisible(false);
    return line;
}
} // namespace

// The window's own close box does what the close picture does: it ends the program.
LoginForm::LoginForm(GameApp &app) : LegacyForm(app, QStringLiteral("frmLogin"), QString()), m_app(app)
{
    setMouseTracking(true);
    resize(600, 440);

    auto *close = accounts::closePicture(this, QStringLiteral("Picture4"));
    close->setToolTip(QStringLiteral("Thoát"));
    connect(close, &LegacyLabel::clicked, this, [this] { m_app.endProgram(); });

    auto *title = new LegacyLabel(this, QStringLiteral("Label3"), kTitle);
    studio::setRole(title, "title");
    title->setAlignment(Qt::AlignCenter);

    auto *panel = new QFrame(this);
    studio::setRole(panel, "panel");
    panel->setMouseTracking(true);

    auto *idLabel = new LegacyLabel(panel, QStringLiteral("lblLabels(0)"), QStringLiteral("&ID:"),
                                    vn::Encoding::Plain);
    auto *pwLabel = new LegacyLabel(panel, QStringLiteral("lblLabels(1)"), QStringLiteral("&Password:"),
                                    vn::Encoding::Plain);
    m_txtUserName = new QLineEdit(panel);
    m_txtUserName->setObjectName(QStringLiteral("txtUserName"));
    m_txtUserName->setMaxLength(255);
    m_txtPassword = new QLineEdit(panel);
    m_txtPassword->setObjectName(QStringLiteral("txtPassword"));
    ui::setPasswordMask(m_txtPassword, QLatin1Char('$'));
    m_txtPassword->setMaxLength(255);
    idLabel->setBuddy(m_txtUserName);
    pwLabel->setBuddy(m_txtPassword);

    m_cmdOK = new QPushButton(vn::display(kConfirm, vn::Encoding::VnTimes), panel);
    m_cmdOK->setObjectName(QStringLiteral("cmdOK"));
    m_cmdOK->setDefault(true);
    m_cmdOK->setCursor(Qt::PointingHandCursor);

    m_label1 = new LegacyLabel(panel, QStringLiteral("Label1"), kRegister);
    m_label2 = new LegacyLabel(panel, QStringLiteral("Label2"), kForgot);
    for (LegacyLabel *l : {m_label1, m_label2}) {
        l->setForeColor(QColor(127, 178, 255));
        l->setCursor(Qt::PointingHandCursor);
    }
    m_lineA = underline(panel, "a");
    m_lineB = underline(panel, "b");

    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(14);
    grid->setVerticalSpacing(12);
    grid->addWidget(idLabel, 0, 0);
    grid->addWidget(m_txtUserName, 0, 1);
    grid->addWidget(pwLabel, 1, 0);
    grid->addWidget(m_txtPassword, 1, 1);

    auto linkBox = [](LegacyLabel *l, QFrame *line) {
        auto *v = new QVBoxLayout;
        v->setSpacing(0);
        v->addWidget(l);
        v->addWidget(line);
        return v;
    };
    auto *links = new QHBoxLayout;
    links->addLayout(linkBox(m_label1, m_lineA));
    links->addStretch();
    links->addLayout(linkBox(m_label2, m_lineB));

    panel->setMinimumWidth(440);
    panel->setMaximumWidth(620);
    auto *pv = new QVBoxLayout(panel);
    pv->setContentsMargins(28, 24, 28, 20);
    pv->setSpacing(16);
    pv->addLayout(grid);
    pv->addLayout(studio::centredRow({m_cmdOK}));
    pv->addLayout(links);

    auto *top = new QHBoxLayout;
    top->addStretch();
    top->addWidget(close);

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(24, 12, 24, 28);
    outer->addLayout(top);
    outer->addStretch(1);
    outer->addWidget(title);
    outer->addSpacing(8);
    // The panel keeps a comfortable width and sits in the middle of a larger window.
    outer->addLayout(studio::centredRow({panel}, 1));
    outer->addStretch(2);

    m_timer1 = new LegacyTimer(this, "Timer1", 500, true);
    connect(m_timer1, &LegacyTimer::tick, this, [this] {
        if (m_app.services().music)
            sound::musicLoopTick(*m_app.services().music, m_txtFile);
    });

    connect(m_cmdOK, &QPushButton::clicked, this, &LoginForm::attemptLogin);
    connect(m_txtUserName, &QLineEdit::returnPressed, this, &LoginForm::attemptLogin);
    connect(m_txtPassword, &QLineEdit::returnPressed, this, &LoginForm::attemptLogin);
    connect(m_label1, &LegacyLabel::clicked, this, [this] { m_app.registration()->showInFront(); });
    connect(m_label2, &LegacyLabel::clicked, this, [this] { m_app.recovery()->showInFront(); });
    connect(m_label1, &LegacyLabel::hovered, m_lineA, [this] { m_lineA->setVisible(true); });
    connect(m_label2, &LegacyLabel::hovered, m_lineB, [this] { m_lineB->setVisible(true); });
    m_txtUserName->setFocus();
}

QString LoginForm::nick() const
{
    return m_txtUserName->text();
}

void LoginForm::attemptLogin()
{
    // Once a player is in, the nick box names that player for the rest of the run
    // (the winnings are saved under it), so it can no longer be changed or re-entered.
    if (!m_cmdOK->isEnabled())
        return;
    // A nick or password no account can hold is named, not looked up.
    if (const auto refusal = accounts::refuseUnstorable({{m_txtUserName, "ID"}, {m_txtPassword, "Password"}})) {
        m_app.message(this, *refusal);
        return;
    }
    // Each attempt starts clean: a password read for another nick never counts.
    m_text1.clear();
    // The store checks the password (a server keeps only its hash).
    const auto account = m_app.db().logIn(m_txtUserName->text(), m_txtPassword->text());
    if (!account && m_app.toldOffline(this, QStringLiteral("Login")))
        return;
    // Held back, the password was not checked: it is kept for the next try.
    if (!account && m_app.db().heldBack()) {
        m_app.message(this, {kHeldBack, QStringLiteral("Login"), vn::Encoding::Plain, QMessageBox::Warning,
                             QMessageBox::Ok});
        return;
    }
    if (account)
        m_text1 = m_txtPassword->text();
    if (account) {
        m_txtUserName->setReadOnly(true);
        m_txtPassword->setReadOnly(true);
        m_cmdOK->setEnabled(false);
        m_app.briefing()->show();
        hide();
        return;
    }
    m_app.message(this, {kWrong, QStringLiteral("Login"), vn::Encoding::Plain, QMessageBox::Critical,
                         QMessageBox::Ok});
    m_txtUserName->setFocus();
    m_txtUserName->selectAll();
    m_txtPassword->clear();
}

void LoginForm::mouseMoveEvent(QMouseEvent *e)
{
    m_lineA->setVisible(false);
    m_lineB->setVisible(false);
    QWidget::mouseMoveEvent(e);
}
