// The background music: handed over at start-up, looping, and the control bar
// as a person uses it; then on the real player with files made here.
#include "desktop/QtMediaPlayer.h"
#include "support/Expectations.h"
#include "support/WindowDriver.h"

#include <QAudioDevice>
#include <QLabel>
#include <QMediaDevices>
#include <QSlider>
#include <QToolButton>
#include <QtEndian>
#include <QtTest>

#include <sys/stat.h>

using namespace varnotel;
using namespace varnotel::test;
using namespace Qt::StringLiterals;
using PlayState = MediaPlayer::PlayState;
using SoundDevice = QtMediaPlayer::SoundDevice;

namespace {

// A WAV file of 16-bit mono silence at 8 kHz, as long as given. Its header:
// "RIFF", the size, "WAVE", the format (PCM, one channel, 8000 samples and
// 16000 bytes a second, two-byte blocks, 16 bits), "data", the size.
QByteArray wav(int milliseconds) {
    const quint32 size = 16 * milliseconds;
    QByteArray wave("RIFF----WAVEfmt \x10\0\0\0\x01\0\x01\0\x40\x1f\0\0\x80\x3e\0\0\x02\0\x10\0data----", 44);
    qToLittleEndian(36 + size, wave.data() + 4);
    qToLittleEndian(size, wave.data() + 40);
    return wave + QByteArray(size, '\0');
}

// The music file as the real player is given it: null bytes are no file.
struct MusicFile {
    QByteArray bytes;
    QString says = {}; // what the bar says instead of playing; none: it loops
    SoundDevice device = SoundDevice::Optional;
    bool pipe = false; // a FIFO at the music's name, which nobody writes to
};

} // namespace

Q_DECLARE_METATYPE(MusicFile)

class MusicTest : public QObject {
    Q_OBJECT
private slots:
    void theMusicComesLastLoopsAndAnswersTheBar();
    void theRealPlayer_data();
    void theRealPlayer();
};

