// The background music: handed over at start-up, looping, and the control bar
// as a person uses it; then once on the real player with files made here.
#include "mainwindow/widgets/ListBox.h"
#include "music/widgets/MediaPlayerBar.h"
#include "music/PlaybackTime.h"
#include "desktop/QtMediaPlayer.h"
#include "support/Expectations.h"
#include "support/TempLibrary.h"
#include "support/WindowDriver.h"

#include <QAudioDevice>
#include <QDataStream>
#include <QLabel>
#include <QMediaDevices>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QToolButton>
#include <QtTest>

#include <sys/stat.h>

#include <cmath>
#include <functional>

using namespace varnotel;
using namespace varnotel::test;
using namespace Qt::StringLiterals;

using PlayState = MediaPlayer::PlayState;

namespace {

constexpr qint64 kMinute = 60 * 1000;

// One thing the person does on the window, or the player reports.
using Step = std::function<void(ShownWindow &)>;

// After some steps on a window whose minute-long music has started: what the
// player and the bar should show.
struct Happening {
    QList<Step> steps;
    PlayState state = PlayState::Playing;
    int plays = 1; // play() calls, the start at Form_Load among them
    bool muted = false;
    int volume = kInitialPlayerSettings.volume;
    qint64 position = 0;
    bool noMusic = false;
};

Step press(QToolButton *MediaPlayerBar::*button) {
    return [button](ShownWindow &w) { click(w.window.WindowsMediaPlayer1->*button); };
}

Step key(QSlider *MediaPlayerBar::*slider, Qt::Key pressed) {
    return [=](ShownWindow &w) { QTest::keyClick(w.window.WindowsMediaPlayer1->*slider, pressed); };
}

// A mouse click at a fraction of a slider's groove.
Step clickAt(QSlider *MediaPlayerBar::*slider, double fraction) {
    return [=](ShownWindow &w) {
        QSlider *target = w.window.WindowsMediaPlayer1->*slider;
        const QPoint point(static_cast<int>(target->width() * fraction), target->height() / 2);
        QTest::mouseClick(target, Qt::LeftButton, {}, point);
    };
}

// A 16-bit mono PCM WAV file holding a quiet tone of the given length.
QByteArray wav(int milliseconds) {
    constexpr quint32 rate = 8000;
    const quint32 size = rate * milliseconds / 1000 * 2;
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData("RIFF", 4);
    out << 36 + size;
    out.writeRawData("WAVEfmt ", 8);
    out << quint32(16) << quint16(1) << quint16(1) << rate << rate * 2 << quint16(2) << quint16(16);
    out.writeRawData("data", 4);
    out << size;
    for (quint32 i = 0; i < size / 2; ++i)
        out << static_cast<qint16>(800 * std::sin(i * 440.0 * 2 * M_PI / rate));
    return bytes;
}

// The music file as the real player is given it: null bytes are no file.
struct MusicFile {
    QByteArray bytes;
    QString reason; // in the bar's tooltip when there is no music; none: it loops
    QtMediaPlayer::SoundDevice device = QtMediaPlayer::SoundDevice::Optional;
    bool pipe = false; // a FIFO at the music's name, which nobody writes to
};

} // namespace

Q_DECLARE_METATYPE(Happening)
Q_DECLARE_METATYPE(MusicFile)

class MusicTest : public QObject {
    Q_OBJECT
private slots:
    void startUpHandsTheMusicFileOverLast();
    void whatHappensToTheMusic_data();
    void whatHappensToTheMusic();
    void theRealPlayer_data();
    void theRealPlayer();
};

