#include "servermodule.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>

#include <mutex>

#ifndef LONTARIS_MODULES_FROM_BIN
#define LONTARIS_MODULES_FROM_BIN "../lib/lontaris"
#endif

namespace db {

namespace {

QString programDir()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath();
}

} // namespace

std::unique_ptr<Backend> serverBackend(const QString &location, QString &why)
{
    // Loaded once for the whole run (by whichever thread asks first), and
    // never unloaded: the store's code stays until the program ends.
    static std::mutex mutex;
    static LontarisMakeServerStore make = nullptr;
    static QString failure;
    {
        std::lock_guard lock(mutex);
        if (!make && failure.isEmpty()) {
            const QString dir = programDir();
            QStringList tried;
            for (const QString &folder : {dir, QDir(dir).filePath(QStringLiteral(LONTARIS_MODULES_FROM_BIN))}) {
                QLibrary module(QDir(folder).filePath(QStringLiteral("lontaris_server")));
                module.setLoadHints(QLibrary::PreventUnloadHint);
                if (module.load())
                    make = reinterpret_cast<LontarisMakeServerStore>(module.resolve("lontaris_make_server_store"));
                if (make)
                    break;
                tried << module.errorString();
            }
            if (!make)
                failure = QStringLiteral("The program's part for a class server cannot be loaded (Debian: the "
                                         "package libpq5 is needed): %1")
                              .arg(tried.join(QLatin1String("; ")));
        }
        if (!make) {
            why = failure;
            return nullptr;
        }
    }
    return std::unique_ptr<Backend>(make(location));
}

} // namespace db
