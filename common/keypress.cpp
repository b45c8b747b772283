#include "keypress.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QMouseEvent>
#include <QWidget>

namespace ui {

bool reachable(const QWidget *w)
{
    if (!w || !w->isVisible() || !w->isEnabled())
        return false;
    const QWidget *top = w->window();
    const QWidget *hit = top->childAt(w->mapTo(top, w->rect().center()));
    return hit == w || w->isAncestorOf(hit);
}

bool pressLikeMouse(QWidget *w)
{
    if (!reachable(w))
        return false;
    if (auto *button = qobject_cast<QAbstractButton *>(w)) {
        button->click();
        return true;
    }
    const QPointF at = QRectF(w->rect()).center();
    const QPointF global = w->mapToGlobal(at);
    QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &release);
    return true;
}

} // namespace ui
