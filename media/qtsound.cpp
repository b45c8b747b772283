// The sound module: the real players on QSoundEffect, with the multimedia
// libraries they bring, loaded by the game only once it needs them.

#include "qtsound.h"

#include <QFileInfo>
#include <QSoundEffect>
#include <QUrl>

namespace sound {

MixedSound::MixedSound(const Mixer *mixer, Level level, float gain) : m_mixer(mixer), m_level(level), m_gain(gain)
{
    if (m_mixer)
        m_follow = QObject::connect(m_mixer, &Mixer::changed, [this] { applyLevel(); });
}

MixedSound::~MixedSound()
{
    QObject::disconnect(m_follow);
    delete m_sound;
}

void MixedSound::applyLevel()
{
    if (m_sound)
        m_sound->setVolume(m_mixer ? (m_mixer->*m_level)() : m_gain);
}

QSoundEffect *MixedSound::renew(const QString &path)
{
    delete m_sound;
    m_sound = new QSoundEffect;
    applyLevel();
    m_sound->setSource(QUrl::fromLocalFile(path));
    return m_sound;
}

QtEffectPlayer::QtEffectPlayer(const QString &programDir, const Mixer *mixer)
    : m_programDir(programDir), m_effect(mixer, &Mixer::effectLevel, kEffectGain)
{
}

void QtEffectPlayer::playEffect(const QString &fileName)
{
    const QString path = resolveEffect(m_programDir, fileName);
    if (m_effect.get())
        m_effect.get()->stop();
    if (!QFileInfo(path).isFile())
        return;
    // A fresh effect object per sound: the previous one is cut off and dropped.
    m_effect.renew(path)->play();
}

QtMusicPlayer::QtMusicPlayer(const Mixer *mixer) : m_music(mixer, &Mixer::musicLevel, kMusicGain) {}

void QtMusicPlayer::setFileName(const QString &path)
{
    m_file = path;
}

bool QtMusicPlayer::open()
{
    if (m_file.isEmpty() || !QFileInfo(m_file).isFile())
        return m_music.get() != nullptr && !m_openFile.isEmpty();
    if (m_music.get() && m_openFile == m_file)
        return true;
    m_music.renew(m_file);
    m_openFile = m_file;
    return true;
}

bool QtMusicPlayer::isStopped() const
{
    // A piece just opened has not been started: the tick that opened it starts
    // it too (a piece asked to play while it loads starts once loaded, and
    // counts as playing from the moment it was asked).
    return !m_music.get() || !m_music.get()->isPlaying();
}

void QtMusicPlayer::rewindAndPlay()
{
    QSoundEffect *music = m_music.get();
    if (!music || music->status() == QSoundEffect::Error)
        return;
    music->stop();
    music->play();
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
