#pragma once
// A timer with the old toolkit's semantics: it runs while Enabled is true and its
// interval is above 0; an interval of 0 means it never fires (a plain QTimer with
// interval 0 would fire as fast as it can). Ticks keep within 5 % of the
// interval. Handlers connect to tick(); tests call fire() to run one tick without
// waiting.

#include <QPointer>
#include <QTimer>
#include <functional>

class QWidget;

class LegacyTimer : public QTimer {
    Q_OBJECT
public:
    LegacyTimer(QObject *parent, const char *name, int intervalMs, bool enabled);
    // The same, its ticks handled by `handler` of `receiver`.
    template <typename Receiver>
    LegacyTimer(QObject *parent, const char *name, int intervalMs, bool enabled, Receiver *receiver,
                void (Receiver::*handler)())
        : LegacyTimer(parent, name, intervalMs, enabled)
    {
        connect(this, &LegacyTimer::tick, receiver, handler);
    }

    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool on);
    int legacyInterval() const { return m_interval; }
    void setLegacyInterval(int ms);

    // One tick now, as the event loop would deliver it; nothing when the timer
    // could not fire (disabled or interval 0). Returns whether it ticked.
    bool fire();

    // For a timer whose only effect is on screen: no real ticks while `form` is
    // hidden or minimised; it counts again from the start when the form is shown.
    // Enabled, the interval and fire() are not affected.
    void pauseWhileHidden(QWidget *form);
    bool isPaused() const { return m_paused; }

    // For a timer whose ticks only matter when its owner reads the value they
    // drive (the hot seat's draw counter): the program is not woken for each
    // tick; the ticks are counted on `clockMs` (milliseconds) instead, and the
    // owner takes the ones due since it last looked with takeDueTicks(), which
    // gives 0 while the timer is disabled or at interval 0. Enabling it or
    // changing its interval starts the count afresh, as for a ticking timer;
    // fire() still ticks at once.
    void countWithoutWaking(std::function<qint64()> clockMs);
    qint64 takeDueTicks();

    // While the window waits for the database server (windowwait.h) no
    // timer ticks, so that none of the game's logic runs inside a step: a
    // tick that falls due is kept, one a timer (the old toolkit did not pile
    // up ticks either), and delivered through the event loop once the last
    // hold ends. Holds nest.
    static void holdTicks(bool on);

signals:
    void tick();

protected:
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    void apply();
    void deliverKept();
    bool m_enabled;
    int m_interval;
    bool m_paused = false;
    bool m_formHidden = false;
    QPointer<QWidget> m_form;
    std::function<qint64()> m_clock;
    qint64 m_countFrom = 0;
    bool m_kept = false; // a tick held back by holdTicks
};
