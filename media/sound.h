#pragma once
// The game's sound: short effects, one at a time, and the background music loop.
//
// Effect names are given the way the game's forms write them ("Media\dung.wav"):
// they are found in the media folder of the program folder whatever the current
// directory is. A missing or unplayable file is silent. With no audio device the
// game runs on, silent.
//
// Levels: the player's volume and mute switch (Mixer, remembered between runs)
// scale both kinds of sound. At full volume an effect peaks at kEffectGain and
// the music at kMusicGain of each file's own peak, so that the loudest effect
// over the music stays under full scale.

#include <QMetaObject>
#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

class QSettings;

namespace sound {

constexpr float kEffectGain = 0.75f;
constexpr float kMusicGain = 0.45f;

// The player's sound setting: muted or not, and a volume from 0 to 100. With a
// store, it is read from it at construction and written back on every change.
class Mixer : public QObject {
    Q_OBJECT
public:
    explicit Mixer(QSettings *store = nullptr, QObject *parent = nullptr);

    bool muted() const { return m_muted; }
    int volume() const { return m_volume; }
    void setMuted(bool on);
    void toggleMuted() { setMuted(!m_muted); }
    void setVolume(int volume); // clamped to 0..100
    // The level a player sets: 0 when muted.
    float effectLevel() const;
    float musicLevel() const;

signals:
    void changed();

private:
    void save();
    QSettings *m_store = nullptr;
    bool m_muted = false;
    int m_volume = 100;
};

// programDir + "/media/<file>" for "Media\<file>" (any letter case, either slash).
QString resolveEffect(const QString &programDir, const QString &fileName);

class EffectPlayer {
public:
    virtual ~EffectPlayer() = default;
    // Plays the effect once, in the background; a new effect cuts off the previous one.
    virtual void playEffect(const QString &fileName) = 0;
};

class MusicPlayer {
public:
    virtual ~MusicPlayer() = default;
    virtual void setFileName(const QString &path) = 0;
    // Opens the current file; true when a piece is ready (already open counts).
    virtual bool open() = 0;
    virtual bool isStopped() const = 0;
    // Rewind to the start and play.
    virtual void rewindAndPlay() = 0;
};

// One look at the music, as the loop timer makes it every 500 ms: open the file
// named in fileName and, when the piece has stopped (never started or ended),
// play it again from its beginning.
void musicLoopTick(MusicPlayer &player, const QString &fileName);

// The real players, on QSoundEffect, live in the sound module (qtsound.h),
// which brings the multimedia libraries with it: a start does not load them.
// DeferredSound stands in for them: it loads the module when asked to (the
// game does once its first window is up) or at the first sound, and is silent
// when the module cannot be loaded.
class DeferredSound {
public:
    // moduleDirs: where the module is looked for, in turn.
    DeferredSound(const QStringList &moduleDirs, const QString &programDir, const Mixer *mixer);
    ~DeferredSound();
    DeferredSound(const DeferredSound &) = delete;
    DeferredSound &operator=(const DeferredSound &) = delete;

    EffectPlayer &effects();
    MusicPlayer &music();
    // Loads the module and makes the players, once; true when they are real.
    bool load();

private:
    class Effects;
    class Music;
    QStringList m_moduleDirs;
    QString m_programDir;
    const Mixer *m_mixer = nullptr;
    bool m_tried = false;
    std::unique_ptr<EffectPlayer> m_realEffects;
    std::unique_ptr<MusicPlayer> m_realMusic;
    std::unique_ptr<Effects> m_effects;
    std::unique_ptr<Music> m_music;
};

// Silent players that remember what was asked of them (tests, and runs with
// LONTARIS_MUTE=1).
class RecordingEffectPlayer : public EffectPlayer {
public:
    void playEffect(const QString &fileName) override { played.append(fileName); }
    QStringList played;
};

class RecordingMusicPlayer : public MusicPlayer {
public:
    void setFileName(const QString &path) override { file = path; }
    bool open() override;
    bool isStopped() const override { return !playing; }
    void rewindAndPlay() override
    {
        playing = true;
        ++starts;
    }
    // Test control: whether open() finds the file.
    bool fileExists = true;
    QString file;
    QString openedFile;
    bool playing = false;
    int starts = 0;
};

} // namespace sound
