#include "startup.h"

#include "gamedb.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QStandardPaths>
#include <cstdio>

#ifndef LONTARIS_VERSION
#define LONTARIS_VERSION "0"
#endif
#ifndef LONTARIS_SHARE_FROM_BIN
#define LONTARIS_SHARE_FROM_BIN "../share/lontaris"
#endif

namespace startup {

QString portableDataDir(const QString &appDir)
{
    const QString dir = QDir(appDir).filePath(QStringLiteral("data"));
    return QFileInfo(dir).isDir() ? dir : QString();
}

QString defaultDatabase(const QString &appDir)
{
    if (!portableDataDir(appDir).isEmpty())
        return db::GameDb::defaultFileName(appDir);
    const QString home = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return QDir(home).filePath(QStringLiteral("lontaris/dataqa.db"));
}

QString mediaRoot(const QString &appDir)
{
    auto hasMedia = [](const QString &root) { return QFileInfo(QDir(root).filePath(QStringLiteral("media"))).isDir(); };
    if (hasMedia(appDir))
        return appDir;
    const QString installed = QDir::cleanPath(QDir(appDir).filePath(QStringLiteral(LONTARIS_SHARE_FROM_BIN)));
    if (hasMedia(installed))
        return installed;
    const QString found = QStandardPaths::locate(QStandardPaths::GenericDataLocation, QStringLiteral("lontaris/media"),
                                                 QStandardPaths::LocateDirectory);
    if (!found.isEmpty())
        return QFileInfo(found).absolutePath();
    return appDir;
}

QString version()
{
    return QStringLiteral(LONTARIS_VERSION);
}

CommandLine parseCommandLine(QCoreApplication &app, const QString &description)
{
    app.setApplicationVersion(version());
    const QString fallback = defaultDatabase(QCoreApplication::applicationDirPath());
    QCommandLineParser parser;
    parser.setApplicationDescription(description);
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption database(
        QStringLiteral("database"),
        QStringLiteral("Use the database FILE (made from the shipped questions when missing). Default: %1")
            .arg(fallback),
        QStringLiteral("FILE"));
    parser.addOption(database);
    parser.process(app);

    CommandLine line;
    line.database = parser.isSet(database) ? QFileInfo(parser.value(database)).absoluteFilePath() : fallback;
    return line;
}

namespace {
// A refusal or warning about the database: on stderr (for a start from a
// terminal or a script) and in a message box.
void report(const QString &title, QMessageBox::Icon icon, const QString &text)
{
    const QString program = QCoreApplication::applicationName().toLower();
    std::fprintf(stderr, "%s: %s\n", qPrintable(program),
                 qPrintable(QString(text).replace(QLatin1Char('\n'), QLatin1Char(' '))));
    QMessageBox box(icon, title, text, QMessageBox::Ok);
    box.exec();
}
} // namespace

bool openDatabase(db::GameDb &database, const QString &title, const OpenTexts &texts)
{
    const db::OpenResult opened = database.open();
    if (!opened.usable()) {
        report(title, QMessageBox::Critical,
               (opened.status == db::OpenStatus::CannotCreate ? texts.cannotCreate : texts.damaged).arg(opened.detail));
        return false;
    }
    if (opened.status == db::OpenStatus::ReadOnly)
        report(title, QMessageBox::Warning, texts.readOnly.arg(opened.detail));
    // Damage found later by the check that goes on in the background: reported
    // the same way, and the program ends without having written to the file.
    database.setDamageHandler([title, damaged = texts.damaged](const QString &detail) {
        report(title, QMessageBox::Critical, damaged.arg(detail));
        QCoreApplication::exit(1);
    });
    return true;
}

} // namespace startup
