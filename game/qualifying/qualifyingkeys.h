#pragma once
// The qualifying round's keys. A/B/C/D and 1/2/3/4 click the answers (while
// the answer box has the focus, letters are typed into it as always); Enter
// clicks the answer button while it can be pressed, else Start or Continue
// (never Exit). Each key acts exactly as its click, and not at all where a
// click could not reach. Also gives the round's controls their Vietnamese
// accessible names.

#include "desktop/stagekeys.h"

class GameApp;

class QualifyingKeys : public StageKeys {
public:
    QualifyingKeys(QWidget *form, GameApp &app);

protected:
    std::optional<QWidget *> controlFor(const QKeyEvent *e) const override;
};
