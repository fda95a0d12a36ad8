#!/usr/bin/env bash
# Makes assets/BGM/BGM.mp3 (or the file named as the first argument): a quiet, one-minute background
# tune that loops without a seam, built only from sox's synthesized tones and the notes written below.
# Called by make-bgm.sh; it can also be run alone. Needs sox and ffmpeg (with libmp3lame):
#   apt-get install -y --no-install-recommends sox ffmpeg
#
# The tune is in F major at 96 beats a minute, 24 bars of 4/4 (exactly 60 s): A (bars 1-8),
# B (9-16), A' (17-24). The last bar sits on C7 and its final note, F, is held over the bar line,
# so the end leads straight back into the first bar. The piece is rendered with its ring-out and
# reverb tail, and that tail is then folded back onto the beginning, as if the tune had already been
# playing: the last sample continues into the first with no gap, fade or jump in level.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
target=${1:-"$repo/assets/BGM/BGM.mp3"}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$(dirname "$target")"

rate=48000
eighth=15000                  # samples in an eighth note at 96 beats a minute
bar=$((8 * eighth))           # 2.5 s
release=$((2 * eighth))       # how long a melody note rings on, damped, after its written end
bars=24
loop=$((bars * bar))          # 60 s
f32=(-e floating-point -b 32) # intermediate files never clip
export SOX_OPTS="${SOX_OPTS:-} -R" # repeatable: plucks and dither use a fixed random seed

# One chord a bar; the last, C7, is the dominant that resolves onto the first bar's F.
chords=(F Dm Bb C  F Dm Gm C   Bb C Am Dm  Gm C Dm C   F Dm Bb C  F Dm Gm C7)

# The melody, one bar per line, as NOTE:EIGHTHS (r is a rest). A bar's last note may ring past its
# bar line: the F5 ending bar 24 is held through the two-eighth rest that opens bar 1.
melody=(
    "r:2 E5:1 D5:1 C5:2 A4:1 C5:1"          # A
    "D5:3 C5:1 A4:2 F4:2"
    "D5:2 C5:1 Bb4:1 A4:2 F4:2"
    "G4:3 A4:1 C5:4"
    "r:2 A4:1 C5:1 F5:2 G5:1 A5:1"
    "F5:3 E5:1 D5:2 A4:2"
    "Bb4:2 D5:2 G5:2 F5:1 D5:1"
    "E5:4 r:2 Bb4:1 C5:1"
    "D5:3 F5:1 D5:2 Bb4:2"                  # B
    "C5:3 E5:1 G5:2 E5:2"
    "C5:2 E5:2 A4:3 C5:1"
    "D5:2 F5:2 A5:3 G5:1"
    "G5:3 F5:1 D5:2 Bb4:2"
    "C5:2 E5:2 G5:2 E5:1 C5:1"
    "D5:3 E5:1 F5:2 A4:2"
    "G4:4 r:2 A4:1 Bb4:1"
    "C5:2 A4:1 C5:1 F5:3 E5:1"              # A'
    "D5:3 C5:1 A4:2 F4:2"
    "G4:2 Bb4:1 D5:1 F5:2 D5:2"
    "E5:3 D5:1 C5:4"
    "r:2 A4:1 C5:1 F5:2 G5:1 A5:1"
    "F5:3 E5:1 D5:2 F5:2"
    "D5:2 Bb4:2 G4:2 A4:1 Bb4:1"
    "G4:2 C5:1 E5:1 G5:2 E5:1 F5:3"
)

# For each chord: the sustained pad voicing, the bass (root for three beats, then a fifth) and
# a harp-like broken chord in quarter notes.
declare -A pad=([F]="F3 A3 C4" [Dm]="F3 A3 D4" [Bb]="F3 Bb3 D4" [C]="E3 G3 C4"
                [Gm]="G3 Bb3 D4" [Am]="E3 A3 C4" [C7]="E3 G3 Bb3 C4")
declare -A bass=([F]="F2 C3" [Dm]="D2 A2" [Bb]="Bb1 F2" [C]="C2 G2"
                 [Gm]="G2 D2" [Am]="A2 E2" [C7]="C2 G2")
declare -A arp=([F]="F3 C4 A4 C4" [Dm]="D3 A3 F4 A3" [Bb]="Bb2 F3 D4 F3" [C]="C3 G3 E4 G3"
                [Gm]="G2 D3 Bb3 D3" [Am]="A2 E3 C4 E3" [C7]="C3 G3 Bb3 E4")

# Semitones from A4 of a note such as Bb3, for slightly detuned pad voices.
semitones() {
    local name=$1 base
    case ${name:0:1} in C) base=-9 ;; D) base=-7 ;; E) base=-5 ;; F) base=-4 ;; G) base=-2 ;; A) base=0 ;; B) base=2 ;; esac
    case ${name:1:1} in '#') base=$((base + 1)) ;; b) base=$((base - 1)) ;; esac
    echo $((base + 12 * (${name: -1} - 4)))
}

# seconds SAMPLES -> decimal seconds for sox's fade
seconds() { awk -v n="$1" -v r="$rate" 'BEGIN { printf "%.5f", n / r }'; }

