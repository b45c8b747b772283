// Lontaris: the quiz game.

#include "accounts/loginform.h"
#include "gameapp.h"
#include "gamedb.h"
#include "messages.h"
#include "sound.h"
#include "startup.h"
#include "studiotheme.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QSettings>
#include <QTimer>
#include <cstdio>
#include <memory>
#include <sys/resource.h>

int main(int argc, char *argv[])
{
    QElapsedTimer sinceStart;
    sinceStart.start();
    // The command line first, without a display: --help and --version work anywhere.
    startup::CommandLine line;
    {
        QCoreApplication bare(argc, argv);
        bare.setApplicationName(QStringLiteral("Lontaris"));
        line = startup::parseCommandLine(bare, QStringLiteral("Lontaris: a Vietnamese television-style quiz game."));
    }
    QApplication qapp(argc, argv);
    qapp.setApplicationName(QStringLiteral("Lontaris"));
    qapp.setApplicationVersion(startup::version());
    qapp.setOrganizationName(QStringLiteral("lontaris"));
    qapp.setDesktopFileName(QStringLiteral("io.github.lontaris.Lontaris"));
    qapp.setQuitOnLastWindowClosed(false);
    studio::applyApplicationStyle(qapp);

    // LONTARIS_QUIT_AFTER_MS: the start-up benchmark and the install tests. Once
    // the first window has been shown and the event loop is idle, print the time
    // and memory taken; leave after that many milliseconds, message boxes included.
    if (const int ms = qEnvironmentVariableIntValue("LONTARIS_QUIT_AFTER_MS"); ms > 0) {
        QTimer::singleShot(0, &qapp, [&sinceStart] {
            struct rusage use {};
            getrusage(RUSAGE_SELF, &use);
            std::printf("first window shown after %lld ms (from main); peak memory %.1f MB\n",
                        static_cast<long long>(sinceStart.elapsed()), use.ru_maxrss / 1024.0);
            std::fflush(stdout);
        });
        QTimer::singleShot(ms, &qapp, [] { QCoreApplication::exit(0); });
    }

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
    if (!startup::openDatabase(database, QStringLiteral("Lontaris"), texts))
        return 1;

    // The player's own settings: sound level and mute, the window's place.
    QSettings settings;
    sound::Mixer mixer(&settings);
    // The sounds are found beside the program (build tree) or in the installed
    // share/lontaris: that folder is the program folder as the forms see it.
    const QString mediaRoot = startup::mediaRoot(programDir);
    const bool mute = qEnvironmentVariableIntValue("LONTARIS_MUTE") == 1;
    std::unique_ptr<sound::EffectPlayer> effects;
    std::unique_ptr<sound::MusicPlayer> music;
    if (mute) {
        effects = std::make_unique<sound::RecordingEffectPlayer>();
        music = std::make_unique<sound::RecordingMusicPlayer>();
    } else {
        effects = std::make_unique<sound::QtEffectPlayer>(mediaRoot, &mixer);
        music = std::make_unique<sound::QtMusicPlayer>(&mixer);
    }

    GameServices services;
    services.programDir = mediaRoot;
    services.db = &database;
    services.effects = effects.get();
    services.music = music.get();
    services.mixer = &mixer;
    services.settings = &settings;
    services.endProgram = [] { QCoreApplication::exit(0); };
    GameApp app(std::move(services));
    app.start();
    return qapp.exec();
}
