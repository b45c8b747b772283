#include "legacyform.h"

#include "studiotheme.h"

#include <QCloseEvent>

LegacyForm::LegacyForm(FormHost &host, const QString &name, const QString &caption)
    : LegacyForm(host, name, caption, nullptr)
{
}

LegacyForm::LegacyForm(FormHost &host, const QString &name, const QString &caption,
                       std::function<QWidget *()> opener)
    : m_host(host), m_opener(std::move(opener))
{
    setObjectName(name);
    setWindowTitle(caption);
    studio::styleForm(this);
}

void LegacyForm::showInFront()
{
    show();
    raise();
    activateWindow();
}

void LegacyForm::ensureLoaded()
{
    if (m_loaded)
        return;
    load();
    m_loaded = true;
}

void LegacyForm::handBack()
{
    QWidget *opener = m_opener();
    opener->show();
    opener->raise();
}

void LegacyForm::showEvent(QShowEvent *e)
{
    ensureLoaded();
    QWidget::showEvent(e);
}

void LegacyForm::closeEvent(QCloseEvent *e)
{
    e->accept();
    if (m_host.ending())
        return;
    if (!m_opener) {
        m_host.endProgram();
        return;
    }
    resetControls();
    m_loaded = false;
    handBack();
}
