#include "windowkeeper.h"

#include <QKeyEvent>
#include <QSettings>
#include <QWidget>

namespace {
QString geometryKey(const QWidget *w)
{
    return QStringLiteral("windows/%1").arg(w->objectName());
}
} // namespace

WindowKeeper::WindowKeeper(QWidget *window, QSettings *store) : QObject(window), m_window(window), m_store(store)
{
    if (m_store) {
        const QByteArray saved = m_store->value(geometryKey(window)).toByteArray();
        if (!saved.isEmpty())
            window->restoreGeometry(saved);
    }
    window->installEventFilter(this);
}

bool WindowKeeper::eventFilter(QObject *watched, QEvent *e)
{
    if (watched != m_window)
        return false;
    if (e->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(e);
        if (key->key() == Qt::Key_F11 && !key->isAutoRepeat()) {
            m_window->setWindowState(m_window->windowState() ^ Qt::WindowFullScreen);
            return true;
        }
    } else if (e->type() == QEvent::Hide || e->type() == QEvent::Close) {
        save();
    }
    return false;
}

void WindowKeeper::save()
{
    if (m_store && m_window->isWindow()) {
        m_store->setValue(geometryKey(m_window), m_window->saveGeometry());
        m_store->sync();
    }
}
