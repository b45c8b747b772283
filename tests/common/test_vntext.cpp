#include "testsupport.h"
#include "vntext.h"

#include <QRandomGenerator>

class TestVnText : public QObject {
    Q_OBJECT
private slots:
    void referenceSamplesDecodeAndRoundTrip()
    {
        const auto samples = testkit::referenceSamples();
        QVERIFY2(samples.size() >= 200, "samples.tsv not found or short");
        for (const auto &s : samples) {
            const vn::Encoding enc = s.encoding == QLatin1String("vni")       ? vn::Encoding::Vni
                                     : s.encoding == QLatin1String("vntimes") ? vn::Encoding::VnTimes
                                                                              : vn::Encoding::Plain;
            QCOMPARE(vn::decode(s.legacy, enc), s.unicode);
            const auto back = vn::encode(s.unicode, enc);
            QVERIFY2(back.has_value(), qPrintable(s.unicode));
            QCOMPARE(*back, s.legacy);
            QCOMPARE(vn::decodeBytes(vn::toBytes(s.legacy), enc), s.unicode);
        }
    }

    void knownTexts()
    {
        QCOMPARE(vn::decode(QStringLiteral("Âàng Nháûp"), vn::Encoding::VnTimes), QStringLiteral("Đăng Nhập"));
        QCOMPARE(vn::decode(QStringLiteral("Môû khoùa"), vn::Encoding::Vni), QStringLiteral("Mở khóa"));
        QCOMPARE(vn::display(QStringLiteral("&Bàõt Âáöu"), vn::Encoding::VnTimes), QStringLiteral("Bắt Đầu"));
        QCOMPARE(vn::stripAccelerator(QStringLiteral("A && B")), QStringLiteral("A & B"));
        // The same bytes mean different things in the two encodings.
        QCOMPARE(vn::decode(QStringLiteral("Tieáp tuïc"), vn::Encoding::Vni), QStringLiteral("Tiếp tục"));
        QCOMPARE(vn::decode(QStringLiteral("Tieáp tuïc"), vn::Encoding::VnTimes), QStringLiteral("Tieâp túc"));
        // A stray mark becomes a combining mark, composed (NFC) where Unicode has
        // the letter; an unused byte falls back to Windows-1252.
        QCOMPARE(vn::decode(QStringLiteral("iï"), vn::Encoding::VnTimes), QStringLiteral("\u00ED"));
        QCOMPARE(vn::decode(QStringLiteral("A\u00E0"), vn::Encoding::Vni), QStringLiteral("\u1EA6"));
        QCOMPARE(vn::decode(QStringLiteral("qï"), vn::Encoding::VnTimes), QStringLiteral("q\u0301"));
        QCOMPARE(vn::decode(QString(QChar(0x80)), vn::Encoding::Vni), QStringLiteral("\u20AC"));
    }

    void unencodableCharactersAreRefused()
    {
        for (const char *s : {"ça", "\u201Equote\u201F", "\u20AC5", "na\u00EFve", "\u4E2D", "\u2026"}) {
            const QString t = QString::fromUtf8(s);
            QVERIFY(!vn::encode(t, vn::Encoding::Vni).has_value());
            QVERIFY(!vn::encode(t, vn::Encoding::VnTimes).has_value());
            QVERIFY(!vn::firstUnencodable(t, vn::Encoding::Vni).isNull());
        }
        QCOMPARE(vn::encodeLossy(QStringLiteral("a€b"), vn::Encoding::Vni), QStringLiteral("a?b"));
        // One "?" a character: a surrogate pair is one, a lone surrogate is one too.
        const QString lone = QStringLiteral("a") + QChar(0xDC00) + QStringLiteral("b") + QChar(0xD83D);
        QCOMPARE(vn::encodeLossy(lone, vn::Encoding::Vni), QStringLiteral("a?b?"));
        QCOMPARE(vn::encodeLossy(QStringLiteral("x\U0001F600y"), vn::Encoding::Vni), QStringLiteral("x?y"));
        // The typographic quotes are the bytes 91-94, in both encodings, both ways.
        for (vn::Encoding enc : {vn::Encoding::Vni, vn::Encoding::VnTimes}) {
            const QString quoted = QString::fromUtf8("\u201Cđã\u201D \u2018x\u2019");
            const std::optional<QString> stored = vn::encode(quoted, enc);
            QVERIFY(stored.has_value());
            QVERIFY(stored->contains(QChar(0x93)) && stored->contains(QChar(0x94)) && stored->contains(QChar(0x91)));
            QCOMPARE(vn::decode(*stored, enc), quoted);
        }
        QVERIFY(!vn::encode(QString::fromUtf8("\u201Cx\u201D"), vn::Encoding::Plain).has_value());
        // Decomposed input is normalised first.
        QCOMPARE(vn::encode(QStringLiteral("a\u0301"), vn::Encoding::Vni), std::optional<QString>(QStringLiteral("aù")));
    }

    void everyLetterPairRoundTrips()
    {
        // All ASCII letters and Vietnamese letters, in pairs: covers every boundary.
        QString alphabet = QStringLiteral("aeiouydAEIOUYD ,.'\"");
        const QString viet = QStringLiteral(
            "áàảãạăắằẳẵặâấầẩẫậđéèẻẽẹêếềểễệíìỉĩịóòỏõọôốồổỗộơớờởỡợúùủũụưứừửữựýỳỷỹỵ");
        alphabet += viet + viet.toUpper();
        for (vn::Encoding enc : {vn::Encoding::Vni, vn::Encoding::VnTimes}) {
            for (QChar x : alphabet) {
                for (QChar y : alphabet) {
                    const QString s = QString(x) + y;
                    const auto e = vn::encode(s, enc);
                    QVERIFY2(e.has_value(), qPrintable(s));
                    QCOMPARE(vn::decode(*e, enc), s);
                }
            }
        }
    }

    void randomBytesNeverCrashAndCanonicalTextsRoundTrip()
    {
        QRandomGenerator rng(20261207);
        for (int round = 0; round < 20000; ++round) {
            QByteArray bytes(int(rng.bounded(40)), '\0');
            for (char &b : bytes)
                b = char(rng.bounded(256));
            for (vn::Encoding enc : {vn::Encoding::Vni, vn::Encoding::VnTimes}) {
                const QString text = vn::decodeBytes(bytes, enc);
                // When the decoded text can be written back, decoding that again gives
                // the same text (bytes may differ only for non-canonical input).
                if (const auto e = vn::encode(text, enc))
                    QCOMPARE(vn::decode(*e, enc), text.normalized(QString::NormalizationForm_C));
            }
        }
    }

    void longRunsOfMarksNormaliseLikeTheLibrary()
    {
        // Marks of different classes, decomposable ones among them, behind a
        // precomposed letter: the same NFC as the library's own.
        QString t = QStringLiteral("\u1EA5");
        for (int i = 0; i < 300; ++i)
            t += QStringLiteral("\u0301\u0323\u0344\u0315");
        t += QStringLiteral("e\u0302\u0301");
        QCOMPARE(vn::toNfc(t), t.normalized(QString::NormalizationForm_C));
    }

    void hugeTextsAreHandled()
    {
        const QString big = QStringLiteral("Việt Nam ").repeated(2000);
        const auto e = vn::encode(big, vn::Encoding::Vni);
        QVERIFY(e.has_value());
        QCOMPARE(vn::decode(*e, vn::Encoding::Vni), big);
    }
};

QTEST_MAIN(TestVnText)
#include "test_vntext.moc"
