#include "numtext.h"

#include <QTest>

class TestNumText : public QObject {
    Q_OBJECT
private slots:
    void numericPrefixRule_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        QTest::newRow("ladder") << "1 000$" << 1000.0;
        QTest::newRow("top prize") << "100 000$" << 100000.0;
        QTest::newRow("negative") << "-500" << -500.0;
        QTest::newRow("letters after") << "12ab" << 12.0;
        QTest::newRow("empty") << "" << 0.0;
        QTest::newRow("letters") << "abc" << 0.0;
        QTest::newRow("leading blanks") << "  7" << 7.0;
        QTest::newRow("plain") << "13200" << 13200.0;
        QTest::newRow("decimal") << "2.5kg" << 2.5;
        QTest::newRow("sign only") << "-" << 0.0;
        QTest::newRow("dollar first") << "$100" << 0.0;
        QTest::newRow("END marker") << "END" << 0.0;
        QTest::newRow("exponent") << "1e3" << 1000.0;
        QTest::newRow("no exponent digits") << "5e" << 5.0;
        QTest::newRow("exponent past 11 digits") << "107.5e000000000002" << 10750.0;
        QTest::newRow("exponent with leading zeros") << "1e00005" << 100000.0;
        QTest::newRow("negative exponent, zeros") << "25e-00000000000000001" << 2.5;
        QTest::newRow("exponent below every double") << "7e-99999999999999999999" << 0.0;
        QTest::newRow("ladder caption") << "  1. $       100" << 1.0;
        QTest::newRow("grouped comma") << "1,000$" << 1.0;
    }
    void numericPrefixRule()
    {
        QFETCH(QString, text);
        QFETCH(double, value);
        QCOMPARE(num::value(text), value);
    }

    void hugeDigitStringsSaturate()
    {
        const QString huge = QString(5000, QLatin1Char('9'));
        const double v = num::value(huge);
        QVERIFY(std::isfinite(v));
        QVERIFY(v > 1e300);
        QVERIFY(std::isfinite(num::value(QLatin1Char('-') + huge)));
        QCOMPARE(num::whole(huge), std::numeric_limits<qint64>::max());
        QVERIFY(num::value(QStringLiteral("1e999999999999")) > 1e300);
    }

    void writingBack()
    {
        QCOMPARE(num::text(13200.0), QStringLiteral("13200"));
        QCOMPARE(num::text(-500.0), QStringLiteral("-500"));
        QCOMPARE(num::text(0.0), QStringLiteral("0"));
        QCOMPARE(num::text(qint64(200)), QStringLiteral("200"));
        QCOMPARE(num::text(0.5), QStringLiteral("0.5"));
        QCOMPARE(num::text(num::value(QStringLiteral("1200")) + num::value(QStringLiteral("12 000$"))),
                 QStringLiteral("13200"));
        QCOMPARE(num::text(std::numeric_limits<double>::infinity()), QStringLiteral("0"));
        QVERIFY(!num::text(1e300).contains(QLatin1Char('e')));
    }

    void moneyIsComputedDigitForDigit_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("added");
        QTest::addColumn<QString>("sum");
        QTest::newRow("fee on a fraction") << "1000.00001" << "-1000" << "0.00001";
        QTest::newRow("fee past double precision") << "1000000000001000.5" << "-1000" << "1000000000000000.5";
        QTest::newRow("fee on 19 nines") << "9999999999999999999" << "-1000" << "9999999999999998999";
        QTest::newRow("winnings as shown") << "1200" << "12 000$" << "13200";
        QTest::newRow("below zero") << "500" << "-1000" << "-500";
        QTest::newRow("back to zero") << "-1000" << "1000" << "0";
        QTest::newRow("exponent") << "1.5e3" << "0" << "1500";
        QTest::newRow("exponent past 11 digits") << "107.5e000000000002" << "0" << "10750";
        QTest::newRow("not a number") << "abc" << "-1000" << "-1000";
        QTest::newRow("carry") << "999.99" << "0.01" << "1000";
        // Results whose fraction has as many digits as its scale, or fewer.
        QTest::newRow("fraction fills its scale") << "0.25" << "0.25" << "0.5";
        QTest::newRow("fraction of two places") << "0.5" << "0.25" << "0.75";
        QTest::newRow("leading zero after the point") << "0.05" << "0.05" << "0.1";
        QTest::newRow("carry across the point") << "0.75" << "0.5" << "1.25";
        QTest::newRow("halves make one") << "0.5" << "0.5" << "1";
        QTest::newRow("negative fraction") << "0.25" << "-0.5" << "-0.25";
        QTest::newRow("both negative") << "-0.25" << "-0.25" << "-0.5";
        QTest::newRow("borrow across the point") << "1" << "-0.01" << "0.99";
        QTest::newRow("cancels out") << "1.5" << "-1.5" << "0";
        QTest::newRow("trailing zeros") << "1.10" << "2.20" << "3.3";
        QTest::newRow("different scales") << "-0.001" << "12.5" << "12.499";
    }
    void moneyIsComputedDigitForDigit()
    {
        QFETCH(QString, stored);
        QFETCH(QString, added);
        QFETCH(QString, sum);
        QCOMPARE(num::exactSum(stored, added), std::optional<QString>(sum));
        QCOMPARE(num::exactDifference(sum, added), num::exactText(stored));
    }

    void whatCannotBeWrittenOutIsRefused()
    {
        QVERIFY(!num::exactSum(u"1e999999", u"-1000"));
        QVERIFY(!num::exactSum(u"1e-999999", u"1"));
        QCOMPARE(num::exactText(u"0e999999"), std::optional<QString>(QStringLiteral("0")));
        const QString huge = QString(5000, QLatin1Char('9'));
        QCOMPARE(num::exactSum(huge, u"1"), std::optional<QString>(QStringLiteral("1") + QString(5000, QLatin1Char('0'))));
    }

    void roundingHalvesToEven()
    {
        QCOMPARE(num::roundHalfEven(0.5), qint64(0));
        QCOMPARE(num::roundHalfEven(1.5), qint64(2));
        QCOMPARE(num::roundHalfEven(2.5), qint64(2));
        QCOMPARE(num::roundHalfEven(127.5), qint64(128));
        QCOMPARE(num::roundHalfEven(-0.5), qint64(0));
        QCOMPARE(num::halfOf(-7), qint64(-3));
    }
};

QTEST_MAIN(TestNumText)
#include "test_numtext.moc"
