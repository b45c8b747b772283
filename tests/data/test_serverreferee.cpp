// The class server refereeing the game: its rules against the game's own,
// steps tampered with and made again by a pupil's own client, a scripted game
// paying exactly the ladder's amount and recording its answers, and the
// right answers kept from the pupils.

#include "gamedb.h"
#include "referee/gamerules.h"
#include "pgconn.h"
#include "pgserver.h"
#include "relay.h"
#include "referee/serverreferee.h"
#include "testsupport.h"

#include <QCryptographicHash>
#include <QTest>

using testkit::account;
using testkit::opened;

namespace {

QStringList call(db::pg::Connection &c, const QString &function, const QVariantList &values)
{
    return testkit::callFunction(c, function, values);
}

const QVariant kSwitchesOn = QStringLiteral("{1,1,1,1,1,1,1,1}");

QString votesText(const referee::Votes &v)
{
    return QStringLiteral("{%1,%2,%3,%4}").arg(v[0]).arg(v[1]).arg(v[2]).arg(v[3]);
}

} // namespace

class TestServerReferee : public testkit::ServerTest {
    Q_OBJECT

    std::unique_ptr<db::GameDb> teacherWith(const QStringList &nicks)
    {
        m_owner = fresh();
        m_name = QStringLiteral("db%1").arg(m_next);
        auto teacher = opened(m_owner);
        for (const QString &nick : nicks) {
            db::Account a = account(nick, QStringLiteral("5000"));
            teacher->insertAccount(a); // password "pw"
        }
        return teacher;
    }
    QString value(const QString &query) { return m_server.value(m_name, query); }
    // The right answer the server drew for question n of the game (the test
    // reads the teacher's tables; no pupil can).
    QString drawn(const QString &game, int n)
    {
        return value(QStringLiteral("SELECT answer FROM lontaris_drawn WHERE game = '%1' AND n = %2").arg(game).arg(n));
    }
    QString wrongFor(const QString &right)
    {
        return right == QLatin1String("A") ? QStringLiteral("B") : QStringLiteral("A");
    }

private slots:
    void initTestCase()
    {
        ServerTest::initTestCase();
        QVERIFY(m_server.exec(QStringLiteral("postgres"),
                              {QStringLiteral("CREATE ROLE lontaris_pupil NOLOGIN"), QStringLiteral("CREATE ROLE pupil1 LOGIN"),
                               QStringLiteral("CREATE ROLE pupil2 LOGIN"),
                               QStringLiteral("GRANT lontaris_pupil TO pupil1, pupil2")}));
    }

