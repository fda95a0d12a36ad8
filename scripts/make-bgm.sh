#!/usr/bin/env bash
# Makes the two files of the installation's BGM folder, so it ships no third-party media:
# assets/BGM/BGM.mp3, a quiet one-minute tune that loops seamlessly (make-music.sh), and then
# assets/BGM/Tuition.wmv, the narrated user's-manual video filmed from the real program
# (make-manual.sh), which plays that tune under its narration.
# Both are committed; run this only to change them. make-music.sh needs sox and ffmpeg; make-manual.sh
# lists the packages it needs at its top.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
out="$repo/assets/BGM"
mkdir -p "$out"

bash "$repo/scripts/make-music.sh" "$out/BGM.mp3"
bash "$repo/scripts/make-manual.sh" "$out/Tuition.wmv"
ls -l "$out"
