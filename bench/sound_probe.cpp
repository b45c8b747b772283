// Plays the game's sounds for bench/sound.sh, which records them through a
// PulseAudio null sink. Prints the wall-clock time (ms since the epoch) of each
// moment the script measures from.
//
//   sound_probe MEDIA_ROOT effect NAME   one effect, as a form plays it
//   sound_probe MEDIA_ROOT briefing      log in: the briefing loads and the music starts
//   sound_probe MEDIA_ROOT mix           the music, then the "wrong" sound over it
//   sound_probe MEDIA_ROOT loop          the music through its first restart

#include "accounts/briefingform.h"
#include "accounts/loginform.h"
#include "gameapp.h"
#include "gamedb.h"
#include "sound.h"
#include "testsupport.h"

#include <QApplication>
#include <QDateTime>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <cstdio>

namespace {
void mark(const char *what)
{
    std::printf("%s %lld\n", what, static_cast<long long>(QDateTime::currentMSecsSinceEpoch()));
    std::fflush(stdout);
}
} // namespace

int main(int argc, char *argv[])
{
    QApplication qapp(argc, argv);
    if (argc < 3)
        return 2;
    const QString root = QString::fromLocal8Bit(argv[1]);
    const QString mode = QString::fromLocal8Bit(argv[2]);
    sound::Mixer mixer;
    // The players as the game has them: the sound module, loaded once the
    // first window is up (here at once; a player takes longer to log in).
    sound::DeferredSound players({root}, root, &mixer);
    players.load();
    sound::EffectPlayer &effects = players.effects();
    sound::MusicPlayer &music = players.music();
    QTest::qWait(300); // the audio device is up before anything is timed

    if (mode == QLatin1String("effect") && argc > 3) {
        mark("play");
        effects.playEffect(QStringLiteral("Media\\") + QString::fromLocal8Bit(argv[3]));
        QTest::qWait(3000);
        return 0;
    }
    if (mode == QLatin1String("mix") || mode == QLatin1String("loop")) {
        const QString nen = sound::resolveEffect(root, QStringLiteral("\\media\\nen.wav"));
        QTimer loop;
        QObject::connect(&loop, &QTimer::timeout, [&] { sound::musicLoopTick(music, nen); });
        loop.start(500);
        mark("music");
        sound::musicLoopTick(music, nen);
        if (mode == QLatin1String("mix")) {
            QTest::qWait(3000);
            mark("effect");
            effects.playEffect(QStringLiteral("Media\\sai.wav"));
            QTest::qWait(2500);
        } else {
            QTest::qWait(27000);
        }
        return 0;
    }
    if (mode == QLatin1String("briefing")) {
        testkit::ProgramFolder folder;
        db::GameDb database(folder.path());
        if (!database.open().usable())
            return 1;
        db::Account a;
        a.nick = QStringLiteral("an");
        a.pass = QStringLiteral("pw");
        a.sotien = QStringLiteral("2200");
        database.insertAccount(a);
        GameServices services;
        services.programDir = root;
        services.db = &database;
        services.effects = &effects;
        services.music = &music;
        services.mixer = &mixer;
        services.endProgram = [] {};
        GameApp app(std::move(services));
        app.start();
        QTest::qWait(1300); // the login form's music timer is running
        LoginForm *login = app.login();
        auto *user = testkit::child<QLineEdit>(login, QStringLiteral("txtUserName"));
        auto *pass = testkit::child<QLineEdit>(login, QStringLiteral("txtPassword"));
        testkit::type(user, QStringLiteral("an"));
        testkit::type(pass, QStringLiteral("pw"));
        mark("briefing");
        testkit::pressKey(pass, Qt::Key_Return);
        if (!app.hasBriefing())
            return 1;
        QTest::qWait(3000);
        return 0;
    }
    return 2;
}
