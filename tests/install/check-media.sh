#!/usr/bin/env bash
# Decodes the background music and the manual video to the end with GStreamer, the way the desktop's
# players do, to show that the packages the README lists play them: every stream of each file must
# reach a decoded form. A stream without its decoder stops its pipeline with an error at once.
#   check-media.sh SOURCE_DIR
set -euo pipefail

bgm="$1/assets/BGM"
failures=0
# decodes FILE KIND: the file's KIND (audio or video) stream decodes from start to end.
decodes() {
    local output
    output=$(gst-launch-1.0 -q filesrc location="$1" ! decodebin ! "$2/x-raw" ! fakesink 2>&1) || {
        echo "FAIL: the $2 of $1 does not decode:"$'\n'"$output" >&2
        failures=$((failures + 1))
    }
}
decodes "$bgm/BGM.mp3" audio
decodes "$bgm/Tuition.wmv" video
decodes "$bgm/Tuition.wmv" audio
((failures == 0)) || exit 1
echo "media: the music and both streams of the manual video decode"
