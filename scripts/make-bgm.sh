#!/usr/bin/env bash
# Makes assets/BGM/BGM.mp3 (a quiet one-minute tune that loops seamlessly, made by make-music.sh) and
# assets/BGM/Tuition.wmv (a small slide-show manual) from nothing but synthesized tones and our own text,
# so the installation ships no third-party media.
# The results are committed; run this only to change them. Needs sox, ffmpeg, imagemagick and fonts-noto-cjk:
#   apt-get install -y --no-install-recommends sox ffmpeg imagemagick fonts-noto-cjk
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
out="$repo/assets/BGM"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$out"

# The background music.
bash "$repo/scripts/make-music.sh" "$out/BGM.mp3"

# The manual's soundtrack: a short pentatonic tune of plucked notes over a soft chord, gently
# reverberated and kept quiet.
notes=(E4 G4 A4 C5 D5 C5 A4 G4 A4 C5 G4 E4 D4 E4 G4 C4)
for i in "${!notes[@]}"; do
    length=0.45
    if ((i == 7 || i == 15)); then length=0.9; fi
    sox -n -r 44100 -c 1 "$work/$(printf 'note%02d' "$i").wav" \
        synth "$length" pluck "${notes[$i]}" fade q 0.01 "$length" 0.25
done
sox "$work"/note*.wav "$work/melody.wav"
duration=$(soxi -D "$work/melody.wav")
sox -n -r 44100 -c 1 "$work/chord.wav" synth "$duration" sine C3 sine E3 sine G3 gain -28 fade q 1 "$duration" 1.5
sox -m "$work/melody.wav" "$work/chord.wav" "$work/tune.wav" \
    lowpass 3500 reverb 40 fade q 0.05 "$duration" 1.2 gain -n -9

# The manual: four bilingual slides, three seconds each, with the tune underneath.
font=/usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc
slides=(
    $'Varnotel 1.0\n\n使用说明\nUser\'s manual'
    $'期刊列表 The journal list\n\n单击期刊, 查看影响因子、主页和备注\nClick a journal to see its\nimpact factor, homepage and notes'
    $'期刊例文 Example articles\n\n双击例文, 用关联的程序打开\nDouble-click an article\nto open it'
    $'所有资料都在程序旁边的文件夹里\nEverything is kept in plain folders\nbeside the program'
)
for i in "${!slides[@]}"; do
    convert -size 320x240 xc:'#1d3557' -font "$font" -fill '#f1faee' -pointsize 15 -gravity center \
        -annotate +0+0 "${slides[$i]}" "$work/slide$i.png"
done
# The tune, padded with silence to the slides' length.
seconds=$((3 * ${#slides[@]}))
sox "$work/tune.wav" "$work/soundtrack.wav" pad 0 "$(awk -v s="$seconds" -v d="$duration" 'BEGIN { print s - d }')"
inputs=()
for i in "${!slides[@]}"; do
    inputs+=(-loop 1 -framerate 10 -t 3 -i "$work/slide$i.png")
done
ffmpeg -loglevel error -y "${inputs[@]}" -i "$work/soundtrack.wav" \
    -filter_complex "concat=n=${#slides[@]}:v=1:a=0,format=yuv420p[v]" -map '[v]' -map "${#slides[@]}:a" \
    -codec:v wmv2 -b:v 80k -codec:a wmav2 -b:a 32k -ac 1 -t "$seconds" "$out/Tuition.wmv"
ls -l "$out"
