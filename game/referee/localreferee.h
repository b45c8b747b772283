#pragma once
// The game refereeing itself, on the player's own machine: it keeps the right
// answers read from the question tables and the record of the game (questions
// won, the lifelines taken, how it ended), and writes the fee and the end
// through the data layer.
//
// The draws are the game's own: each level table is drawn from strictly
// forwards, a level starting on its first row and every question moving on by
// the offset the player's timing picked; the qualifying round takes the row
// after its counter. A server out of reach (the data layer's lastWasOffline)
// leaves the record as it was.

#include "referee.h"

#include <QDateTime>
#include <functional>
#include <optional>

namespace db { class GameDb; }

class LocalReferee : public referee::Referee {
public:
    // `now`: the clock the answers' seconds and dates are taken from (the
    // system's when empty).
    explicit LocalReferee(db::GameDb &store, std::function<QDateTime()> now = {});

    db::AccountUpdate payFee(const QString &nick, db::LockWait wait) override;
    referee::OrderQuestion orderQuestion(qint64 counter) override;
    referee::Verdict judgeOrder(const QString &typed) override;
    referee::Question nextQuestion(qint64 offset) override;
    referee::Verdict judge(const QString &picked) override;
    referee::FiftyFifty fiftyFifty() override;
    referee::Call phoneFriend() override;
    referee::Vote askAudience() override;
    referee::Reveal revealAnswer(bool boardSwitch) override;
    referee::Outcome stop() override;
    db::AccountUpdate endGame(const QString &nick, qint64 minutes, const db::LockRow &changed,
                              db::LockWait wait) override;
    QString heldAnswer() const override { return m_answer; }
    QString heldOrder() const override { return m_order; }
    void questionShown() override;

private:
    enum class End { None, Stopped, Wrong, Won, Settled };

    // A lifeline may be taken: a question waits for its verdict and the
    // lifeline (the question it was taken on) is still unused.
    bool mayTake(int takenOn) const;
    // What 50:50 took off the question asked, if it was taken on it.
    int removedNow() const;
    // The last read gave up because the server could not be reached.
    bool offline() const;

    // Records the verdict on the question asked in `table`.
    void record(db::QuestionTable table, bool right, bool fifty, bool phone, bool audience);

    db::GameDb &m_store;
    std::function<QDateTime()> m_now;
    QString m_nick;      // who paid the fee: whose answers these are
    // The question asked: its ID, its texts' fingerprint (empty: nothing was
    // read, nothing to record) and when it appeared.
    qint64 m_askedId = 0;
    QString m_askedFingerprint;
    QDateTime m_shownAt;

    // The qualifying round.
    QString m_order;
    bool m_orderAsked = false;
    bool m_orderJudged = false;

    // The hot seat: where the draw is (the level table and its current row),
    // the question asked and the game's record.
    std::optional<db::QuestionTable> m_table;
    qint64 m_position = 0;
    QString m_answer;
    int m_asked = 0;       // questions asked so far; the one asked is number m_asked
    bool m_open = false;   // it waits for its verdict
    bool m_judged = false; // it has its verdict
    int m_won = 0;
    End m_end = End::None;
    int m_fiftyOn = 0, m_callOn = 0, m_voteOn = 0; // the question each lifeline was taken on, 0: unused
    int m_removed = 0;                             // what 50:50 took on its question
};
