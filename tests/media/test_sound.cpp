#include "qtsound.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMetaMethod>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

namespace {
// Largest sample of a 16-bit PCM file written by the sound generator, as a
// fraction of full scale.
double filePeak(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return 1.0;
    const QByteArray b = f.readAll();
    const qsizetype data = b.indexOf("data") + 8;
    int peak = 0;
    for (qsizetype i = data; i + 1 < b.size(); i += 2)
        peak = qMax(peak, qAbs(int(qint16(quint8(b[i]) | (quint8(b[i + 1]) << 8)))));
    return peak / 32768.0;
}
} // namespace

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

    void muteAndVolumeSurviveARestart()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("settings.ini"));
        {
            QSettings store(file, QSettings::IniFormat);
            sound::Mixer mixer(&store);
            QVERIFY(!mixer.muted());
            QCOMPARE(mixer.volume(), 100);
            mixer.setVolume(140); // clamped
            QCOMPARE(mixer.volume(), 100);
            mixer.setVolume(40);
            mixer.toggleMuted();
            QCOMPARE(mixer.effectLevel(), 0.0f);
            QCOMPARE(mixer.musicLevel(), 0.0f);
        }
        QSettings store(file, QSettings::IniFormat);
        sound::Mixer again(&store);
        QVERIFY(again.muted());
        QCOMPARE(again.volume(), 40);
        again.setMuted(false);
        QCOMPARE(again.effectLevel(), sound::kEffectGain * 0.4f);
    }

    void loudestEffectOverTheMusicStaysUnderFullScale()
    {
        const QString media = QStringLiteral(LONTARIS_MEDIA_DIR "/");
        double effects = 0;
        for (const char *name : {"dung.wav", "sai.wav", "ding.wav", "click.qbs", "exit.qbs", "ringout.wav", "tg.wav",
                                 "w.wav"})
            effects = qMax(effects, filePeak(media + QLatin1String(name)));
        const double mix = effects * sound::kEffectGain + filePeak(media + QStringLiteral("nen.wav")) * sound::kMusicGain;
        QVERIFY2(mix < 0.95, qPrintable(QString::number(mix)));
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

    void theSoundModuleIsLoadedOnlyWhenASoundNeedsIt()
    {
        // The module is built beside the programs, above their media folder.
        const QString programDir = QFileInfo(QStringLiteral(LONTARIS_MEDIA_DIR)).absolutePath();
        struct Watched : sound::Mixer {
            using QObject::isSignalConnected;
        } mixer;
        const QMetaMethod changed = QMetaMethod::fromSignal(&sound::Mixer::changed);
        sound::DeferredSound found({QStringLiteral("/nonexistent"), programDir}, programDir, &mixer);
        // The music loop looks at nothing yet: no module is needed for that.
        sound::musicLoopTick(found.music(), QString());
        QVERIFY(found.music().isStopped());
        QVERIFY(!mixer.isSignalConnected(changed));
        QVERIFY(found.load());
        QVERIFY(found.load()); // once
        QVERIFY(mixer.isSignalConnected(changed)); // the module's players follow the player's volume
        found.effects().playEffect(QStringLiteral("Media\\click.qbs"));
        QTest::qWait(50);

        // Without the module the game is silent, and goes on.
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("sound module cannot be loaded")));
        sound::DeferredSound missing({QStringLiteral("/nonexistent")}, programDir, nullptr);
        missing.effects().playEffect(QStringLiteral("Media\\click.qbs"));
        sound::musicLoopTick(missing.music(), QDir(programDir).filePath(QStringLiteral("media/nen.wav")));
        QVERIFY(missing.music().isStopped());
        QVERIFY(!missing.load());
    }
};

QTEST_MAIN(TestSound)
#include "test_sound.moc"
