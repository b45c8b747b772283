// The opening sequence that introduces the rules, its sweep over the ladder, the
// play-time clock and the closing text typed out at the end of a game.

#include "hotseatform.h"
#include "hotseattexts.h"
#include "ladderboard.h"
#include "legacylabel.h"
#include "legacytimer.h"
#include "numtext.h"

#include <iterator>

using namespace hotseat;

void HotSeatForm::introTick()
{
    // A line of the rules a tick; each lifeline is lit while it is named.
    static const QString *const lines[] = {&kIntro1, &kIntro2, &kIntro3, &kIntro4,
                                           &kIntro5, &kIntro6, &kIntro7, &kIntro8};
    ++m_introStep;
    if (m_introStep > int(std::size(lines)))
        return; // the timer keeps running idle
    m_label17->setCaption(*lines[m_introStep - 1]);
    switch (m_introStep) {
    case 2:
        m_timer11->setEnabled(true);
        break;
    case 5:
        m_label5->setForeColor(kLifelineLit);
        break;
    case 6:
        m_chon50->setForeColor(kLifelineLit);
        m_label5->setForeColor(kLifelineIdle);
        break;
    case 7:
        m_chon50->setForeColor(kLifelineIdle);
        m_label13->setForeColor(kLifelineLit);
        break;
    case 8:
        m_label13->setForeColor(kLifelineIdle);
        m_timer11->setEnabled(false);
        m_stop113->setEnabled(true);
        m_strart->setEnabled(true);
        m_ladder->setLiTop(kBarParked);
        break;
    default:
        break;
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
