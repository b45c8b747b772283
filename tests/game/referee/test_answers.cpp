// Every verdict of the game on this machine recorded in the file, and the
// figures read back: exact counts of two scripted games, the lifelines and
// seconds of each answer, figures that follow their question through a
// renumbering or an edit, an older file given the table, a busy file that
// loses no answer, and the clear taking only what it counted.

#include "../hotseat/hotseatfixture.h"
#include "answerstats.h"
#include "referee/localreferee.h"

#include <QSqlQuery>
#include <QTemporaryDir>

using db::QuestionTable;
using referee::Outcome;

namespace {

db::Question row(qint64 id, const QString &text)
{
    db::Question q;
    q.id = id;
    q.cauhoi = text;
    q.a = QStringLiteral("a");
    q.b = QStringLiteral("b");
    q.c = QStringLiteral("c");
    q.d = QStringLiteral("d");
    return q;
}

db::AnswerGroup group(qint64 qid, const db::Question &q, qint64 asked, qint64 right)
{
    db::AnswerGroup g;
    g.qid = qid;
    g.fingerprint = db::questionFingerprint(q);
    g.asked = asked;
    g.right = right;
    return g;
}

db::AnswerRecord answer(qint64 qid, const QString &fingerprint, bool correct)
{
    db::AnswerRecord r;
    r.table = QuestionTable::Muc2;
    r.qid = qid;
    r.fingerprint = fingerprint;
    r.correct = correct;
    r.answered = QDateTime(QDate(2026, 12, 8), QTime(12, 0), Qt::UTC);
    return r;
}

qint64 recorded(db::GameDb &d)
{
    return db::answerTally(d).value_or(db::AnswerTally{-1, {}}).count;
}

} // namespace

class AnswersTest : public QObject {
    Q_OBJECT
private slots:
    void twoGamesGiveExactCounts();
    void theFingerprintIsTheAgreedDigits();
    void figuresFollowTheirQuestion();
    void anOlderFileGainsTheTableAndABusyOneLosesNoAnswer();
};

void AnswersTest::twoGamesGiveExactCounts()
{
    testkit::GameHarness h;
    if (h.database->isServer())
        QSKIP("a server's verdicts record their own answers");
    hs::fillLevels(*h.database, 10, 10, 10);
    h.addAccount(QStringLiteral("an"), QStringLiteral("pw"), QStringLiteral("5000"));
    QDateTime clock(QDate(2026, 12, 8), QTime(12, 0), Qt::UTC);
    auto now = [&clock] { return clock; };

    // The first game: the qualifying order right, then muc1's first question
    // right after 50:50, four seconds after it appeared.
    LocalReferee first(*h.database, now);
    QCOMPARE(first.payFee(QStringLiteral("an"), db::LockWait::Patient).status, db::WriteStatus::Done);
    QCOMPARE(first.orderQuestion(1).outcome, Outcome::Done);
    first.questionShown();
    QVERIFY(first.judgeOrder(first.heldOrder()).right);
    QCOMPARE(first.nextQuestion(0).id, 1);
    first.questionShown();
    clock = clock.addSecs(4);
    QCOMPARE(first.fiftyFifty().outcome, Outcome::Done);
    QVERIFY(first.judge(first.heldAnswer()).right);
    // The next question: no lifeline used on it.
    QCOMPARE(first.nextQuestion(1).id, 2);
    QVERIFY(first.judge(first.heldAnswer()).right);

    // The second: the same question wrong after a call and the audience, ten
    // seconds on.
    LocalReferee second(*h.database, now);
    second.payFee(QStringLiteral("an"), db::LockWait::Patient);
    QCOMPARE(second.nextQuestion(0).id, 1);
    second.questionShown();
    clock = clock.addSecs(10);
    QCOMPARE(second.phoneFriend().outcome, Outcome::Done);
    QCOMPARE(second.askAudience().outcome, Outcome::Done);
    const QString wrong = second.heldAnswer() == QLatin1String("A") ? QStringLiteral("B") : QStringLiteral("A");
    QVERIFY(!second.judge(wrong).right);
    // A verdict refused (the game is over) records nothing.
    QCOMPARE(second.judge(wrong).outcome, Outcome::Refused);

    const auto muc1 = db::questionFigures(*h.database, QuestionTable::Muc1);
    QVERIFY(muc1);
    QCOMPARE(muc1->size(), 10);
    const db::QuestionFigures &q1 = muc1->at(0);
    QCOMPARE(q1.question.id, 1);
    QCOMPARE(QList<qint64>({q1.asked, q1.right, q1.wrong(), q1.fifty, q1.phone, q1.audience}),
             QList<qint64>({2, 1, 1, 1, 1, 1}));
    QCOMPARE(q1.averageSeconds().value_or(-1), 7.0);
    QCOMPARE(q1.shareRight().value_or(-1), 50.0);
    QVERIFY(!q1.changed);
    const db::QuestionFigures &q2 = muc1->at(1);
    QCOMPARE(QList<qint64>({q2.asked, q2.right, q2.fifty, q2.phone, q2.audience}), QList<qint64>({1, 1, 0, 0, 0}));
    for (int i = 2; i < 10; ++i)
        QCOMPARE(muc1->at(i).asked, 0);

    const auto order = db::questionFigures(*h.database, QuestionTable::Thuthach);
    QVERIFY(order);
    qint64 asked = 0, right = 0;
    for (const db::QuestionFigures &f : *order) {
        asked += f.asked;
        right += f.right;
    }
    QCOMPARE(asked, 1);
    QCOMPARE(right, 1);
    QCOMPARE(recorded(*h.database), 4);

    // The rows as the contract has them: who, when (UTC), the texts' digits.
    {
        QSqlQuery q(h.database->connection());
        QVERIFY(q.exec(QStringLiteral("SELECT nick, answered, fingerprint, seconds, correct, fifty, phone, audience "
                                      "FROM lontaris_answers WHERE tbl = 'muc1' AND qid = 1 ORDER BY rowid")));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toString(), QStringLiteral("an"));
        QCOMPARE(q.value(1).toString(), QStringLiteral("2026-12-08T12:00:04Z"));
        QCOMPARE(q.value(2).toString(), db::questionFingerprint(q1.question));
        QCOMPARE(q.value(3).toDouble(), 4.0);
        QCOMPARE(QList<int>({q.value(4).toInt(), q.value(5).toInt(), q.value(6).toInt(), q.value(7).toInt()}),
                 QList<int>({1, 1, 0, 0}));
        QVERIFY(q.next());
        QCOMPARE(QList<int>({q.value(4).toInt(), q.value(5).toInt(), q.value(6).toInt(), q.value(7).toInt()}),
                 QList<int>({0, 0, 1, 1}));
    }
}

