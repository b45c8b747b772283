// The sound module: the real players on QSoundEffect, with the multimedia
// libraries they bring, loaded by the game only once it needs them.

#include "qtsound.h"

#include <QFileInfo>
#include <QSoundEffect>
#include <QUrl>

namespace sound {

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

} // namespace sound

extern "C" Q_DECL_EXPORT sound::EffectPlayer *lontaris_make_effect_player(const QString &programDir,
                                                                          const sound::Mixer *mixer)
{
    return new sound::QtEffectPlayer(programDir, mixer);
}

extern "C" Q_DECL_EXPORT sound::MusicPlayer *lontaris_make_music_player(const sound::Mixer *mixer)
{
    return new sound::QtMusicPlayer(mixer);
}
