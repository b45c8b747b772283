// Lontaris: the quiz game.

#include "accounts/loginform.h"
#include "gameapp.h"
#include "gamedb.h"
#include "messages.h"
#include "sound.h"
#include "studiotheme.h"

#include <QApplication>
#include <cstdio>
#include <sys/resource.h>
#include <QElapsedTimer>
#include <QTimer>
#include <memory>

int main(int argc, char *argv[])
{
    QElapsedTimer sinceStart;
    sinceStart.start();
    QApplication qapp(argc, argv);
    qapp.setApplicationName(QStringLiteral("Lontaris"));
    qapp.setQuitOnLastWindowClosed(false);
    studio::applyApplicationStyle(qapp);

    const QString programDir = QCoreApplication::applicationDirPath();
    db::GameDb database(programDir);
    const db::OpenResult opened = database.open();
    const auto damaged = [](const QString &detail) {
        return QStringLiteral("Cơ sở dữ liệu của trò chơi bị hỏng hoặc không đúng định dạng, "
                              "nên trò chơi không mở nó. Tệp được giữ nguyên.\n\n%1")
            .arg(detail);
    };
    if (!opened.usable()) {
        const QString text =
            opened.status == db::OpenStatus::CannotCreate
                ? QStringLiteral("Không tạo được cơ sở dữ liệu của trò chơi.\n\n%1").arg(opened.detail)
                : damaged(opened.detail);
        QMessageBox box(QMessageBox::Critical, QStringLiteral("Lontaris"), text, QMessageBox::Ok);
        box.exec();
        return 1;
    }
    if (opened.status == db::OpenStatus::ReadOnly) {
        QMessageBox box(QMessageBox::Warning, QStringLiteral("Lontaris"),
                        QStringLiteral("Không ghi được vào cơ sở dữ liệu của trò chơi: số tiền và "
                                       "thời gian chơi sẽ không được lưu.\n\n%1")
                            .arg(opened.detail),
                        QMessageBox::Ok);
        box.exec();
    }

    // Damage found by the check that goes on in the background: reported as at
    // start, and nothing is written to the file.
    database.setDamageHandler([damaged](const QString &detail) {
        QMessageBox box(QMessageBox::Critical, QStringLiteral("Lontaris"), damaged(detail), QMessageBox::Ok);
        box.exec();
        QCoreApplication::exit(1);
    });

    const bool mute = qEnvironmentVariableIntValue("LONTARIS_MUTE") == 1;
    std::unique_ptr<sound::EffectPlayer> effects;
    std::unique_ptr<sound::MusicPlayer> music;
    if (mute) {
        effects = std::make_unique<sound::RecordingEffectPlayer>();
        music = std::make_unique<sound::RecordingMusicPlayer>();
    } else {
        effects = std::make_unique<sound::QtEffectPlayer>(programDir);
        music = std::make_unique<sound::QtMusicPlayer>();
    }

    GameServices services;
    services.programDir = programDir;
    services.db = &database;
    services.effects = effects.get();
    services.music = music.get();
    services.endProgram = [] { QCoreApplication::exit(0); };
    GameApp app(std::move(services));
    app.start();

    // LONTARIS_QUIT_AFTER_MS: the start-up benchmark. Once the first window has been
    // shown and the event loop is idle, print the time and memory taken and leave.
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
    return qapp.exec();
}
