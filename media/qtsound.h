#pragma once
// The game's real players, on QSoundEffect (decodes WAV itself, needs no media
// backend). They are built into the sound module that DeferredSound loads
// (sound.h), and into lontaris_qtsound for the tests and the sound benchmark.

#include "sound.h"

class QSoundEffect;

namespace sound {

class QtEffectPlayer : public EffectPlayer {
public:
    explicit QtEffectPlayer(const QString &programDir, const Mixer *mixer = nullptr);
    ~QtEffectPlayer() override;
    void playEffect(const QString &fileName) override;

private:
    void applyLevel();
    QString m_programDir;
    const Mixer *m_mixer = nullptr;
    QMetaObject::Connection m_follow;
    QSoundEffect *m_effect = nullptr;
};

class QtMusicPlayer : public MusicPlayer {
public:
    explicit QtMusicPlayer(const Mixer *mixer = nullptr);
    ~QtMusicPlayer() override;
    void setFileName(const QString &path) override;
    bool open() override;
    bool isStopped() const override;
    void rewindAndPlay() override;

private:
    void applyLevel();
    const Mixer *m_mixer = nullptr;
    QMetaObject::Connection m_follow;
    QString m_file;
    QString m_openFile;
    QSoundEffect *m_music = nullptr;
};

} // namespace sound

// The module's makers, found by name when DeferredSound loads it.
extern "C" {
using LontarisMakeEffectPlayer = sound::EffectPlayer *(*)(const QString &programDir, const sound::Mixer *mixer);
using LontarisMakeMusicPlayer = sound::MusicPlayer *(*)(const sound::Mixer *mixer);
}
