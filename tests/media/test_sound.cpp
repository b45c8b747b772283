#include "sound.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestSound : public QObject {
    Q_OBJECT
private slots:
    void effectsAreFoundInTheProgramFolder()
    {
        QCOMPARE(sound::resolveEffect(QStringLiteral("/opt/game"), QStringLiteral("Media\\dung.wav")),
                 QStringLiteral("/opt/game/media/dung.wav"));
        QCOMPARE(sound::resolveEffect(QStringLiteral("/opt/game"), QStringLiteral("\\media\\nen.wav")),
                 QStringLiteral("/opt/game/media/nen.wav"));
        QCOMPARE(sound::resolveEffect(QStringLiteral("/opt/game"), QStringLiteral("MEDIA/click.qbs")),
                 QStringLiteral("/opt/game/media/click.qbs"));
    }

    void musicLoopStartsOnceAFileIsSetAndRestartsWhenStopped()
    {
        sound::RecordingMusicPlayer p;
        sound::musicLoopTick(p, QString()); // before the briefing: silence
        QCOMPARE(p.starts, 0);
        p.fileExists = false;
        sound::musicLoopTick(p, QStringLiteral("/x/media/nen.wav")); // missing file: silence, no error
        QCOMPARE(p.starts, 0);
        p.fileExists = true;
        sound::musicLoopTick(p, QStringLiteral("/x/media/nen.wav"));
        QCOMPARE(p.starts, 1);
        sound::musicLoopTick(p, QStringLiteral("/x/media/nen.wav")); // still playing: left alone
        QCOMPARE(p.starts, 1);
        p.playing = false; // the piece ended
        sound::musicLoopTick(p, QStringLiteral("/x/media/nen.wav"));
        QCOMPARE(p.starts, 2);
    }

    void realPlayersNeverHangOrCrash()
    {
        // Works with or without an audio device: at worst silently.
        const QString media = QStringLiteral(LONTARIS_MEDIA_DIR);
        QTemporaryDir dir;
        QDir().mkpath(dir.filePath(QStringLiteral("media")));
        QFile::copy(media + QStringLiteral("/click.qbs"), dir.filePath(QStringLiteral("media/click.qbs")));
        QFile::copy(media + QStringLiteral("/ding.wav"), dir.filePath(QStringLiteral("media/ding.wav")));
        QElapsedTimer clock;
        clock.start();
        {
            sound::QtEffectPlayer effects(dir.path());
            effects.playEffect(QStringLiteral("Media\\click.qbs"));
            effects.playEffect(QStringLiteral("Media\\ding.wav")); // cuts the click off
            effects.playEffect(QStringLiteral("Media\\missing.wav")); // silent
            QTest::qWait(50);
            sound::QtMusicPlayer music;
            sound::musicLoopTick(music, QString());
            sound::musicLoopTick(music, dir.filePath(QStringLiteral("media/ding.wav")));
            QTest::qWait(50);
            sound::musicLoopTick(music, dir.filePath(QStringLiteral("media/ding.wav")));
        }
        QVERIFY(clock.elapsed() < 5000);
    }
};

QTEST_MAIN(TestSound)
#include "test_sound.moc"
