#pragma once

#include "platform/MediaPlayer.h"

#include <optional>

class QAudioOutput;
class QMediaDevices;
class QMediaPlayer;

namespace varnotel {

// The background-music player on Qt Multimedia (QMediaPlayer with
// QAudioOutput), set up with the player's first settings. A file that cannot be played
// is given up at its first failure: it is never tried again, but for a sound
// device that was missing.
class QtMediaPlayer final : public MediaPlayer {
    Q_OBJECT
public:
    // Without a sound device there is nothing to hear, so by default the player
    // then reports that it cannot play instead of decoding into the void.
    // Optional lets it play all the same, on GStreamer's stand-in output.
    enum class SoundDevice { Required, Optional };

    explicit QtMediaPlayer(SoundDevice soundDevice = SoundDevice::Required, QObject *parent = nullptr);
    ~QtMediaPlayer() override;

    void setUrl(const QString &url) override;
    QString url() const override;
    PlayState playState() const override;
    void play() override;
    void pause() override;
    void stop() override;
    qint64 position() const override;
    void setPosition(qint64 position) override;
    qint64 duration() const override;
    int volume() const override;
    void setVolume(int volume) override;
    bool isMuted() const override;
    void setMuted(bool muted) override;

private:
    void createPlayer();
    bool playable() const;
    void mediaStatusChanged(int status);
    void giveUp(Silence why, const QString &detail);
    QString cannotPlayFile(const QString &why) const;

    SoundDevice m_soundDevice;
    QMediaDevices *m_devices;
    QMediaPlayer *m_player = nullptr;
    QAudioOutput *m_output = nullptr;
    QString m_url;
    std::optional<Silence> m_silence; // why the music was given up
    int m_volume = kInitialPlayerSettings.volume;
    bool m_muted = kInitialPlayerSettings.mute;
};

} // namespace varnotel
