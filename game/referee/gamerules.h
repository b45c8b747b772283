#pragma once
// The rules a referee applies: what the ladder pays and what each lifeline
// says, by the right answer. Fixed tables, the show's own: the same two
// answers go for the same right letter, the friend and the audience may be
// wrong. None of it reaches a form except through a referee's results.

#include "referee.h"

#include <QString>
#include <optional>

namespace rules {

// The ladder, after `won` right answers (0..15), in dollars: the prize
// reached, which a player who stops keeps, and the milestone secured, which a
// wrong answer (or leaving without stopping) keeps.
qint64 prizeReached(int won);
qint64 milestoneSecured(int won);

// "A".."D" -> 0..3; anything else (empty, lower case, longer) -> -1.
int letterIndex(const QString &answer);

// The two answers 50:50 takes, as bits 1 << 0..3 for A..D: A and D keep A and
// D, B keeps B and D, C keeps B and C. None for anything but a letter.
int fiftyFiftyTakes(const QString &answer);

// The friend's pair and guess for this right answer, naming only answers on
// the board: a letter `removed` took (bits as above) becomes the wrong answer
// still there. None for anything but a letter.
std::optional<referee::FriendAdvice> friendAdvice(const QString &answer, int removed);

// The audience's vote for this right answer. An answer `removed` took gets
// nothing: its share goes to the two left, half each, an odd point to the one
// the table puts ahead, so the total and their order stay. None for anything
// but a letter.
std::optional<referee::Votes> audienceVotes(const QString &answer, int removed);

} // namespace rules