// Once the lists and the statistics are there; the bar shows the time as a
// media bar does.
void MusicTest::startUpHandsTheMusicFileOverLast() {
    TempLibrary lib;
    lib.addJournal(u"Cell");
    TestPlatform seams;
    Form1 window(lib.appDir(), seams.platform());
    QStringList seenAtStart;
    connect(&seams.player, &MediaPlayer::playStateChanged, this,
            [&] { seenAtStart = window.List1->items() + window.surfaceLines(); });
    window.Form_Load();
    QCOMPARE(seams.player.url(), lib.path(u"BGM/BGM.mp3"));
    QCOMPARE(seenAtStart, QStringList{u"Cell"_s} + statistics(1, 0));
    QCOMPARE(playbackTimeText(0, 0), u"0:00 / 0:00"_s);
    QCOMPARE(playbackTimeText(65'432, 200'000), u"1:05 / 3:20"_s);
    QCOMPARE(playbackTimeText(3'723'000, 5'400'000), u"1:02:03 / 1:30:00"_s);
}

void MusicTest::whatHappensToTheMusic_data() {
    QTest::addColumn<Happening>("happening");
    const Step playPause = press(&MediaPlayerBar::playPauseButton);
    const Step stop = press(&MediaPlayerBar::stopButton);
    const Step mute = press(&MediaPlayerBar::muteButton);
    const Step end = [](ShownWindow &w) { w.seams.player.reachEnd(); };
    const Step unplayable = [](ShownWindow &w) { w.seams.player.failToPlay(u"bad file"_s); };
    const Step openManual = [](ShownWindow &w) { click(w.window.Command12); };
    const Step loudest = key(&MediaPlayerBar::volumeSlider, Qt::Key_End);
    const Step pageDown = key(&MediaPlayerBar::volumeSlider, Qt::Key_PageDown);
    const Step clickMiddle = clickAt(&MediaPlayerBar::positionSlider, 0.5);
    const auto paused = PlayState::Paused, stopped = PlayState::Stopped;
    const int stored = kInitialPlayerSettings.volume;
    QTest::newRow("it ends, three times") << Happening{{end, end, end}, PlayState::Playing, 4};
    QTest::newRow("pause on the bar") << Happening{{playPause}, paused};
    QTest::newRow("pause, then play") << Happening{{playPause, playPause}, PlayState::Playing, 2};
    QTest::newRow("stop on the bar stays a stop") << Happening{{stop}, stopped};
    QTest::newRow("stop, then play") << Happening{{stop, playPause}, PlayState::Playing, 2};
    QTest::newRow("the file cannot be played")
        << Happening{{unplayable, playPause}, stopped, 1, false, stored, 0, true};
    QTest::newRow("the manual opens") << Happening{{openManual}};
    QTest::newRow("mute") << Happening{{mute}, PlayState::Playing, 1, true};
    QTest::newRow("mute and unmute") << Happening{{mute, mute}};
    QTest::newRow("volume keys") << Happening{{loudest, pageDown}, PlayState::Playing, 1, false, 90};
    QTest::newRow("volume all the way down")
        << Happening{{clickAt(&MediaPlayerBar::volumeSlider, 0)}, PlayState::Playing, 1, false, 0};
    QTest::newRow("a click in the middle of the position")
        << Happening{{clickMiddle}, PlayState::Playing, 1, false, stored, kMinute / 2};
}

