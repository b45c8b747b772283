#include "answerstats.h"

#include "backend.h"

#include <QCryptographicHash>

namespace db {

QString questionFingerprint(const QString &cauhoi, const QString &a, const QString &b, const QString &c,
                            const QString &d)
{
    const QChar sep(0x1f);
    const QString joined = cauhoi + sep + a + sep + b + sep + c + sep + d;
    const QByteArray digest = QCryptographicHash::hash(joined.toUtf8(), QCryptographicHash::Sha256);
    return QString::fromLatin1(digest.toHex().left(16));
}

QString questionFingerprint(const Question &q)
{
    return questionFingerprint(q.cauhoi, q.a, q.b, q.c, q.d);
}

std::optional<double> QuestionFigures::shareRight() const
{
    if (asked <= 0)
        return std::nullopt;
    return 100.0 * double(right) / double(asked);
}

std::optional<double> QuestionFigures::averageSeconds() const
{
    if (timed <= 0)
        return std::nullopt;
    return secondsSum / double(timed);
}

QString answeredText(const QDateTime &at)
{
    return at.toUTC().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss'Z'"));
}

QList<QuestionFigures> matchFigures(const QList<Question> &rows, const QList<AnswerGroup> &groups)
{
    QList<QuestionFigures> out;
    out.reserve(rows.size());
    QHash<qint64, int> byId;             // the first row of each ID
    QHash<QString, int> byFingerprint;   // the first row of each fingerprint
    QList<QString> fingerprints;
    fingerprints.reserve(rows.size());
    for (const Question &q : rows) {
        out.append(QuestionFigures{q});
        fingerprints.append(questionFingerprint(q));
    }
    // QHash::insert replaces: walked backwards, the first row of a key wins.
    for (int line = int(rows.size()) - 1; line >= 0; --line) {
        byId.insert(rows[line].id, line);
        byFingerprint.insert(fingerprints[line], line);
    }
    // A row whose texts were recorded under another ID came there by a
    // renumbering: what its ID recorded before belongs to a question gone
    // (removed), not to an earlier version of this one.
    QList<bool> moved(rows.size(), false);
    for (const AnswerGroup &g : groups)
        if (const auto line = byFingerprint.constFind(g.fingerprint); line != byFingerprint.cend() && rows[*line].id != g.qid)
            moved[*line] = true;
    for (const AnswerGroup &g : groups) {
        int line = -1;
        bool changed = false;
        if (const auto own = byId.constFind(g.qid); own != byId.cend() && fingerprints[*own] == g.fingerprint)
            line = *own;
        else if (const auto match = byFingerprint.constFind(g.fingerprint); match != byFingerprint.cend())
            line = *match;
        else if (own != byId.cend() && !moved[*own]) {
            line = *own;
            changed = true;
        }
        if (line < 0)
            continue;
        QuestionFigures &f = out[line];
        f.asked += g.asked;
        f.right += g.right;
        f.fifty += g.fifty;
        f.phone += g.phone;
        f.audience += g.audience;
        f.secondsSum += g.secondsSum;
        f.timed += g.timed;
        f.changed = f.changed || changed;
    }
    return out;
}

namespace {

// Runs `use` on the store's recorded answers, where it keeps them.
template <typename R> std::optional<R> withAnswers(GameDb &db, const std::function<std::optional<R>(AnswerStore &)> &use)
{
    std::optional<R> out;
    db.withBackend([&](Backend &b) {
        if (AnswerStore *s = b.answerStore())
            out = use(*s);
    });
    return out;
}

} // namespace

std::optional<QList<QuestionFigures>> questionFigures(GameDb &db, QuestionTable t)
{
    const std::optional<QList<Question>> rows = db.readQuestions(t);
    if (!rows)
        return std::nullopt;
    const auto groups = withAnswers<QList<AnswerGroup>>(db, [t](AnswerStore &s) { return s.answerGroups(t); });
    if (!groups)
        return std::nullopt;
    return matchFigures(*rows, *groups);
}

std::optional<AnswerTally> answerTally(GameDb &db)
{
    return withAnswers<AnswerTally>(db, [](AnswerStore &s) { return s.answerTally(); });
}

std::optional<qint64> clearAnswers(GameDb &db, const AnswerTally &tally)
{
    return withAnswers<qint64>(db, [&tally](AnswerStore &s) { return s.clearAnswers(tally); });
}

bool keepsPupils(GameDb &db)
{
    return withAnswers<bool>(db, [](AnswerStore &s) { return std::optional<bool>(s.keepsPupils()); }).value_or(false);
}

std::optional<QList<PupilFigures>> pupilFigures(GameDb &db)
{
    return withAnswers<QList<PupilFigures>>(db, [](AnswerStore &s) { return s.pupilFigures(); });
}

bool recordAnswer(GameDb &db, const AnswerRecord &r)
{
    if (db.isServer())
        return false;
    return withAnswers<bool>(db, [&r](AnswerStore &s) { return std::optional<bool>(s.recordAnswer(r)); })
        .value_or(false);
}

} // namespace db
