#include "stagekeys.h"

#include "keypress.h"
#include "sound.h"

#include <QKeyEvent>
#include <QWidget>

StageKeys::StageKeys(QWidget *form, sound::Mixer &mixer) : QObject(form), m_form(form), m_mixer(mixer)
{
    form->installEventFilter(this);
}

QWidget *StageKeys::control(const QString &name) const
{
    return m_form->findChild<QWidget *>(name);
}

void StageKeys::nameControls(std::initializer_list<Spoken> spoken) const
{
    for (const Spoken &n : spoken) {
        if (QWidget *w = control(QString::fromLatin1(n.control))) {
            if (*n.name)
                w->setAccessibleName(QString::fromUtf8(n.name));
            if (*n.description)
                w->setAccessibleDescription(QString::fromUtf8(n.description));
        }
    }
}

int StageKeys::answerKey(const QKeyEvent *e)
{
    const int k = e->key();
    if (k >= Qt::Key_A && k <= Qt::Key_D)
        return k - Qt::Key_A;
    if (k >= Qt::Key_1 && k <= Qt::Key_4)
        return k - Qt::Key_1;
    return -1;
}

bool StageKeys::isEnter(const QKeyEvent *e)
{
    return e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
}

bool StageKeys::eventFilter(QObject *watched, QEvent *e)
{
    if (watched != m_form)
        return false;
    // The form opens with the focus on itself, not on its first button, so
    // that Enter means the stage's next action and not, say, the exit.
    if (e->type() == QEvent::Show && !m_form->focusWidget())
        m_form->setFocus(Qt::OtherFocusReason);
    // Key presses the focused control left alone arrive here, at the form.
    if (e->type() != QEvent::KeyPress)
        return false;
    auto *key = static_cast<QKeyEvent *>(e);
    if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    if (key->key() == Qt::Key_M) {
        if (!key->isAutoRepeat())
            m_mixer.toggleMuted();
        return true;
    }
    const std::optional<QWidget *> target = controlFor(key);
    if (!target)
        return false;
    if (*target && !key->isAutoRepeat())
        ui::pressLikeMouse(*target);
    return true;
}
