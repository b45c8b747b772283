#include "sound.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QSoundEffect>
#include <QUrl>
#include <algorithm>

namespace sound {

namespace {
const QString kMutedKey = QStringLiteral("sound/muted");
const QString kVolumeKey = QStringLiteral("sound/volume");
} // namespace

Mixer::Mixer(QSettings *store, QObject *parent) : QObject(parent), m_store(store)
{
    if (m_store) {
        m_muted = m_store->value(kMutedKey, false).toBool();
        m_volume = std::clamp(m_store->value(kVolumeKey, 100).toInt(), 0, 100);
    }
}

void Mixer::setMuted(bool on)
{
    if (on == m_muted)
        return;
    m_muted = on;
    save();
    emit changed();
}

void Mixer::setVolume(int volume)
{
    volume = std::clamp(volume, 0, 100);
    if (volume == m_volume)
        return;
    m_volume = volume;
    save();
    emit changed();
}

float Mixer::effectLevel() const
{
    return m_muted ? 0.0f : kEffectGain * float(m_volume) / 100.0f;
}

float Mixer::musicLevel() const
{
    return m_muted ? 0.0f : kMusicGain * float(m_volume) / 100.0f;
}

void Mixer::save()
{
    if (!m_store)
        return;
    m_store->setValue(kMutedKey, m_muted);
    m_store->setValue(kVolumeKey, m_volume);
    m_store->sync();
}

QString resolveEffect(const QString &programDir, const QString &fileName)
{
    QString rel = fileName;
    rel.replace(QLatin1Char('\\'), QLatin1Char('/'));
    while (rel.startsWith(QLatin1Char('/')))
        rel.remove(0, 1);
    // The one media folder is spelt "media" here; the forms say "Media\x.wav".
    const qsizetype slash = rel.indexOf(QLatin1Char('/'));
    if (slash > 0 && rel.left(slash).compare(QLatin1String("media"), Qt::CaseInsensitive) == 0)
        rel = QStringLiteral("media") + rel.mid(slash);
    return QDir(programDir).filePath(rel);
}

void musicLoopTick(MusicPlayer &player, const QString &fileName)
{
    player.setFileName(fileName);
    if (!player.open())
        return;
    if (player.isStopped())
        player.rewindAndPlay();
}

QtEffectPlayer::QtEffectPlayer(const QString &programDir, const Mixer *mixer)
    : m_programDir(programDir), m_mixer(mixer)
{
    if (m_mixer)
        m_follow = QObject::connect(m_mixer, &Mixer::changed, [this] { applyLevel(); });
}

QtEffectPlayer::~QtEffectPlayer()
{
    QObject::disconnect(m_follow);
    delete m_effect;
}

void QtEffectPlayer::applyLevel()
{
    if (m_effect)
        m_effect->setVolume(m_mixer ? m_mixer->effectLevel() : kEffectGain);
}

void QtEffectPlayer::playEffect(const QString &fileName)
{
    const QString path = resolveEffect(m_programDir, fileName);
    if (m_effect)
        m_effect->stop();
    if (!QFileInfo(path).isFile())
        return;
    // A fresh effect object per sound: the previous one is cut off and dropped.
    delete m_effect;
    m_effect = new QSoundEffect;
    applyLevel();
    m_effect->setSource(QUrl::fromLocalFile(path));
    m_effect->play();
}

QtMusicPlayer::QtMusicPlayer(const Mixer *mixer) : m_mixer(mixer)
{
    if (m_mixer)
        m_follow = QObject::connect(m_mixer, &Mixer::changed, [this] { applyLevel(); });
}

QtMusicPlayer::~QtMusicPlayer()
{
    QObject::disconnect(m_follow);
    delete m_music;
}

void QtMusicPlayer::applyLevel()
{
    // A muted piece plays on unheard, so the loop keeps its place.
    if (m_music)
        m_music->setVolume(m_mixer ? m_mixer->musicLevel() : kMusicGain);
}

void QtMusicPlayer::setFileName(const QString &path)
{
    m_file = path;
}

bool QtMusicPlayer::open()
{
    if (m_file.isEmpty() || !QFileInfo(m_file).isFile())
        return m_music != nullptr && !m_openFile.isEmpty();
    if (m_music && m_openFile == m_file)
        return true;
    delete m_music;
    m_music = new QSoundEffect;
    m_music->setSource(QUrl::fromLocalFile(m_file));
    applyLevel();
    m_openFile = m_file;
    return true;
}

bool QtMusicPlayer::isStopped() const
{
    // A piece just opened has not been started: the tick that opened it starts
    // it too (a piece asked to play while it loads starts once loaded, and
    // counts as playing from the moment it was asked).
    return !m_music || !m_music->isPlaying();
}

void QtMusicPlayer::rewindAndPlay()
{
    if (!m_music || m_music->status() == QSoundEffect::Error)
        return;
    m_music->stop();
    m_music->play();
}

bool RecordingMusicPlayer::open()
{
    if (file.isEmpty() || !fileExists)
        return !openedFile.isEmpty();
    openedFile = file;
    return true;
}

} // namespace sound
