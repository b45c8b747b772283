#pragma once
// The 50:50 lifeline (chon50): two wrong answers go, always the same two for the
// same right answer (the referee says which). Once confirmed it is spent for the
// rest of the game.

#include "lifeline.h"

class FiftyFifty : public Lifeline {
    Q_OBJECT
public:
    FiftyFifty(HotSeatForm &form, GameApp &app, LegacyLabel *chon50);

    void confirm() override; // trunggian, "Söû Duïng"
    // Whether two answers of the question on screen were taken off by it.
    bool removedOnThisQuestion() const { return m_usedOnQuestion > 0 && m_usedOnQuestion == questionsDrawn(); }

private:
    int m_usedOnQuestion = 0; // the draw it was confirmed on, 0 while unused
};