void MusicTest::whatHappensToTheMusic() {
    QFETCH(const Happening, happening);
    TempLibrary lib;
    ShownWindow w(lib.appDir());
    FakePlayer &player = w.seams.player;
    player.setDuration(kMinute);
    for (const Step &step : happening.steps)
        step(w);

    QCOMPARE(player.state, happening.state);
    QCOMPARE(player.plays, happening.plays);
    QCOMPARE(player.volume(), happening.volume);
    QCOMPARE(player.isMuted(), happening.muted);
    QVERIFY2(qAbs(player.position() - happening.position) <= kMinute / 20,
             qPrintable(QString::number(player.position())));
    // What the person sees of it.
    MediaPlayerBar *bar = w.window.WindowsMediaPlayer1;
    const bool playing = happening.state == PlayState::Playing;
    QCOMPARE(bar->playPauseButton->toolTip(), playing ? u"暂停 Pause"_s : u"播放 Play"_s);
    QCOMPARE(bar->muteButton->toolTip(), happening.muted ? u"取消静音 Unmute"_s : u"静音 Mute"_s);
    QCOMPARE(bar->volumeSlider->value(), happening.volume);
    QCOMPARE(bar->noMusicLabel->isVisible(), happening.noMusic);
    QCOMPARE(bar->positionSlider->isVisible(), !happening.noMusic);
    QCOMPARE(bar->playPauseButton->isEnabled(), !happening.noMusic);
    if (happening.noMusic)
        QCOMPARE(bar->noMusicLabel->text(), u"没有背景音乐 No background music"_s);
    QCOMPARE(w.seams.player.urlSets, 1);
    QVERIFY(w.seams.errors.messages.isEmpty());
}

void MusicTest::theRealPlayer_data() {
    QTest::addColumn<MusicFile>("file");
    const QString cannotPlay = u"无法播放音乐文件 Cannot play the music file:"_s;
    const QString noDevice = u"没有可用的声音设备。 No sound device is available."_s;
    QTest::newRow("a short tune loops") << MusicFile{wav(300), {}};
    QTest::newRow("no file") << MusicFile{{}, cannotPlay};
    QTest::newRow("not sound") << MusicFile{QByteArray(4000, 'x'), cannotPlay};
    QTest::newRow("a tune of no length") << MusicFile{wav(0), cannotPlay};
    QTest::newRow("a pipe") << MusicFile{{}, cannotPlay, QtMediaPlayer::SoundDevice::Optional, true};
    QTest::newRow("no sound device") << MusicFile{wav(300), noDevice, QtMediaPlayer::SoundDevice::Required};
}

// Without a sound device, GStreamer plays into a stand-in output in real time,
// so the loop is checked on every machine; the player's refusal to play
// without a device can only be seen on a machine that has none.
void MusicTest::theRealPlayer() {
    QFETCH(const MusicFile, file);
    if (file.device == QtMediaPlayer::SoundDevice::Required) {
        if (!QMediaDevices::audioOutputs().isEmpty())
            QSKIP("this machine has a sound device, so the case without one cannot be made");
        QTest::failOnWarning(QRegularExpression(u".*"_s)); // quietly
    }
    TempLibrary lib;
    if (!file.bytes.isNull())
        lib.write(u"BGM/BGM.mp3", file.bytes);
    if (file.pipe)
        QCOMPARE(::mkfifo(QFile::encodeName(lib.path(u"BGM/BGM.mp3")).constData(), 0600), 0);
    QtMediaPlayer player(file.device);
    QSignalSpy ends(&player, &MediaPlayer::endOfMedia);
    ShownWindow shown(lib.appDir(), nullptr, &player);
    MediaPlayerBar *bar = shown.window.WindowsMediaPlayer1;
    click(bar->muteButton); // quiet on a machine that has speakers

    if (file.reason.isEmpty()) {
        QTRY_VERIFY_WITH_TIMEOUT(ends.count() >= 2, 20'000);
        QCOMPARE(player.playState(), PlayState::Playing);
        QVERIFY(!bar->noMusicLabel->isVisible());
        QCOMPARE(bar->positionSlider->maximum(), 300);
    } else {
        QTRY_VERIFY_WITH_TIMEOUT(bar->noMusicLabel->isVisible(), 20'000);
        QVERIFY2(bar->noMusicLabel->toolTip().startsWith(file.reason),
                 qPrintable(bar->noMusicLabel->toolTip()));
        QTest::qWait(300); // time enough for a retry to show
        QCOMPARE(ends.count(), 0);
        QCOMPARE(player.playState(), PlayState::Stopped);
    }
    QVERIFY(shown.seams.errors.messages.isEmpty());
}

QTEST_MAIN(MusicTest)
#include "tst_music.moc"
