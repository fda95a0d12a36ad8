#include "desktop/QtMediaPlayer.h"

#include "platform/Bilingual.h"
#include "platform/FileNames.h"

#include <QAudioDevice>
#include <QAudioOutput>
#include <QMediaDevices>
#include <QMediaPlayer>
#include <QUrl>

#include <sys/stat.h>

#include <optional>

namespace varnotel {

namespace {

struct NotAMusicFile {
    MediaPlayer::Silence why;
    QString detail;
};

std::optional<NotAMusicFile> notAMusicFile(const QString &path) {
    struct stat st {};
    if (::stat(bytesFromName(path).constData(), &st) != 0)
        return NotAMusicFile{MediaPlayer::Silence::MissingFile,
                             bilingual(QStringLiteral("找不到文件"), QStringLiteral("the file is missing"))};
    if (!S_ISREG(st.st_mode))
        return NotAMusicFile{MediaPlayer::Silence::Unplayable,
                             bilingual(QStringLiteral("不是普通文件"), QStringLiteral("not a regular file"))};
    return std::nullopt;
}

} // namespace

// A sound server that starts after the program (a usual race at log-in) brings
// a sound device: the music is tried again then, once.
QtMediaPlayer::QtMediaPlayer(SoundDevice soundDevice, QObject *parent)
    : MediaPlayer(parent), m_soundDevice(soundDevice), m_devices(new QMediaDevices(this)) {
    connect(m_devices, &QMediaDevices::audioOutputsChanged, this, [this] {
        if (m_silence == Silence::NoSoundDevice && !QMediaDevices::audioOutputs().isEmpty())
            setUrl(m_url);
    });
}

QtMediaPlayer::~QtMediaPlayer() = default;

// Made when there is something to play and something to play it on: even an
// idle Qt player reaches for the sound server, and warns when there is none.
void QtMediaPlayer::createPlayer() {
    if (m_player)
        return;
    m_player = new QMediaPlayer(this);
    m_output = new QAudioOutput(this);
    m_output->setVolume(static_cast<float>(m_volume) / 100.0f);
    m_output->setMuted(m_muted);
    m_player->setAudioOutput(m_output);
    m_player->setPlaybackRate(kInitialPlayerSettings.rate);
    m_player->setLoops(kInitialPlayerSettings.playCount);
    connect(m_player, &QMediaPlayer::playbackStateChanged, this, &MediaPlayer::playStateChanged);
    connect(m_player, &QMediaPlayer::positionChanged, this, &MediaPlayer::positionChanged);
    connect(m_player, &QMediaPlayer::durationChanged, this, &MediaPlayer::durationChanged);
    connect(m_player, &QMediaPlayer::mediaStatusChanged, this,
            [this](QMediaPlayer::MediaStatus status) { mediaStatusChanged(status); });
    connect(m_player, &QMediaPlayer::errorOccurred, this, [this](QMediaPlayer::Error, const QString &text) {
        giveUp(Silence::Unplayable, cannotPlayFile(text));
    });
}

void QtMediaPlayer::setUrl(const QString &url) {
    m_url = url;
    m_silence.reset();
    if (m_soundDevice == SoundDevice::Required && QMediaDevices::audioOutputs().isEmpty()) {
        if (m_player)
            m_player->setSource(QUrl());
        giveUp(Silence::NoSoundDevice, bilingual(QStringLiteral("没有可用的声音设备。"),
                                                 QStringLiteral("No sound device is available.")));
        return;
    }
    // Only a regular file is handed over: a pipe or a device at the music's
    // name is nothing a player should wait on.
    if (const std::optional<NotAMusicFile> problem = notAMusicFile(url)) {
        giveUp(problem->why, cannotPlayFile(problem->detail));
        return;
    }
    createPlayer();
    m_player->setSource(QUrl::fromLocalFile(url));
    if (kInitialPlayerSettings.autoStart)
        m_player->play();
}

QString QtMediaPlayer::url() const { return m_url; }

void QtMediaPlayer::mediaStatusChanged(int status) {
    if (status == QMediaPlayer::InvalidMedia) {
        giveUp(Silence::Unplayable, cannotPlayFile(m_player->errorString()));
    } else if (status == QMediaPlayer::EndOfMedia) {
        // A file that ends before anything was heard would otherwise be
        // restarted over and over, as fast as it can be opened.
        if (m_player->duration() <= 0 && m_player->position() <= 0)
            giveUp(Silence::Unplayable, cannotPlayFile(bilingual(QStringLiteral("文件里没有声音"),
                                                                 QStringLiteral("the file holds no sound"))));
        else
            emit endOfMedia();
    }
}

// Qt may announce one failure several times, and leaves the player in the
// playing state: the window hears of it once and sees the player stopped.
void QtMediaPlayer::giveUp(Silence why, const QString &detail) {
    if (m_silence)
        return;
    m_silence = why;
    // Not from inside Qt's own notification, and only while the file is still
    // the one given up.
    if (m_player)
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (m_silence)
                    m_player->stop();
            },
            Qt::QueuedConnection);
    emit playStateChanged();
    emit cannotPlay(why, detail);
}

QString QtMediaPlayer::cannotPlayFile(const QString &why) const {
    return bilingual(QStringLiteral("无法播放音乐文件"), QStringLiteral("Cannot play the music file:")) +
           QStringLiteral("\n") + m_url + QStringLiteral("\n(") + why + QLatin1Char(')');
}

bool QtMediaPlayer::playable() const { return m_player && !m_silence; }

MediaPlayer::PlayState QtMediaPlayer::playState() const {
    if (!playable())
        return PlayState::Stopped;
    switch (m_player->playbackState()) {
    case QMediaPlayer::StoppedState:
        return PlayState::Stopped;
    case QMediaPlayer::PausedState:
        return PlayState::Paused;
    case QMediaPlayer::PlayingState:
        return PlayState::Playing;
    }
    return PlayState::Undefined;
}

void QtMediaPlayer::play() {
    if (m_silence == Silence::NoSoundDevice)
        setUrl(m_url);
    else if (playable())
        m_player->play();
}

void QtMediaPlayer::pause() {
    if (playable())
        m_player->pause();
}

void QtMediaPlayer::stop() {
    if (playable())
        m_player->stop();
}

qint64 QtMediaPlayer::position() const { return m_player ? m_player->position() : 0; }

void QtMediaPlayer::setPosition(qint64 position) {
    if (playable())
        m_player->setPosition(position);
}

qint64 QtMediaPlayer::duration() const { return m_player ? m_player->duration() : 0; }

int QtMediaPlayer::volume() const { return m_volume; }

void QtMediaPlayer::setVolume(int volume) {
    volume = qBound(0, volume, 100);
    if (volume == m_volume)
        return;
    m_volume = volume;
    if (m_output)
        m_output->setVolume(static_cast<float>(volume) / 100.0f);
    emit volumeChanged(volume);
}

bool QtMediaPlayer::isMuted() const { return m_muted; }

void QtMediaPlayer::setMuted(bool muted) {
    if (muted == m_muted)
        return;
    m_muted = muted;
    if (m_output)
        m_output->setMuted(muted);
    emit mutedChanged(muted);
}

} // namespace varnotel