// Handed over once the lists and the statistics are there. The bar shows the
// time as a media bar does, with hours once the media is an hour long; its
// buttons, keys and clicks reach the player, a click on a slider puts the
// handle there. A stop stays a stop; music that cannot be played is said in
// the bar, and its controls rest.
void MusicTest::theMusicComesLastLoopsAndAnswersTheBar() {
    QStringList seenAtStart; // outlives the window that fills it
    Session s;
    ShownWindow &shown = s.start([&](ShownWindow &w) {
        connect(&w.seams.player, &MediaPlayer::playStateChanged, [&] { seenAtStart = libraryShown(w); });
    });
    FakePlayer &player = shown.seams.player;
    const MediaPlayerBar *bar = shown.ui.WindowsMediaPlayer1;
    QCOMPARE(seenAtStart, statistics(0, 0));
    player.setDuration(3'600'000);
    player.setPosition(123'000);
    QCOMPARE(bar->timeLabel->text(), u"0:02:03 / 1:00:00"_s);
    QCOMPARE(bar->positionSlider->value(), 123'000);
    player.setDuration(200'000);

    for (int end = 0; end < 3; ++end)
        player.reachEnd();
    QVERIFY(player.state == PlayState::Playing && player.plays == 4);
    QCOMPARE(bar->timeLabel->text(), u"0:00 / 3:20"_s);
    click(bar->playPauseButton);
    QVERIFY(player.state == PlayState::Paused && bar->playPauseButton->toolTip() == u"播放 Play"_s);
    click(bar->playPauseButton);
    QVERIFY(player.state == PlayState::Playing && bar->playPauseButton->toolTip() == u"暂停 Pause"_s);
    QTest::mouseClick(bar->positionSlider, Qt::LeftButton, {}, bar->positionSlider->rect().center());
    QVERIFY2(qAbs(player.position() - 100'000) <= 10'000, qPrintable(QString::number(player.position())));
    click(bar->muteButton);
    QVERIFY(player.isMuted() && bar->muteButton->toolTip() == u"取消静音 Unmute"_s);
    QTest::keyClick(bar->volumeSlider, Qt::Key_PageDown); // from half volume, a tenth down
    QCOMPARE(player.volume(), 40);
    QTest::mouseClick(bar->volumeSlider, Qt::LeftButton, {}, QPoint(0, bar->volumeSlider->height() / 2));
    QVERIFY(player.volume() == 0 && bar->volumeSlider->value() == 0);
    click(bar->stopButton);
    QVERIFY(player.state == PlayState::Stopped && player.plays == 5);

    player.failToPlay(MediaPlayer::Silence::Unplayable);
    click(bar->playPauseButton);
    QVERIFY(player.plays == 5 && bar->noMusicLabel->isVisible() && !bar->positionSlider->isVisible());
    QTRY_VERIFY(bar->noMusicLabel->x() > bar->stopButton->geometry().right()); // beside the buttons
    QVERIFY(!bar->playPauseButton->isEnabled() && shown.seams.errors.reports.isEmpty());
    // Without a sound device Play tries again; the music that then plays brings the bar back.
    player.failToPlay(MediaPlayer::Silence::NoSoundDevice);
    QCOMPARE(bar->noMusicLabel->text(),
             u"没有声音设备,按播放键再试 No sound device; press Play to try again"_s);
    player.unplayable = false;
    click(bar->playPauseButton);
    QVERIFY(player.state == PlayState::Playing && !bar->noMusicLabel->isVisible());
    QVERIFY(bar->positionSlider->isVisible() && bar->stopButton->isEnabled() &&
            bar->volumeSlider->isEnabled());
}

void MusicTest::theRealPlayer_data() {
    QTest::addColumn<MusicFile>("file");
    const QString missing = u"找不到背景音乐文件 The music file is missing"_s;
    const QString unplayable = u"背景音乐文件无法播放 The music file cannot be played"_s;
    QTest::newRow("a short tune loops") << MusicFile{wav(300)};
    QTest::newRow("no file") << MusicFile{{}, missing};
    QTest::newRow("not sound") << MusicFile{QByteArray(4000, 'x'), unplayable};
    QTest::newRow("a tune of no length") << MusicFile{wav(0), unplayable};
    QTest::newRow("a pipe") << MusicFile{{}, unplayable, SoundDevice::Optional, true};
    QTest::newRow("no sound device") << MusicFile{
        wav(300), u"没有声音设备,按播放键再试 No sound device; press Play to try again"_s,
        SoundDevice::Required};
}

// Without a sound device, GStreamer plays into a stand-in output in real time,
// so the loop is checked on every machine; the player's refusal to play
// without a device can only be seen on a machine that has none.
void MusicTest::theRealPlayer() {
    QFETCH(const MusicFile, file);
    if (file.device == SoundDevice::Required && !QMediaDevices::audioOutputs().isEmpty())
        QSKIP("this machine has a sound device, so the case without one cannot be made");
    if (file.device == SoundDevice::Required)
        QTest::failOnWarning(QRegularExpression(u".*"_s)); // quietly
    Session s;
    if (!file.bytes.isNull())
        s.lib.write(u"BGM/BGM.mp3", file.bytes);
    if (file.pipe)
        QCOMPARE(::mkfifo(QFile::encodeName(s.lib.path(u"BGM/BGM.mp3")).constData(), 0600), 0);
    QtMediaPlayer player(file.device);
    QSignalSpy ends(&player, &MediaPlayer::endOfMedia), silences(&player, &MediaPlayer::cannotPlay);
    const MediaPlayerBar *bar = s.start(nullptr, &player).ui.WindowsMediaPlayer1;
    click(bar->muteButton); // quiet on a machine that has speakers
    const bool loops = file.says.isEmpty();
    QTRY_VERIFY_WITH_TIMEOUT(loops ? ends.count() >= 2 : bar->noMusicLabel->isVisible(), 20'000);
    QTest::qWait(300); // time enough for a retry, or a stop, to show
    QCOMPARE(bar->noMusicLabel->isVisible() ? bar->noMusicLabel->text() : QString(), file.says);
    QCOMPARE(player.playState(), loops ? PlayState::Playing : PlayState::Stopped);
    // What the player cannot play it names; a missing sound device is no file's fault.
    QCOMPARE(bar->noMusicLabel->toolTip().contains(u"BGM.mp3"_s),
             !loops && file.device == SoundDevice::Optional);
    QVERIFY(loops ? bar->positionSlider->maximum() == 300 : ends.isEmpty());
    // Play tries a missing sound device again, once; a file at fault is not tried again.
    click(bar->playPauseButton);
    QTest::qWait(300);
    QCOMPARE(silences.count(), loops ? 0 : file.device == SoundDevice::Required ? 2 : 1);
}

QTEST_MAIN(MusicTest)
#include "tst_music.moc"
