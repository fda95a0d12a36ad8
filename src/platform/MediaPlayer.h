#pragma once

#include <QObject>
#include <QString>

namespace varnotel {

// The player's settings from the moment the window exists, before any code
// runs: it starts on its own once it is given a file, plays it once, at half
// volume, not muted, at normal speed. The player never shows a dialog of its
// own; what goes wrong is announced by cannotPlay.
struct InitialPlayerSettings {
    bool autoStart = true;
    int volume = 50; // 0 to 100
    bool mute = false;
    double rate = 1.0;
    int playCount = 1;
};
inline constexpr InitialPlayerSettings kInitialPlayerSettings{};

// The background-music player: what the window and its control bar use.
// Positions and durations are in milliseconds.
class MediaPlayer : public QObject {
    Q_OBJECT
public:
    enum class PlayState { Undefined, Stopped, Paused, Playing };
    // Why there is no music to hear.
    enum class Silence { NoSoundDevice, MissingFile, Unplayable };
    Q_ENUM(Silence)

    using QObject::QObject;

    // Setting the address opens the file and, as the player starts on its own,
    // begins to play it.
    virtual void setUrl(const QString &url) = 0;
    virtual QString url() const = 0;
    virtual PlayState playState() const = 0;
    // A stopped player starts again from the beginning, a paused one goes on.
    // A player that had no sound device to play on looks for one again, once.
    virtual void play() = 0;
    virtual void pause() = 0;
    virtual void stop() = 0;

    virtual qint64 position() const = 0;
    virtual void setPosition(qint64 position) = 0;
    virtual qint64 duration() const = 0;

    virtual int volume() const = 0;
    virtual void setVolume(int volume) = 0;
    virtual bool isMuted() const = 0;
    virtual void setMuted(bool muted) = 0;

signals:
    void playStateChanged();
    // The media played to its end; the player now rests stopped.
    void endOfMedia();
    // There is no music to hear, for this reason; the detail says more (the
    // file, the system's words). Raised once per attempt: the player does not
    // try again on its own, but for a sound device that appears later.
    void cannotPlay(varnotel::MediaPlayer::Silence why, const QString &detail);
    void positionChanged(qint64 position);
    void durationChanged(qint64 duration);
    void volumeChanged(int volume);
    void mutedChanged(bool muted);
};

} // namespace varnotel
