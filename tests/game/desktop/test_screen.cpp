// A laptop's screen as a new player meets the programs: every window opens
// inside the screen, title bar included, and stays usable from 1280×720 up,
// nothing added to a form covers its controls or texts, every text reads on
// what lies behind it in the states the game sets, and the toolkit's own
// buttons speak Vietnamese. The checks of windows on a desktop run on a
// virtual X server with a window manager (tests/support/xdesktop.sh), once a
// screen size and a system font; elsewhere they are skipped.

#include "../../editor/editorharness.h"
#include "answerstats.h"
#include "statsview.h"
#include "../hotseat/lifelinefixture.h"

#include "accounts/briefingform.h"
#include "accounts/loginform.h"
#include "accounts/recoveryform.h"
#include "accounts/registerform.h"
#include "hotseat/clearspace.h"
#include "hotseat/optionspanel.h"
#include "numtext.h"
#include "contrast.h"
#include "filedialog.h"
#include "qualifying/qualifyingform.h"
#include "screenaudit.h"
#include "screenfit.h"
#include "studiotheme.h"
#include "toolkittexts.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QProgressDialog>
#include <QTableView>
#include <QFontInfo>
#include <QLayout>
#include <QScreen>
#include <QShowEvent>

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
bool onDesktop()
{
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

// The programs' look, toolkit texts and window fitting, as they start.
void lookAsThePrograms()
{
    studio::applyApplicationStyle(*qApp);
    ui::installToolkitTexts();
    screenfit::install(*qApp);
}

// Shows a window (or lets it be shown) and waits until the window manager has
// framed it and the window has taken its place; false when it never appears.
bool onScreen(QWidget *w)
{
    if (!w->isVisible())
        w->show();
    if (!QTest::qWaitForWindowExposed(w))
        return false;
    QRect last;
    for (int still = 0, i = 0; still < 3 && i < 80; ++i) {
        QTest::qWait(20);
        still = w->frameGeometry() == last ? still + 1 : 0;
        last = w->frameGeometry();
    }
    return true;
}

// What a player would see wrong in a window as it is now: a frame that leaves
// the screen's free area, a text cut, covered or hard to read.
QStringList seenWrong(QWidget *w, const QString &state)
{
    QStringList out;
    const QRect area = w->screen()->availableGeometry();
    if (!area.contains(w->frameGeometry()))
        out << QStringLiteral("its frame %1,%2 %3x%4 leaves the screen's %5x%6")
                   .arg(w->frameGeometry().x()).arg(w->frameGeometry().y())
                   .arg(w->frameGeometry().width()).arg(w->frameGeometry().height())
                   .arg(area.width()).arg(area.height());
    out += screenaudit::faults(w);
    for (QString &line : out)
        line.prepend(QStringLiteral("%1 (%2, %3x%4): ").arg(w->objectName(), state).arg(w->width()).arg(w->height()));
    return out;
}
} // namespace

class ScreenTest : public QObject {
    Q_OBJECT
private slots:
    void aWindowIsScaledDownAndBroughtInside();
    void everyWindowOnTheDesktop();
    void aMaximisedWindowStaysMaximised();
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
    // Never placed and too large: scaled, and left for the window manager to place.
    QWidget v;
    v.resize(1600, 1000);
    screenfit::fitInto(&v, kLaptop);
    QCOMPARE(v.size(), QSize(1100, 688));
    QVERIFY(!v.testAttribute(Qt::WA_Moved));
}

