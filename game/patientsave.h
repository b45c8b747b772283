#pragma once
// A save that must not be lost: the briefing's entry fee and the hot seat's
// winnings and play time.
//
// The save is tried at once. While another program (or another window of the
// same account) holds the database's write lock, it is tried again every
// 100 ms without blocking: the form shows "Đang lưu…" and its timers, clocks
// and animations keep running. After 30 seconds the player is told plainly
// and offered to try again; declining hands the form back with nothing
// reported as saved. A refusal (a number that cannot be computed exactly, a
// damaged or read-only file) is told at once, and so is a server that cannot
// be reached (the connection lost and not made again): the player may retry
// when it is back. The data layer never adds a save twice, even when the
// answer to its commit was lost with the connection.
//
// Each try is a NoWait write of the data layer (zero busy timeout), so the
// event loop only ever waits on its own timer, never inside SQLite.

#include "gamedb.h"

#include <QDateTime>
#include <QObject>
#include <functional>

class GameApp;
class LegacyTimer;
class QLabel;
class QWidget;

class PatientSave : public QObject {
    Q_OBJECT
public:
    static constexpr int kRetryMs = 100;
    static constexpr qint64 kPatienceMs = 30000;

    // The "saving" state and the retry timer ("SaveRetry") live on `form`.
    PatientSave(QWidget *form, GameApp &app);

    // One try: a data-layer write with LockWait::NoWait; the detail of a
    // failure is read from the store's lastError().
    using Attempt = std::function<db::WriteStatus()>;
    // Runs attempt now and, while it reports Busy, again until it is written
    // (saved runs) or the player gives up (gaveUp runs).
    void start(Attempt attempt, std::function<void()> saved, std::function<void()> gaveUp);
    bool running() const { return bool(m_attempt); }

protected:
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    void tryOnce();
    void showSaving(bool on);
    void finish(bool written);
    bool askToRetry(const QString &why);

    QWidget *m_form;
    GameApp &m_app;
    LegacyTimer *m_timer;
    QLabel *m_banner;
    Attempt m_attempt;
    std::function<void()> m_saved, m_gaveUp;
    QDateTime m_since;
};
