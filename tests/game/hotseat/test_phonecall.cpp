// Phone a friend as a player makes the call: the panel unfolding, the name, the
// ringing, the countdown, the conversation with the friend's fixed advice, the
// music loop off for the call, the panel closed and slid away.

#include "lifelinefixture.h"

#include <QPointer>

using namespace hs;

namespace {
const QStringList kCallTimers = {"Timer13", "Timer6", "Timer7", "Timer8"};
// The friend's name as typed (Vietnamese, an apostrophe, quotes) and as VNI text.
const QString kName = QStringLiteral("Bà Tư 'Út' \"Hai\"");
const QString kNameVni = QStringLiteral("Baø Tö 'UÙt' \"Hai\"");

LegacyTimer *timer(HotSeatForm *f, const char *name)
{
    return f->findChild<LegacyTimer *>(QString::fromLatin1(name));
}

// Offers and confirms the call and lets the panel unfold.
void openCall(HotSeatForm *f, Clock &clock)
{
    testkit::click(label(f, "Label5"));
    testkit::click(label(f, "trunggian"));
    clock.run(2000);
}

void connectCall(HotSeatForm *f, const QString &name = kName)
{
    auto *text5 = testkit::child<QLineEdit>(f, "Text5");
    text5->clear();
    testkit::type(text5, name);
    testkit::click(testkit::widget(f, "Command1"));
}
// Question 1 with this correct letter, the call taken and connected, `ms` on.
struct ConnectedCall {
    testkit::GameHarness h;
    HotSeatForm *f;
    Clock clock;
    ConnectedCall(const char *letter, int ms) : f(questionWithLetter(h, QString::fromLatin1(letter))), clock(f, kCallTimers)
    {
        openCall(f, clock);
        connectCall(f);
        clock.run(ms);
    }
};
} // namespace

class PhoneCallTest : public QObject {
    Q_OBJECT
private slots:
    void wholeCallWithTheFriendsAdvice_data();
    void wholeCallWithTheFriendsAdvice();
    void beginFifteenSecondsLateShowsOnlyTheFirstLines();
    void declinedThenClosedEarlyAndNeverBegun();
    void closingTheGameMidCallLeavesNothingRunning();
};

void PhoneCallTest::wholeCallWithTheFriendsAdvice_data()
{
    QTest::addColumn<QString>("letter");
    QTest::addColumn<QString>("pair");
    QTest::addColumn<QString>("guess");
    QTest::newRow("A") << "A" << ">: Khaû naêng caâu A hay C" << ">:Coù theå laø caâu A";
    QTest::newRow("B") << "B" << ">: Khaû naêng caâu B hay C " << ">:Coù theå laø caâu C";
    QTest::newRow("C") << "C" << ">: Khaû naêng caâu C hay D" << ">:Coù theå laø caâu C";
    QTest::newRow("D") << "D" << ">: Khaû naêng caâu A hay D" << ">:Coù theå laø caâu A";
}

