// Both programs, run as they are built, misused on the command line: each
// says why and ends with 2 before it touches any database; a file that is not
// there, or a pipe given as the database, is no misuse (1). None of them crashes.

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

class TestCommandLine : public QObject {
    Q_OBJECT
private slots:
    void misuseIsSaidAndEndsTheRun_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("args"); // DIR: a temporary folder; --database DIR/x.db is added when absent
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("says");
        const QString p = QStringLiteral("pelmaro"), l = QStringLiteral("lontaris");
        QTest::newRow("copy, one path") << p << QStringList{"--copy", "DIR/a.db"} << 2 << "--copy FROM TO takes one source";
        QTest::newRow("copy, three paths") << p << QStringList{"--copy", "a", "b", "c"} << 2 << "--copy FROM TO takes one source";
        QTest::newRow("export, no such table") << p << QStringList{"--export", "muc9", "DIR/f.csv"} << 2
                                               << "--export: there is no question table muc9; the tables are muc1,";
        QTest::newRow("import, no such table") << p << QStringList{"--import", "hoso", "DIR/f.csv"} << 2
                                               << "--import: there is no question table hoso";
        QTest::newRow("import, no file") << p << QStringList{"--import", "muc1"} << 2 << "--import TABLE FILE takes one table";
        QTest::newRow("export, no table") << p << QStringList{"--export"} << 2 << "Missing value after '--export'";
        QTest::newRow("editor, unknown option") << p << QStringList{"--frob"} << 2 << "pelmaro: Unknown option 'frob'";
        QTest::newRow("game, unknown option") << l << QStringList{"--frob"} << 2 << "lontaris: Unknown option 'frob'";
        QTest::newRow("game, the editor's --copy") << l << QStringList{"--copy", "a", "b"} << 2 << "Unknown option 'copy'";
        QTest::newRow("game, a stray argument") << l << QStringList{"stray"} << 2 << "Usage:";
        QTest::newRow("game, database twice") << l << QStringList{"--database", "DIR/x.db", "--database", "DIR/y.db"} << 2
                                              << "--database is given more than once.";
        QTest::newRow("editor, copy twice") << p << QStringList{"--copy", "DIR/x.db", "--copy", "DIR/y.db", "DIR/z.db"} << 2
                                            << "--copy is given more than once.";
        QTest::newRow("editor, import twice") << p << QStringList{"--import", "muc1", "--import", "muc2", "DIR/f.csv"} << 2
                                              << "--import is given more than once.";
        QTest::newRow("game, no database named") << l << QStringList{"--database"} << 2 << "Missing value after '--database'";
        QTest::newRow("game, a server address without its database")
            << l << QStringList{"--database", "postgresql://u:s3cret@h"} << 2 << "lontaris: postgresql://***";
        QTest::newRow("copy from a missing file") << p << QStringList{"--copy", "DIR/missing.db", "DIR/to.db"} << 1
                                                  << "nothing was copied: The source cannot be read";
        QTest::newRow("import of a missing file") << p << QStringList{"--import", "muc1", "DIR/missing.csv"} << 1
                                                  << "The file cannot be read";
        // A pipe given as the database would be waited on for ever.
        QTest::newRow("game, a pipe as its database") << l << QStringList{"--database", "DIR/fifo"} << 1
                                                      << "DIR/fifo is not a regular file";
        QTest::newRow("export, a pipe as the database") << p << QStringList{"--database", "DIR/fifo", "--export", "muc1",
                                                                            "DIR/f.csv"}
                                                        << 1 << "DIR/fifo is not a regular file";
    }
    void misuseIsSaidAndEndsTheRun()
    {
        QFETCH(QString, program);
        QFETCH(QStringList, args);
        QFETCH(int, code);
        QFETCH(QString, says);
        const QString path = QCoreApplication::applicationDirPath() + QLatin1Char('/') + program;
        if (!QFile::exists(path))
            QSKIP("the program is not built");
        QTemporaryDir dir;
        const QString database = dir.filePath(QStringLiteral("x.db"));
        for (QString &a : args)
            a.replace(QLatin1String("DIR"), dir.path());
        says.replace(QLatin1String("DIR"), dir.path());
        QVERIFY(::mkfifo(QFile::encodeName(dir.filePath(QStringLiteral("fifo"))).constData(), 0600) == 0);
        if (!args.contains(QLatin1String("--database")))
            args = QStringList{QStringLiteral("--database"), database} + args;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), dir.path()); // no settings of the user's
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.path());
        env.insert(QStringLiteral("LONTARIS_QUIT_AFTER_MS"), QStringLiteral("3000")); // a window opened by mistake ends
        QProcess p;
        p.setProcessEnvironment(env);
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(path, args);
        QVERIFY(p.waitForFinished(60000));
        const QString out = QString::fromUtf8(p.readAll());
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QVERIFY2(out.contains(says), qPrintable(out));
        QVERIFY(!out.contains(QLatin1String("s3cret")));
        QCOMPARE(p.exitCode(), code);
        if (code == 2)
            QVERIFY(!QFile::exists(database));
    }
};

QTEST_MAIN(TestCommandLine)
#include "test_commandline.moc"
