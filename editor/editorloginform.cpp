#include "editorloginform.h"

#include "editorapp.h"
#include "editorform.h"
#include "legacylabel.h"
#include "passwordmask.h"
#include "studiotheme.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
const QString kHint = QStringLiteral("Baûn tham gia chåi âãø måí khoaï ");
const QString kInvalid = QStringLiteral("Invalid code, try again!");
const QString kTitle = QStringLiteral("Login");
} // namespace

// Closing the dialog is leaving the editor, as Cancel is.
EditorLoginForm::EditorLoginForm(EditorApp &app) : LegacyForm(app, QStringLiteral("frmLogin"), kTitle), m_app(app)
{
    resize(440, 240); // the layout sets the smallest size

    auto *panel = new QFrame(this);
    studio::setRole(panel, "panel");

    auto *title = new QLabel(QStringLiteral("Pelmaro"), panel);
    studio::setRole(title, "title");
    title->setAlignment(Qt::AlignCenter);

    m_label1 = new LegacyLabel(panel, QStringLiteral("Label1"), kHint);
    m_label1->setWordWrap(true);
    m_label1->setAlignment(Qt::AlignCenter);
    m_label1->setForeColor(studio::gold());
    m_label1->setExtraStyle(QStringLiteral("font-size: 14pt; font-weight: bold;"));

    m_txtPassword = new QLineEdit(panel);
    m_txtPassword->setObjectName(QStringLiteral("txtPassword"));
    ui::setPasswordMask(m_txtPassword, QLatin1Char('$'));
    m_txtPassword->setAlignment(Qt::AlignCenter);
    m_txtPassword->setMinimumWidth(220);

    m_cmdOK = new QPushButton(QStringLiteral("OK"), panel);
    m_cmdOK->setObjectName(QStringLiteral("cmdOK"));
    m_cmdOK->setDefault(true);
    m_cmdOK->setAutoDefault(true);
    m_cmdCancel = new QPushButton(QStringLiteral("Cancel"), panel);
    m_cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    m_cmdCancel->setAutoDefault(true);
    for (QPushButton *b : {m_cmdOK, m_cmdCancel}) {
        b->setCursor(Qt::PointingHandCursor);
        b->setMinimumWidth(110);
    }

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_cmdOK);
    buttons->addSpacing(12);
    buttons->addWidget(m_cmdCancel);
    buttons->addStretch();

    auto *pv = new QVBoxLayout(panel);
    pv->setContentsMargins(28, 18, 28, 22);
    pv->setSpacing(14);
    pv->addWidget(title);
    pv->addWidget(m_label1);
    pv->addWidget(m_txtPassword, 0, Qt::AlignHCenter);
    pv->addLayout(buttons);

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(24, 24, 24, 24);
    outer->addStretch();
    outer->addWidget(panel);
    outer->addStretch();

    connect(m_cmdOK, &QPushButton::clicked, this, &EditorLoginForm::checkCode);
    connect(m_cmdCancel, &QPushButton::clicked, this, &EditorLoginForm::cancel);
    m_txtPassword->setFocus();
}

void EditorLoginForm::checkCode()
{
    if (m_txtPassword->text() != EditorApp::accessCode()) {
        m_app.message(this, {kInvalid, kTitle, vn::Encoding::Plain, QMessageBox::Critical, QMessageBox::Ok});
        // The whole wrong code is selected, so the next typing replaces it.
        m_txtPassword->setFocus();
        m_txtPassword->selectAll();
        return;
    }
    m_loginSucceeded = true;
    m_app.editor()->showInFront();
    hide();
}

void EditorLoginForm::cancel()
{
    m_app.endProgram();
}

void EditorLoginForm::keyPressEvent(QKeyEvent *e)
{
    // Enter and Esc reach the form from any control that does not use them.
    switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (e->modifiers() & ~Qt::KeypadModifier)
            break;
        e->accept();
        m_cmdOK->click();
        return;
    case Qt::Key_Escape:
        if (e->modifiers() != Qt::NoModifier)
            break;
        e->accept();
        m_cmdCancel->click();
        return;
    default:
        break;
    }
    QWidget::keyPressEvent(e);
}
