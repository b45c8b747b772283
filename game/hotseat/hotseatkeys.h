#pragma once
// The hot seat's keys. A/B/C/D and 1/2/3/4 click the answers; Enter clicks the
// button a player clicks next: Start, the confirm button ("Có"), Continue, or
// End after a wrong answer (never Stop or the exit); Esc clicks the second
// button when it answers "no" (the pick or a lifeline offer). Each key acts
// exactly as its click, and not at all where a click could not reach.
// Also gives the stage's controls their Vietnamese accessible names.

#include "desktop/stagekeys.h"

class GameApp;

class HotSeatKeys : public StageKeys {
public:
    HotSeatKeys(QWidget *form, GameApp &app);

protected:
    std::optional<QWidget *> controlFor(const QKeyEvent *e) const override;
};
