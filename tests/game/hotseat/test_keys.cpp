// The hot seat played from the keyboard: every key does exactly what the click it
// stands for does (two games side by side, one clicked and one keyed, must stay
// identical), nothing on a control a click could not reach, and the focus, mute,
// full-screen and window-place keys.

#include "desktop/windowkeeper.h"
#include "hotseatfixture.h"
#include "sound.h"

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>

using namespace hs;

namespace {
// Everything a player or the rest of the game can see of the form.
QStringList snapshot(testkit::GameHarness &h, HotSeatForm *f)
{
    QStringList out = testkit::widgetSnapshot(f, true);
    out << f->socauhoi() << f->so() << f->ttoan() << f->dapandung() << f->cuaban() << f->questionId()
        << h.s.effects.played.join(QLatin1Char(','));
    return out;
}

struct Twins {
    testkit::GameHarness clicked, keyed;
    HotSeatForm *c = nullptr, *k = nullptr;
    Twins()
    {
        for (testkit::GameHarness *h : {&clicked, &keyed})
            fillLevels(*h->database, 40, 40, 40);
        c = enter(clicked);
        k = enter(keyed);
        k->activateWindow();
        k->setFocus();
    }
    void click(const QString &name) { testkit::click(testkit::widget(c, name)); }
    // What has no key of its own (a lifeline button) is clicked on both.
    void clickBoth(const QString &name)
    {
        testkit::click(testkit::widget(c, name));
        testkit::click(testkit::widget(k, name));
    }
    void key(Qt::Key key) { QTest::keyClick(k, key); }
    bool same() { return snapshot(clicked, c) == snapshot(keyed, k); }
};
} // namespace

class TestHotSeatKeys : public QObject {
    Q_OBJECT
private slots:
    void eachKeyActsExactlyAsItsClick()
    {
        Twins t;
        QVERIFY(t.same());
        t.key(Qt::Key_Return); // Start is still disabled during the opening: nothing
        QVERIFY(t.same());
        for (HotSeatForm *f : {t.c, t.k})
            testkit::tick(f, QStringLiteral("Timer12"), 8);

        t.click(QStringLiteral("strart"));
        t.key(Qt::Key_Return);
        QVERIFY(t.same());
        QVERIFY(usable(t.k, QStringLiteral("traloi2")));

        t.click(QStringLiteral("traloi2"));
        t.key(Qt::Key_B);
        QVERIFY(t.same());
        QCOMPARE(t.k->cuaban(), QStringLiteral("B"));

        t.key(Qt::Key_C); // the answers are locked while a pick waits
        QVERIFY(t.same());

        t.click(QStringLiteral("stop113")); // "Không"
        t.key(Qt::Key_Escape);
        QVERIFY(t.same());
        QCOMPARE(t.k->cuaban(), QStringLiteral("?"));
        t.key(Qt::Key_Escape); // the second button now reads "Dừng": Esc never stops the game
        QVERIFY(t.same());

        const int right = indexOf(t.k->dapandung());
        t.click(QStringLiteral("traloi%1").arg(right + 1));
        t.key(Qt::Key(Qt::Key_1 + right));
        t.click(QStringLiteral("Label4")); // "Có"
        t.key(Qt::Key_Enter);
        QVERIFY(t.same());
        QCOMPARE(questionsWon(t.k), 1);
        t.key(Qt::Key_Return); // nothing to press until the next question comes by itself
        QVERIFY(t.same());

        for (HotSeatForm *f : {t.c, t.k})
            testkit::tick(f, QStringLiteral("Timer3"));
        // A lifeline offer: Esc declines it, Enter takes it.
        t.clickBoth(QStringLiteral("Label5"));
        t.click(QStringLiteral("stop113"));
        t.key(Qt::Key_Escape);
        QVERIFY(t.same());
        QVERIFY(label(t.k, QStringLiteral("Label5"))->isEnabled());
        t.clickBoth(QStringLiteral("Label5"));
        t.click(QStringLiteral("trunggian"));
        t.key(Qt::Key_Return);
        QVERIFY(t.same());
        QVERIFY(!label(t.k, QStringLiteral("Label5"))->isEnabled());
        for (HotSeatForm *f : {t.c, t.k})
            testkit::tick(f, QStringLiteral("Timer13"), 4);
        t.clickBoth(QStringLiteral("ok"));
        QVERIFY(t.same());
        const int wrong = indexOf(wrongLetter(t.k));
        t.click(QStringLiteral("traloi%1").arg(wrong + 1));
        t.key(Qt::Key(Qt::Key_A + wrong));
        t.click(QStringLiteral("Label4"));
        t.key(Qt::Key_Return);
        QVERIFY(t.same());
        QCOMPARE(cap(t.k, QStringLiteral("stop113")), QStringLiteral("Keát Thuùc"));

        t.click(QStringLiteral("stop113")); // End: the closing text
        t.key(Qt::Key_Return);
        QVERIFY(t.same());
        QVERIFY(!shown(t.k, QStringLiteral("stop113")));
        t.key(Qt::Key_Return); // only the exit is left, and Enter never leaves
        QVERIFY(t.same());
        QCOMPARE(t.keyed.s.endCount, 0);
    }

