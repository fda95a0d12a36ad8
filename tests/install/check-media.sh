#!/usr/bin/env bash
# Plays the background music and the manual video to the end with GStreamer's playbin, as the desktop's
# GStreamer players do, into sinks that throw the decoded sound and pictures away: the packages the
# README lists play them when no stream lacks its demuxer or decoder.
#   check-media.sh SOURCE_DIR
set -euo pipefail

bgm="$1/assets/BGM"
failures=0
plays() {
    local output uri
    uri=$(python3 -c 'import pathlib, sys; print(pathlib.Path(sys.argv[1]).resolve().as_uri())' "$1")
    # A stream without its decoder is only a warning to playbin, which plays the others.
    if ! output=$(timeout 120 gst-launch-1.0 playbin uri="$uri" video-sink=fakesink audio-sink=fakesink 2>&1) ||
        grep -qE '^(WARNING|ERROR)|Missing element' <<<"$output"; then
        echo "FAIL: $1 does not play:"$'\n'"$(grep -E 'WARNING|ERROR|Missing' <<<"$output")" >&2
        failures=$((failures + 1))
    fi
}
plays "$bgm/BGM.mp3"
plays "$bgm/Tuition.wmv"
((failures == 0)) || exit 1
echo "media: the music and the manual video play to the end"
