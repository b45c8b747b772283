#include "sound.h"

#include <QDir>
#include <QFileInfo>
#include <QSoundEffect>
#include <QUrl>

namespace sound {

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

QtEffectPlayer::QtEffectPlayer(const QString &programDir) : m_programDir(programDir) {}

QtEffectPlayer::~QtEffectPlayer()
{
    delete m_effect;
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
    m_effect->setSource(QUrl::fromLocalFile(path));
    m_effect->play();
}

QtMusicPlayer::QtMusicPlayer() = default;

QtMusicPlayer::~QtMusicPlayer()
{
    delete m_music;
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
    m_music->setVolume(0.55f);
    m_openFile = m_file;
    return true;
}

bool QtMusicPlayer::isStopped() const
{
    if (!m_music)
        return true;
    // Still loading counts as playing: a restart now would only queue another start.
    if (m_music->status() == QSoundEffect::Loading)
        return false;
    return !m_music->isPlaying();
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