void AnswersTest::theFingerprintIsTheAgreedDigits()
{
    // Stored texts are one character a byte: "â" goes into the digest as two
    // UTF-8 bytes; a NULL text counts as empty.
    QCOMPARE(db::questionFingerprint(QStringLiteral("Caâu hoûi"), QStringLiteral("A"), QString(), QStringLiteral("C"),
                                     QStringLiteral("Ñ")),
             QStringLiteral("2f818a70239c91ed"));
    QCOMPARE(db::questionFingerprint(db::Question{}), QStringLiteral("10e7fb50515179ec"));
}

void AnswersTest::figuresFollowTheirQuestion()
{
    const db::Question a = row(1, QStringLiteral("A?")), b = row(2, QStringLiteral("B?")), c = row(3, QStringLiteral("C?"));
    // Recorded while the table was A, B, C; then A was removed and the rest
    // renumbered: B is 1, C is 2.
    db::Question b1 = b, c2 = c;
    b1.id = 1;
    c2.id = 2;
    auto figures = db::matchFigures({b1, c2}, {group(1, a, 5, 1), group(2, b, 3, 2), group(3, c, 4, 4)});
    QCOMPARE(figures.size(), 2);
    QCOMPARE(figures[0].asked, 3);
    QCOMPARE(figures[0].right, 2);
    QCOMPARE(figures[1].asked, 4);
    QVERIFY(!figures[0].changed && !figures[1].changed);

    // Edited in place: its figures stay, marked.
    db::Question edited = b1;
    edited.cauhoi = QStringLiteral("B, better?");
    figures = db::matchFigures({edited, c2}, {group(1, b1, 3, 2), group(2, c2, 4, 4)});
    QCOMPARE(figures[0].asked, 3);
    QVERIFY(figures[0].changed);
    QVERIFY(!figures[1].changed);

    // Two rows of the same texts: each keeps what was recorded under its ID.
    db::Question twin = b1;
    twin.id = 2;
    figures = db::matchFigures({b1, twin}, {group(2, twin, 6, 1)});
    QCOMPARE(figures[0].asked, 0);
    QCOMPARE(figures[1].asked, 6);
}

void AnswersTest::anOlderFileGainsTheTableAndABusyOneLosesNoAnswer()
{
    testkit::ProgramFolder folder;
    QVERIFY(db::GameDb(folder.path()).open().usable());
    // A file of the earlier programs: no table of answers.
    QVERIFY(testkit::rawExec(folder.dbPath(), {QStringLiteral("DROP TABLE lontaris_answers")}));
    db::GameDb d(folder.path());
    QCOMPARE(d.open().status, db::OpenStatus::Opened);
    QCOMPARE(recorded(d), 0);
    const QString fp = db::questionFingerprint(d.questions(QuestionTable::Muc2).at(0));

    // Another program holds the write lock: the answer waits for the next one.
    auto other = testkit::openDatabase(folder, QString());
    QVERIFY(other && testkit::holdWriteLock(*other));
    QVERIFY(!db::recordAnswer(d, answer(1, fp, true)));
    other->rollback();
    QVERIFY(db::recordAnswer(d, answer(1, fp, false)));
    QCOMPARE(recorded(d), 2);

    // The clear takes what it counted, not what came after.
    const auto tally = db::answerTally(d);
    QVERIFY(tally && tally->count == 2);
    QVERIFY(db::recordAnswer(d, answer(1, fp, true)));
    QCOMPARE(db::clearAnswers(d, *tally).value_or(-1), 2);
    QCOMPARE(recorded(d), 1);
    const auto muc2 = db::questionFigures(d, QuestionTable::Muc2);
    QVERIFY(muc2);
    QCOMPARE(muc2->at(0).asked, 1);
    QCOMPARE(muc2->at(0).right, 1);

    // A copy into a new file takes the bank and starts its figures afresh.
    QTemporaryDir dir;
    const QString copy = dir.filePath(QStringLiteral("copy.db"));
    QVERIFY(db::copyInstallation(folder.dbPath(), copy).ok);
    auto copied = testkit::opened(copy);
    QVERIFY(copied);
    QCOMPARE(recorded(*copied), 0);
    QCOMPARE(copied->waitForCheck(), db::CheckState::Sound);
}

QTEST_MAIN(AnswersTest)
#include "test_answers.moc"
