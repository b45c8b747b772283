// The baseline of the start-up benchmark: a bare Qt Widgets window of the
// game's first window's size with one label, ended as the programs end under
// LONTARIS_QUIT_AFTER_MS (the same timers, set before the window is shown,
// and the same line printed once the event loop first turns).

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <sys/resource.h>

int main(int argc, char *argv[])
{
    QElapsedTimer sinceStart;
    sinceStart.start();
    QApplication app(argc, argv);
    if (const int ms = qEnvironmentVariableIntValue("LONTARIS_QUIT_AFTER_MS"); ms > 0) {
        QTimer::singleShot(0, &app, [&sinceStart] {
            struct rusage use {};
            getrusage(RUSAGE_SELF, &use);
            std::printf("first window shown after %lld ms (from main); peak memory %.1f MB\n",
                        static_cast<long long>(sinceStart.elapsed()), use.ru_maxrss / 1024.0);
            std::fflush(stdout);
        });
        QTimer::singleShot(ms, &app, [] { QCoreApplication::exit(0); });
    }
    QWidget window;
    window.resize(600, 440);
    QLabel label(QStringLiteral("Lontaris"), &window);
    label.move(20, 20);
    window.show();
    return app.exec();
}
