#include "sound.h"

#include "qtsound.h"

#include <QDir>
#include <QFileInfo>
#include <QLibrary>
#include <QSettings>
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

// --- the players of the sound module --------------------------------------------

class DeferredSound::Effects : public EffectPlayer {
public:
    explicit Effects(DeferredSound &owner) : m_owner(owner) {}
    void playEffect(const QString &fileName) override
    {
        if (m_owner.load())
            m_owner.m_realEffects->playEffect(fileName);
    }

private:
    DeferredSound &m_owner;
};

class DeferredSound::Music : public MusicPlayer {
public:
    explicit Music(DeferredSound &owner) : m_owner(owner) {}
    void setFileName(const QString &path) override
    {
        m_file = path;
        if (m_owner.m_realMusic)
            m_owner.m_realMusic->setFileName(path);
    }
    bool open() override
    {
        // Nothing to open yet (the loop looks every 500 ms from the start):
        // the module is not needed for that.
        if (!m_owner.m_realMusic && (m_file.isEmpty() || !QFileInfo(m_file).isFile()))
            return false;
        if (!m_owner.load())
            return false;
        m_owner.m_realMusic->setFileName(m_file);
        return m_owner.m_realMusic->open();
    }
    bool isStopped() const override { return !m_owner.m_realMusic || m_owner.m_realMusic->isStopped(); }
    void rewindAndPlay() override
    {
        if (m_owner.m_realMusic)
            m_owner.m_realMusic->rewindAndPlay();
    }

private:
    DeferredSound &m_owner;
    QString m_file;
};

DeferredSound::DeferredSound(const QStringList &moduleDirs, const QString &programDir, const Mixer *mixer)
    : m_moduleDirs(moduleDirs), m_programDir(programDir), m_mixer(mixer),
      m_effects(std::make_unique<Effects>(*this)), m_music(std::make_unique<Music>(*this))
{
}

DeferredSound::~DeferredSound() = default;

EffectPlayer &DeferredSound::effects()
{
    return *m_effects;
}

MusicPlayer &DeferredSound::music()
{
    return *m_music;
}

bool DeferredSound::load()
{
    if (m_tried)
        return m_realEffects && m_realMusic;
    m_tried = true;
    QStringList why;
    for (const QString &dir : m_moduleDirs) {
        // Loaded once for the whole run, and never unloaded: the players'
        // code stays until the program ends.
        QLibrary module(QDir(dir).filePath(QStringLiteral("lontaris_sound")));
        module.setLoadHints(QLibrary::PreventUnloadHint);
        if (!module.load()) {
            why << module.errorString();
            continue;
        }
        const auto makeEffects = reinterpret_cast<LontarisMakeEffectPlayer>(module.resolve("lontaris_make_effect_player"));
        const auto makeMusic = reinterpret_cast<LontarisMakeMusicPlayer>(module.resolve("lontaris_make_music_player"));
        if (!makeEffects || !makeMusic) {
            why << module.errorString();
            continue;
        }
        m_realEffects.reset(makeEffects(m_programDir, m_mixer));
        m_realMusic.reset(makeMusic(m_mixer));
        return true;
    }
    // No sound, as with no audio device; said once.
    qWarning("lontaris: the sound module cannot be loaded, so the game is silent: %s",
             qPrintable(why.join(QLatin1String("; "))));
    return false;
}

bool RecordingMusicPlayer::open()
{
    if (file.isEmpty() || !fileExists)
        return !openedFile.isEmpty();
    openedFile = file;
    return true;
}

} // namespace sound
