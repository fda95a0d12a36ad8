#include "music/MusicRestart.h"

namespace varnotel {

bool restartsMusic(MediaPlayer::PlayState state, PlayerNotice notice) {
    return notice == PlayerNotice::EndOfMedia && state == MediaPlayer::PlayState::Stopped;
}

} // namespace varnotel
