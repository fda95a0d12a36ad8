#pragma once

#include "platform/MediaPlayer.h"

namespace varnotel {

// The player's notification that asks the window to decide. Music that
// cannot be played never comes to its end: the player announces it otherwise.
enum class PlayerNotice { PlayStateChanged, EndOfMedia };

// Whether the background music starts again from the beginning: only when the
// player rests stopped because its media came to the end. A stop pressed on
// the control bar stays a stop, a pause stays a pause, and music that cannot
// be played is never tried again.
bool restartsMusic(MediaPlayer::PlayState state, PlayerNotice notice);

} // namespace varnotel
