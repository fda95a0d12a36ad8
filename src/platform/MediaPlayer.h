#pragma once

#include <QObject>
#include <QString>

class QWidget;

namespace varnotel {

// The background-music player: the few members the window uses. Every change
// of the play state is announced by playStateChanged.
class MediaPlayer : public QObject {
    Q_OBJECT
public:
    enum class PlayState { Undefined, Stopped, Paused, Playing };

    using QObject::QObject;

    // Setting the address opens the file and, as the player starts on its own,
    // begins to play it.
    virtual void setUrl(const QString &url) = 0;
    virtual QString url() const = 0;
    virtual PlayState playState() const = 0;
    virtual void play() = 0;
    // The player's own strip with its controls, placed by the window.
    virtual QWidget *createView(QWidget *parent) = 0;

signals:
    void playStateChanged();
};

} // namespace varnotel
