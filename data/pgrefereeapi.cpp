// The referee's steps as this machine makes them: each one call of the
// server's functions (pgreferee.cpp) in the session of the login and the
// game of the last fee paid in it. A call whose answer was lost is made again
// as it was (calling()): the server's record of the game makes it answer the
// same.

#include "pgbackend.h"
#include "pgbackend_p.h"

namespace db {

RefereeAnswer PgBackend::refereeStep(const QString &step, const QList<QVariant> &values)
{
    // Only the referee's own functions: nothing else is called this way.
    static const QStringList steps = {QStringLiteral("order_question"), QStringLiteral("judge_order"),
                                      QStringLiteral("next_question"),  QStringLiteral("judge"),
                                      QStringLiteral("fifty"),          QStringLiteral("call"),
                                      QStringLiteral("vote"),           QStringLiteral("reveal"),
                                      QStringLiteral("stop"),           QStringLiteral("held_answer")};
    RefereeAnswer out;
    if (!steps.contains(step)) {
        m_lastError = QStringLiteral("%1 is not a step of a game.").arg(step);
        return out;
    }
    // Without a login or a fee the server refuses (as it does any game not
    // this session's), or says it cannot be reached.
    QVariantList all = {m_session.isEmpty() ? QVariant() : QVariant(m_session), m_fee.isEmpty() ? QVariant() : QVariant(m_fee)};
    all << values;
    out.status = calling(QStringLiteral("lontaris_") + step, all, [&](pg::Result &r) {
        while (r.next()) {
            QList<QVariant> row;
            for (int i = 1; i < r.columns(); ++i)
                row << r.value(i);
            out.rows << row;
        }
    });
    return out;
}

} // namespace db
