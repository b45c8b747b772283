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

bool openDatabase(db::GameDb &database, const QString &title, const OpenTexts &texts)
{
    const db::OpenResult opened = database.open();
    const QString program = QCoreApplication::applicationName().toLower();
    if (!opened.usable()) {
        const QString text = (opened.status == db::OpenStatus::CannotCreate ? texts.cannotCreate : texts.damaged)
                                 .arg(opened.detail);
        std::fprintf(stderr, "%s: %s\n", qPrintable(program), qPrintable(QString(text).replace(QLatin1Char('\n'), QLatin1Char(' '))));
        QMessageBox box(QMessageBox::Critical, title, text, QMessageBox::Ok);
        box.exec();
        return false;
    }
    if (opened.status == db::OpenStatus::ReadOnly) {
        const QString text = texts.readOnly.arg(opened.detail);
        std::fprintf(stderr, "%s: %s\n", qPrintable(program), qPrintable(QString(text).replace(QLatin1Char('\n'), QLatin1Char(' '))));
        QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Ok);
        box.exec();
    }
    return true;
}

} // namespace startup
