// Two machines on one server: a change one makes to a question table is
// counted by the other at its next look, whether or not its event loop turned
// in between (the server's notifications, read at the next look).

#include "gamedb.h"
#include "pgserver.h"
#include "testsupport.h"

#include <QTest>
#include <chrono>
#include <thread>

class TestServerNotify : public testkit::ServerTest {
    Q_OBJECT
private slots:
    void aChangeElsewhereIsCountedAtTheNextLook_data() { testkit::twoCases("eventLoop", "no event loop in between", "the event loop turned"); }
    void aChangeElsewhereIsCountedAtTheNextLook()
    {
        QFETCH(bool, eventLoop);
        const QString location = m_server.createDatabase(QStringLiteral("db%1").arg(eventLoop));
        db::GameDb here{QString()}, there{QString()};
        here.setLocation(location);
        there.setLocation(location);
        QVERIFY(here.open().usable());
        QVERIFY(there.open().usable());
        for (db::QuestionTable t : {db::QuestionTable::Thungrac, db::QuestionTable::Muc2}) {
            const int before = here.questionCount(t);
            QCOMPARE(here.questionCount(t), before); // counted once: no statement at the next look
            QCOMPARE(there.questionCount(t), before);
            db::Question q;
            q.id = before + 1;
            q.cauhoi = QStringLiteral("Câu hỏi mới");
            q.traloi = QStringLiteral("A");
            QVERIFY(there.appendQuestion(t, q));
            // The server tells the other connection a moment after the commit.
            if (eventLoop)
                QTest::qWait(200);
            else
                std::this_thread::sleep_for(std::chrono::milliseconds(200));
            QCOMPARE(here.questionCount(t), before + 1);
            QVERIFY(there.deleteQuestionsWithId(t, before + 1));
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            QCOMPARE(here.questionCount(t), before);
        }
    }
};

QTEST_GUILESS_MAIN(TestServerNotify)
#include "test_servernotify.moc"
