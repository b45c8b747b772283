// Labels paint their own colours: a colour change leaves the style sheet alone
// (no re-parse), and what is drawn is the colour asked for. The old-style
// timers' ticks held during a wait.

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