void ScreenTest::everyWindowOnTheDesktop()
{
    if (!onDesktop())
        QSKIP("windows on a desktop: run through tests/support/xdesktop.sh");
    lookAsThePrograms();
    const QString family = qEnvironmentVariable("LONTARIS_DESKTOP_FONT");
    if (!family.isEmpty())
        QCOMPARE(QFontInfo(QApplication::font()).family(), family);
    // The smallest size each window allows is looked at on the smallest screen.
    const bool smallest = QGuiApplication::primaryScreen()->size().height() <= 720;
    QStringList wrong;
    auto look = [&](QWidget *w, const QString &state) {
        if (!onScreen(w)) {
            wrong << w->objectName() + QStringLiteral(": never shown");
            return;
        }
        wrong += seenWrong(w, state);
        // LONTARIS_SCREEN_SHOTS=DIR keeps a picture of what was looked at.
        if (const QString shots = qEnvironmentVariable("LONTARIS_SCREEN_SHOTS"); !shots.isEmpty())
            w->grab().save(QStringLiteral("%1/%2-%3-%4.png").arg(shots, w->objectName(), state).arg(QGuiApplication::primaryScreen()->size().width()));
        if (smallest) {
            // The narrowest it goes, as tall as its wrapped texts then need.
            const QSize opened = w->size();
            QSize least = w->minimumSize().expandedTo(w->minimumSizeHint());
            if (w->layout() && w->layout()->hasHeightForWidth())
                least.setHeight(std::max(least.height(), w->layout()->minimumHeightForWidth(least.width())));
            w->resize(least);
            QTest::qWait(50);
            // The stage's glyphs find their places again at their next step.
            if (w->findChild<LegacyTimer *>(QStringLiteral("Timer15")))
                testkit::tick(w, QStringLiteral("Timer15"));
            for (const QString &fault : screenaudit::faults(w))
                wrong << QStringLiteral("%1 (smallest, %2x%3): %4").arg(w->objectName()).arg(w->width()).arg(w->height()).arg(fault);
            w->resize(opened);
        }
    };

    testkit::GameHarness h;
    // A player with two-digit play time; the top five and the decorations on.
    db::Account a = testkit::account(QStringLiteral("Nguyễn Thị Hằng"), QStringLiteral("1250000"));
    a.gio = QStringLiteral("12");
    a.phut = QStringLiteral("58");
    a.solan = QStringLiteral("134");
    QVERIFY(h.database->insertAccount(a));
    h.setLock(QStringLiteral("0"), QStringLiteral("1"));

    LoginForm *login = h.app->login();
    login->move(300, -200); // a place remembered from another screen
    look(login, QStringLiteral("opened"));
    testkit::click(testkit::widget(login, QStringLiteral("Label1")));
    RegisterForm *reg = h.app->registration();
    look(reg, QStringLiteral("introduction"));
    testkit::click(testkit::widget(reg, QStringLiteral("Check1")));
    testkit::click(testkit::widget(reg, QStringLiteral("cmdOK")));
    look(reg, QStringLiteral("form"));
    reg->close();
    testkit::click(testkit::widget(login, QStringLiteral("Label2")));
    RecoveryForm *rec = h.app->recovery();
    testkit::tick(rec, QStringLiteral("Timer1"), 60);
    look(rec, QStringLiteral("typed"));
    rec->close();

    h.login(a.nick, QStringLiteral("pw"));
    BriefingForm *brief = h.app->briefing();
    testkit::click(testkit::widget(brief, QStringLiteral("Check1")));
    look(brief, QStringLiteral("fee paid"));
    testkit::click(testkit::widget(brief, QStringLiteral("Command2")));

    QualifyingForm *q = h.app->qualifying();
    hs::freeze(q);
    testkit::tick(q, QStringLiteral("Timer3"), 200);
    testkit::click(testkit::widget(q, QStringLiteral("bdau")));
    testkit::tick(q, QStringLiteral("Timer2"), 11);
    look(q, QStringLiteral("question"));
    testkit::type(testkit::widget(q, QStringLiteral("Text1")), q->correctAnswer());
    testkit::click(testkit::widget(q, QStringLiteral("Command1")));
    testkit::click(testkit::widget(q, QStringLiteral("bdau")));
    QVERIFY(h.app->hasHotseat());

    HotSeatForm *f = h.app->hotseat();
    hs::freeze(f);
    // The stage as a player sees it a moment later: the glyphs have found their places.
    auto stage = [&](const QString &state) {
        onScreen(f);
        testkit::tick(f, QStringLiteral("Timer15"));
        look(f, state);
    };
    stage(QStringLiteral("opening"));
    hs::firstQuestion(f);
    hs::hover(hs::label(f, QStringLiteral("Label9")));
    stage(QStringLiteral("question"));
    // A call in the middle of the conversation, then the audience's vote.
    testkit::click(hs::label(f, QStringLiteral("Label5")));
    testkit::click(hs::label(f, QStringLiteral("trunggian")));
    testkit::tick(f, QStringLiteral("Timer13"), 4);
    hs::finishAnimations(f);
    testkit::type(testkit::widget(f, QStringLiteral("Text5")), QStringLiteral("Minh Tuấn"));
    testkit::click(testkit::widget(f, QStringLiteral("Command1")));
    testkit::tick(f, QStringLiteral("Timer6"), 9);
    testkit::click(testkit::widget(f, QStringLiteral("Command2")));
    testkit::tick(f, QStringLiteral("Timer7"), 6);
    stage(QStringLiteral("call"));
    testkit::click(testkit::widget(f, QStringLiteral("ok")));
    hs::finishAnimations(f);
    testkit::click(hs::label(f, QStringLiteral("Label13")));
    testkit::click(hs::label(f, QStringLiteral("trunggian")));
    testkit::tick(f, QStringLiteral("Timer14"), 4);
    testkit::tick(f, QStringLiteral("Timer9"), 10);
    testkit::tick(f, QStringLiteral("Timer5"));
    hs::finishAnimations(f);
    stage(QStringLiteral("vote"));
    testkit::click(testkit::widget(f, QStringLiteral("Image11")));
    hs::finishAnimations(f);
    hs::hover(hs::label(f, QStringLiteral("Label3")));
    testkit::click(hs::label(f, QStringLiteral("stop113")));
    testkit::click(hs::label(f, QStringLiteral("Label20a")));
    stage(QStringLiteral("options"));
    testkit::click(testkit::widget(f, QStringLiteral("Image13")));
    // A pupil's panel on a class server: the teacher's switches and a note.
    f->findChild<OptionsPanel *>(QStringLiteral("Picture6"))->setTeacherSets(true);
    testkit::click(hs::label(f, QStringLiteral("Label20a")));
    stage(QStringLiteral("options set by the teacher"));
    testkit::click(testkit::widget(f, QStringLiteral("Image13")));
    testkit::click(hs::label(f, QStringLiteral("Label9")));
    stage(QStringLiteral("top five"));

    EditorHarness e;
    EditorLoginForm *code = e.app->login();
    look(code, QStringLiteral("opened"));
    EditorForm *ed = e.app->editor();
    look(ed, QStringLiteral("opened"));
    testkit::click(testkit::widget(ed, QStringLiteral("Command2")));
    look(ed, QStringLiteral("list"));
    // The statistics of a question answered twice, one of them after its texts changed.
    for (const bool right : {true, false}) {
        const db::Question asked = e.rows(db::QuestionTable::Muc1).at(0);
        db::AnswerRecord r;
        r.qid = asked.id;
        r.fingerprint = right ? db::questionFingerprint(asked) : QStringLiteral("0123456789abcdef");
        r.correct = right;
        r.seconds = 12.5;
        r.answered = QDateTime::currentDateTimeUtc();
        QVERIFY(db::recordAnswer(*e.database, r));
    }
    testkit::click(testkit::widget(ed, QStringLiteral("Stats")));
    auto *stats = ed->findChild<StatsView *>(QStringLiteral("frmThongKe"));
    QVERIFY(stats);
    testkit::child<QTableView>(stats, QStringLiteral("figures"))->selectRow(0);
    look(stats, QStringLiteral("figures"));
    stats->close();

    // Its file dialogs on a folder with a sheet in it, and the progress of a long import.
    QTemporaryDir folder;
    QFile sheet(folder.filePath(QStringLiteral("câu hỏi.csv")));
    QVERIFY(sheet.open(QIODevice::WriteOnly));
    sheet.close();
    for (const bool save : {false, true}) {
        std::unique_ptr<QFileDialog> d(ui::fileDialog(ed, save, QStringLiteral("CSV"), folder.path(), QStringLiteral("CSV (*.csv)")));
        auto *files = d->findChild<QAbstractItemView *>(QStringLiteral("treeView"));
        d->show();
        QTRY_VERIFY(files->model()->rowCount(files->rootIndex()) > 0);
        look(d.get(), save ? QStringLiteral("save") : QStringLiteral("open"));
    }
    QProgressDialog progress(QStringLiteral("Đang đọc và kiểm tra câu hỏi.csv…"), QStringLiteral("Dừng"), 0, 1000, ed);
    progress.setValue(400);
    look(&progress, QStringLiteral("import"));
    for (const QString &w : wrong)
        qWarning("%s", qPrintable(w));
    QVERIFY2(wrong.isEmpty(), "see the warnings above");
}

