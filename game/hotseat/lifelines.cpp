// The lifelines' confirmations, reached from the confirm button trunggian when it
// carries their captions. The offers (chon50, Label5, Label13) are not wired to
// the stage yet, so nothing ever sets these captions and the confirmations have
// nothing to do.

#include "hotseatform.h"

void HotSeatForm::confirmFiftyFifty()
{
}

void HotSeatForm::confirmPhone()
{
}

void HotSeatForm::confirmAudience()
{
}
