// The living stage: mottos, clocks, drifting decorations and random colours, the
// hover effects, and hidden forms that stop their on-screen timers.

#include "hotseatfixture.h"
#include "hotseat/clearspace.h"

#include <QApplication>
#include <QLabel>
#include <functional>
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
    void theGlyphsMapIsKeptUntilTheStageChanges();
    void aTextTakesNoRoomBeyondItsLabel();
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
    for (int step = 1; step <= 22; ++step) { // two rounds; step 11 changes nothing
        const QString cd1 = cap(f, "cd1"), cd2 = cap(f, "cd2");
        testkit::tick(f, "Timer16");
        const int n = (step - 1) % 11 + 1;
        QCOMPARE(cap(f, "cd1"), n <= 10 && n % 2 ? mottos[n - 1] : cd1);
        QCOMPARE(cap(f, "cd2"), n <= 10 && n % 2 == 0 ? mottos[n - 1] : cd2);
    }
    QCOMPARE(f->findChild<LegacyTimer *>("Timer16")->legacyInterval(), 3000);
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
    // Loading counted a minute (59); the next one turns the hour.
    QCOMPARE(cap(f, "phut"), QStringLiteral("59"));
    testkit::tick(f, "Timer18");
    QCOMPARE(cap(f, "phut"), QStringLiteral("0"));
    QCOMPARE(cap(f, "gio"), QStringLiteral("3"));
}

void HotSeatPresentationTest::decorationsDriftButStayOnTheStage()
{
    testkit::GameHarness h;
    Player p;
    p.lock.hienten = QStringLiteral("1");
    HotSeatForm *f = enter(h, p);
    f->resize(1000, 700);
    QList<QRect> places;
    for (int i = 0; i < 14; ++i)
        places.append(label(f, QStringLiteral("met(%1)").arg(i))->geometry());
    auto at = [f](int i) { return label(f, QStringLiteral("met(%1)").arg(i))->geometry(); };

    // A tick moves each glyph by the form's size times (r - 0.5) / 500 (two draws),
    // then six labels take a colour of three draws each (46 draws in all). A glyph
    // whose way is clear drifts exactly so; one whose place is taken by a text or
    // a control is put where it covers nothing.
    QList<const QWidget *> glyphs;
    for (int i = 0; i < 14; ++i)
        glyphs.append(label(f, QStringLiteral("met(%1)").arg(i)));
    const ClearSpace clear(f, glyphs);
    int k = 0;
    while (k < 13 && !(clear.isClear(places[k]) && clear.isClear(places[k].translated(5, 0))))
        ++k;
    QVERIFY(clear.isClear(places[k]));
    for (int t = 0; t < 10; ++t) { // met(k): half a pixel right each tick
        h.s.randoms.insert(h.s.randoms.end(), 2 * k, 0.5);
        h.s.randoms.push_back(0.75);
        h.s.randoms.insert(h.s.randoms.end(), 45 - 2 * k, 0.5);
    }
    testkit::tick(f, "Timer15", 10);
    QCOMPARE(at(k), places[k].translated(5, 0));
    QCOMPARE(at(k + 1), places[k + 1]);
    h.s.randoms.assign(28, 0.5);
    h.s.randoms.insert(h.s.randoms.end(), {0.0, 0.5, 1.0 - 1e-9});
    testkit::tick(f, "Timer15");
    QCOMPARE(label(f, "cd1")->foreColor(), QColor(0, 128, 255));
    QCOMPARE(label(f, "Label20a")->foreColor(), QColor(128, 128, 128));

    // A long game of steps all one way: every glyph stays on the form, covering nothing.
    h.s.randoms.assign(3000 * 46, 0.999);
    testkit::tick(f, "Timer15", 3000);
    const QList<QRect> taken = ClearSpace::covered(f, glyphs);
    for (int i = 0; i < 14; ++i) {
        const QRect r = at(i);
        if (!label(f, QStringLiteral("met(%1)").arg(i))->isVisibleTo(f))
            continue; // no clear place near its own at this size
        QVERIFY2(f->rect().contains(r), qPrintable(QString::number(i)));
        for (const QRect &t : taken)
            QVERIFY2(!r.intersects(t), qPrintable(QString::number(i)));
    }
    const QPoint off = at(k).center() - places[k].center();
    QVERIFY(qAbs(off.x()) <= 20 && qAbs(off.y()) <= 20);
}

