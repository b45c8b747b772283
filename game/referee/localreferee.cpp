#include "localreferee.h"

#include "answerstats.h"
#include "gamedb.h"
#include "gamerules.h"
#include "numtext.h"

#include <algorithm>

using referee::Outcome;

namespace {
referee::Texts textsOf(const db::Question &q)
{
    return {q.cauhoi, q.a, q.b, q.c, q.d};
}
} // namespace

LocalReferee::LocalReferee(db::GameDb &store, std::function<QDateTime()> now)
    : m_store(store), m_now(std::move(now))
{
    if (!m_now)
        m_now = [] { return QDateTime::currentDateTime(); };
}

void LocalReferee::questionShown()
{
    m_shownAt = m_now();
}

void LocalReferee::record(db::QuestionTable table, bool right, bool fifty, bool phone, bool audience)
{
    if (m_askedFingerprint.isEmpty())
        return;
    db::AnswerRecord r;
    r.table = table;
    r.qid = m_askedId;
    r.fingerprint = m_askedFingerprint;
    r.correct = right;
    r.fifty = fifty;
    r.phone = phone;
    r.audience = audience;
    r.answered = m_now();
    if (m_shownAt.isValid())
        r.seconds = qMax<qint64>(0, m_shownAt.msecsTo(r.answered)) / 1000.0;
    r.nick = m_nick;
    db::recordAnswer(m_store, r);
    m_askedFingerprint.clear();
    m_shownAt = QDateTime();
}

bool LocalReferee::offline() const
{
    return m_store.lastWasOffline();
}

db::AccountUpdate LocalReferee::payFee(const QString &nick, db::LockWait wait)
{
    m_nick = nick;
    return m_store.payFee(nick, wait);
}

// --- the qualifying round -----------------------------------------------------------

referee::OrderQuestion LocalReferee::orderQuestion(qint64 counter)
{
    referee::OrderQuestion out;
    if (m_orderAsked)
        return out;
    // The counter picks row counter + 1, kept between the second and the last
    // row in case the table changed since the round read its size.
    const int count = m_store.questionCount(db::QuestionTable::Thuthach);
    std::optional<db::Question> q;
    if (count >= 2) {
        // A row without a stored order could not be judged: the next row that
        // has one is taken, going round to the second row.
        const qint64 position = std::clamp<qint64>(counter, 1, count - 1);
        q = m_store.answeredQuestionFrom(db::QuestionTable::Thuthach, position);
        if (!q && position > 1)
            q = m_store.answeredQuestionFrom(db::QuestionTable::Thuthach, 1);
    }
    if (!q && offline()) {
        out.outcome = Outcome::Offline;
        return out;
    }
    out.outcome = Outcome::Done;
    if (!q || q->traloi.isEmpty()) {
        out.none = true;
        return out;
    }
    m_orderAsked = true;
    m_order = q->traloi;
    m_askedId = q->id;
    m_askedFingerprint = db::questionFingerprint(*q);
    m_shownAt = QDateTime();
    out.texts = textsOf(*q);
    return out;
}

referee::Verdict LocalReferee::judgeOrder(const QString &typed)
{
    referee::Verdict out;
    if (!m_orderAsked || m_orderJudged)
        return out;
    m_orderJudged = true;
    out.outcome = Outcome::Done;
    out.right = typed == m_order;
    out.answer = m_order;
    record(db::QuestionTable::Thuthach, out.right, false, false, false);
    return out;
}

// --- the hot seat ---------------------------------------------------------------------

