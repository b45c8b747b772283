// Start and the question draw.
//
// The referee draws: on this machine each level table strictly forwards, a level
// starting on its first row and every Start moving on by the offset `so`, which
// the `tg` timer counts down from `ttoan` to 1 over and over, so the question
// depends on the moment of the click. The referee keeps the draw's place (table
// and row), so nothing else can move it between two Starts; the range of the
// next offset follows the question drawn and the level sizes read here.

#include "gamedb.h"
#include "gameapp.h"
#include "hotseatform.h"
#include "hotseattexts.h"
#include "ladderboard.h"
#include "legacylabel.h"
#include "legacytimer.h"
#include "numtext.h"
#include "referee/referee.h"

#include <QFrame>

using namespace hotseat;

void HotSeatForm::offsetTick()
{
    m_so = num::text(num::value(m_so) - 1);
    if (m_so == QLatin1String("0"))
        m_so = m_ttoan;
}

// tg counts its 50 ms ticks on the clock rather than waking the program twenty
// times a second (see its construction): the ticks due since the offset was last
// read are applied here, all at once, with the result that many ticks would have.
void HotSeatForm::catchUpOffset() const
{
    if (m_mUnread[0]) // no range yet: the ticks wait for it
        return;
    const qint64 due = m_tg->takeDueTicks();
    if (due <= 0)
        return;
    const qint64 from = qint64(num::value(m_so));
    const qint64 bound = qint64(num::value(m_ttoan));
    if (num::text(from) != m_so || num::text(bound) != m_ttoan) {
        // Not the plain whole numbers the game writes: tick by tick.
        for (qint64 i = 0; i < due; ++i)
            const_cast<HotSeatForm *>(this)->offsetTick();
        return;
    }
    if (from < 1 || due < from) { // the countdown does not reach 0 meanwhile
        m_so = num::text(from - due);
        return;
    }
    // It reaches 0 after `from` ticks and restarts from the bound.
    const qint64 after = due - from;
    m_so = num::text(bound >= 1 ? bound - after % bound : bound - after);
}

QString HotSeatForm::so() const
{
    catchUpOffset();
    return m_so;
}

void HotSeatForm::setDrawRange(qint64 range)
{
    catchUpOffset();
    bringIntoRange(range);
}

void HotSeatForm::bringIntoRange(qint64 range)
{
    // A level with too few rows left would give a range of 0 or less, and the
    // countdown would then never reach 0 again; one row forward is the least.
    range = qMax<qint64>(range, 1);
    m_ttoan = num::text(range);
    // An offset from a wider range is brought into the new one at once.
    const qint64 offset = num::whole(m_so);
    if (offset > range)
        m_so = num::text((offset - 1) % range + 1);
}

bool HotSeatForm::readLevelSize(int level)
{
    static constexpr db::QuestionTable levels[3] = {db::QuestionTable::Muc1, db::QuestionTable::Muc2,
                                                    db::QuestionTable::Muc3};
    const auto i = size_t(level);
    m_mUnread[i] = false;
    if (const auto last = m_app.db().lastId(levels[i]))
        m_m[i] = num::text(*last);
    else // an empty table has no size, which is no reason to read it again
        m_mUnread[i] = m_app.db().lastWasOffline();
    return !m_mUnread[i];
}

bool HotSeatForm::readUnreadSizes()
{
    for (int i = 0; i < 3; ++i) {
        if (!m_mUnread[size_t(i)])
            continue;
        if (!readLevelSize(i))
            return !m_app.toldOffline(this, windowTitle());
        if (i == 0) {
            // The first range at last: the range first, then every tick since
            // the load counted in it, as if the size had been read then.
            bringIntoRange(num::halfOf(num::whole(m_m[0])));
            catchUpOffset();
        }
    }
    return true;
}

void HotSeatForm::startClicked()
{
    // The question comes first: with the server out of reach the player is
    // told, and the start button waits to be pressed again. Nor is a question
    // drawn from a range made up for a level size that could not be read.
    if (!readUnreadSizes() || !drawQuestion())
        return;
    m_label7->setVisible(false);
    m_stop113->setEnabled(true);
    m_label20->setEnabled(false);
    m_label20a->setEnabled(false);
    m_picture6->setVisible(false);

    m_ladder->setLiTop(m_ladder->liTop() - kRowPitch);
    m_app.playEffect(kClick);

    m_label7->setVisible(false);
    m_strart->setVisible(false);
    m_lock113->setVisible(true);
    m_lock113->setEnabled(true);
    m_label4->setVisible(true);
    m_label4->setEnabled(false);
    m_timer3->setEnabled(false);

    m_questionOpen = true;

    ++m_drawCount;
    const qint64 id = num::whole(m_id);
    const qint64 m1 = num::whole(m_m[0]);
    const qint64 m2 = num::whole(m_m[1]);
    const qint64 m3 = num::whole(m_m[2]);
    switch (m_drawCount) {
    case 1: case 2:
        setDrawRange(num::halfOf(m1 - id));
        break;
    case 3:
        setDrawRange(m1 - id);
        break;
    case 4:
        setDrawRange(num::halfOf(m2));
        break;
    case 5: case 6: case 7:
        setDrawRange(num::halfOf(m2 - id));
        break;
    case 8:
        setDrawRange(m2 - id);
        break;
    case 9:
        setDrawRange(num::halfOf(m3));
        break;
    case 10: case 11: case 12: case 13:
        setDrawRange(num::halfOf(m3 - id));
        break;
    case 14:
        setDrawRange(m3 - id);
        break;
    default:
        break;
    }
}

bool HotSeatForm::drawQuestion()
{
    catchUpOffset();
    const referee::Question q = m_app.referee().nextQuestion(num::whole(m_so));
    if (q.outcome == referee::Outcome::Offline) {
        tellOffline();
        return false;
    }
    if (q.outcome != referee::Outcome::Done)
        return false;
    // Its right answer stays with the referee until the verdict.
    m_dapandung = QString();
    m_app.referee().questionShown();
    if (!q.fresh) // nothing to show: the previous texts stay
        return true;
    m_label2->setCaptionUnlessMissing(q.texts.cauhoi);
    m_traloi[0]->setCaptionUnlessMissing(q.texts.a);
    m_traloi[1]->setCaptionUnlessMissing(q.texts.b);
    m_traloi[2]->setCaptionUnlessMissing(q.texts.c);
    m_traloi[3]->setCaptionUnlessMissing(q.texts.d);
    m_id = num::text(q.id);
    return true;
}