    void theServersRulesAreTheGames()
    {
        const auto teacher = teacherWith({});
        const auto c = client(QStringLiteral("postgres"));
        for (const char *answer : {"A", "B", "C", "D", "", "a", "AB"}) {
            const QString right = QLatin1String(answer);
            const int takes = rules::fiftyFiftyTakes(right);
            QCOMPARE(call(*c, QStringLiteral("lontaris_fifty_takes"), {right}).value(0), QString::number(takes));
            for (const int removed : {0, takes}) {
                const QStringList friendLines = call(*c, QStringLiteral("lontaris_friend"), {right, removed});
                const auto advice = rules::friendAdvice(right, removed);
                QCOMPARE(friendLines.value(0), advice ? advice->pair : QString());
                QCOMPARE(friendLines.value(1), advice ? advice->guess : QString());
                const auto votes = rules::audienceVotes(right, removed);
                QCOMPARE(call(*c, QStringLiteral("lontaris_votes"), {right, removed}).value(0),
                         votes ? votesText(*votes) : QString());
            }
        }
        for (int won = 0; won <= 15; ++won) {
            QCOMPARE(call(*c, QStringLiteral("lontaris_prize"), {won}).value(0), QString::number(rules::prizeReached(won)));
            QCOMPARE(call(*c, QStringLiteral("lontaris_milestone"), {won}).value(0),
                     QString::number(rules::milestoneSecured(won)));
        }
        // The fingerprint of the answers' record, as the contract computes it
        // on any machine.
        const QStringList texts = {QStringLiteral("Thuû ñoâ cuûa Phaùp?"), QStringLiteral("Paris"), QString(),
                                   QStringLiteral("Lyon\x1f"), QStringLiteral("Nice")};
        const QString expected = QString::fromLatin1(
            QCryptographicHash::hash(texts.join(QChar(0x1f)).toUtf8(), QCryptographicHash::Sha256).toHex().left(16));
        QCOMPARE(call(*c, QStringLiteral("lontaris_fingerprint"),
                      {texts[0], texts[1], QVariant(), texts[3], texts[4]}).value(0),
                 expected);
        // Each level table's size, and its question at a place of the game's
        // order and by its row, as the teacher's machine reads them.
        for (const db::QuestionTable t : {db::QuestionTable::Muc1, db::QuestionTable::Muc2, db::QuestionTable::Muc3}) {
            const QList<db::Question> qs = teacher->questions(t);
            QVERIFY(qs.size() > 2);
            qint64 top = 0;
            for (const db::Question &q : qs)
                top = std::max(top, q.id);
            const QString name = db::tableName(t);
            QCOMPARE(call(*c, QStringLiteral("lontaris_level_size"), {name}),
                     (QStringList{QString::number(qs.size()), QString::number(top)}));
            for (const qsizetype place : {qsizetype(0), qs.size() / 2, qs.size() - 1}) {
                const QStringList row = call(*c, QStringLiteral("lontaris_level_row"), {name, place, QVariant()});
                QCOMPARE(row.mid(1, 3), (QStringList{QString::number(qs[place].id), qs[place].cauhoi, qs[place].a}));
                QCOMPARE(call(*c, QStringLiteral("lontaris_level_row"), {name, QVariant(), row.value(0)}), row);
            }
        }
        // The secure draw keeps to its range and reaches all of it.
        QCOMPARE(value(QStringLiteral("SELECT string_agg(DISTINCT r::text, ',' ORDER BY r::text) FROM "
                                      "(SELECT lontaris_random(3) AS r FROM generate_series(1, 300)) x")),
                 QStringLiteral("0,1,2"));
    }

