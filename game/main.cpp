// Lontaris: the quiz game.

#include "accounts/loginform.h"
#include "gameapp.h"
#include "gamedb.h"
#include "messages.h"
#include "sound.h"
#include "startup.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QSettings>
#include <QTimer>
#include <cstdio>
#include <sys/resource.h>

#ifndef LONTARIS_MODULES_FROM_BIN
#define LONTARIS_MODULES_FROM_BIN "../lib/lontaris"
#endif

int main(int argc, char *argv[])
{
    QElapsedTimer sinceStart;
    sinceStart.start();
    const startup::CommandLine line = startup::readCommandLine(
        argc, argv, QStringLiteral("Lontaris"), QStringLiteral("Lontaris: a Vietnamese television-style quiz game."));
    QApplication qapp(argc, argv);
    // Under LONTARIS_QUIT_AFTER_MS (the start-up benchmark): once the first
    // window has been shown and the event loop is idle, the time and memory taken.
    startup::setUpApplication(qapp, QStringLiteral("Lontaris"), QStringLiteral("io.github.lontaris.Lontaris"),
                              [&sinceStart] {
                                  struct rusage use {};
                                  getrusage(RUSAGE_SELF, &use);
                                  std::printf("first window shown after %lld ms (from main); peak memory %.1f MB\n",
                                              static_cast<long long>(sinceStart.elapsed()), use.ru_maxrss / 1024.0);
                                  std::fflush(stdout);
                              });

    const QString programDir = QCoreApplication::applicationDirPath();
    db::GameDb database(programDir);
    database.setFilePath(line.database);
    startup::OpenTexts texts;
    texts.cannotCreate = QStringLiteral("Không tạo được cơ sở dữ liệu của trò chơi.\n\n%1");
    texts.damaged = QStringLiteral("Cơ sở dữ liệu của trò chơi bị hỏng hoặc không đúng định dạng, nên trò chơi "
                                   "không mở nó. Dữ liệu được giữ nguyên.\n\n%1");
    texts.readOnly = QStringLiteral("Không ghi được vào cơ sở dữ liệu của trò chơi: số tiền và thời gian chơi sẽ "
                                    "không được lưu.\n\n%1");
    texts.unreachable = QStringLiteral("Không kết nối được với máy chủ cơ sở dữ liệu của lớp. Hãy kiểm tra mạng "
                                       "(hoặc nhờ thầy cô kiểm tra máy chủ) rồi bấm \u201CThử lại\u201D.\n\n%1");

    // The player's own settings: sound level and mute, the window's place.
    QSettings settings;
    sound::Mixer mixer(&settings);
    // The sounds are found beside the program (build tree) or in the installed
    // share/lontaris: that folder is the program folder as the forms see it.
    const QString mediaRoot = startup::mediaRoot(programDir);
    const bool mute = qEnvironmentVariableIntValue("LONTARIS_MUTE") == 1;
    sound::RecordingEffectPlayer silentEffects;
    sound::RecordingMusicPlayer silentMusic;
    // The sound module (the multimedia libraries) is loaded once the login
    // window is up, long before a player can have logged in; a sound asked for
    // sooner loads it then.
    const QStringList moduleDirs{programDir, QDir(programDir).filePath(QStringLiteral(LONTARIS_MODULES_FROM_BIN))};
    sound::DeferredSound players(moduleDirs, mediaRoot, &mixer);
    if (!mute)
        QTimer::singleShot(250, &qapp, [&players] { players.load(); });

    GameServices services;
    services.programDir = mediaRoot;
    services.db = &database;
    services.effects = mute ? static_cast<sound::EffectPlayer *>(&silentEffects) : &players.effects();
    services.music = mute ? static_cast<sound::MusicPlayer *>(&silentMusic) : &players.music();
    services.mixer = &mixer;
    services.settings = &settings;
    services.endProgram = [] { QCoreApplication::exit(0); };
    GameApp app(std::move(services));
    app.start();
    // The login window is up at once; the file is opened (and, if it cannot be
    // used, said so over it) right after its first paint, before any key or
    // click of the player is taken.
    startup::openAfterFirstPaint(app.login(), database, QStringLiteral("Lontaris"), texts);
    return qapp.exec();
}
