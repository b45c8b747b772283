// The money ladder: every change of the question counter socauhoi marks the row
// just won, secures money at the milestones and, after question 15, ends the
// game as won. Continue (trunggian) and the auto-continue timer lead on to the
// next question.

#include "audiencevote.h"
#include "fiftyfifty.h"
#include "gameapp.h"
#include "hotseatform.h"
#include "hotseattexts.h"
#include "ladderboard.h"
#include "legacylabel.h"
#include "legacytimer.h"
#include "numtext.h"
#include "phonecall.h"

#include <QCheckBox>
#include <QFrame>

using namespace hotseat;

namespace {
// What the ladder shows as the prize reached, by row (so0 first).
const char *const kPrizes[15] = {"100$",    "200$",    "300$",    "500$",    "1 000$",
                                 "2 000$",  "4 000$",  "8 000$",  "12 000$", "18 000$",
                                 "25 000$", "32 000$", "50 000$", "75 000$", "100 000$"};

QString prize(int row)
{
    return QString::fromLatin1(kPrizes[row]);
}
} // namespace

void HotSeatForm::setSocauhoi(const QString &value)
{
    if (value == m_socauhoi)
        return;
    m_socauhoi = value;
    ladderStep();
}

void HotSeatForm::ladderStep()
{
    m_ladder->setSotiencoTop(m_ladder->sotiencoTop() - kRowPitch);

    const double n = num::value(m_socauhoi);
    if (n == 10) {
        m_lo[0] = QStringLiteral("1");
        m_check31->setEnabled(true);
        m_ladder->row(4)->setForeColor(kRowMilestone);
        m_sotiennhan->setCaption(prize(4));
        m_cuaban1->setCaption(kMilestone5);
        m_ladder->milestoneStar(1)->setVisible(false);
        setTien(QStringLiteral("1000"));
        return;
    }
    if (n == 5) {
        m_lo[2] = QStringLiteral("1");
        m_check1->setEnabled(true);
        m_ladder->row(9)->setForeColor(kRowMilestone);
        m_sotiennhan->setCaption(prize(9));
        m_ladder->milestoneStar(2)->setVisible(false);
        setTien(QStringLiteral("18000"));
        m_cuaban1->setCaption(kMilestone10);
        return;
    }
    if (n == 0) {
        m_lo[1] = QStringLiteral("1");
        m_check2->setEnabled(true);
        m_ladder->row(14)->setForeColor(kRowMilestone);
        m_ladder->milestoneStar(3)->setVisible(false);
        m_sotiennhan->setCaption(prize(14));
        m_ladder->marker()->setVisible(false);

        m_lock113->setVisible(false);
        m_timer3->setLegacyInterval(0); // no next question, ever
        m_cuaban1->setCaption(kWon);
        m_socauhoi = QStringLiteral("END"); // a marker only: no ladder step for it
        m_app.playEffect(kRight);

        m_ladder->bar()->setVisible(false);
        m_label17->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        m_stop113->setEnabled(false);
        for (QWidget *w : {static_cast<QWidget *>(m_stop113), static_cast<QWidget *>(m_strart),
                           static_cast<QWidget *>(m_label4), static_cast<QWidget *>(m_trunggian),
                           static_cast<QWidget *>(m_image3), static_cast<QWidget *>(m_image4)})
            w->setVisible(false);
        m_timer10->setEnabled(true);
        setTien(m_sotiennhan->caption());
        endLifelines();
        return;
    }
    // Any other question won: grey its row and show the prize.
    if (n >= 1 && n <= 14 && n == double(qint64(n))) {
        const int row = 14 - int(n);
        m_ladder->row(row)->setForeColor(kRowWon);
        m_sotiennhan->setCaption(prize(row));
    }
}

void HotSeatForm::continueClicked()
{
    m_app.playEffect(kClick);
    if (m_trunggian->caption() == kGoOn) {
        m_trunggian->setVisible(false);
        m_strart->setVisible(true);
        m_timer1->setEnabled(false);
        for (LegacyLabel *backdrop : m_backdrop)
            backdrop->setBackColor(kBackdrop);
        showAllAnswers();
        m_cuaban1->setCaption(kContinueHead + num::text(16 - num::value(m_socauhoi)) + kContinueMiddle
                              + m_sotiennhan->caption());
    }
    // The lifelines' confirmations share the button; each tests its own caption.
    // Only an open question takes a lifeline, and one panel at a time lies over it.
    if (!m_questionOpen)
        return;
    if (m_trunggian->caption() == kUseFifty)
        m_fiftyFifty->confirm();
    if (m_trunggian->caption() == kUsePhone)
        m_phoneCall->confirm();
    if (m_trunggian->caption() == kUseAudience)
        m_audienceVote->confirm();
}

void HotSeatForm::autoContinue()
{
    continueClicked();
    startClicked();
}
