// A laptop's screen as a new player meets the programs: every window opens
// inside the screen and stays usable from 1280×720 up, nothing added to a form
// covers its controls or texts, every text reads on what lies behind it in the
// states the game sets, and the toolkit's own buttons speak Vietnamese.

#include "../../editor/editorharness.h"
#include "../hotseat/lifelinefixture.h"

#include "accounts/recoveryform.h"
#include "accounts/registerform.h"
#include "hotseat/clearspace.h"
#include "numtext.h"
#include "contrast.h"
#include "qualifying/qualifyingform.h"
#include "screenfit.h"
#include "toolkittexts.h"

#include <QDialogButtonBox>

using namespace hs;

namespace {
// A 1280×720 laptop and a 1366×768 one, less a 40-pixel panel.
const QRect kSmall(0, 0, 1280, 680);
const QRect kLaptop(0, 0, 1366, 728);
const QMargins kFrame(6, 34, 6, 6);

// Every text and control of a form that `added` must stay clear of.
void checkNothingCovered(QWidget *form, const QList<const QWidget *> &added)
{
    const QList<QRect> taken = ClearSpace::covered(form, added);
    for (const QWidget *w : added) {
        if (!w->isVisibleTo(form))
            continue;
        const QRect r(w->mapTo(form, QPoint(0, 0)), w->size());
        QVERIFY2(form->rect().adjusted(4, 4, -4, -4).contains(r), qPrintable(w->objectName()));
        for (const QRect &t : taken)
            QVERIFY2(!r.intersects(t), qPrintable(QStringLiteral("%1 at %2,%3 over %4,%5 %6x%7")
                                                     .arg(w->objectName()).arg(r.x()).arg(r.y()).arg(t.x())
                                                     .arg(t.y()).arg(t.width()).arg(t.height())));
    }
}

void checkReadable(LegacyLabel *l)
{
    const QColor shown = l->shownForeColor();
    const double needed = contrast::minimumFor(l->font());
    QVERIFY2(!l->backdrop().isEmpty(), qPrintable(l->objectName()));
    for (const QColor &behind : l->backdrop())
        QVERIFY2(contrast::ratio(shown, behind) >= needed,
                 qPrintable(QStringLiteral("%1: %2 on %3 is %4:1").arg(l->objectName(), shown.name(), behind.name())
                                .arg(contrast::ratio(shown, behind))));
    // The hue of the designed colour stays (greys and the extremes have none).
    const QColor fore = l->foreColor();
    if (fore.hslSaturation() > 40 && fore.lightness() > 20 && fore.lightness() < 235)
        QVERIFY2(qAbs(shown.hslHue() - fore.hslHue()) <= 3, qPrintable(l->objectName()));
}
} // namespace

class ScreenTest : public QObject {
    Q_OBJECT
private slots:
    void aWindowIsScaledDownAndBroughtInside();
    void everyWindowFitsASmallLaptop();
    void addedControlsCoverNothing();
    void textsReadInEveryStateTheGameSets();
    void toolkitButtonsSpeakVietnamese();
};

void ScreenTest::aWindowIsScaledDownAndBroughtInside()
{
    struct Case {
        QSize designed, smallest, area, expected;
    } const cases[] = {
        {{1280, 820}, {960, 600}, {1366, 728}, {1073, 688}}, // scaled, proportions kept
        {{1280, 820}, {960, 600}, {1600, 1000}, {1280, 820}}, // fits: unchanged
        {{1280, 820}, {960, 640}, {1280, 600}, {960, 640}},   // never below what the layout needs
        {{600, 440}, {0, 0}, {1280, 680}, {600, 440}},
    };
    for (const Case &c : cases)
        QCOMPARE(screenfit::fittedSize(c.designed, c.smallest, kFrame, c.area), c.expected);

    // A remembered place on a screen that is gone, larger than this one.
    QWidget w;
    w.setGeometry(3000, -200, 1600, 1000);
    screenfit::fitInto(&w, kLaptop);
    QVERIFY(kLaptop.contains(QRect(w.pos(), w.size().grownBy(kFrame))));
    // Never placed and too large: scaled, in the middle of the area.
    QWidget v;
    v.resize(1600, 1000);
    screenfit::fitInto(&v, kLaptop);
    QCOMPARE(QRect(v.pos(), v.size().grownBy(kFrame)).center(), kLaptop.center());
}

void ScreenTest::everyWindowFitsASmallLaptop()
{
    testkit::GameHarness h;
    fillLevels(*h.database, 3, 3, 3);
    EditorHarness e;
    QList<QWidget *> windows = {h.app->login(), h.app->registration(), h.app->recovery(), h.app->briefing(),
                                h.app->qualifying(), h.app->hotseat(), e.app->login(), e.app->editor()};
    for (QWidget *w : windows) {
        w->show();
        for (const QRect &area : {kSmall, kLaptop}) {
            w->resize(1600, 1000);
            w->move(200, 100);
            screenfit::fitInto(w, area);
            QVERIFY2(area.contains(w->frameGeometry()), qPrintable(w->objectName()));
            // What the window needs fits, so every control has its room.
            QVERIFY2(w->size().expandedTo(w->minimumSizeHint()) == w->size(), qPrintable(w->objectName()));
        }
        w->hide();
    }
}

