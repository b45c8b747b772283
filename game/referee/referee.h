#pragma once
// The referee of a game: whoever holds the right answers and decides what is
// worth money or points. The hot seat and the qualifying round ask it for the
// next question, the verdict on an answer, a lifeline's outcome and the end of
// the game, and never know which referee they talk to.
//
// On one machine the game referees itself (localreferee.h): the player owns
// the file, and the referee works on it. A classroom's server can take its
// place: every call is then a step the server checks against its own record
// of the game, so the calls are shaped for that. A question comes without its
// right answer; the right answer reaches the form only in the verdict, or
// where a switch shows it (revealAnswer). No call carries an amount of money:
// the end pays what the referee's own record says was won.
//
// Any call may find the server out of reach (Offline): nothing changed, the
// form tells the player as for any other step and the same call may be made
// again. A call the game's record does not allow (a second verdict, a lifeline
// spent, nothing asked yet, the game over) is Refused and changes nothing.

#include "gamedb.h"

#include <QString>
#include <array>
#include <optional>

namespace referee {

enum class Outcome {
    Done,    // answered: what the result holds stands
    Refused, // not allowed by the game's record: nothing changed
    Offline  // the class's server could not be reached: nothing changed
};

// What the player sees of a question: its text and the answers A..D (a null
// text leaves the one on screen in place).
struct Texts {
    QString cauhoi, a, b, c, d;
};

// The next question of the hot seat, without its right answer.
struct Question {
    Outcome outcome = Outcome::Refused;
    // A question was read: its texts replace the ones on screen. Otherwise the
    // stage keeps what it shows, as when a level table is empty; the question
    // still counts as asked.
    bool fresh = false;
    qint64 id = 0; // its ID in its level table
    Texts texts;
};

// The verdict on a confirmed answer (the hot seat's letter, the qualifying
// round's order), with the right answer as stored.
struct Verdict {
    Outcome outcome = Outcome::Refused;
    bool right = false;
    QString answer;
};

// The friend's advice on the phone: the likely pair and the guess, each the
// line after the friend's name, naming only answers on the board.
struct FriendAdvice {
    QString pair, guess;
};

// The audience's vote, in percent for A..D.
using Votes = std::array<int, 4>;

// 50:50: the two answers it takes off the board, as bits 1 << 0..3 for A..D
// (none for a question whose stored answer is no letter). The call's advice
// and the vote already given on this question come with it again, kept to
// the new board (a line the friend said already stays as said).
struct FiftyFifty {
    Outcome outcome = Outcome::Refused;
    int removed = 0;
    std::optional<FriendAdvice> advice;
    std::optional<Votes> votes;
};

// Phone a friend. No advice: the friend has nothing to say (no letter stored).
struct Call {
    Outcome outcome = Outcome::Refused;
    std::optional<FriendAdvice> advice;
};

// Ask the audience. No votes: the chart keeps its numbers (no letter stored).
struct Vote {
    Outcome outcome = Outcome::Refused;
    std::optional<Votes> votes;
};

// The right answer of the question on screen, where a switch shows it.
struct Reveal {
    Outcome outcome = Outcome::Refused;
    QString answer;
};

// The qualifying round's question, without its order.
struct OrderQuestion {
    Outcome outcome = Outcome::Refused;
    bool none = false; // no question the round can ask: only the way out is left
    Texts texts;
};

class Referee {
public:
    virtual ~Referee() = default;

    // --- the fee ----------------------------------------------------------------
    // The entry fee (and one more game counted) taken from the player's
    // account: the game begins. Written as the data layer writes (Busy,
    // Offline... with nothing taken); the row as stored comes back.
    virtual db::AccountUpdate payFee(const QString &nick, db::LockWait wait) = 0;

    // --- the qualifying round -------------------------------------------------------
    // Its question, once a game. `counter` is the round's draw counter, which
    // the player's timing sets on this machine; a server draws for itself.
    virtual OrderQuestion orderQuestion(qint64 counter) = 0;
    // The verdict on the letters typed, once, for the question asked.
    virtual Verdict judgeOrder(const QString &typed) = 0;

    // --- the hot seat ---------------------------------------------------------------
    // The next question, after the last one's right verdict (the first: at
    // the start). `offset` is how far the level's draw moves on, which the
    // player's timing sets on this machine; a server draws for itself.
    virtual Question nextQuestion(qint64 offset) = 0;
    // The verdict on the letter picked for the question asked: once. A wrong
    // one ends the game, and so does the fifteenth right one.
    virtual Verdict judge(const QString &picked) = 0;
    // Each lifeline once a game, only while a question waits for its verdict.
    virtual FiftyFifty fiftyFifty() = 0;
    virtual Call phoneFriend() = 0;
    virtual Vote askAudience() = 0;
    // The right answer of the question on screen, for the top-five board's
    // title: while the top-five switch is on (`boardSwitch`, as the game
    // holds it; a server keeps to the one stored) or once the question has
    // its verdict.
    virtual Reveal revealAnswer(bool boardSwitch) = 0;
    // The player stops and keeps the prize reached: the game is over.
    virtual Outcome stop() = 0;
    // The end of the game, once: what it pays is what the game's record says
    // for how it ended (stopped: the prize reached; a wrong answer or leaving
    // before that: the milestone secured; won: the top prize), added to the
    // account with the minutes played and the switches the player changed
    // (a null one stays as stored). Nothing is written twice, and a second end
    // is refused (Failed).
    virtual db::AccountUpdate endGame(const QString &nick, qint64 minutes, const db::LockRow &changed,
                                      db::LockWait wait) = 0;

    // The question just asked (either round's) is on screen now: the record
    // of its answer counts the seconds it took from here. A server times its
    // questions by its own clock.
    virtual void questionShown() {}

    // What the referee's own record holds as the right answer (the order) of
    // the question now asked. The game never asks: tests and benchmarks of the
    // game on this machine do, to play it. A referee whose record is on a
    // server has none to give.
    virtual QString heldAnswer() const { return {}; }
    virtual QString heldOrder() const { return {}; }
};

} // namespace referee
