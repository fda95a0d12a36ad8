#pragma once

#include "platform/MediaPlayer.h"

class QAudioOutput;
class QMediaPlayer;

namespace varnotel {

// The background-music player on Qt Multimedia, set up as the window's player
// is stored: starts on its own, plays once, half volume, no error dialogs.
class QtMediaPlayer final : public MediaPlayer {
    Q_OBJECT
public:
    explicit QtMediaPlayer(QObject *parent = nullptr);
    ~QtMediaPlayer() override;

    void setUrl(const QString &url) override;
    QString url() const override;
    PlayState playState() const override;
    void play() override;
    QWidget *createView(QWidget *parent) override;

private:
    QMediaPlayer *m_player;
    QAudioOutput *m_output;
    QString m_url;
};

} // namespace varnotel
