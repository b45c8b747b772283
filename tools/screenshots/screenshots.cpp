// Takes the pictures of the forms for the documentation: plays a short scripted
// session on a temporary program folder and saves each form as a PNG.
// Usage: screenshots OUTDIR   (run under a real X server, e.g. xvfb-run)

#include "accounts/briefingform.h"
#include "editorapp.h"
#include "editorform.h"
#include "editorloginform.h"
#include "accounts/loginform.h"
#include "accounts/recoveryform.h"
#include "accounts/registerform.h"
#include "gameapp.h"
#include "gamedb.h"
#include "hotseat/hotseatform.h"
#include "legacytimer.h"
#include "qualifying/qualifyingform.h"
#include "sound.h"
#include "screenfit.h"
#include "studiotheme.h"
#include "toolkittexts.h"

#include <QApplication>
#include <QDir>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>

namespace {
QString g_out;

void settle(int ms = 150)
{
    QTest::qWait(ms);
}

void shoot(QWidget *w, const char *name)
{
    w->raise();
    settle();
    const QString path = QDir(g_out).filePath(QString::fromLatin1(name) + QStringLiteral(".png"));
    w->grab().save(path);
    std::printf("%s\n", qPrintable(path));
}

QWidget *find(QWidget *root, const char *name)
{
    auto *w = root->findChild<QWidget *>(QString::fromLatin1(name));
    if (!w)
        std::fprintf(stderr, "no %s in %s\n", name, qPrintable(root->objectName()));
    return w;
}

void click(QWidget *root, const char *name)
{
    if (QWidget *w = find(root, name))
        QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier,
                          qobject_cast<QAbstractButton *>(w) && !qobject_cast<QPushButton *>(w)
                              ? QPoint(10, w->height() / 2)
                              : w->rect().center());
}

void type(QWidget *root, const char *name, const QString &text)
{
    QWidget *w = find(root, name);
    if (!w)
        return;
    for (QChar ch : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(w, &press);
    }
}

void tick(QWidget *root, const char *timer, int times)
{
    auto *t = root->findChild<LegacyTimer *>(QString::fromLatin1(timer));
    for (int i = 0; t && i < times; ++i)
        t->fire();
}
} // namespace

