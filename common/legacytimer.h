#pragma once
// A timer with the old toolkit's semantics: it runs while Enabled is true and its
// interval is above 0; an interval of 0 means it never fires (a plain QTimer with
// interval 0 would fire as fast as it can). Ticks keep within 5 % of the interval. Handlers connect to tick(); tests call
// fire() to run one tick without waiting.

#include <QPointer>
#include <QTimer>

class QWidget;

class LegacyTimer : public QTimer {
    Q_OBJECT
public:
    LegacyTimer(QObject *parent, const char *name, int intervalMs, bool enabled);

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

signals:
    void tick();

protected:
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    void apply();
    bool m_enabled;
    int m_interval;
    bool m_paused = false;
    bool m_formHidden = false;
    QPointer<QWidget> m_form;
};
