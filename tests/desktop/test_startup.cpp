// The database of a program opens right after its first window is painted,
// and never later than the first key or click: a player's first action always
// finds it open.

#include "startup.h"
#include "testsupport.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QWidget>

namespace {
// A window that notes the clicks it gets and whether the database was open then.
class Window : public QWidget {
public:
    explicit Window(db::GameDb &d) : m_db(d) { resize(200, 100); }
    int clicks = 0;
    bool openAtClick = false;

protected:
    void mousePressEvent(QMouseEvent *) override
    {
        ++clicks;
        openAtClick = m_db.isOpen();
    }

private:
    db::GameDb &m_db;
};
} // namespace

class TestStartup : public QObject {
    Q_OBJECT
private slots:
    void opensAfterTheFirstPaint()
    {
        testkit::ProgramFolder folder;
        db::GameDb database(folder.path());
        Window w(database);
        startup::openAfterFirstPaint(&w, database, QStringLiteral("Test"), {});
        QCoreApplication::processEvents();
        QVERIFY(!database.isOpen()); // nothing painted, nothing asked for
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTRY_VERIFY(database.isOpen());
        QVERIFY(QFileInfo::exists(folder.dbPath()));
    }

    void opensEvenWhenTheWindowIsNeverShown()
    {
        testkit::ProgramFolder folder;
        db::GameDb database(folder.path());
        Window w(database);
        startup::openAfterFirstPaint(&w, database, QStringLiteral("Test"), {});
        QTRY_VERIFY_WITH_TIMEOUT(database.isOpen(), 5000);
    }

    void aClickBeforeThePaintFindsItOpen()
    {
        testkit::ProgramFolder folder;
        db::GameDb database(folder.path());
        Window w(database);
        startup::openAfterFirstPaint(&w, database, QStringLiteral("Test"), {});
        QTest::mouseClick(&w, Qt::LeftButton); // never shown, never painted
        QCOMPARE(w.clicks, 1);
        QVERIFY(w.openAtClick);
    }

    void aClickBetweenThePaintAndTheOpenFindsItOpen()
    {
        testkit::ProgramFolder folder;
        db::GameDb database(folder.path());
        Window w(database);
        startup::openAfterFirstPaint(&w, database, QStringLiteral("Test"), {});
        QPaintEvent painted(w.rect());
        QCoreApplication::sendEvent(&w, &painted); // the open waits for the next turn
        QTest::mouseClick(&w, Qt::LeftButton);
        QCOMPARE(w.clicks, 1);
        QVERIFY(w.openAtClick);
    }
};

QTEST_MAIN(TestStartup)
#include "test_startup.moc"