void PhoneCallTest::wholeCallWithTheFriendsAdvice()
{
    QFETCH(QString, letter);
    QFETCH(QString, pair);
    QFETCH(QString, guess);
    testkit::GameHarness h;
    HotSeatForm *f = questionWithLetter(h, letter);
    LegacyTimer *music = h.app->login()->musicTimer();
    Clock clock(f, kCallTimers);

    offer(h, f, kPhoneCall);
    confirm(h, f);
    QVERIFY(!usable(f, "lock113")); // until the panel is closed

    // The panel unfolds a piece every half second.
    const QStringList pieces[4] = {{"Shape1", "Label15"}, {"Shape5"}, {"Shape6"}, {"Picture3"}};
    for (const QStringList &step : pieces) {
        QVERIFY(!shown(f, step.first()));
        clock.run(500);
        for (const QString &piece : step)
            QVERIFY2(shown(f, piece), qPrintable(piece));
    }
    QCOMPARE(cap(f, "Label1(4)"), QStringLiteral("Kãút näúi våïi ngæåìi baûn häù tråü"));
    QVERIFY(shown(f, "Picture4") && shown(f, "ok") && !shown(f, "Command2") && !shown(f, "Label16"));

    // A name the stage cannot show as typed: named and refused, the music plays on.
    connectCall(f, QStringLiteral("Mẹ \U0001F49C"));
    QCOMPARE(h.s.messages.size(), 1);
    QVERIFY(h.s.lastMessageText().contains(QStringLiteral("(U+1F49C)")));
    QVERIFY(shown(f, "Picture4") && music->isEnabled());
    h.s.messages.clear();
    testkit::child<QLineEdit>(f, "Text5")->clear();

    // No name: refused, and the music loop is off all the same.
    testkit::click(testkit::widget(f, "Command1"));
    QCOMPARE(h.s.messages.size(), 1);
    const ui::MessageRequest &m = h.s.messages.last();
    QVERIFY(m.text == "Ban nhap chua dung,vui long kiem tra lai..." && m.title == "Lontaris..."
            && m.icon == QMessageBox::Critical);
    QVERIFY(shown(f, "Picture4") && !music->isEnabled());

    connectCall(f);
    QVERIFY(!shown(f, "Picture4"));
    clock.run(1500 * 4);
    QCOMPARE(chat(f, "a"), QStringLiteral("<Ñieän thoaïi>: Ring..") + kCrLf + "<Ñieän thoaïi>: Ring..." + kCrLf + "<"
                               + kNameVni + ">: Aloâ..." + kCrLf + "<MC>: Xin chaøo   " + kNameVni + kCrLf
                               + "   Chuùng toâi goïi ñieän töø chöông trình Lontaris ngöôøi baïn cuûa baïn teân "
                                 "laø   an");
    clock.run(1500 * 4);
    QCOMPARE(chat(f, "a"), QStringLiteral("<MC>:...coù caâu hoûi caàn coù söï trôï giuùp cuûa   ") + kNameVni
                               + "  Baïn saüng saøn giuùp ñôõ baïn mình chöù?..." + kCrLf + "<" + kNameVni
                               + ">: Vaâng toâi saüng saøn" + kCrLf
                               + "<MC>:30 giaây vöøa hoûi vöøa traû lôøi daønh cho 2 baïn baét ñaàu" + kCrLf
                               + "<MC>: BAÉT ÑAÀU...");
    clock.run(1500);
    QCOMPARE(h.s.effects.played.last(), QStringLiteral("Media\\tg.wav"));
    QVERIFY(usable(f, "Command2") && shown(f, "Label16") && shown(f, "Image10"));
    QCOMPARE(cap(f, "Label16"), QStringLiteral("30"));

    // Begin at once: eight lines over twenty seconds.
    testkit::click(testkit::widget(f, "Command2"));
    QVERIFY(!testkit::widget(f, "Command2")->isEnabled());
    QCOMPARE(chat(f, "a"), QString());
    clock.run(2500 * 3);
    QCOMPARE(chat(f, "a"), QStringLiteral("<") + kNameVni + ">:...");
    clock.run(2500 * 5);
    QCOMPARE(chat(f, "a"), QStringLiteral("<") + kNameVni + ">:..." + kCrLf + "<" + kNameVni + pair + kCrLf
                               + "<Ngöôøi chôi>:Caâu naøo coù khaû naêng nhieàu hôn..." + kCrLf + "<" + kNameVni
                               + guess + kCrLf
                               + "<Ngöôøi chôi>:Coù chaéc khoâng ? Nhanh leân saép heát giôø roài chæ coøn13 giaây "
                                 "nöõa thoâi.Nhanh leân..."
                               + kCrLf + "<" + kNameVni + ">:...");

    // Time up: the music loop comes back.
    QVERIFY(!music->isEnabled());
    clock.run(10000);
    QCOMPARE(cap(f, "Label16"), QStringLiteral("0"));
    QCOMPARE(chat(f, "a"), QStringLiteral("<MC>:Thôøi gian daønh cho 2 baïn ñaõ heát .Baây giôø ngöôøi chôi seõ "
                                          "ñöa ra söï löïa choïn cuûa mình..."));
    QVERIFY(!timer(f, "Timer8")->isEnabled() && !timer(f, "Timer7")->isEnabled());
    QVERIFY(music->isEnabled());

    // Closed: the answers come back and the box slides up and away.
    closePanel(f, "ok", "Picture3", {"Shape6", "Shape5", "Shape1", "Label15"}, "Label5");
}

