#include "serverreferee.h"

#include "gamedb.h"

using referee::Outcome;

namespace {

// The audience's figures as the server gives them: {42,17,3,38}.
std::optional<referee::Votes> votesIn(const QVariant &v)
{
    if (v.isNull())
        return std::nullopt;
    QString text = v.toString();
    text.remove(QLatin1Char('{')).remove(QLatin1Char('}'));
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 4)
        return std::nullopt;
    referee::Votes out{};
    for (size_t i = 0; i < 4; ++i)
        out[i] = parts[qsizetype(i)].toInt();
    return out;
}

// A text as sent: never NULL (nothing typed is an answer too, and a wrong one).
QString given(const QString &text)
{
    return text.isNull() ? QStringLiteral("") : text;
}

std::optional<referee::FriendAdvice> adviceIn(const QVariant &pair, const QVariant &guess)
{
    if (pair.isNull() || guess.isNull())
        return std::nullopt;
    return referee::FriendAdvice{pair.toString(), guess.toString()};
}

referee::Texts textsIn(const QList<QVariant> &row, int first)
{
    return {row.value(first).toString(), row.value(first + 1).toString(), row.value(first + 2).toString(),
            row.value(first + 3).toString(), row.value(first + 4).toString()};
}

} // namespace

ServerReferee::ServerReferee(db::GameDb &store) : m_store(store) {}

Outcome ServerReferee::step(const QString &name, const QList<QVariant> &values, db::RefereeAnswer &answer) const
{
    answer = m_store.refereeStep(name, values);
    switch (answer.status) {
    case db::WriteStatus::Done:
        return answer.rows.isEmpty() ? Outcome::Refused : Outcome::Done;
    case db::WriteStatus::Offline:
    case db::WriteStatus::Busy:
        return Outcome::Offline;
    default:
        return Outcome::Refused;
    }
}

db::AccountUpdate ServerReferee::payFee(const QString &nick, db::LockWait wait)
{
    const db::AccountUpdate u = m_store.payFee(nick, wait);
    if (u.status == db::WriteStatus::Done) { // a new game
        m_asked = 0;
        m_open = m_stopped = m_settled = false;
    }
    return u;
}

referee::OrderQuestion ServerReferee::orderQuestion(qint64)
{
    referee::OrderQuestion out;
    db::RefereeAnswer a;
    out.outcome = step(QStringLiteral("order_question"), {}, a);
    if (out.outcome == Outcome::Done) {
        out.none = a.rows[0].value(0).toBool();
        out.texts = textsIn(a.rows[0], 1);
    }
    return out;
}

referee::Verdict ServerReferee::judgeOrder(const QString &typed)
{
    referee::Verdict out;
    db::RefereeAnswer a;
    out.outcome = step(QStringLiteral("judge_order"), {given(typed)}, a);
    if (out.outcome == Outcome::Done) {
        out.right = a.rows[0].value(0).toBool();
        out.answer = a.rows[0].value(1).toString();
    }
    return out;
}

referee::Question ServerReferee::nextQuestion(qint64)
{
    referee::Question out;
    if (m_open || m_stopped || m_settled)
        return out;
    db::RefereeAnswer a;
    out.outcome = step(QStringLiteral("next_question"), {m_asked + 1}, a);
    if (out.outcome != Outcome::Done)
        return out;
    ++m_asked;
    m_open = true;
    out.fresh = a.rows[0].value(0).toBool();
    out.id = a.rows[0].value(1).toLongLong();
    if (out.fresh)
        out.texts = textsIn(a.rows[0], 2);
    return out;
}

referee::Verdict ServerReferee::judge(const QString &picked)
{
    referee::Verdict out;
    if (!m_open)
        return out;
    db::RefereeAnswer a;
    out.outcome = step(QStringLiteral("judge"), {m_asked, given(picked)}, a);
    if (out.outcome != Outcome::Done)
        return out;
    m_open = false;
    out.right = a.rows[0].value(0).toBool();
    out.answer = a.rows[0].value(1).toString();
    return out;
}

referee::FiftyFifty ServerReferee::fiftyFifty()
{
    referee::FiftyFifty out;
    db::RefereeAnswer a;
    out.outcome = step(QStringLiteral("fifty"), {m_asked}, a);
    if (out.outcome == Outcome::Done) {
        const QList<QVariant> &row = a.rows[0];
        out.removed = row.value(0).toInt();
        out.advice = adviceIn(row.value(1), row.value(2));
        out.votes = votesIn(row.value(3));
    }
    return out;
}

referee::Call ServerReferee::phoneFriend()
{
    referee::Call out;
    db::RefereeAnswer a;
    out.outcome = step(QStringLiteral("call"), {m_asked}, a);
    if (out.outcome == Outcome::Done)
        out.advice = adviceIn(a.rows[0].value(0), a.rows[0].value(1));
    return out;
}

referee::Vote ServerReferee::askAudience()
{
    referee::Vote out;
    db::RefereeAnswer a;
    out.outcome = step(QStringLiteral("vote"), {m_asked}, a);
    if (out.outcome == Outcome::Done)
        out.votes = votesIn(a.rows[0].value(0));
    return out;
}

referee::Reveal ServerReferee::revealAnswer(bool)
{
    // The server keeps to the switch as stored, whatever this machine holds.
    referee::Reveal out;
    db::RefereeAnswer a;
    out.outcome = step(QStringLiteral("reveal"), {}, a);
    if (out.outcome == Outcome::Done)
        out.answer = a.rows[0].value(0).toString();
    return out;
}

Outcome ServerReferee::stop()
{
    if (m_stopped || m_settled)
        return Outcome::Refused;
    db::RefereeAnswer a;
    const Outcome out = step(QStringLiteral("stop"), {}, a);
    if (out == Outcome::Done) {
        m_stopped = true;
        m_open = false;
    }
    return out;
}

db::AccountUpdate ServerReferee::endGame(const QString &nick, qint64 minutes, const db::LockRow &changed,
                                         db::LockWait wait)
{
    if (m_settled)
        return {};
    db::AccountDelta played;
    played.minutes = minutes;
    const db::AccountUpdate u = m_store.endGame(nick, played, changed, wait);
    if (u.status == db::WriteStatus::Done) {
        m_settled = true;
        m_open = false;
    }
    return u;
}

QString ServerReferee::heldAnswer() const
{
    db::RefereeAnswer a;
    return step(QStringLiteral("held_answer"), {}, a) == Outcome::Done ? a.rows[0].value(0).toString() : QString();
}

QString ServerReferee::heldOrder() const
{
    db::RefereeAnswer a;
    return step(QStringLiteral("held_answer"), {}, a) == Outcome::Done ? a.rows[0].value(1).toString() : QString();
}
