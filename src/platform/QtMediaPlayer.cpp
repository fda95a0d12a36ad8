#include "platform/QtMediaPlayer.h"

#include <QAudioOutput>
#include <QFrame>
#include <QMediaPlayer>
#include <QUrl>

namespace varnotel {

QtMediaPlayer::QtMediaPlayer(QObject *parent)
    : MediaPlayer(parent), m_player(new QMediaPlayer(this)), m_output(new QAudioOutput(this)) {
    m_output->setVolume(0.5f);
    m_player->setAudioOutput(m_output);
    connect(m_player, &QMediaPlayer::playbackStateChanged, this, &MediaPlayer::playStateChanged);
}

QtMediaPlayer::~QtMediaPlayer() = default;

void QtMediaPlayer::setUrl(const QString &url) {
    m_url = url;
    m_player->setSource(QUrl::fromLocalFile(url));
    m_player->play();
}

QString QtMediaPlayer::url() const { return m_url; }

MediaPlayer::PlayState QtMediaPlayer::playState() const {
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

void QtMediaPlayer::play() { m_player->play(); }

QWidget *QtMediaPlayer::createView(QWidget *parent) {
    auto *strip = new QFrame(parent);
    strip->setFrameShape(QFrame::StyledPanel);
    return strip;
}

} // namespace varnotel
