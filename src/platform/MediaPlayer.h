#pragma once

#include <QString>

class QWidget;

namespace varnotel {

// The background-music player: the few members the window uses.
class MediaPlayer {
public:
    enum PlayState { Undefined = 0, Stopped = 1, Paused = 2, Playing = 3 };

    virtual ~MediaPlayer() = default;
    // Setting the address opens the file and, as the player starts on its own,
    // begins to play it.
    virtual void setUrl(const QString &url) = 0;
    virtual QString url() const = 0;
    virtual int playState() const = 0;
    virtual void play() = 0;
    // The player's own strip with its controls, placed by the window.
    virtual QWidget *createView(QWidget *parent) = 0;
};

} // namespace varnotel