    void tamperedAndReplayedStepsChangeNothing()
    {
        const auto teacher = teacherWith({QStringLiteral("An"), QStringLiteral("Binh")});
        const auto an = client(QStringLiteral("pupil1"));
        const auto binh = client(QStringLiteral("pupil2"));
        const QString tokenA = call(*an, QStringLiteral("lontaris_login"), {QStringLiteral("an"), QStringLiteral("pw")}).value(1);
        const QString tokenB = call(*binh, QStringLiteral("lontaris_login"), {QStringLiteral("binh"), QStringLiteral("pw")}).value(1);
        QVERIFY(!tokenA.isEmpty() && !tokenB.isEmpty());
        const QString g = QStringLiteral("game-a");
        QCOMPARE(call(*an, QStringLiteral("lontaris_pay_fee"), {tokenA, g}).value(0), QStringLiteral("ok"));
        QCOMPARE(call(*an, QStringLiteral("lontaris_pay_fee"), {tokenA, g}).value(3), QStringLiteral("4000")); // once
        const QVariant none;
        const QString refused = QStringLiteral("refused");

        // Nothing drawn yet: no verdict, no lifeline, no question but the first.
        QCOMPARE(call(*an, QStringLiteral("lontaris_judge"), {tokenA, g, 1, QStringLiteral("A")}).value(0), refused);
        QCOMPARE(call(*an, QStringLiteral("lontaris_fifty"), {tokenA, g, 1}).value(0), refused);
        QCOMPARE(call(*an, QStringLiteral("lontaris_next_question"), {tokenA, g, 2}).value(0), refused);
        for (const QVariantList &keys : {QVariantList{none, g}, QVariantList{tokenA, none}, QVariantList{tokenA, QString()},
                                         QVariantList{tokenB, g}})
            QCOMPARE(call(*an, QStringLiteral("lontaris_next_question"), keys + QVariantList{1}).value(0), refused);
        QCOMPARE(call(*an, QStringLiteral("lontaris_next_question"), {tokenA, g, none}).value(0), refused);

        // The question comes without its right answer; made again, the same one.
        const QStringList first = call(*an, QStringLiteral("lontaris_next_question"), {tokenA, g, 1});
        QCOMPARE(first.value(0), QStringLiteral("ok"));
        QCOMPARE(first.size(), 8); // outcome, fresh, id and the five texts
        QCOMPARE(call(*an, QStringLiteral("lontaris_next_question"), {tokenA, g, 1}), first);
        QCOMPARE(call(*an, QStringLiteral("lontaris_reveal"), {tokenA, g}).value(0), refused);
        QCOMPARE(call(*an, QStringLiteral("lontaris_held_answer"), {tokenA, g}).value(0).left(6), QStringLiteral("error:"));
        const QString right = drawn(g, 1);
        QVERIFY(!right.isEmpty());

        // A lifeline once a game: made again on its question, the same answer;
        // another's game, refused.
        const QStringList fifty = call(*an, QStringLiteral("lontaris_fifty"), {tokenA, g, 1});
        QCOMPARE(fifty.value(1), QString::number(rules::fiftyFiftyTakes(right)));
        QCOMPARE(call(*an, QStringLiteral("lontaris_fifty"), {tokenA, g, 1}), fifty);
        QCOMPARE(call(*binh, QStringLiteral("lontaris_call"), {tokenB, g, 1}).value(0), refused);

        // The verdict once; the same letter made again, the same verdict; another letter refused.
        const QStringList verdict = call(*an, QStringLiteral("lontaris_judge"), {tokenA, g, 1, right});
        QCOMPARE(verdict, (QStringList{QStringLiteral("ok"), QStringLiteral("true"), right}));
        QCOMPARE(call(*an, QStringLiteral("lontaris_judge"), {tokenA, g, 1, right}), verdict);
        QCOMPARE(call(*an, QStringLiteral("lontaris_judge"), {tokenA, g, 1, wrongFor(right)}).value(0), refused);
        QCOMPARE(call(*an, QStringLiteral("lontaris_reveal"), {tokenA, g}).value(1), right);
        // No lifeline between questions, and 50:50 not again on the next one.
        QCOMPARE(call(*an, QStringLiteral("lontaris_vote"), {tokenA, g, 1}).value(0), refused);
        QCOMPARE(call(*an, QStringLiteral("lontaris_next_question"), {tokenA, g, 2}).value(0), QStringLiteral("ok"));
        QCOMPARE(call(*an, QStringLiteral("lontaris_fifty"), {tokenA, g, 2}).value(0), refused);
        QCOMPARE(call(*an, QStringLiteral("lontaris_judge"), {tokenA, g, 3, QStringLiteral("A")}).value(0), refused);

        // Stopped at one right answer: the end pays the prize reached (100),
        // with no more minutes than have passed, once, and a pupil's switches
        // are left as the teacher set them.
        QCOMPARE(call(*an, QStringLiteral("lontaris_stop"), {tokenA, g}).value(0), QStringLiteral("ok"));
        QCOMPARE(call(*an, QStringLiteral("lontaris_judge"), {tokenA, g, 2, drawn(g, 2)}).value(0), refused);
        QCOMPARE(call(*an, QStringLiteral("lontaris_next_question"), {tokenA, g, 3}).value(0), refused);
        QCOMPARE(call(*an, QStringLiteral("lontaris_end_game"), {tokenA, g, QStringLiteral("s1"), 5, kSwitchesOn}).value(0),
                 refused);
        QCOMPARE(call(*binh, QStringLiteral("lontaris_end_game"), {tokenB, g, QStringLiteral("s1"), 0, kSwitchesOn}).value(0),
                 refused);
        QCOMPARE(call(*an, QStringLiteral("lontaris_end_game"), {tokenA, g, none, 0, kSwitchesOn}).value(0), refused);
        const QStringList ended = call(*an, QStringLiteral("lontaris_end_game"), {tokenA, g, QStringLiteral("s1"), 1, kSwitchesOn});
        QCOMPARE(ended.value(3), QStringLiteral("4100"));
        QCOMPARE(call(*an, QStringLiteral("lontaris_end_game"), {tokenA, g, QStringLiteral("s1"), 1, kSwitchesOn}), ended);
        QCOMPARE(call(*an, QStringLiteral("lontaris_end_game"), {tokenA, g, QStringLiteral("s2"), 0, kSwitchesOn}).value(0),
                 refused);
        QCOMPARE(call(*an, QStringLiteral("lontaris_stop"), {tokenA, g}).value(0), refused);
        QCOMPARE(value(QStringLiteral("SELECT sotien || ' ' || phut FROM hoso WHERE nick = 'An'")), QStringLiteral("4100 1"));
        QCOMPARE(value(QStringLiteral("SELECT sotien FROM hoso WHERE nick = 'Binh'")), QStringLiteral("5000"));
        QCOMPARE(teacher->readLock()->hiencode, QStringLiteral("0"));
        QCOMPARE(value(QStringLiteral("SELECT count(*) FROM lontaris_answers")), QStringLiteral("1"));
    }

