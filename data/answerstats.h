#pragma once
// How each question fared: every judged answer (hot seat and qualifying round)
// is a row of the table lontaris_answers, on a file and on a class server
// alike: the question's table and ID when it was judged, a fingerprint of its
// texts, right or wrong, the lifelines used on it, the seconds it took, when,
// and who answered. On a file the game writes the rows (one small insert a
// verdict); on a server the server's own verdict does, and only the teacher's
// role reads them.
//
// A question's figures follow its texts, not its ID: a renumbering moves a
// question to another ID, and an edit in place gives the old ID new texts.
// questionFigures matches the recorded rows to the table's current rows by
// fingerprint, and marks a question whose figures were recorded under other
// texts.

#include "gamedb.h"

#include <QDateTime>
#include <QVariant>

namespace db {

// The first 16 lowercase hex digits of SHA-256 over the UTF-8 bytes of the
// stored texts cauhoi, A, B, C, D (each as the data layer reads it, a NULL as
// empty) joined by U+001F. A server computes the same digits in SQL.
QString questionFingerprint(const QString &cauhoi, const QString &a, const QString &b, const QString &c,
                            const QString &d);
QString questionFingerprint(const Question &q);

// One judged answer.
struct AnswerRecord {
    QuestionTable table = QuestionTable::Muc1;
    qint64 qid = 0;
    QString fingerprint;
    bool correct = false;
    bool fifty = false, phone = false, audience = false;
    std::optional<double> seconds; // none: the question's appearance was not seen
    QDateTime answered;            // stored in UTC
    QString nick;
};

// The rows of one table recorded for one ID and one fingerprint, added up.
struct AnswerGroup {
    qint64 qid = 0;
    QString fingerprint;
    qint64 asked = 0, right = 0, fifty = 0, phone = 0, audience = 0;
    double secondsSum = 0;
    qint64 timed = 0; // answers whose seconds are known
};

// A question of the table as it is now, with the figures that belong to it.
struct QuestionFigures {
    Question question;
    qint64 asked = 0, right = 0, fifty = 0, phone = 0, audience = 0;
    double secondsSum = 0;
    qint64 timed = 0;
    // Some of its figures were recorded while its ID held other texts.
    bool changed = false;

    qint64 wrong() const { return asked - right; }
    // Share right in percent; none before it was asked.
    std::optional<double> shareRight() const;
    std::optional<double> averageSeconds() const;
};

// A pupil account's games on a server.
struct PupilFigures {
    QString nick;
    qint64 games = 0, answered = 0, right = 0;
    int highestRung = 0;
};

// How many answers are recorded, and the mark that clearAnswers takes: the
// answers recorded after the count stay.
struct AnswerTally {
    qint64 count = 0;
    QVariant mark;
};

// What a store offers of the recorded answers (see Backend::answerStore).
class AnswerStore {
public:
    virtual ~AnswerStore() = default;
    // Adds the answer; false when it could not be written now (a file being
    // checked or written by another program keeps it for the next one).
    virtual bool recordAnswer(const AnswerRecord &r) = 0;
    // The recorded answers of table t, grouped by ID and fingerprint; nothing
    // when they cannot be read.
    virtual std::optional<QList<AnswerGroup>> answerGroups(QuestionTable t) = 0;
    virtual std::optional<AnswerTally> answerTally() = 0;
    // Removes the answers counted by `tally`; the number removed, or nothing.
    virtual std::optional<qint64> clearAnswers(const AnswerTally &tally) = 0;
    // Per pupil account: a server's; a file keeps no games per account.
    virtual bool keepsPupils() const { return false; }
    virtual std::optional<QList<PupilFigures>> pupilFigures() { return QList<PupilFigures>(); }
};

// The current rows of a table with their figures, in row order: each group
// goes to the row of its ID when that row has its fingerprint, else to the
// first row that has it (a renumbering moved the question), else to the row
// of its ID, marked changed (its texts were edited), unless that row's texts
// were recorded under another ID (a renumbering brought it there); a group
// whose question is gone is left out.
QList<QuestionFigures> matchFigures(const QList<Question> &rows, const QList<AnswerGroup> &groups);

// The same through a GameDb (on a server, on its thread). Nothing when the
// store keeps no answers or they cannot be read.
std::optional<QList<QuestionFigures>> questionFigures(GameDb &db, QuestionTable t);
std::optional<AnswerTally> answerTally(GameDb &db);
std::optional<qint64> clearAnswers(GameDb &db, const AnswerTally &tally);
bool keepsPupils(GameDb &db);
std::optional<QList<PupilFigures>> pupilFigures(GameDb &db);
// Records an answer on a file; a server's verdict records its own.
bool recordAnswer(GameDb &db, const AnswerRecord &r);

// The text of a moment as the file stores it: "2026-12-08T12:00:00Z".
QString answeredText(const QDateTime &at);

} // namespace db
