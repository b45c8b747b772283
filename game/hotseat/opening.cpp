// The opening sequence that introduces the rules, its sweep over the ladder, the
// play-time clock and the closing text typed out at the end of a game.

#include "hotseatform.h"
#include "hotseattexts.h"
#include "ladderboard.h"
#include "legacylabel.h"
#include "legacytimer.h"
#include "numtext.h"

using namespace hotseat;

void HotSeatForm::introTick()
{
    ++m_introStep;
    switch (m_introStep) {
    case 1:
        m_label17->setCaption(kIntro1);
        break;
    case 2:
        m_label17->setCaption(kIntro2);
        m_timer11->setEnabled(true);
        break;
    case 3:
        m_label17->setCaption(kIntro3);
        break;
    case 4:
        m_label17->setCaption(kIntro4);
        break;
    case 5:
        m_label17->setCaption(kIntro5);
        m_label5->setForeColor(kLifelineLit);
        break;
    case 6:
        m_label17->setCaption(kIntro6);
        m_chon50->setForeColor(kLifelineLit);
        m_label5->setForeColor(kLifelineIdle);
        break;
    case 7:
        m_label17->setCaption(kIntro7);
        m_chon50->setForeColor(kLifelineIdle);
        m_label13->setForeColor(kLifelineLit);
        break;
    case 8:
        m_label17->setCaption(kIntro8);
        m_label13->setForeColor(kLifelineIdle);
        m_timer11->setEnabled(false);
        m_stop113->setEnabled(true);
        m_strart->setEnabled(true);
        m_ladder->setLiTop(kBarParked);
        break;
    default:
        break; // the timer keeps running idle
    }
}

void HotSeatForm::sweepTick()
{
    const int top = m_ladder->liTop() + int(num::whole(m_text7));
    m_ladder->setLiTop(top);
    if (top == kLastRowTop)
        m_text7 = QStringLiteral("300");
    if (top == kBarParked) {
        m_timer11->setLegacyInterval(500);
        m_text7 = QStringLiteral("-1500");
    }
}

void HotSeatForm::addPlayMinute()
{
    m_phut->setCaption(num::text(num::value(m_phut->caption()) + 1));
    if (m_phut->caption() == QLatin1String("60")) {
        m_phut->setCaption(QStringLiteral("0"));
        m_gio->setCaption(num::text(num::value(m_gio->caption()) + 1));
    }
}

void HotSeatForm::playClockTick()
{
    addPlayMinute();
}

void HotSeatForm::closingTick()
{
    const int length = int(m_label6.size());
    ++m_closingShown;
    m_label17->setCaption(m_label6.left(m_closingShown) + QStringLiteral(" _"));
    if (m_closingShown >= length + 20)
        m_timer10->setEnabled(false);
}