void ScreenTest::aMaximisedWindowStaysMaximised()
{
    {
        // Whatever its size, a maximised window shown is the window manager's:
        // the fit neither shrinks nor moves it.
        screenfit::install(*qApp);
        QWidget w;
        w.setGeometry(-50, -50, 5000, 4000);
        w.setWindowState(Qt::WindowMaximized);
        w.winId();
        QCoreApplication::processEvents();
        QVERIFY(w.windowState() & Qt::WindowMaximized);
        const QRect maximised = w.geometry();
        QShowEvent shown;
        QCoreApplication::sendEvent(&w, &shown);
        QCOMPARE(w.geometry(), maximised);
    }
    if (!onDesktop())
        QSKIP("windows on a desktop: run through tests/support/xdesktop.sh");
    lookAsThePrograms();
    EditorHarness e;
    EditorForm *ed = e.app->editor();
    ed->resize(2600, 1600); // larger than any screen: a fit would shrink it
    ed->showMaximized();
    QVERIFY(onScreen(ed));
    QVERIFY(ed->windowState() & Qt::WindowMaximized);
    QCOMPARE(ed->frameGeometry().size(), ed->screen()->availableGeometry().size());
    testkit::click(testkit::widget(ed, QStringLiteral("Command2")));
    const QStringList wrong = screenaudit::faults(ed);
    for (const QString &w : wrong)
        qWarning("%s", qPrintable(w));
    QVERIFY2(wrong.isEmpty(), "see the warnings above");
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
    // Qt's own file dialog, on a folder with a file in it.
    QTemporaryDir folder;
    QFile sheet(folder.filePath(QStringLiteral("a.csv")));
    QVERIFY(sheet.open(QIODevice::WriteOnly));
    sheet.close();
    for (const bool save : {false, true}) {
        std::unique_ptr<QFileDialog> d(ui::fileDialog(nullptr, save, QStringLiteral("CSV"), folder.path(), QString()));
        auto *files = d->findChild<QAbstractItemView *>(QStringLiteral("treeView"));
        d->show();
        QTRY_VERIFY(files->model()->rowCount(files->rootIndex()) > 0);
        for (QString text : screenaudit::shownTexts(d.get())) {
            text.remove(u'&');
            for (const char *english : {"Open", "Save", "Cancel", "Computer", "Name", "Size", "Type", "Date Modified",
                                        "Look in:", "File name:", "Files of type:", "Back", "Forward",
                                        "Parent Directory", "Create New Folder", "List View", "Detail View",
                                        "Recent Places", "All Files (*)"})
                QVERIFY2(text != QLatin1String(english), english);
        }
    }
    // The programs' own texts are never touched.
    QCOMPARE(QCoreApplication::translate("Lontaris", "OK"), QStringLiteral("OK"));
}

QTEST_MAIN(ScreenTest)
#include "test_screen.moc"
