#include "gamerules.h"

#include <QRegularExpression>

namespace rules {

namespace {
// The prize reached after each number of right answers.
constexpr qint64 kPrizes[16] = {0,    100,   200,   300,   500,   1000,  2000,  4000,
                                8000, 12000, 18000, 25000, 32000, 50000, 75000, 100000};

// The friend's two lines by the right letter A..D: the likely pair, then the
// guess (VNI, as the chat box shows them).
const QString kFriendPair[4] = {
    QStringLiteral(">: Khaû naêng caâu A hay C"), QStringLiteral(">: Khaû naêng caâu B hay C "),
    QStringLiteral(">: Khaû naêng caâu C hay D"), QStringLiteral(">: Khaû naêng caâu A hay D")};
const QString kFriendGuess[4] = {
    QStringLiteral(">:Coù theå laø caâu A"), QStringLiteral(">:Coù theå laø caâu C"),
    QStringLiteral(">:Coù theå laø caâu C"), QStringLiteral(">:Coù theå laø caâu A")};

// The vote, in percent for A..D, by the right letter A..D. An audience may be
// wrong: for D it points to A, and the row makes 99.
constexpr int kVotes[4][4] = {{42, 17, 3, 38}, {3, 41, 17, 39}, {3, 10, 44, 43}, {40, 3, 17, 39}};

bool taken(int removed, int answer)
{
    return answer >= 0 && (removed & 1 << answer);
}

QString letter(int answer)
{
    return QString(QLatin1Char(char('A' + answer)));
}

// A letter the friend may name: one 50:50 took becomes the wrong answer still
// on the board.
QString onBoard(int answer, int right, int removed)
{
    if (taken(removed, answer))
        for (int other = 0; other < 4; ++other)
            if (other != right && !taken(removed, other))
                return letter(other);
    return letter(answer);
}

QString keptToBoard(const QString &designed, int right, int removed)
{
    static const QRegularExpression named(QStringLiteral("(?:caâu |hay )([A-D])"));
    QString line = designed;
    for (const QRegularExpressionMatch &m : named.globalMatch(designed))
        line.replace(m.capturedStart(1), 1, onBoard(m.captured(1).at(0).unicode() - 'A', right, removed));
    return line;
}
} // namespace

qint64 prizeReached(int won)
{
    return kPrizes[qBound(0, won, 15)];
}

qint64 milestoneSecured(int won)
{
    return won >= 15 ? kPrizes[15] : won >= 10 ? kPrizes[10] : won >= 5 ? kPrizes[5] : 0;
}

int letterIndex(const QString &answer)
{
    static const QString letters[4] = {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"),
                                       QStringLiteral("D")};
    for (int i = 0; i < 4; ++i)
        if (answer == letters[i])
            return i;
    return -1;
}

int fiftyFiftyTakes(const QString &answer)
{
    switch (letterIndex(answer)) {
    case 0: case 3: return 1 << 1 | 1 << 2; // B and C
    case 1: return 1 << 0 | 1 << 2;         // A and C
    case 2: return 1 << 0 | 1 << 3;         // A and D
    default: return 0;
    }
}

std::optional<referee::FriendAdvice> friendAdvice(const QString &answer, int removed)
{
    const int right = letterIndex(answer);
    if (right < 0)
        return std::nullopt;
    return referee::FriendAdvice{keptToBoard(kFriendPair[right], right, removed),
                                 keptToBoard(kFriendGuess[right], right, removed)};
}

std::optional<referee::Votes> audienceVotes(const QString &answer, int removed)
{
    const int right = letterIndex(answer);
    if (right < 0)
        return std::nullopt;
    referee::Votes votes{};
    int freed = 0;
    int kept[2] = {-1, -1};
    int keptCount = 0;
    for (int i = 0; i < 4; ++i) {
        votes[size_t(i)] = kVotes[right][i];
        if (taken(removed, i)) {
            freed += votes[size_t(i)];
            votes[size_t(i)] = 0;
        } else if (keptCount < 2) {
            kept[keptCount++] = i;
        }
    }
    if (freed > 0 && keptCount == 2) {
        const size_t a = size_t(kept[0]), b = size_t(kept[1]);
        votes[a] += freed / 2;
        votes[b] += freed / 2;
        if (freed % 2)
            ++votes[votes[b] > votes[a] ? b : a];
    }
    return votes;
}

} // namespace rules
