// Labels paint their own colours: a colour change leaves the style sheet alone
// (no re-parse), and what is drawn is the colour asked for; the readable shade
// kept between paints follows whatever it was worked out from. The old-style
// timers' ticks held during a wait.

#include "contrast.h"
#include "legacylabel.h"
#include "legacytimer.h"

#include <QImage>
#include <QTest>

namespace {
int pixelsOf(QWidget *w, const QColor &c)
{
    const QImage img = w->grab().toImage();
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            n += img.pixelColor(x, y) == c;
    return n;
}
} // namespace

class LegacyLabelTest : public QObject {
    Q_OBJECT
private slots:
    void coloursArePaintedWithoutRestyling()
    {
        QWidget w;
        w.resize(240, 90);
        auto *l = new LegacyLabel(&w, QStringLiteral("l"), QStringLiteral("\u2588\u2588\u2588"), vn::Encoding::Plain);
        l->setExtraStyle(QStringLiteral("font-size: 30pt;"));
        l->setGeometry(0, 0, 240, 90);
        const QString sheet = l->styleSheet();
        const QColor ink(10, 200, 30), paper(200, 20, 20);

        l->setForeColor(ink);
        l->setBackColor(paper);
        QCOMPARE(l->styleSheet(), sheet);
        QVERIFY(pixelsOf(l, ink) > 300);
        QVERIFY(pixelsOf(l, paper) > 300);
        l->setTransparent();
        QCOMPARE(pixelsOf(l, paper), 0);

        // A disabled button keeps the theme's disabled look whatever its colour.
        l->makeButton();
        l->setEnabled(false);
        QCOMPARE(pixelsOf(l, ink), 0);
        l->setEnabled(true);
        QVERIFY(pixelsOf(l, ink) > 300);

        // Font overrides go through the style sheet, once per change.
        l->setFontPointSize(12);
        QVERIFY(l->styleSheet().contains(QStringLiteral("font-size: 12pt")));
    }

    // The shade kept between paints is the one worked out afresh after any
    // change of what it depends on: colour, backdrop, back colour, text size.
    void theKeptShadeFollowsWhatItComesFrom()
    {
        LegacyLabel l(nullptr, QStringLiteral("l"), QStringLiteral("Ai"));
        auto fresh = [&l] { return contrast::readableOn(l.foreColor(), l.backdrop(), contrast::minimumFor(l.font())); };
        l.setForeColor(QColor(40, 60, 200));
        l.setBackdrop({QColor(6, 13, 54)});
        const QColor onDark = l.shownForeColor();
        QCOMPARE(onDark, fresh());
        l.setBackdrop({QColor(240, 240, 240), QColor(200, 220, 255)});
        QCOMPARE(l.shownForeColor(), fresh());
        QVERIFY(l.shownForeColor() != onDark);
        l.setBackColor(QColor(6, 13, 54));
        QCOMPARE(l.shownForeColor(), onDark);
        l.setForeColor(QColor(120, 20, 20));
        QCOMPARE(l.shownForeColor(), fresh());
        l.setFontPointSize(30);
        l.ensurePolished();
        QCOMPARE(contrast::minimumFor(l.font()), 3.0);
        QCOMPARE(l.shownForeColor(), fresh());

        ShapeBox box(nullptr, QStringLiteral("box"));
        box.setFillColor(QColor(230, 230, 230));
        box.setInks({{QColor(255, 255, 255), 4.5}});
        const QColor underWhite = box.shownFillColor();
        QCOMPARE(underWhite, contrast::readableUnder(QColor(230, 230, 230), {{QColor(255, 255, 255), 4.5}}));
        box.setInks({{QColor(0, 0, 0), 4.5}});
        QCOMPARE(box.shownFillColor(), contrast::readableUnder(QColor(230, 230, 230), {{QColor(0, 0, 0), 4.5}}));
        QVERIFY(box.shownFillColor() != underWhite);
        box.setFillColor(QColor(20, 20, 20));
        QCOMPARE(box.shownFillColor(), contrast::readableUnder(QColor(20, 20, 20), {{QColor(0, 0, 0), 4.5}}));
    }

    // A field the row did not have leaves the caption; an empty one clears it.
    void missingValueKeepsTheCaption()
    {
        LegacyLabel l(nullptr, QStringLiteral("l"), QStringLiteral("Cáu hoíi"));
        l.setCaptionUnlessMissing(QString());
        QCOMPARE(l.caption(), QStringLiteral("Cáu hoíi"));
        l.setCaptionUnlessMissing(QStringLiteral(""));
        QCOMPARE(l.caption(), QString());
    }

    // A tick held during a wait comes after it, but not when the timer was
    // started afresh meanwhile (a new countdown counts a whole interval).
    void aHeldTickComesAfterTheWaitUnlessRestarted()
    {
        for (const bool restart : {false, true}) {
            LegacyTimer t(nullptr, "t", 5, true);
            int ticks = 0;
            connect(&t, &LegacyTimer::tick, [&] { ++ticks; });
            LegacyTimer::holdTicks(true);
            QTest::qWait(30);
            QCOMPARE(ticks, 0);
            if (restart)
                t.setLegacyInterval(1000);
            LegacyTimer::holdTicks(false);
            QCoreApplication::processEvents();
            if (restart)
                QCOMPARE(ticks, 0);
            else
                QVERIFY(ticks >= 1);
        }
    }
};

QTEST_MAIN(LegacyLabelTest)
#include "test_legacylabel.moc"
