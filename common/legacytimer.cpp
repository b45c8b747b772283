#include "legacytimer.h"

#include <QEvent>
#include <QList>
#include <QWidget>

#include <utility>

namespace {
int g_holds = 0;
QList<QPointer<LegacyTimer>> g_kept;
} // namespace

LegacyTimer::LegacyTimer(QObject *parent, const char *name, int intervalMs, bool enabled)
    : QTimer(parent), m_enabled(enabled), m_interval(intervalMs)
{
    setObjectName(QString::fromLatin1(name));
    // The old timers were coarse too. Coarse timers wake on shared boundaries, so
    // timers whose boundaries meet (the stage's clocks, the music loop) share one
    // wake-up instead of waking the process each on its own.
    setTimerType(Qt::CoarseTimer);
    connect(this, &QTimer::timeout, this, [this] {
        if (!m_enabled || m_interval <= 0)
            return;
        if (g_holds > 0) {
            if (!m_kept) {
                m_kept = true;
                g_kept.append(this);
            }
            return;
        }
        m_kept = false; // a kept tick not delivered yet is this one
        emit tick();
    });
    apply();
}

void LegacyTimer::setEnabled(bool on)
{
    if (on == m_enabled)
        return;
    m_enabled = on;
    apply();
}

void LegacyTimer::setLegacyInterval(int ms)
{
    if (ms < 0)
        ms = 0;
    if (ms == m_interval)
        return;
    m_interval = ms;
    apply();
}

bool LegacyTimer::fire()
{
    if (!m_enabled || m_interval <= 0)
        return false;
    emit tick();
    return true;
}

void LegacyTimer::pauseWhileHidden(QWidget *form)
{
    if (m_form)
        m_form->removeEventFilter(this);
    m_form = form;
    m_formHidden = !form->isVisible();
    form->installEventFilter(this);
    m_paused = m_formHidden || form->isMinimized();
    apply();
}

bool LegacyTimer::eventFilter(QObject *watched, QEvent *e)
{
    if (watched == m_form) {
        const QEvent::Type t = e->type();
        if (t == QEvent::Show || t == QEvent::Hide || t == QEvent::WindowStateChange) {
            // A minimised window gets a spontaneous Hide yet stays "visible".
            if (t != QEvent::WindowStateChange)
                m_formHidden = t == QEvent::Hide;
            const bool paused = m_formHidden || m_form->isMinimized();
            if (paused != m_paused) {
                m_paused = paused;
                apply();
            }
        }
    }
    return QTimer::eventFilter(watched, e);
}

void LegacyTimer::countWithoutWaking(std::function<qint64()> clockMs)
{
    m_clock = std::move(clockMs);
    apply();
}

qint64 LegacyTimer::takeDueTicks()
{
    if (!m_clock || !m_enabled || m_interval <= 0)
        return 0;
    const qint64 now = m_clock();
    if (now < m_countFrom) { // the clock was set back: count from here
        m_countFrom = now;
        return 0;
    }
    const qint64 due = (now - m_countFrom) / m_interval;
    m_countFrom += due * m_interval;
    return due;
}

void LegacyTimer::holdTicks(bool on)
{
    g_holds += on ? 1 : -1;
    if (g_holds > 0 || g_kept.isEmpty())
        return;
    // Delivered once the code that held them has returned to the event loop.
    const QList<QPointer<LegacyTimer>> kept = std::exchange(g_kept, {});
    for (const QPointer<LegacyTimer> &t : kept)
        if (t)
            QMetaObject::invokeMethod(t.data(), &LegacyTimer::deliverKept, Qt::QueuedConnection);
}

void LegacyTimer::deliverKept()
{
    if (!m_kept)
        return;
    if (g_holds > 0) { // another wait began first: kept until it ends
        g_kept.append(this);
        return;
    }
    m_kept = false;
    if (m_enabled && m_interval > 0 && !m_paused)
        emit tick();
}

void LegacyTimer::apply()
{
    m_kept = false; // started afresh or stopped: a tick kept from before is void
    if (m_clock) {
        stop();
        m_countFrom = m_clock();
        return;
    }
    if (m_enabled && m_interval > 0 && !m_paused) {
        // Changing the interval or enabling restarts the count, as the old timers did.
        start(m_interval);
    } else {
        stop();
    }
}
