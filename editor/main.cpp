// Pelmaro: the question editor of the quiz game. It works on the game's own
// database: the same file or server database the game plays (see
// desktop/startup.h). `pelmaro --copy FROM TO` copies a whole installation.

#include "editorapp.h"
#include "gamedb.h"
#include "messages.h"
#include "startup.h"
#include "studiotheme.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char *argv[])
{
    // The command line first, without a display: --help and --version work anywhere.
    startup::CommandLine line;
    {
        QCoreApplication bare(argc, argv);
        bare.setApplicationName(QStringLiteral("Pelmaro"));
        line = startup::parseCommandLine(bare, QStringLiteral("Pelmaro: the question bank editor of the Lontaris quiz game."),
                                         true);
        // --copy moves a whole installation between files and servers, with no window.
        if (!line.copyFrom.isEmpty())
            return startup::runCopy(line);
    }
    QApplication qapp(argc, argv);
    qapp.setApplicationName(QStringLiteral("Pelmaro"));
    qapp.setApplicationVersion(startup::version());
    qapp.setOrganizationName(QStringLiteral("lontaris"));
    qapp.setDesktopFileName(QStringLiteral("io.github.lontaris.Pelmaro"));
    qapp.setQuitOnLastWindowClosed(false);
    studio::applyApplicationStyle(qapp);

    // LONTARIS_QUIT_AFTER_MS: leave after that many milliseconds, message boxes
    // included (the install tests).
    if (const int ms = qEnvironmentVariableIntValue("LONTARIS_QUIT_AFTER_MS"); ms > 0)
        QTimer::singleShot(ms, &qapp, [] { QCoreApplication::exit(0); });

    db::GameDb database(QCoreApplication::applicationDirPath());
    database.setFilePath(line.database);
    startup::OpenTexts texts;
    texts.cannotCreate = QStringLiteral("Không tạo được cơ sở dữ liệu câu hỏi.\n\n%1");
    texts.damaged = QStringLiteral("Cơ sở dữ liệu câu hỏi bị hỏng hoặc không đúng định dạng, nên Pelmaro không "
                                   "mở nó. Dữ liệu được giữ nguyên.\n\n%1");
    texts.readOnly = QStringLiteral("Không ghi được vào cơ sở dữ liệu câu hỏi: có thể xem câu hỏi nhưng mọi thay "
                                    "đổi sẽ không được lưu.\n\n%1");
    texts.unreachable = QStringLiteral("Không kết nối được với máy chủ cơ sở dữ liệu câu hỏi. Hãy kiểm tra mạng và "
                                       "máy chủ rồi bấm \u201CThử lại\u201D.\n\n%1");
    if (!startup::openDatabase(database, QStringLiteral("Pelmaro"), texts))
        return 1;

    EditorServices services;
    services.db = &database;
    services.message = ui::showMessage;
    services.endProgram = [] { QCoreApplication::exit(0); };
    EditorApp app(std::move(services));
    app.start();
    return qapp.exec();
}
