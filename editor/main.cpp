// Pelmaro: the question editor of the quiz game. It works on the game's own
// database: the same file or server database the game plays (see
// desktop/startup.h). `pelmaro --copy FROM TO` copies a whole installation;
// `pelmaro --import TABLE FILE` and `--export TABLE FILE` move a question table
// from or to a CSV file, and `--stats FILE` writes how each question fared,
// without a window.

#include "csvbank.h"
#include "editorapp.h"
#include "editorloginform.h"
#include "gamedb.h"
#include "messages.h"
#include "startup.h"
#include "statscsv.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    const startup::CommandLine line = startup::readCommandLine(
        argc, argv, QStringLiteral("Pelmaro"), QStringLiteral("Pelmaro: the question bank editor of the Lontaris quiz game."),
        true);
    if (line.ended)
        return *line.ended;
    if (!line.statsFile.isEmpty()) {
        QCoreApplication bare(argc, argv);
        bare.setApplicationName(QStringLiteral("Pelmaro"));
        return stats::runCommand(line.database, line.statsFile);
    }
    if (!line.csvTable.isEmpty()) {
        QCoreApplication bare(argc, argv);
        bare.setApplicationName(QStringLiteral("Pelmaro"));
        csvbank::Command c;
        c.import = line.csvImport;
        c.table = csvbank::tableNamed(line.csvTable).value_or(db::QuestionTable::Muc1);
        c.file = line.csvFile;
        c.location = line.database;
        c.skipDuplicates = line.skipDuplicates;
        return csvbank::runCommand(c);
    }
    QApplication qapp(argc, argv);
    startup::setUpApplication(qapp, QStringLiteral("Pelmaro"), QStringLiteral("io.github.lontaris.Pelmaro"));

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
    // A class server is asked first: its answer decides whether this user may
    // edit the bank at all. A file opens right after the first paint of the
    // login window, which then shows at once.
    const bool server = database.isServer();
    if (server && !startup::openDatabase(database, QStringLiteral("Pelmaro"), texts))
        return 1;

    EditorServices services;
    services.db = &database;
    services.message = ui::showMessage;
    services.endProgram = [] { QCoreApplication::exit(0); };
    EditorApp app(std::move(services));
    app.start();
    if (!server)
        startup::openAfterFirstPaint(app.login(), database, QStringLiteral("Pelmaro"), texts);
    return qapp.exec();
}
