#include "fiftyfifty.h"

#include "gameapp.h"
#include "hotseattexts.h"
#include "legacylabel.h"
#include "lifelinetexts.h"

#include <QFrame>

using namespace hotseat;

FiftyFifty::FiftyFifty(HotSeatForm &form, GameApp &app, LegacyLabel *chon50)
    : Lifeline(form, app, chon50, kFiftyHelp)
{
    connect(chon50, &LegacyLabel::clicked, this, &FiftyFifty::offerClicked);
}

void FiftyFifty::offerClicked()
{
    offer(kFiftyOffer, kUseFifty, kDeclineFifty);
}

void FiftyFifty::confirm()
{
    m_app.playEffect(kLifelineOn);
    cover()->setVisible(false);
    hideTwoWrongAnswers();
    markSpent();
    m_usedOnQuestion = questionsDrawn();
    m_takenFor = correctLetter();
    confirmButton()->setVisible(false);
    mainButton()->setVisible(true);
    confirmButton()->setCaption(kGoOn);
    // With the call or the vote open the answers stay locked until it is closed.
    freeAnswersIfOpen();
    secondButton()->setCaption(kStop);
}

void FiftyFifty::decline()
{
    declineOffer(true);
}