referee::Question LocalReferee::nextQuestion(qint64 offset)
{
    referee::Question out;
    if (m_open || m_end != End::None)
        return out;
    const auto table = m_table;
    const qint64 position = m_position;
    // A new level opens its table on the first row; otherwise the draw goes on
    // from the question last drawn.
    if (m_won == 0 || m_won == 4 || m_won == 9) {
        m_table = m_won == 0 ? db::QuestionTable::Muc1 : m_won == 4 ? db::QuestionTable::Muc2 : db::QuestionTable::Muc3;
        m_position = 0;
    }
    auto unreachable = [&] {
        m_table = table;
        m_position = position;
        out.outcome = Outcome::Offline;
        return out;
    };
    const qint64 count = m_store.questionCount(*m_table);
    m_askedFingerprint.clear();
    m_shownAt = QDateTime();
    if (count > 0) {
        // A move that would run past the end stops on the last row.
        m_position = qBound<qint64>(0, m_position + offset, count - 1);
        if (const std::optional<db::Question> q = m_store.questionAt(*m_table, m_position)) {
            out.fresh = true;
            out.id = q->id;
            out.texts = textsOf(*q);
            m_askedId = q->id;
            m_askedFingerprint = db::questionFingerprint(*q);
            if (!q->traloi.isNull())
                m_answer = q->traloi;
        } else if (offline()) {
            return unreachable();
        }
    } else if (offline()) {
        return unreachable();
    }
    // Nothing read (an empty table): the question on screen stays, asked again.
    out.outcome = Outcome::Done;
    ++m_asked;
    m_open = true;
    m_judged = false;
    return out;
}

referee::Verdict LocalReferee::judge(const QString &picked)
{
    referee::Verdict out;
    if (!m_open)
        return out;
    m_open = false;
    m_judged = true;
    out.outcome = Outcome::Done;
    out.right = rules::letterIndex(picked) >= 0 && picked == m_answer;
    out.answer = m_answer;
    record(*m_table, out.right, m_fiftyOn == m_asked, m_callOn == m_asked, m_voteOn == m_asked);
    if (!out.right)
        m_end = End::Wrong;
    else if (++m_won == 15)
        m_end = End::Won;
    return out;
}

bool LocalReferee::mayTake(int takenOn) const
{
    return m_open && takenOn == 0;
}

int LocalReferee::removedNow() const
{
    return m_fiftyOn > 0 && m_fiftyOn == m_asked ? m_removed : 0;
}

referee::FiftyFifty LocalReferee::fiftyFifty()
{
    referee::FiftyFifty out;
    if (!mayTake(m_fiftyOn))
        return out;
    m_fiftyOn = m_asked;
    m_removed = rules::fiftyFiftyTakes(m_answer);
    out.outcome = Outcome::Done;
    out.removed = m_removed;
    if (m_callOn == m_asked)
        out.advice = rules::friendAdvice(m_answer, m_removed);
    if (m_voteOn == m_asked)
        out.votes = rules::audienceVotes(m_answer, m_removed);
    return out;
}

referee::Call LocalReferee::phoneFriend()
{
    referee::Call out;
    if (!mayTake(m_callOn))
        return out;
    m_callOn = m_asked;
    out.outcome = Outcome::Done;
    out.advice = rules::friendAdvice(m_answer, removedNow());
    return out;
}

referee::Vote LocalReferee::askAudience()
{
    referee::Vote out;
    if (!mayTake(m_voteOn))
        return out;
    m_voteOn = m_asked;
    out.outcome = Outcome::Done;
    out.votes = rules::audienceVotes(m_answer, removedNow());
    return out;
}

referee::Reveal LocalReferee::revealAnswer(bool boardSwitch)
{
    referee::Reveal out;
    if (!boardSwitch && !m_judged)
        return out;
    out.outcome = Outcome::Done;
    out.answer = m_answer;
    return out;
}

Outcome LocalReferee::stop()
{
    if (m_end != End::None)
        return Outcome::Refused;
    m_end = End::Stopped;
    m_open = false;
    return Outcome::Done;
}

db::AccountUpdate LocalReferee::endGame(const QString &nick, qint64 minutes, const db::LockRow &changed,
                                        db::LockWait wait)
{
    if (m_end == End::Settled)
        return {};
    db::AccountDelta won;
    won.money = num::text(m_end == End::Stopped ? rules::prizeReached(m_won)
                          : m_end == End::Won   ? rules::prizeReached(15)
                                                : rules::milestoneSecured(m_won));
    won.minutes = minutes;
    const db::AccountUpdate u = m_store.endGame(nick, won, changed, wait);
    if (u.status == db::WriteStatus::Done) {
        m_end = End::Settled;
        m_open = false;
    }
    return u;
}
