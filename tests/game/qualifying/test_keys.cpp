// The qualifying round from the keyboard: each key does exactly what its click
// does (a clicked and a keyed round side by side stay identical), nothing on a
// used answer, Enter never presses Exit, and letters typed into the answer box
// stay typing.

#include "legacylabel.h"
#include "legacytimer.h"
#include "qualifying/qualifyingform.h"
#include "testsupport.h"

#include <QLineEdit>
#include <QPushButton>
#include <algorithm>

namespace {
class TimerGate : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject *, QEvent *e) override { return e->type() == QEvent::Timer; }
};

QualifyingForm *openRound(testkit::GameHarness &h, int drawTicks)
{
    QualifyingForm *f = h.app->qualifying();
    auto *gate = new TimerGate(f);
    for (LegacyTimer *t : f->findChildren<LegacyTimer *>())
        t->installEventFilter(gate);
    f->show();
    for (int i = 0; i < 1000 && testkit::tick(f, QStringLiteral("Timer3")); ++i) {
    }
    testkit::tick(f, QStringLiteral("Timer1"), drawTicks);
    return f;
}

QStringList snapshot(testkit::GameHarness &h, QualifyingForm *f)
{
    QStringList out = testkit::widgetSnapshot(f, false);
    out << h.s.effects.played.join(QLatin1Char(',')) << QString::number(h.s.endCount)
        << QString::number(h.app->hasHotseat());
    return out;
}
} // namespace

class TestQualifyingKeys : public QObject {
    Q_OBJECT
private slots:
    void eachKeyActsExactlyAsItsClick_data() { testkit::twoCases("right", "failed: Enter leaves Exit alone", "passed, then Continue"); }
    void eachKeyActsExactlyAsItsClick()
    {
        QFETCH(bool, right);
        testkit::GameHarness clicked, keyed;
        QualifyingForm *c = openRound(clicked, 2);
        QualifyingForm *k = openRound(keyed, 2);
        auto same = [&] { return snapshot(clicked, c) == snapshot(keyed, k); };
        auto click = [&](const char *name) { testkit::click(testkit::widget(c, QString::fromLatin1(name))); };
        QVERIFY(same());

        click("bdau");
        QTest::keyClick(k, Qt::Key_Return);
        QVERIFY(same());
        QList<int> order;
        for (const QChar letter : k->correctAnswer())
            order.append(letter.unicode() - 'A');
        QCOMPARE(order.size(), 4);
        if (!right)
            std::reverse(order.begin(), order.end());

        static const char *const answers[4] = {"caua", "caub", "cauc", "caud"};
        for (int i = 0; i < 4; ++i) {
            click(answers[order[i]]);
            // The keys reach the form, as when the focus is not in the answer box.
            QTest::keyClick(k, i % 2 ? Qt::Key(Qt::Key_1 + order[i]) : Qt::Key(Qt::Key_A + order[i]));
            QVERIFY(same());
        }
        QTest::keyClick(k, Qt::Key(Qt::Key_A + order[0])); // a used answer is disabled: nothing
        QVERIFY(same());

        click("Command1");
        QTest::keyClick(k, Qt::Key_Return);
        QVERIFY(same());

        if (right) {
            click("bdau"); // Continue
            QTest::keyClick(k, Qt::Key_Return);
            QVERIFY(same());
            QVERIFY(keyed.app->hasHotseat());
        } else {
            QTest::keyClick(k, Qt::Key_Return);
            QCOMPARE(keyed.s.endCount, 0);
        }
    }

    void lettersTypedIntoTheAnswerBoxStayTyping()
    {
        testkit::GameHarness h;
        QualifyingForm *f = openRound(h, 2);
        QTest::keyClick(f, Qt::Key_Return);
        auto *box = testkit::child<QLineEdit>(f, QStringLiteral("Text1"));
        testkit::type(box, QStringLiteral("cab"));
        QCOMPARE(box->text(), QStringLiteral("CAB"));
        QVERIFY(testkit::widget(f, QStringLiteral("caua"))->isEnabled());
    }
};

QTEST_MAIN(TestQualifyingKeys)
#include "test_keys.moc"
