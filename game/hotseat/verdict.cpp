// Picking an answer, withdrawing it, and the verdict on a confirmed answer.

#include "audiencevote.h"
#include "gameapp.h"
#include "hotseatform.h"
#include "hotseattexts.h"
#include "legacylabel.h"
#include "legacytimer.h"
#include "numtext.h"
#include "phonecall.h"
#include "referee/referee.h"

#include <QFrame>

using namespace hotseat;

void HotSeatForm::pick(int answer)
{
    static const QString *const prompts[4] = {&kPromptA, &kPromptB, &kPromptC, &kPromptD};
    static const char letters[4] = {'A', 'B', 'C', 'D'};
    // Only an open question with nothing over its answers takes a pick.
    if (!answersMayBeFreed())
        return;
    m_app.playEffect(kDing);
    m_cuaban1->setCaption(*prompts[answer]);
    boxOf(answer)->setOpaque(true);
    m_lock113->setEnabled(false);
    m_label4->setEnabled(true);
    m_label4->setCaption(kYes);
    m_stop113->setCaption(kNo);
    m_cuaban = QString(QLatin1Char(letters[answer]));
    // While the pick waits for its Yes, a button framed by the keyboard's
    // focus gives it to Yes: Enter confirms, never the No beside it.
    if (QWidget *focus = focusWidget(); focus && focus != this)
        m_label4->setFocus(Qt::OtherFocusReason);
}

void HotSeatForm::cancelPick()
{
    m_lock113->setEnabled(answersMayBeFreed());
    setAllBoxesOpaque(false);
    m_label4->setCaption(kGoOnAfter);
    m_stop113->setCaption(kStop);
    m_cuaban = QStringLiteral("?");
}

void HotSeatForm::setAllBoxesOpaque(bool on)
{
    for (ShapeBox *box : m_da)
        box->setOpaque(on);
}

void HotSeatForm::confirmClicked()
{
    m_app.playEffect(kClick);
    // A question has one verdict.
    if (m_label4->caption() == kYes && m_questionOpen)
        giveVerdict();
}

void HotSeatForm::giveVerdict()
{
    // The referee judges; out of reach, the pick waits for its Yes again.
    const referee::Verdict verdict = m_app.referee().judge(m_cuaban);
    if (verdict.outcome == referee::Outcome::Offline)
        tellOffline();
    if (verdict.outcome != referee::Outcome::Done)
        return;
    m_dapandung = verdict.answer;
    m_questionOpen = false;
    m_label4->setVisible(false);
    m_stop113->setEnabled(false);
    m_label7->setVisible(true);
    m_trunggian->setVisible(true);
    m_timer1->setEnabled(true);
    if (ShapeBox *picked = boxOf(answerOf(m_cuaban)))
        picked->setFillColor(kWrongFill);

    if (!verdict.right) {
        // Without the show-the-answer switch the right answer is neither named nor flashed.
        if (num::value(m_l[1]) == 0) {
            m_dapandung = QStringLiteral("???");
            m_timer1->setEnabled(false);
        }
        m_app.playEffect(kWrong);
        m_lock113->setEnabled(false);
        m_label4->setCaption(kGoOnAfter);
        m_stop113->setCaption(kEnd);
        m_stop113->setEnabled(true);
        m_cuaban = QString();
        m_trunggian->setEnabled(false);
        m_cuaban1->setCaption(kWrongHead + m_dapandung + kWrongMiddle + tienText() + kWrongTail);
        m_label7->setCaption(QString());
        m_label7->setVisible(true);
        m_label20->setEnabled(true);
        m_label20a->setEnabled(true);
        // The game waits for stop113 ("Keát Thuùc").
        return;
    }

    m_app.playEffect(kRight);
    ++m_rightCount;
    switch (m_rightCount) {
    case 1: m_cuaban1->setCaption(kPraise1); break;
    case 2: m_cuaban1->setCaption(kPraise2); break;
    case 3: m_cuaban1->setCaption(kPraise3); break;
    case 4: m_cuaban1->setCaption(kPraise4); break;
    case 5: case 8: m_cuaban1->setCaption(kPraise5); break;
    case 6: case 9: m_cuaban1->setCaption(kPraise6); break;
    case 7: m_cuaban1->setCaption(kPraise7); break;
    case 10: m_rightCount = 0; break; // no praise of its own; the next one starts over
    default: break;
    }
    setAllBoxesOpaque(false);
    m_label4->setCaption(kGoOnAfter);
    m_stop113->setCaption(kStop);
    // Moves the ladder (and may end the game) before the rest of the verdict.
    setSocauhoi(num::text(num::value(m_socauhoi) - 1));
    m_lock113->setEnabled(false);
    m_label4->setEnabled(false);
    m_timer3->setEnabled(true);
    m_trunggian->setEnabled(false);
    for (ShapeBox *box : m_da)
        box->setFillColor(kPickFill);
}

void HotSeatForm::flashTick()
{
    LegacyLabel *backdrop = backdropOf(answerOf(m_dapandung));
    if (!backdrop)
        return;
    const int r = int(num::roundHalfEven(m_app.random() * 255));
    const int g = int(num::roundHalfEven(m_app.random() * 255));
    const int b = int(num::roundHalfEven(m_app.random() * 255));
    backdrop->setBackColor(QColor(r, g, b));
}

bool HotSeatForm::hideTwoWrongAnswers()
{
    const referee::FiftyFifty taken = m_app.referee().fiftyFifty();
    if (taken.outcome == referee::Outcome::Offline)
        tellOffline();
    if (taken.outcome != referee::Outcome::Done)
        return false;
    m_takenByFifty = taken.removed;
    for (int i = 0; i < 4; ++i)
        if (m_takenByFifty & 1 << i)
            m_traloi[size_t(i)]->setVisible(false);
    // A call or a vote taken on this question names only what is left.
    if (taken.advice)
        m_phoneCall->followBoard(*taken.advice);
    if (taken.votes)
        m_audienceVote->followBoard(*taken.votes);
    return true;
}

void HotSeatForm::showAllAnswers()
{
    for (int i = 0; i < 4; ++i)
        if (m_takenByFifty & 1 << i)
            m_traloi[size_t(i)]->setVisible(true);
}