void HotSeatPresentationTest::theGlyphsMapIsKeptUntilTheStageChanges()
{
    testkit::GameHarness h;
    Player p;
    p.lock.hienten = QStringLiteral("1");
    HotSeatForm *f = onFirstQuestion(h, 30, p);
    QVERIFY(f->isVisible());
    QList<const QWidget *> glyphs;
    for (int i = 0; i < 14; ++i)
        glyphs.append(label(f, QStringLiteral("met(%1)").arg(i)));
    testkit::tick(f, "Timer15");
    auto *kept = f->findChild<LiveClearSpace *>();
    QVERIFY(kept);
    // Ticks that change nothing make nothing again.
    const int made = kept->rebuilds();
    testkit::tick(f, "Timer15", 5);
    QCOMPARE(kept->rebuilds(), made);
    QVERIFY(kept->map() == ClearSpace(f, glyphs));

    // Whatever changes what the glyphs must keep clear of is in the map by the next tick.
    QWidget *panel = testkit::widget(f, "questionPanel");
    const std::pair<const char *, std::function<void()>> changes[] = {
        {"form resized", [f] { f->resize(1100, 700); }},
        {"panel hidden", [f] { testkit::widget(f, "lock113")->hide(); }},
        {"text changed", [f] { label(f, "Label17")->setCaption(QStringLiteral("Xin chaìo")); }},
        {"text aligned", [f] { label(f, "Label17")->setAlignment(Qt::AlignLeft | Qt::AlignVCenter); }},
        {"label filled", [f] { label(f, "Label8")->setBackColor(QColor(9, 9, 9)); }},
        {"font enlarged", [f] { label(f, "Label17")->setFontPointSize(20); }},
        {"label moved", [f] { label(f, "Label8")->move(300, 300); }},
        {"label added", [f, panel] {
             auto *added = new QLabel(QStringLiteral("x"), panel);
             added->setObjectName(QStringLiteral("added"));
             added->move(panel->mapFrom(f, label(f, "met(4)")->pos())); // where a glyph found room
             added->show();
         }},
        {"added label moved",
         [f, panel] { testkit::widget(f, "added")->move(panel->mapFrom(f, label(f, "met(6)")->pos())); }},
        {"panel raised over the glyphs", [panel] { panel->raise(); }},
    };
    for (const auto &[what, change] : changes) {
        const ClearSpace before(f, glyphs);
        change();
        testkit::tick(f, "Timer15");
        const ClearSpace now(f, glyphs);
        QVERIFY2(!(now == before), what); // a change the map must show
        QVERIFY2(kept->map() == now, what);
    }
}

void HotSeatPresentationTest::aTextTakesNoRoomBeyondItsLabel()
{
    QWidget form;
    form.resize(200, 200);
    auto *glyph = new QLabel(QStringLiteral("\u2726"), &form);
    QFont large = glyph->font();
    large.setPointSize(30);
    glyph->setFont(large);
    glyph->setGeometry(50, 50, 15, 15);
    const QList<QRect> taken = ClearSpace::covered(&form, {});
    QCOMPARE(taken.size(), 1);
    QVERIFY(glyph->geometry().adjusted(-2, -2, 2, 2).contains(taken[0]));
}

void HotSeatPresentationTest::hoverEffectsFollowTheMouse()
{
    testkit::GameHarness h;
    HotSeatForm *f = onFirstQuestion(h);
    auto looks = [f](const char *name, int points, const QColor &c) {
        return label(f, name)->fontPointSize() == points && label(f, name)->foreColor() == c;
    };
    hover(label(f, "Label3"));
    QVERIFY(looks("Label3", 13, QColor(0, 0, 255)));
    label(f, "Label9")->setEnabled(true);
    hover(label(f, "Label9"));
    QVERIFY(looks("Label9", 13, QColor(0, 0, 192)));
    for (const char *button : {"Label4", "stop113", "strart", "trunggian"}) {
        label(f, button)->show();
        label(f, button)->setEnabled(true);
        hover(label(f, button));
        QVERIFY(looks(button, 0, QColor(255, 0, 0)) && label(f, button)->isBold());
    }
    // The stage around the buttons calms them; bold stays.
    hover(testkit::widget(f, "imgBlue(0)"));
    QVERIFY(looks("Label9", 11, QColor(0, 0, 255)));
    for (const char *button : {"Label3", "stop113", "trunggian", "strart", "Label4"})
        QVERIFY2(looks(button, 12, QColor(255, 255, 0)), button);
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
    QVERIFY(timer(f, "Timer15")->isActive());
    f->hide();
    for (const char *name : {"Timer2", "Timer15", "Timer16"})
        QVERIFY2(!timer(f, name)->isActive() && timer(f, name)->isEnabled(), name);
    QVERIFY(timer(f, "Timer18")->isActive()); // play time still counts
    f->show();
    QVERIFY(timer(f, "Timer15")->isActive());
}

QTEST_MAIN(HotSeatPresentationTest)
#include "test_presentation.moc"
