// The recorded answers on a class server, as the teacher's role reads them:
// the server's own verdicts write them (with the games of lontaris_games), so
// nothing is recorded from here, and a pupil's role reads none of them.

#include "pgbackend_p.h"


namespace db {

namespace {

AnswerGroup groupFrom(const pg::Result &q)
{
    AnswerGroup g;
    g.qid = q.value(0).toLongLong();
    g.fingerprint = q.value(1).toString();
    g.asked = q.value(2).toLongLong();
    g.right = q.value(3).toLongLong();
    g.fifty = q.value(4).toLongLong();
    g.phone = q.value(5).toLongLong();
    g.audience = q.value(6).toLongLong();
    g.secondsSum = q.value(7).toDouble();
    g.timed = q.value(8).toLongLong();
    return g;
}

PupilFigures pupilFrom(const pg::Result &q)
{
    PupilFigures p;
    p.nick = q.value(0).toString();
    p.games = q.value(1).toLongLong();
    p.answered = q.value(2).toLongLong();
    p.right = q.value(3).toLongLong();
    p.highestRung = q.value(4).toInt();
    return p;
}

AnswerTally tallyFrom(const pg::Result &q)
{
    return AnswerTally{q.value(0).toLongLong(), q.value(1)};
}

} // namespace

bool PgBackend::recordAnswer(const AnswerRecord &)
{
    return false; // the server's verdict records its own answers
}

std::optional<QList<AnswerGroup>> PgBackend::answerGroups(QuestionTable t)
{
    if (!m_owner)
        return std::nullopt;
    return readRows(QStringLiteral("SELECT qid, fingerprint, count(*), coalesce(sum(correct), 0), "
                                   "coalesce(sum(fifty), 0), coalesce(sum(phone), 0), coalesce(sum(audience), 0), "
                                   "coalesce(sum(seconds), 0), count(seconds) FROM lontaris_answers WHERE tbl = ? "
                                   "GROUP BY qid, fingerprint"),
                    {tableName(t)}, groupFrom);
}

std::optional<AnswerTally> PgBackend::answerTally()
{
    if (!m_owner)
        return std::nullopt;
    // The latest moment as text: a timestamp read into the client would lose
    // its microseconds, and the clear would leave the last answers.
    const auto rows = readRows(QStringLiteral("SELECT count(*), max(answered)::text FROM lontaris_answers"), {},
                               tallyFrom);
    if (!rows || rows->isEmpty())
        return std::nullopt;
    return rows->constFirst();
}

std::optional<qint64> PgBackend::clearAnswers(const AnswerTally &tally)
{
    if (!m_owner)
        return std::nullopt;
    if (tally.mark.isNull())
        return 0;
    qint64 removed = 0;
    const bool done = write([&] {
        const pg::Result r = run(QStringLiteral("DELETE FROM lontaris_answers WHERE answered <= ?::timestamptz"),
                                 {tally.mark.toString()});
        if (!r.ok())
            return false;
        removed = r.affected();
        return true;
    });
    if (!done)
        return std::nullopt;
    return removed;
}

std::optional<QList<PupilFigures>> PgBackend::pupilFigures()
{
    if (!m_owner)
        return std::nullopt;
    return readRows(
        QStringLiteral("SELECT coalesce(g.nick, a.nick), coalesce(g.games, 0), coalesce(a.answered, 0), "
                       "coalesce(a.correct, 0), coalesce(g.highest, 0) FROM "
                       "(SELECT nick, count(*) AS games, max(rung) AS highest FROM lontaris_games GROUP BY nick) AS g "
                       "FULL JOIN (SELECT nick, count(*) AS answered, sum(correct) AS correct FROM lontaris_answers "
                       "GROUP BY nick) AS a ON a.nick = g.nick ORDER BY 1"),
        {}, pupilFrom);
}

} // namespace db