    void aScriptedGamePaysTheLaddersAmountAndRecordsItsAnswers()
    {
        const auto teacher = teacherWith({QStringLiteral("Chi")});
        const auto d = machine(QStringLiteral("pupil1"));
        QVERIFY(d->logIn(QStringLiteral("chi"), QStringLiteral("pw")));
        ServerReferee referee(*d);
        QCOMPARE(referee.payFee(QStringLiteral("chi"), db::LockWait::NoWait).status, db::WriteStatus::Done);
        const QString g = value(QStringLiteral("SELECT game FROM lontaris_games"));
        QVERIFY(referee.heldAnswer().isEmpty()); // not the pupil's to read

        // The qualifying round, answered wrong.
        const referee::OrderQuestion order = referee.orderQuestion(0);
        QCOMPARE(order.outcome, referee::Outcome::Done);
        QVERIFY(!order.none && !order.texts.cauhoi.isEmpty());
        const QString ordered = drawn(g, 0);
        const referee::Verdict orderVerdict = referee.judgeOrder(QStringLiteral("X") + ordered);
        QCOMPARE(orderVerdict.outcome, referee::Outcome::Done);
        QVERIFY(!orderVerdict.right);
        QCOMPARE(orderVerdict.answer, ordered);
        QCOMPARE(referee.judgeOrder(ordered).outcome, referee::Outcome::Refused);

        // Six right answers, 50:50 on the second, the call on the third, the vote on the fourth.
        for (int n = 1; n <= 6; ++n) {
            const referee::Question q = referee.nextQuestion(0);
            QCOMPARE(q.outcome, referee::Outcome::Done);
            QVERIFY(q.fresh && q.id > 0);
            const QString right = drawn(g, n);
            if (n == 2)
                QCOMPARE(referee.fiftyFifty().removed, rules::fiftyFiftyTakes(right));
            if (n == 3)
                QCOMPARE(referee.phoneFriend().advice->guess, rules::friendAdvice(right, 0)->guess);
            if (n == 4) {
                QCOMPARE(*referee.askAudience().votes, *rules::audienceVotes(right, 0));
                QCOMPARE(referee.askAudience().outcome, referee::Outcome::Done); // made again: the same
            }
            const referee::Verdict v = referee.judge(right);
            QVERIFY(v.outcome == referee::Outcome::Done && v.right);
        }
        QCOMPARE(referee.stop(), referee::Outcome::Done);
        db::LockRow mine;
        mine.hiencode = QStringLiteral("1");
        const db::AccountUpdate u = referee.endGame(QStringLiteral("chi"), 0, mine, db::LockWait::NoWait);
        QCOMPARE(u.status, db::WriteStatus::Done);
        QCOMPARE(u.stored->sotien, QString::number(5000 - 1000 + rules::prizeReached(6)));
        QCOMPARE(referee.endGame(QStringLiteral("chi"), 0, mine, db::LockWait::NoWait).status, db::WriteStatus::Failed);
        QCOMPARE(teacher->readLock()->hiencode, QStringLiteral("0"));

        // A second game ends on a wrong answer at the seventh: the milestone.
        QCOMPARE(referee.payFee(QStringLiteral("chi"), db::LockWait::NoWait).status, db::WriteStatus::Done);
        const QString g2 = value(QStringLiteral("SELECT game FROM lontaris_games WHERE game <> '%1'").arg(g));
        for (int n = 1; n <= 7; ++n) {
            QCOMPARE(referee.nextQuestion(0).outcome, referee::Outcome::Done);
            const QString right = drawn(g2, n);
            QCOMPARE(referee.judge(n < 7 ? right : wrongFor(right)).right, n < 7);
        }
        QCOMPARE(referee.nextQuestion(0).outcome, referee::Outcome::Refused);
        QCOMPARE(referee.stop(), referee::Outcome::Refused);
        QCOMPARE(referee.endGame(QStringLiteral("chi"), 0, mine, db::LockWait::NoWait).stored->sotien,
                 QString::number(5000 - 2000 + rules::prizeReached(6) + rules::milestoneSecured(6)));

        // Every judged answer recorded once, with its lifelines and its question.
        QCOMPARE(value(QStringLiteral("SELECT count(*) || ' ' || sum(correct) || ' ' || sum(fifty) || ' ' || sum(phone) || ' ' "
                                      "|| sum(audience) || ' ' || count(*) FILTER (WHERE nick = 'Chi' AND seconds >= 0) "
                                      "FROM lontaris_answers")),
                 QStringLiteral("14 12 1 1 1 14"));
        QCOMPARE(value(QStringLiteral("SELECT tbl || ' ' || correct FROM lontaris_answers WHERE tbl = 'thuthach'")),
                 QStringLiteral("thuthach 0"));
        QCOMPARE(value(QStringLiteral("SELECT string_agg(concat(a.fifty, a.phone, a.audience), ' ' ORDER BY d.n) FROM "
                                      "lontaris_answers a JOIN lontaris_drawn d ON d.game = '%1' AND d.n BETWEEN 2 AND 4 "
                                      "AND d.qid = a.qid AND a.tbl = d.tbl AND a.answered = d.judged").arg(g)),
                 QStringLiteral("100 010 001"));
        // A day after a game's end, or a month after a start never paid once
        // the login that could go on with it is gone, its draws and
        // lifelines go at the teacher's next start; the games and the
        // answers' record stay.
        QCOMPARE(referee.payFee(QStringLiteral("chi"), db::LockWait::NoWait).status, db::WriteStatus::Done);
        QCOMPARE(referee.nextQuestion(0).outcome, referee::Outcome::Done);
        QVERIFY(m_server.exec(m_name, {QStringLiteral("UPDATE lontaris_games SET ended = ended - interval '25 hours', "
                                                      "started = started - interval '25 hours' WHERE game = '%1'")
                                           .arg(g),
                                       QStringLiteral("UPDATE lontaris_games SET started = started - interval '31 days' "
                                                      "WHERE settled IS NULL"),
                                       QStringLiteral("UPDATE lontaris_sessions SET made = made - interval '32 days'")}));
        QVERIFY(opened(m_owner));
        QCOMPARE(value(QStringLiteral("SELECT count(DISTINCT game) FROM lontaris_drawn")), QStringLiteral("2"));
        QVERIFY(m_server.exec(m_name, {QStringLiteral("DELETE FROM lontaris_sessions")}));
        QVERIFY(opened(m_owner));
        QCOMPARE(value(QStringLiteral("SELECT string_agg(DISTINCT game, ' ') || ' ' || (SELECT count(*) FROM lontaris_lifelines) "
                                      "|| ' ' || (SELECT count(*) FROM lontaris_games) || ' ' || "
                                      "(SELECT count(*) FROM lontaris_answers) FROM lontaris_drawn")),
                 QStringLiteral("%1 0 3 14").arg(g2));
        // The fingerprint is of the question's texts as stored.
        const QStringList row = value(QStringLiteral("SELECT concat_ws(chr(30), a.qid, a.fingerprint) FROM lontaris_answers a "
                                                     "WHERE a.tbl = 'muc1' LIMIT 1"))
                                    .split(QChar(0x1e));
        const auto q = teacher->questionAt(db::QuestionTable::Muc1, row.value(0).toLongLong() - 1);
        QVERIFY(q && q->id == row.value(0).toLongLong());
        const QString texts = QStringList{q->cauhoi, q->a, q->b, q->c, q->d}.join(QChar(0x1f));
        QCOMPARE(row.value(1), QString::fromLatin1(QCryptographicHash::hash(texts.toUtf8(), QCryptographicHash::Sha256)
                                                       .toHex()
                                                       .left(16)));
    }

