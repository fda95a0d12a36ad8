#include "music/widgets/MediaPlayerBar.h"

#include "desktop/ControlStyle.h"
#include "music/PlaybackTime.h"
#include "platform/Bilingual.h"
#include "platform/MediaPlayer.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProxyStyle>
#include <QSignalBlocker>
#include <QSlider>
#include <QToolButton>

namespace varnotel {

namespace {

// A click on a slider's groove puts the handle there, as in every media bar,
// instead of stepping a page towards the click.
class JumpToClickStyle final : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override {
        if (hint == SH_Slider_AbsoluteSetButtons)
            return Qt::LeftButton;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

QToolButton *barButton(QWidget *parent, const char *name, QStyle::StandardPixmap icon, const QString &tip) {
    auto *button = new QToolButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setIcon(parent->style()->standardIcon(icon));
    button->setIconSize(QSize(20, 20));
    button->setAutoRaise(true);
    button->setToolTip(tip);
    button->setAccessibleName(tip);
    return button;
}

QSlider *barSlider(QWidget *parent, const char *name, const QString &tip, QStyle *style) {
    auto *slider = new QSlider(Qt::Horizontal, parent);
    slider->setObjectName(QLatin1String(name));
    slider->setStyle(style);
    slider->setToolTip(tip);
    slider->setAccessibleName(tip);
    return slider;
}

void setTip(QWidget *control, const QString &tip) {
    control->setToolTip(tip);
    control->setAccessibleName(tip);
}

QString playTip() { return bilingual(QStringLiteral("播放"), QStringLiteral("Play")); }
QString pauseTip() { return bilingual(QStringLiteral("暂停"), QStringLiteral("Pause")); }
QString muteTip() { return bilingual(QStringLiteral("静音"), QStringLiteral("Mute")); }
QString unmuteTip() { return bilingual(QStringLiteral("取消静音"), QStringLiteral("Unmute")); }

constexpr int kSecondMs = 1000;

// Why there is no music, in the bar's own words.
QString silenceText(MediaPlayer::Silence why) {
    switch (why) {
    case MediaPlayer::Silence::NoSoundDevice:
        return bilingual(QStringLiteral("没有声音设备,按播放键再试"),
                         QStringLiteral("No sound device; press Play to try again"));
    case MediaPlayer::Silence::MissingFile:
        return bilingual(QStringLiteral("找不到背景音乐文件"), QStringLiteral("The music file is missing"));
    case MediaPlayer::Silence::Unplayable:
        break;
    }
    return bilingual(QStringLiteral("背景音乐文件无法播放"),
                     QStringLiteral("The music file cannot be played"));
}

} // namespace

MediaPlayerBar::MediaPlayerBar(MediaPlayer &player, QWidget *parent) : QFrame(parent), m_player(player) {
    setFrameShape(QFrame::StyledPanel);
    setAccessibleName(bilingual(QStringLiteral("背景音乐"), QStringLiteral("Background music")));
    style::setColours(this, style::kButtonFace, Qt::black);
    createControls();
    // Tab enters the bar at its first button and walks its controls in order.
    setFocusProxy(playPauseButton);
    layOut();
    connectControls();
    connectPlayer();
    showPlayState();
    showDuration(m_player.duration());
    showPosition(m_player.position());
    showVolume(m_player.volume());
    showMuted(m_player.isMuted());
}

void MediaPlayerBar::createControls() {
    auto *jumpToClick = new JumpToClickStyle;
    jumpToClick->setParent(this);
    playPauseButton = barButton(this, "playPauseButton", QStyle::SP_MediaPlay, playTip());
    stopButton = barButton(this, "stopButton", QStyle::SP_MediaStop,
                           bilingual(QStringLiteral("停止"), QStringLiteral("Stop")));
    positionSlider =
        barSlider(this, "positionSlider", bilingual(QStringLiteral("播放位置"), QStringLiteral("Position")),
                  jumpToClick);
    positionSlider->setSingleStep(5 * kSecondMs);
    positionSlider->setPageStep(30 * kSecondMs);
    timeLabel = new QLabel(this);
    timeLabel->setObjectName(QStringLiteral("timeLabel"));
    noMusicLabel = new QLabel(this);
    noMusicLabel->setObjectName(QStringLiteral("noMusicLabel"));
    noMusicLabel->hide();
    muteButton = barButton(this, "muteButton", QStyle::SP_MediaVolume, muteTip());
    muteButton->setCheckable(true);
    volumeSlider = barSlider(this, "volumeSlider",
                             bilingual(QStringLiteral("音量"), QStringLiteral("Volume")), jumpToClick);
    volumeSlider->setRange(0, 100);
    volumeSlider->setSingleStep(5);
    volumeSlider->setPageStep(10);
    volumeSlider->setFixedWidth(110);
}

void MediaPlayerBar::layOut() {
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(6, 2, 10, 2);
    row->setSpacing(6);
    row->addWidget(playPauseButton);
    row->addWidget(stopButton);
    row->addSpacing(6);
    row->addWidget(positionSlider, 1);
    row->addWidget(noMusicLabel, 1);
    row->addWidget(timeLabel);
    row->addSpacing(12);
    row->addWidget(muteButton);
    row->addWidget(volumeSlider);
}

// Only what the person does reaches the player: the bar's own updates from
// the player are made with the controls' signals blocked.
void MediaPlayerBar::connectControls() {
    connect(playPauseButton, &QToolButton::clicked, this, &MediaPlayerBar::playOrPause);
    connect(stopButton, &QToolButton::clicked, &m_player, &MediaPlayer::stop);
    connect(positionSlider, &QSlider::valueChanged, &m_player, &MediaPlayer::setPosition);
    connect(muteButton, &QToolButton::toggled, &m_player, &MediaPlayer::setMuted);
    connect(volumeSlider, &QSlider::valueChanged, &m_player, &MediaPlayer::setVolume);
}

void MediaPlayerBar::connectPlayer() {
    connect(&m_player, &MediaPlayer::playStateChanged, this, &MediaPlayerBar::showPlayState);
    connect(&m_player, &MediaPlayer::positionChanged, this, &MediaPlayerBar::showPosition);
    connect(&m_player, &MediaPlayer::durationChanged, this, &MediaPlayerBar::showDuration);
    connect(&m_player, &MediaPlayer::volumeChanged, this, &MediaPlayerBar::showVolume);
    connect(&m_player, &MediaPlayer::mutedChanged, this, &MediaPlayerBar::showMuted);
    connect(&m_player, &MediaPlayer::cannotPlay, this, &MediaPlayerBar::showSilence);
}

void MediaPlayerBar::playOrPause() {
    if (m_player.playState() == MediaPlayer::PlayState::Playing)
        m_player.pause();
    else
        m_player.play();
}

void MediaPlayerBar::showPlayState() {
    const bool playing = m_player.playState() == MediaPlayer::PlayState::Playing;
    if (playing)
        showMusic();
    playPauseButton->setIcon(style()->standardIcon(playing ? QStyle::SP_MediaPause : QStyle::SP_MediaPlay));
    setTip(playPauseButton, playing ? pauseTip() : playTip());
}

void MediaPlayerBar::showPosition(qint64 position) {
    // A handle the person is dragging is not pulled away under the mouse.
    if (!positionSlider->isSliderDown()) {
        const QSignalBlocker blocker(positionSlider);
        positionSlider->setValue(static_cast<int>(position));
    }
    showTime();
}

void MediaPlayerBar::showDuration(qint64 duration) {
    const QSignalBlocker blocker(positionSlider);
    positionSlider->setMaximum(static_cast<int>(qMax<qint64>(duration, 0)));
    showTime();
}

void MediaPlayerBar::showTime() {
    timeLabel->setText(playbackTimeText(m_player.position(), m_player.duration()));
}

void MediaPlayerBar::showVolume(int volume) {
    const QSignalBlocker blocker(volumeSlider);
    volumeSlider->setValue(volume);
}

void MediaPlayerBar::showMuted(bool muted) {
    const QSignalBlocker blocker(muteButton);
    muteButton->setChecked(muted);
    muteButton->setIcon(style()->standardIcon(muted ? QStyle::SP_MediaVolumeMuted : QStyle::SP_MediaVolume));
    setTip(muteButton, muted ? unmuteTip() : muteTip());
}

// Said in the bar, not in a dialog: everything else of the window goes on.
void MediaPlayerBar::showSilence(MediaPlayer::Silence why, const QString &detail) {
    positionSlider->hide();
    timeLabel->hide();
    noMusicLabel->setText(silenceText(why));
    noMusicLabel->setToolTip(detail);
    noMusicLabel->show();
    for (QWidget *control : {playPauseButton, stopButton, muteButton})
        control->setEnabled(false);
    volumeSlider->setEnabled(false);
    playPauseButton->setEnabled(why == MediaPlayer::Silence::NoSoundDevice);
    showPlayState();
}

// The music plays after all: a sound device came.
void MediaPlayerBar::showMusic() {
    if (noMusicLabel->isHidden())
        return;
    noMusicLabel->hide();
    positionSlider->show();
    timeLabel->show();
    for (QWidget *control : {playPauseButton, stopButton, muteButton})
        control->setEnabled(true);
    volumeSlider->setEnabled(true);
}

} // namespace varnotel
