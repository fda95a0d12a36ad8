#pragma once

#include "platform/MediaPlayer.h"

#include <QFrame>

class QLabel;
class QSlider;
class QToolButton;

namespace varnotel {

// The background music's control bar, as a media bar is laid out: play or
// pause, stop, the position with elapsed and total time, mute and volume. It
// talks to the player only; when there is no music to hear it says why in
// place of the position, and its controls rest but for Play, where another
// try can help (a sound device that was missing).
class MediaPlayerBar : public QFrame {
    Q_OBJECT
public:
    explicit MediaPlayerBar(MediaPlayer &player, QWidget *parent = nullptr);

    QToolButton *playPauseButton;
    QToolButton *stopButton;
    QSlider *positionSlider;
    QLabel *timeLabel;
    QLabel *noMusicLabel;
    QToolButton *muteButton;
    QSlider *volumeSlider;

private:
    void createControls();
    void layOut();
    void connectControls();
    void connectPlayer();
    void playOrPause();
    void showPlayState();
    void showPosition(qint64 position);
    void showDuration(qint64 duration);
    void showTime();
    void showVolume(int volume);
    void showMuted(bool muted);
    void showSilence(MediaPlayer::Silence why, const QString &detail);
    void showMusic();

    MediaPlayer &m_player;
};

} // namespace varnotel
