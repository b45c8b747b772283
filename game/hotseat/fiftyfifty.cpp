#include "fiftyfifty.h"

#include "gameapp.h"
#include "hotseattexts.h"
#include "legacylabel.h"
#include "lifelinetexts.h"

#include <QFrame>

using namespace hotseat;

FiftyFifty::FiftyFifty(HotSeatForm &form, GameApp &app, LegacyLabel *chon50)
    : Lifeline(form, app, chon50, {kFiftyHelp, kFiftyOffer, kUseFifty, kDeclineFifty}, true)
{
}

void FiftyFifty::confirm()
{
    if (!hideTwoWrongAnswers())
        return;
    m_app.playEffect(kLifelineOn);
    markSpent();
    m_usedOnQuestion = questionsDrawn();
    backToQuestion();
    // With the call or the vote open the answers stay locked until it is closed.
    freeAnswersIfOpen();
}