events=()
# event FILE OFFSET_SAMPLES: place a rendered note at its offset within its bar
place() { sox "$1" "${f32[@]}" "$1.placed.wav" pad "${2}s" 0 && rm "$1" && events+=(-v 1 "$1.placed.wav"); }

sox -n -r $rate -c 1 "${f32[@]}" "$work/frame.wav" trim 0 "$((2 * bar))s" # silence, two bars
note=0
for ((b = 0; b < bars; b++)); do
    events=()
    chord=${chords[$b]}

    # Melody: plucked notes that ring a little past their written length.
    pos=0
    for item in ${melody[$b]}; do
        name=${item%%:*} units=${item##*:}
        if [[ $name != r ]]; then
            written=$((units * eighth))
            ring=$((written + release))
            if ((pos % 4 == 0)); then level=-12; else level=-13.5; fi # a light accent on the beats
            f="$work/n$((note++)).wav"
            sox -n -r $rate -c 1 "${f32[@]}" "$f" synth "${ring}s" pluck "$name" 0 0 70 \
                lowpass 3200 fade h 0.004 "${ring}s" "$(seconds "$release")" gain -n "$level"
            place "$f" $((pos * eighth))
        fi
        pos=$((pos + units))
    done
    if ((pos < 8 || pos > 10)); then echo "bar $((b + 1)) of the melody has $pos eighths" >&2; exit 1; fi

    # Broken chord: four quiet plucked quarter notes.
    i=0
    for name in ${arp[$chord]}; do
        f="$work/n$((note++)).wav"
        sox -n -r $rate -c 1 "${f32[@]}" "$f" synth 0.9 pluck "$name" 0 0 50 \
            lowpass 2200 fade h 0.004 0.9 0.3 gain -n -23
        place "$f" $((i * 2 * eighth))
        i=$((i + 1))
    done

    # Bass: a soft triangle wave, root for three beats and the fifth on the fourth.
    read -r root fifth <<<"${bass[$chord]}"
    f="$work/n$((note++)).wav"
    sox -n -r $rate -c 1 "${f32[@]}" "$f" synth "$((6 * eighth + 6000))s" triangle "$root" \
        lowpass 500 fade q 0.02 "$((6 * eighth + 6000))s" 0.25 gain -n -23
    place "$f" 0
    f="$work/n$((note++)).wav"
    sox -n -r $rate -c 1 "${f32[@]}" "$f" synth "$((2 * eighth + 6000))s" triangle "$fifth" \
        lowpass 500 fade q 0.02 "$((2 * eighth + 6000))s" 0.15 gain -n -25
    place "$f" $((6 * eighth))

    # Pad: each chord note as two sines a few cents apart; it swells in and overlaps the next bar's.
    voices=()
    for name in ${pad[$chord]}; do
        s=$(semitones "$name")
        voices+=(synth "$((bar + 48000))s" sine mix "%$s" synth "$((bar + 48000))s" sine mix "%$(awk -v s="$s" 'BEGIN { print s + 0.07 }')")
    done
    voices[3]=create # the first voice creates the sound, the others are mixed into it
    f="$work/n$((note++)).wav"
    sox -n -r $rate -c 1 "${f32[@]}" "$f" "${voices[@]}" \
        fade q 0.5 "$((bar + 48000))s" 1.3 gain -n -22
    place "$f" 0

    # The bar and everything still ringing from it, exactly two bars long.
    sox -m -v 1 "$work/frame.wav" "${events[@]}" "${f32[@]}" "$work/bar$b.wav" trim 0 "$((2 * bar))s"
    rm -f "$work"/n*.wav*
done

# Odd and even bars go on two tracks, so each bar's ring-out overlaps the bar after it.
odd=() even=()
for ((b = 0; b < bars; b++)); do
    if ((b % 2 == 0)); then odd+=("$work/bar$b.wav"); else even+=("$work/bar$b.wav"); fi
done
sox "${odd[@]}" "${f32[@]}" "$work/odd.wav"
sox "${even[@]}" "${f32[@]}" "$work/even.wav" pad "${bar}s"

# Mix, warm up and spread into stereo with reverb; six seconds of room for the reverb tail.
sox -m -v 1 "$work/odd.wav" -v 1 "$work/even.wav" "${f32[@]}" -c 2 "$work/full.wav" \
    remix 1 1 pad 0 6 highpass 40 lowpass 5000 reverb 45 60 80 60 20

# Fold everything after the 60 s mark back onto the beginning: the end now flows into the start.
sox "$work/full.wav" "${f32[@]}" "$work/head.wav" trim 0 "${loop}s"
sox "$work/full.wav" "${f32[@]}" "$work/tail.wav" trim "${loop}s"
sox -m -v 1 "$work/head.wav" -v 1 "$work/tail.wav" -b 16 "$work/loop.wav" gain -n -4.5

ffmpeg -loglevel error -y -i "$work/loop.wav" -codec:a libmp3lame -b:a 96k "$target"
echo "made $target"