    void aStepWhoseAnswerIsLostIsAnsweredAgainTheSame()
    {
        teacherWith({QStringLiteral("Em")});
        QVERIFY(m_server.exec(m_name, {QStringLiteral("ALTER ROLE postgres PASSWORD 'relayed'")}));
        testkit::Relay relay(m_server.port());
        const auto d = opened(m_server.tcpUrl(m_name, QStringLiteral("postgres"), QStringLiteral("relayed"), relay.port()));
        QVERIFY(d && d->logIn(QStringLiteral("em"), QStringLiteral("pw")));
        ServerReferee referee(*d);
        QCOMPARE(referee.payFee(QStringLiteral("em"), db::LockWait::NoWait).status, db::WriteStatus::Done);
        const QString g = value(QStringLiteral("SELECT game FROM lontaris_games"));
        // The draw and the verdict, each cut off as it was sent: made again
        // on a new connection by the same step, settled once (the server's
        // answer to a step made twice: tamperedAndReplayedStepsChangeNothing).
        relay.cutAfter("lontaris_next_question");
        const referee::Question q = referee.nextQuestion(0);
        QVERIFY(relay.cut());
        QCOMPARE(q.outcome, referee::Outcome::Done);
        QCOMPARE(q.id, value(QStringLiteral("SELECT qid FROM lontaris_drawn WHERE n = 1")).toLongLong());
        relay.cutAfter("lontaris_judge");
        const referee::Verdict v = referee.judge(drawn(g, 1));
        QVERIFY(relay.cut());
        QVERIFY(v.outcome == referee::Outcome::Done && v.right);
        QCOMPARE(value(QStringLiteral("SELECT asked || ' ' || rung || ' ' || (SELECT count(*) FROM lontaris_answers) "
                                      "FROM lontaris_games")),
                 QStringLiteral("1 1 1"));
    }

    void thePupilsReadNoRightAnswerNorTheRecord()
    {
        teacherWith({QStringLiteral("Dung")});
        const auto pupil = machine(QStringLiteral("pupil1"));
        const auto teacher = opened(m_owner);
        QVERIFY(pupil->questionAt(db::QuestionTable::Muc1, 0)->traloi.isNull());
        QVERIFY(pupil->answeredQuestionFrom(db::QuestionTable::Thuthach, 0)->traloi.isNull());
        QVERIFY(!teacher->questionAt(db::QuestionTable::Muc1, 0)->traloi.isEmpty());
        const auto c = client(QStringLiteral("pupil1"));
        for (const char *sql : {"SELECT * FROM lontaris_games", "SELECT * FROM lontaris_drawn", "SELECT * FROM lontaris_answers",
                                "DELETE FROM lontaris_answers", "SELECT * FROM lontaris_lifelines",
                                "SELECT lontaris_random(4)", "SELECT * FROM lontaris_held_answer('x', 'y')"})
            QVERIFY2(!c->exec(QLatin1String(sql)).ok(), sql);
    }
};

QTEST_MAIN(TestServerReferee)
#include "test_serverreferee.moc"