void ScreenTest::addedControlsCoverNothing()
{
    testkit::GameHarness h;
    fillLevels(*h.database, 3, 3, 3);
    // The qualifying round's sound control, on a large screen and a small one.
    QualifyingForm *q = h.app->qualifying();
    q->show();
    for (const QSize s : {QSize(1600, 960), q->minimumSizeHint()}) {
        q->resize(s);
        QTest::qWait(1);
        checkNothingCovered(q, {testkit::widget(q, QStringLiteral("soundPanel"))});
    }
    q->hide();

    // The hot seat with the top five shown: the glyphs wander, covering nothing.
    Player p;
    p.lock.hienten = QStringLiteral("1");
    HotSeatForm *f = enter(h, p);
    f->show();
    firstQuestion(f);
    testkit::click(label(f, "Label9")); // the board
    QList<const QWidget *> glyphs;
    for (int i = 0; i < 14; ++i)
        glyphs.append(label(f, QStringLiteral("met(%1)").arg(i)));
    for (const QSize s : {QSize(960, 600), QSize(1280, 820), QSize(1600, 1000)}) {
        f->resize(s);
        QTest::qWait(1);
        h.s.randoms.assign(40 * 46, 0.95);
        testkit::tick(f, "Timer15", 40);
        checkNothingCovered(f, glyphs);
        checkNothingCovered(f, {testkit::widget(f, QStringLiteral("soundPanel"))});
        int shownGlyphs = 0;
        for (const QWidget *g : glyphs)
            shownGlyphs += g->isVisibleTo(f);
        QVERIFY2(shownGlyphs >= 10, qPrintable(QString::number(shownGlyphs)));
    }
}

void ScreenTest::textsReadInEveryStateTheGameSets()
{
    QCOMPARE(qRound(contrast::ratio(Qt::black, Qt::white) * 100), 2100);
    QCOMPARE(qRound(contrast::ratio(QColor(0, 0, 255), Qt::white) * 100), 859);
    QCOMPARE(contrast::ratio(QColor(9, 9, 9), QColor(9, 9, 9)), 1.0);

    testkit::GameHarness h;
    fillLevels(*h.database, 30, 30, 30);
    HotSeatForm *f = enter(h);
    // The briefing title's random colours, dark teal on the stage among them.
    LegacyLabel *title = testkit::child<LegacyLabel>(h.app->briefing(), QStringLiteral("tieude"));
    for (const auto &draw : {std::array{0.0, 0.5, 0.5}, std::array{0.0, 0.0, 0.0}, std::array{0.0, 0.0, 0.999},
                             std::array{0.6, 0.1, 0.1}, std::array{0.999, 0.999, 0.999}}) {
        h.s.randoms.assign(draw.begin(), draw.end());
        QVERIFY(testkit::tick(h.app->briefing(), "Timer1"));
        QCOMPARE(title->foreColor().green(), int(num::roundHalfEven(draw[1] * 255))); // the draw itself stays
        checkReadable(title);
    }

    // The lifelines lit in turn during the opening.
    for (int step = 1; step <= 8; ++step) {
        testkit::tick(f, "Timer12");
        for (const char *life : {"chon50", "Label5", "Label13"})
            checkReadable(label(f, life));
    }
    testkit::click(label(f, "strart"));
    // The stage buttons under the mouse.
    for (const char *button : {"Label3", "strart", "stop113"}) {
        hover(label(f, button));
        checkReadable(label(f, button));
    }
    // Milestone reached (the bar under it), won rows, the picked and the wrong answer.
    winUpTo(f, 5);
    for (int row = 0; row < 15; ++row)
        checkReadable(label(f, QStringLiteral("so%1").arg(row)));
    testkit::tick(f, "Timer3");
    pick(f, wrongLetter(f));
    auto readsOn = [f](int box) {
        ShapeBox *b = testkit::child<ShapeBox>(f, QStringLiteral("da(%1)").arg(box));
        const QColor fill = b->shownFillColor();
        return contrast::ratio(fill, Qt::white) >= 4.5 && contrast::ratio(fill, QColor(255, 180, 40)) >= 3.0;
    };
    for (int box = 0; box < 4; ++box)
        QVERIFY(readsOn(box));
    testkit::click(label(f, "Label4"));
    for (int box = 0; box < 4; ++box)
        QVERIFY(readsOn(box));
    // The running line's and the options' random colours.
    h.s.randoms.assign(46, 0.3);
    testkit::tick(f, "Timer15");
    for (const char *name : {"cd1", "cd2", "Label20a"})
        checkReadable(label(f, name));
}

void ScreenTest::toolkitButtonsSpeakVietnamese()
{
    ui::installToolkitTexts();
    QMessageBox box(QMessageBox::Question, QString(), QString(),
                    QMessageBox::Ok | QMessageBox::Cancel | QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(box.button(QMessageBox::Ok)->text(), QStringLiteral("Đồng ý"));
    QCOMPARE(box.button(QMessageBox::Cancel)->text(), QStringLiteral("Hủy"));
    QCOMPARE(box.button(QMessageBox::Yes)->text().remove(u'&'), QStringLiteral("Có"));
    QCOMPARE(box.button(QMessageBox::No)->text().remove(u'&'), QStringLiteral("Không"));
    QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QCOMPARE(buttons.button(QDialogButtonBox::Ok)->text().remove(u'&'), QStringLiteral("Đồng ý"));
    // The programs' own texts are never touched.
    QCOMPARE(QCoreApplication::translate("Lontaris", "OK"), QStringLiteral("OK"));
}

QTEST_MAIN(ScreenTest)
#include "test_screen.moc"