int main(int argc, char *argv[])
{
    QApplication qapp(argc, argv);
    qapp.setQuitOnLastWindowClosed(false);
    studio::applyApplicationStyle(qapp);
    // As the programs start: every window fitted to the screen, Vietnamese buttons.
    screenfit::install(qapp);
    ui::installToolkitTexts();
    g_out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("docs");
    QDir().mkpath(g_out);

    QTemporaryDir dir;
    db::GameDb database(dir.path());
    if (!database.open().usable())
        return 1;
    db::Account a;
    a.nick = QStringLiteral("Ngọc Ánh");
    a.pass = QStringLiteral("bí mật");
    a.ngaysinh = QStringLiteral("3/5/1990");
    a.sotien = QStringLiteral("25200");
    a.solan = QStringLiteral("4");
    a.gio = QStringLiteral("2");
    a.phut = QStringLiteral("17");
    database.insertAccount(a);
    // Other players, for the top-five board.
    const char *const others[][2] = {{"Minh Quân", "1250000"}, {"Thu Hà", "318000"}, {"Bảo Long", "96500"},
                                     {"Lan Anh", "18000"}, {"Tuấn", "1200"}};
    for (const auto &[nick, money] : others) {
        db::Account o;
        o.nick = QString::fromUtf8(nick);
        o.pass = QStringLiteral("x");
        o.sotien = QString::fromLatin1(money);
        database.insertAccount(o);
    }
    // The top five and the decorations switched on; the skip switch unlocked.
    db::LockRow lock;
    lock.hienten = QStringLiteral("1");
    lock.hienten1 = QStringLiteral("1");
    lock.thuthach1 = QStringLiteral("1");
    database.writeLock(lock);

    sound::RecordingEffectPlayer effects;
    sound::RecordingMusicPlayer music;
    GameServices s;
    s.programDir = dir.path();
    s.db = &database;
    s.effects = &effects;
    s.music = &music;
    s.message = [](QWidget *, const ui::MessageRequest &) { return QMessageBox::Ok; };
    s.endProgram = [] {};
    GameApp app(std::move(s));

    LoginForm *login = app.login();
    login->resize(560, 420);
    login->show();
    type(login, "txtUserName", a.nick);
    type(login, "txtPassword", a.pass);
    shoot(login, "login");

    RegisterForm *reg = app.registration();
    reg->show();
    click(reg, "Check1");
    click(reg, "cmdOK");
    type(reg, "id", QStringLiteral("Nguyễn Thị Hằng"));
    type(reg, "p1", QStringLiteral("hoa sen"));
    type(reg, "p2", QStringLiteral("hoa sen"));
    type(reg, "thang", QStringLiteral("15")); // the day box
    type(reg, "ngay", QStringLiteral("3"));   // the month box
    type(reg, "nam", QStringLiteral("1990"));
    type(reg, "mail", QStringLiteral("giáo viên"));
    if (auto *secret = reg->findChild<QComboBox *>(QStringLiteral("bimat")))
        secret->setCurrentIndex(1);
    type(reg, "traloi", QStringLiteral("cô Lan"));
    shoot(reg, "registration");
    reg->hide();
    RecoveryForm *rec = app.recovery();
    rec->show();
    tick(rec, "Timer1", 40);
    shoot(rec, "recovery");
    rec->hide();

    click(login, "cmdOK");
    BriefingForm *brief = app.briefing();
    brief->resize(860, 580);
    click(brief, "Check1");
    shoot(brief, "briefing");

    QualifyingForm *qual = app.qualifying();
    qual->resize(980, 680);
    qual->show();
    tick(qual, "Timer3", 400);
    tick(qual, "Timer1", 7);
    click(qual, "bdau");
    tick(qual, "Timer2", 6);
    click(qual, "caub");
    click(qual, "caud");
    shoot(qual, "qualifying");
    qual->hide();

    HotSeatForm *hot = app.hotseat(); // at its designed size, fitted to the screen
    hot->show();
    tick(hot, "Timer12", 8);
    tick(hot, "Timer16", 4);
    tick(hot, "Timer15", 40);
    tick(hot, "tg", 3);
    click(hot, "strart");
    click(hot, "traloi2");
    shoot(hot, "hotseat");

    // Phone a friend: the call panel in the middle of the conversation.
    click(hot, "Label5");
    click(hot, "trunggian");
    for (int i = 0; i < 4; ++i) {
        tick(hot, "Timer13", 1);
        settle(120);
    }
    type(hot, "Text5", QStringLiteral("Minh Tuấn"));
    click(hot, "Command1");
    tick(hot, "Timer6", 9);
    click(hot, "Command2");
    tick(hot, "Timer7", 6);
    tick(hot, "Timer8", 12);
    shoot(hot, "hotseat-call");
    click(hot, "ok");
    settle(600);

    // Ask the audience: the vote chart.
    click(hot, "Label13");
    click(hot, "trunggian");
    for (int i = 0; i < 4; ++i) {
        tick(hot, "Timer14", 1);
        settle(120);
    }
    tick(hot, "Timer9", 10);
    tick(hot, "Timer5", 1);
    settle(900);
    shoot(hot, "hotseat-vote");
    click(hot, "Image11");
    settle(600);

    // The player withdraws the pick and stops; the options panel and the board open.
    click(hot, "stop113");
    click(hot, "stop113");
    click(hot, "Label20a");
    shoot(hot, "options");
    click(hot, "Image13");
    click(hot, "Label9");
    shoot(hot, "topfive");
    hot->hide();

    // The editor on the same database.
    EditorServices es;
    es.db = &database;
    es.message = [](QWidget *, const ui::MessageRequest &) { return QMessageBox::Ok; };
    es.endProgram = [] {};
    EditorApp editor(std::move(es));
    editor.start();
    EditorLoginForm *code = editor.login();
    type(code, "txtPassword", QStringLiteral("keeper"));
    shoot(code, "editor-access");
    code->hide();
    EditorForm *ed = editor.editor();
    ed->resize(1100, 760);
    ed->show();
    click(ed, "Option2");
    click(ed, "Command2");
    shoot(ed, "editor");
    // Deleting a question: the offer of a copy in the trash.
    click(ed, "Command3");
    shoot(ed, "editor-delete");
    return 0;
}
