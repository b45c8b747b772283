#include "legacytimer.h"

LegacyTimer::LegacyTimer(QObject *parent, const char *name, int intervalMs, bool enabled)
    : QTimer(parent), m_enabled(enabled), m_interval(intervalMs)
{
    setObjectName(QString::fromLatin1(name));
    setTimerType(Qt::PreciseTimer);
    connect(this, &QTimer::timeout, this, [this] {
        if (m_enabled && m_interval > 0)
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

void LegacyTimer::apply()
{
    if (m_enabled && m_interval > 0) {
        // Changing the interval or enabling restarts the count, as the old timers did.
        start(m_interval);
    } else {
        stop();
    }
}