    void labelButtonsTakeTabSpaceAndGiveTheFocusBack()
    {
        testkit::GameHarness h;
        fillLevels(*h.database, 40, 40, 40);
        HotSeatForm *f = enter(h);
        f->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f));
        testkit::tick(f, QStringLiteral("Timer12"), 8);
        LegacyLabel *start = label(f, QStringLiteral("strart"));
        QCOMPARE(start->focusPolicy(), Qt::TabFocus);
        start->setFocus(Qt::TabFocusReason);
        QVERIFY(start->hasFocus());
        QTest::keyClick(start, Qt::Key_Space);
        QVERIFY(usable(f, QStringLiteral("traloi1"))); // Start ran
        // Start hid itself: the focus went back to the form, not on to "Dừng".
        QVERIFY(!label(f, QStringLiteral("stop113"))->hasFocus());
        QTest::keyClick(f, Qt::Key_A);
        QCOMPARE(f->cuaban(), QStringLiteral("A"));
    }

    void afterTheCallAKeyedPickWaitsOnYes()
    {
        testkit::GameHarness h;
        HotSeatForm *f = onFirstQuestion(h);
        f->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f));
        // A key goes where the keyboard's focus is, as the window system sends it.
        auto press = [f](Qt::Key key) {
            QWidget *focus = QApplication::focusWidget();
            QTest::keyClick(focus ? focus : f, key);
        };
        testkit::click(label(f, QStringLiteral("Label5")));
        testkit::click(label(f, QStringLiteral("trunggian")));
        testkit::tick(f, QStringLiteral("Timer13"), 4);
        LegacyLabel *ok = label(f, QStringLiteral("ok"));
        ok->setFocus(Qt::TabFocusReason);
        QVERIFY(ok->hasFocus());
        press(Qt::Key_Space); // the panel closes
        QVERIFY(usable(f, QStringLiteral("lock113")));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(f)); // not on to a stage button

        // Tabbed onto "Dừng", then a pick: the focus moves to "Có".
        label(f, QStringLiteral("stop113"))->setFocus(Qt::TabFocusReason);
        press(Qt::Key(Qt::Key_A + indexOf(f->dapandung())));
        QCOMPARE(f->cuaban(), f->dapandung());
        QVERIFY(label(f, QStringLiteral("Label4"))->hasFocus());
        press(Qt::Key_Return);
        QCOMPARE(questionsWon(f), 1);
    }

    void muteKeyAndSpeakerShareOneSetting()
    {
        testkit::GameHarness h;
        HotSeatForm *f = enter(h);
        QVERIFY(!h.app->mixer().muted());
        QTest::keyClick(f, Qt::Key_M);
        QVERIFY(h.app->mixer().muted());
        testkit::click(testkit::widget(f, QStringLiteral("speaker")));
        QVERIFY(!h.app->mixer().muted());
    }

    void windowGoesFullScreenAndKeepsItsPlace()
    {
        QTemporaryDir dir;
        QSettings store(dir.filePath(QStringLiteral("s.ini")), QSettings::IniFormat);
        {
            QWidget w;
            w.setObjectName(QStringLiteral("Form1"));
            new WindowKeeper(&w, &store);
            w.setGeometry(100, 120, 900, 640);
            w.show();
            QTest::keyClick(&w, Qt::Key_F11);
            QVERIFY(w.windowState() & Qt::WindowFullScreen);
            QTest::keyClick(&w, Qt::Key_F11);
            QVERIFY(!(w.windowState() & Qt::WindowFullScreen));
            w.hide();
        }
        QWidget again;
        again.setObjectName(QStringLiteral("Form1"));
        new WindowKeeper(&again, &store);
        QCOMPARE(again.size(), QSize(900, 640));
    }
};

QTEST_MAIN(TestHotSeatKeys)
#include "test_keys.moc"
