#pragma once
// The game's real players, on QSoundEffect (decodes WAV itself, needs no media
// backend). They are built into the sound module that DeferredSound loads
// (sound.h), and into lontaris_qtsound for the tests and the sound benchmark.

#include "sound.h"

class QSoundEffect;

namespace sound {

// The QSoundEffect a player holds, its volume kept at one of the mixer's
// levels (at `gain` with no mixer). Muted, a sound plays on unheard, so a
// music loop keeps its place.
class MixedSound {
public:
    using Level = float (Mixer::*)() const;
    MixedSound(const Mixer *mixer, Level level, float gain);
    ~MixedSound();
    MixedSound(const MixedSound &) = delete;
    MixedSound &operator=(const MixedSound &) = delete;

    QSoundEffect *get() const { return m_sound; }
    // Drops the sound held for a fresh one of the file at `path`.
    QSoundEffect *renew(const QString &path);

private:
    void applyLevel();
    const Mixer *m_mixer;
    Level m_level;
    float m_gain;
    QMetaObject::Connection m_follow;
    QSoundEffect *m_sound = nullptr;
};

class QtEffectPlayer : public EffectPlayer {
public:
    explicit QtEffectPlayer(const QString &programDir, const Mixer *mixer = nullptr);
    void playEffect(const QString &fileName) override;

private:
    QString m_programDir;
    MixedSound m_effect;
};

class QtMusicPlayer : public MusicPlayer {
public:
    explicit QtMusicPlayer(const Mixer *mixer = nullptr);
    void setFileName(const QString &path) override;
    bool open() override;
    bool isStopped() const override;
    void rewindAndPlay() override;

private:
    QString m_file;
    QString m_openFile;
    MixedSound m_music;
};

} // namespace sound

// The module's makers, found by name when DeferredSound loads it.
extern "C" {
using LontarisMakeEffectPlayer = sound::EffectPlayer *(*)(const QString &programDir, const sound::Mixer *mixer);
using LontarisMakeMusicPlayer = sound::MusicPlayer *(*)(const sound::Mixer *mixer);
}
