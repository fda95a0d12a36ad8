#include "mainwindow/widgets/Form1.h"

#include "music/MusicRestart.h"
#include "platform/MediaPlayer.h"

namespace varnotel {

// Bound to the end of the media, so the music loops; a stop or pause pressed
// on the bar is left as it is.
void Form1::WindowsMediaPlayer1_EndOfMedia() {
    MediaPlayer &player = m_platform.player;
    if (restartsMusic(player.playState(), PlayerNotice::EndOfMedia))
        player.play();
}

} // namespace varnotel
