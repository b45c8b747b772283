#pragma once
// The classroom's server refereeing the game: every step is one call of the
// server's functions, which keep the game's record (what was drawn, its right
// answer, the lifelines, the rung reached) and decide on their own. This
// machine holds no right answer before its verdict and sends no amount: what
// the end pays is what the server's record says was won.
//
// Each step names the question it is for, so a step made again after its
// answer was lost is answered as before, never taken twice. A step the
// server refuses changes nothing (Refused); one that cannot reach it is
// Offline, and may simply be made again.

#include "referee.h"

namespace db { class GameDb; struct RefereeAnswer; }

class ServerReferee : public referee::Referee {
public:
    explicit ServerReferee(db::GameDb &store);

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
    // Given to the teacher's own role only (its tests and benchmarks play it).
    QString heldAnswer() const override;
    QString heldOrder() const override;

private:
    // A step: the server's function lontaris_<name> for this game.
    referee::Outcome step(const QString &name, const QList<QVariant> &values, db::RefereeAnswer &answer) const;

    db::GameDb &m_store;
    int m_asked = 0;       // the number of the question last drawn (1..15)
    bool m_open = false;   // it waits for its verdict
    bool m_stopped = false;
    bool m_settled = false;
};
