// Pelmaro: the question editor of the quiz game. It works on the game's own
// database, data/dataqa.db in the program folder.

#include "editorapp.h"
#include "gamedb.h"
#include "messages.h"
#include "studiotheme.h"

#include <QApplication>
#include <QMessageBox>

int main(int argc, char *argv[])
{
    QApplication qapp(argc, argv);
    qapp.setApplicationName(QStringLiteral("Pelmaro"));
    // The access-code form hides itself when the editor form shows; the program
    // ends through EditorApp::endProgram only.
    qapp.setQuitOnLastWindowClosed(false);
    studio::applyApplicationStyle(qapp);

    db::GameDb database(QCoreApplication::applicationDirPath());
    const db::OpenResult opened = database.open();
    const auto damaged = [](const QString &detail) {
        return QStringLiteral("Cơ sở dữ liệu câu hỏi bị hỏng hoặc không đúng định dạng, nên "
                              "Pelmaro không mở nó. Tệp được giữ nguyên.\n\n%1")
            .arg(detail);
    };
    if (!opened.usable()) {
        const QString text =
            opened.status == db::OpenStatus::CannotCreate
                ? QStringLiteral("Không tạo được cơ sở dữ liệu câu hỏi.\n\n%1").arg(opened.detail)
                : damaged(opened.detail);
        QMessageBox box(QMessageBox::Critical, QStringLiteral("Pelmaro"), text, QMessageBox::Ok);
        box.exec();
        return 1;
    }
    if (opened.status == db::OpenStatus::ReadOnly) {
        QMessageBox box(QMessageBox::Warning, QStringLiteral("Pelmaro"),
                        QStringLiteral("Không ghi được vào cơ sở dữ liệu câu hỏi: có thể xem câu hỏi "
                                       "nhưng mọi thay đổi sẽ không được lưu.\n\n%1")
                            .arg(opened.detail),
                        QMessageBox::Ok);
        box.exec();
    }

    // Damage found by the check that goes on in the background.
    database.setDamageHandler([damaged](const QString &detail) {
        QMessageBox box(QMessageBox::Critical, QStringLiteral("Pelmaro"), damaged(detail), QMessageBox::Ok);
        box.exec();
        QCoreApplication::exit(1);
    });

    EditorServices services;
    services.db = &database;
    services.message = ui::showMessage;
    services.endProgram = [] { QCoreApplication::exit(0); };
    EditorApp app(std::move(services));
    app.start();
    return qapp.exec();
}
