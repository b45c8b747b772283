// The living stage: mottos, clocks, drifting decorations and random colours, the
// hover effects, and hidden forms that stop their on-screen timers.

#include "hotseatfixture.h"

#include <QApplication>
#include <QMouseEvent>

using namespace hs;

namespace {
void hover(QWidget *w, QPoint at = QPoint(1, 1))
{
    QMouseEvent move(QEvent::MouseMove, QPointF(at), w->mapToGlobal(QPointF(at)), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(w, &move);
}

LegacyTimer *timer(QObject *form, const char *name)
{
    return form->findChild<LegacyTimer *>(QString::fromLatin1(name));
}
} // namespace

class HotSeatPresentationTest : public QObject {
    Q_OBJECT
private slots:
    void mottosCycleEveryElevenSteps();
    void clocksShowTheTimeAndCountPlay();
    void decorationsDriftButStayOnTheStage();
    void hoverEffectsFollowTheMouse();
    void hiddenFormsStopTheirScreenTimers();
};

void HotSeatPresentationTest::mottosCycleEveryElevenSteps()
{
    testkit::GameHarness h;
    HotSeatForm *f = enter(h);
    const QString mottos[10] = {
        QStringLiteral("Bình tænh"),     QStringLiteral("Toâi yeâu baïn"), QStringLiteral("Coá leân"),
        QStringLiteral("Quyeát thaéng"), QStringLiteral("Töï tin"),        QStringLiteral("Tin ôû baûn thaân"),
        QStringLiteral("Thaàn töôïng"),  QStringLiteral("Tri thöùc"),      QStringLiteral("Töï haøo"),
        QStringLiteral("Vieät Nam")};
    QCOMPARE(cap(f, "cd1"), QStringLiteral("Töï tin "));
    QCOMPARE(cap(f, "cd2"), QStringLiteral("Coá leân"));
    for (int round = 0; round < 2; ++round) {
        for (int step = 1; step <= 10; ++step) {
            testkit::tick(f, "Timer16");
            QCOMPARE(cap(f, step % 2 ? "cd1" : "cd2"), mottos[step - 1]);
        }
        // Step 11 changes nothing and starts over; "Vieät Nam" stays until step 2.
        const QString cd1 = cap(f, "cd1");
        testkit::tick(f, "Timer16");
        QCOMPARE(cap(f, "cd1"), cd1);
        testkit::tick(f, "Timer16");
        QCOMPARE(cap(f, "cd1"), mottos[0]);
        QCOMPARE(cap(f, "cd2"), QStringLiteral("Vieät Nam"));
        testkit::tick(f, "Timer16", 9); // back to the end of the round
        QCOMPARE(cap(f, "cd2"), QStringLiteral("Vieät Nam"));
        testkit::tick(f, "Timer16"); // step 11
    }
}

void HotSeatPresentationTest::clocksShowTheTimeAndCountPlay()
{
    testkit::GameHarness h;
    h.addAccount(QStringLiteral("an"), QStringLiteral("pw"), QStringLiteral("2200"), QStringLiteral("3"));
    h.database->updateAccount(QStringLiteral("an"), {{QStringLiteral("gio"), QStringLiteral("2")},
                                                     {QStringLiteral("phut"), QStringLiteral("58")}});
    h.s.clock = QDateTime(QDate(2026, 12, 7), QTime(9, 5, 3));
    HotSeatForm *f = enter(h);
    testkit::tick(f, "Timer2");
    QCOMPARE(cap(f, "Label8"), QStringLiteral("09:05:03 "));
    h.s.clock = QDateTime(QDate(2026, 12, 7), QTime(23, 59, 59));
    testkit::tick(f, "Timer2");
    QCOMPARE(cap(f, "Label8"), QStringLiteral("23:59:59 "));

    // Loading counted a minute (59); the next one turns the hour.
    QCOMPARE(cap(f, "phut"), QStringLiteral("59"));
    testkit::tick(f, "Timer18");
    QCOMPARE(cap(f, "phut"), QStringLiteral("0"));
    QCOMPARE(cap(f, "gio"), QStringLiteral("3"));
    testkit::tick(f, "Timer18");
    QCOMPARE(cap(f, "phut"), QStringLiteral("1"));
}

void HotSeatPresentationTest::decorationsDriftButStayOnTheStage()
{
    testkit::GameHarness h;
    Player p;
    p.lock.hienten = QStringLiteral("1");
    HotSeatForm *f = enter(h, p);
    f->resize(1000, 700);
    QList<LegacyLabel *> glyphs;
    for (int i = 0; i < 14; ++i) {
        glyphs.append(label(f, QStringLiteral("met(%1)").arg(i)));
        QVERIFY(glyphs.last()->isVisibleTo(f));
    }

    QList<QPoint> places;
    for (LegacyLabel *g : glyphs)
        places.append(g->geometry().center());

    // Each tick moves each glyph by the form's size times (r - 0.5) / 500 (two
    // draws), then six labels take a colour of three draws each.
    auto draws = [&h](int ticks, double first) {
        for (int t = 0; t < ticks; ++t) {
            h.s.randoms.push_back(first);
            h.s.randoms.insert(h.s.randoms.end(), 27 + 18, 0.5);
        }
    };
    draws(10, 0.75); // met(0): half a pixel right each tick
    testkit::tick(f, "Timer15", 10);
    QCOMPARE(glyphs[0]->geometry().center(), places[0] + QPoint(5, 0));
    QCOMPARE(glyphs[1]->geometry().center(), places[1]);

    h.s.randoms.assign(28, 0.5);
    h.s.randoms.insert(h.s.randoms.end(), {0.0, 0.5, 1.0 - 1e-9});
    testkit::tick(f, "Timer15");
    QCOMPARE(label(f, "cd1")->foreColor(), QColor(0, 128, 255));
    QCOMPARE(label(f, "Label20a")->foreColor(), QColor(128, 128, 128));

    // A long game of steps all one way: every glyph stays by its place, on the form.
    h.s.randoms.assign(3000 * 46, 0.999);
    testkit::tick(f, "Timer15", 3000);
    for (int i = 0; i < 14; ++i) {
        const QRect r = glyphs[i]->geometry();
        const QPoint off = r.center() - places[i];
        QVERIFY2(f->rect().contains(r) && qAbs(off.x()) <= 20 && qAbs(off.y()) <= 20,
                 qPrintable(QStringLiteral("met(%1)").arg(i)));
    }
}

void HotSeatPresentationTest::hoverEffectsFollowTheMouse()
{
    testkit::GameHarness h;
    fillLevels(*h.database, 30, 30, 30);
    HotSeatForm *f = enter(h);
    firstQuestion(f);
    const QColor red(255, 0, 0), yellow(255, 255, 0), blue(0, 0, 255);

    hover(label(f, "Label3"));
    QCOMPARE(label(f, "Label3")->fontPointSize(), 13);
    QCOMPARE(label(f, "Label3")->foreColor(), blue);
    label(f, "Label9")->setEnabled(true);
    hover(label(f, "Label9"));
    QCOMPARE(label(f, "Label9")->fontPointSize(), 13);
    QCOMPARE(label(f, "Label9")->foreColor(), QColor(0, 0, 192));
    for (const char *button : {"Label4", "stop113", "strart", "trunggian"}) {
        label(f, button)->setVisible(true);
        label(f, button)->setEnabled(true);
        hover(label(f, button));
        QCOMPARE(label(f, button)->foreColor(), red);
        QVERIFY(label(f, button)->isBold());
    }

    // The stage around the buttons calms them; bold stays.
    hover(testkit::widget(f, "imgBlue(0)"));
    QCOMPARE(label(f, "Label9")->fontPointSize(), 11);
    QCOMPARE(label(f, "Label9")->foreColor(), blue);
    for (const char *button : {"Label3", "stop113", "trunggian", "strart", "Label4"}) {
        QCOMPARE(label(f, button)->fontPointSize(), 12);
        QCOMPARE(label(f, button)->foreColor(), yellow);
    }
    QVERIFY(label(f, "Label4")->isBold());

    // Answers thicken the box behind them; the panel between them thins all four.
    const char *boxBehind[4] = {"da(0)", "da(2)", "da(1)", "da(3)"};
    for (int i = 0; i < 4; ++i) {
        hover(label(f, QStringLiteral("traloi%1").arg(i + 1)));
        QCOMPARE(testkit::child<ShapeBox>(f, boxBehind[i])->borderWidth(), 2);
    }
    hover(testkit::widget(f, "lock113"));
    for (const char *box : boxBehind)
        QCOMPARE(testkit::child<ShapeBox>(f, box)->borderWidth(), 1);

    // The background, also through a frame lying on it, turns 50:50 dark red.
    label(f, "chon50")->setForeColor(QColor(0, 255, 0));
    hover(testkit::widget(f, "questionPanel"));
    QCOMPARE(label(f, "chon50")->foreColor(), QColor(128, 0, 0));
}

void HotSeatPresentationTest::hiddenFormsStopTheirScreenTimers()
{
    testkit::GameHarness h;
    HotSeatForm *f = enter(h);
    // The briefing is hidden once the game starts: its title stops changing colour.
    LegacyTimer *title = timer(h.app->briefing(), "Timer1");
    QVERIFY(title->isEnabled() && !title->isActive());

    QVERIFY(f->isVisible());
    for (const char *name : {"Timer2", "Timer15", "Timer16", "Timer18"})
        QVERIFY2(timer(f, name)->isActive(), name);
    f->hide();
    for (const char *name : {"Timer2", "Timer15", "Timer16"})
        QVERIFY2(!timer(f, name)->isActive() && timer(f, name)->isEnabled(), name);
    QVERIFY(timer(f, "Timer18")->isActive()); // play time still counts
    QVERIFY(testkit::tick(f, "Timer16"));     // and a tick can still be run by hand
    f->show();
    QVERIFY(timer(f, "Timer15")->isActive());
}

QTEST_MAIN(HotSeatPresentationTest)
#include "test_presentation.moc"