void PhoneCallTest::beginFifteenSecondsLateShowsOnlyTheFirstLines()
{
    ConnectedCall call("B", 13500 + 15000);
    HotSeatForm *f = call.f;
    Clock &clock = call.clock;
    QCOMPARE(cap(f, "Label16"), QStringLiteral("15"));
    testkit::click(testkit::widget(f, "Command2"));
    clock.run(2500);
    QCOMPARE(chat(f, "a"), QStringLiteral("<Ngöôøi chôi>:") + kNameVni + " nghe caâu hoûi: " + cap(f, "Label2")
                               + kCrLf + "A. a6  B. b6  C. c6  D. d6");
    clock.run(12400);
    QVERIFY(chat(f, "a").contains(QStringLiteral(">: Khaû naêng caâu B hay C ")));
    QVERIFY(!chat(f, "a").contains(QStringLiteral("Nhanh leân")));
    clock.run(20000);
    QVERIFY(chat(f, "a").startsWith(QStringLiteral("<MC>:Thôøi gian daønh cho 2 baïn ñaõ heát")));
    QVERIFY(!timer(f, "Timer7")->isEnabled());
}

void PhoneCallTest::declinedThenClosedEarlyAndNeverBegun()
{
    testkit::GameHarness h;
    HotSeatForm *f = questionWithLetter(h, "A");
    LegacyTimer *music = h.app->login()->musicTimer();
    Clock clock(f, kCallTimers);
    testkit::click(label(f, "Label5"));
    testkit::click(label(f, "stop113"));
    QVERIFY(usable(f, "Label5") && usable(f, "lock113"));
    QVERIFY(!timer(f, "Timer13")->isEnabled());

    openCall(f, clock); // taken later: the whole call from its start
    connectCall(f, QStringLiteral(" ")); // a blank is a name
    clock.run(1500);
    QCOMPARE(chat(f, "a"), QStringLiteral("<Ñieän thoaïi>: Ring.."));
    clock.run(3000);
    testkit::click(label(f, "ok")); // while it rings: the answers can be played at once
    QVERIFY(usable(f, "lock113"));
    clock.run(9000 + 29900); // the countdown starts 13.5 s after Connect
    QVERIFY(!music->isEnabled());
    clock.run(100);
    QVERIFY(music->isEnabled());
    QVERIFY(!timer(f, "Timer8")->isEnabled() && !timer(f, "Timer7")->isEnabled()); // Begin never pressed
    QVERIFY(!shown(f, "Picture3"));
}

void PhoneCallTest::closingTheGameMidCallLeavesNothingRunning()
{
    ConnectedCall call("C", 15000);
    HotSeatForm *f = call.f;
    testkit::click(testkit::widget(f, "Command2"));
    testkit::click(label(f, "ok")); // the box starts sliding
    QPointer<QObject> slide = testkit::widget(f, "Shape6")->findChild<QPropertyAnimation *>("slide");
    QPointer<QObject> countdown = timer(f, "Timer8");
    QVERIFY(slide && countdown);
    f->close();
    QCOMPARE(call.h.s.endCount, 1);
    call.h.app.reset(); // the forms go with the program
    QVERIFY(!slide && !countdown);
    QTest::qWait(50); // an animation or timer left behind would tick on freed memory here
}

QTEST_MAIN(PhoneCallTest)
#include "test_phonecall.moc"
