#!/usr/bin/env bash
# Films the walkthrough: run by make-manual.sh inside a virtual X display (xvfb-run, 1280x800, no window
# manager, so every window opens at the top left and the dialogs over the main window). Starts a
# private sound server (so the music bar plays), the installed program and a screen capture, then plays
# walkthrough.txt into the program with xdotool, giving every narrated step the time its narration takes.
#
# Usage: record.sh HOME_DIR WORK
#   HOME_DIR the person's home folder, as the film shows it (/home/researcher); the installed
#            application folder, demo catalogue seeded, is its Varnotel/
#   WORK     the work folder: steps/NNN.dur (each step's narration in seconds), bin/ (the xdg-open
#            stand-in); writes screen.mkv, capture.log, timeline
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
home_dir=$1
work=$2
app_dir="$home_dir/Varnotel"
: "${DISPLAY:?record.sh runs inside a virtual X display}"

export HOME="$home_dir" XDG_RUNTIME_DIR="$work/run" MANUAL_WORK="$work"
export PATH="$work/bin:$PATH" LC_ALL=C.UTF-8
mkdir -p "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"

readonly capture_size=1000x708 # the larger of the two windows: the import dialog
readonly gap=0.8                # silence between two narrated steps
readonly lead=0.7               # a step's actions begin this long after its narration

pids=()
stop_all() {
    local pid
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
}
trap stop_all EXIT

now() { date +%s.%N; }
note() { echo "$(now) $*" >>"$work/timeline"; }
fail() {
    echo "record: $*" >&2
    exit 1
}

# --- Where the controls are, as Form1 and Form3 place them (twips: left top width height) ------------
declare -A twips=(
    [Command1]="10800 8880 1935 375" [Command3]="11760 2400 3015 375" [Command4]="2160 8880 2775 375"
    [Command5]="12720 1080 2055 375" [Command6]="8400 2400 3255 375" [Command7]="120 8880 1935 375"
    [Command8]="9720 6120 2775 375" [Command9]="12600 6120 2175 375" [Command10]="6240 1800 1215 375"
    [Command11]="5040 8880 2415 375" [Command12]="4080 1830 2055 345" [Text1]="1560 1200 5895 495"
    [List1]="120 2280 7335 6585" [List3]="7560 3240 7215 2760"
    [Form3.Command1]="13320 120 1455 375" [Form3.Drive1]="120 720 6975 300"
    [Dir1]="120 1800 7095 8700" [File1]="7320 1320 7455 9090"
)
# The music bar lays its controls out itself; these are its buttons' places in the window (pixels).
declare -A pixels=([Bar.PlayPause]="29 648" [Bar.Volume]="919 648")
readonly row_height=18 # every list shows one line of the 9-point font per row

px() { echo $((($1 + 7) / 15)); }

# target_point TARGET...: the pixel to point at, "x y".
target_point() {
    if [[ $# -eq 2 && $1 =~ ^[0-9]+$ ]]; then
        echo "$1 $2"
    elif [[ -n ${pixels[$1]:-} ]]; then
        echo "${pixels[$1]}"
    elif [[ -n ${twips[$1]:-} ]]; then
        local l t w h
        read -r l t w h <<<"${twips[$1]}"
        if [[ $# -eq 2 ]]; then # a row of a list: on its text, a little in from the left
            echo "$(($(px "$l") + 90)) $(($(px "$t") + 1 + row_height / 2 + row_height * $2))"
        else
            echo "$(px $((l + w / 2))) $(px $((t + h / 2)))"
        fi
    else
        fail "no place known for: $*"
    fi
}

# glide TARGET...: the pointer moves there in small steps, so the eye can follow it.
glide() {
    local point x y x0 y0 i
    point=$(target_point "$@")
    read -r x y <<<"$point"
    eval "$(xdotool getmouselocation --shell | grep -E '^[XY]=')"
    x0=$X y0=$Y
    for i in 1 2 3 4 5 6 7 8; do
        xdotool mousemove $((x0 + (x - x0) * i / 8)) $((y0 + (y - y0) * i / 8))
        sleep 0.06
    done
}

window_shown() {
    local id
    for id in $(xwininfo -root -tree | grep -F -- "$1" | awk '{ print $1 }'); do
        xwininfo -id "$id" 2>/dev/null | grep -q 'Map State: IsViewable' && return 0
    done
    return 1
}

wait_for() {
    local i
    for i in $(seq 1 100); do
        if "$@"; then return 0; fi
        sleep 0.1
    done
    fail "waited 10 seconds in vain for: $*"
}

window_gone() { ! window_shown "$1"; }

sound_server_up() { pactl info >/dev/null 2>&1; }

# --- Narration: each step starts once the previous one has been spoken ------------------------------
step=0 spoken_until=0
say() {
    step=$((step + 1))
    local id duration start
    id=$(printf '%03d' "$step")
    duration=$(cat "$work/steps/$id.dur")
    start=$(now)
    if awk -v a="$start" -v b="$spoken_until" 'BEGIN { exit !(a < b) }'; then
        sleep "$(awk -v a="$start" -v b="$spoken_until" 'BEGIN { print b - a }')"
    fi
    start=$(now)
    note say "$id"
    spoken_until=$(awk -v s="$start" -v d="$duration" -v g="$gap" 'BEGIN { printf "%.3f", s + d + g }')
    sleep "$lead"
}

# The key as a keyboard's keycap names it, for the film to show it pressed.
keycap() {
    case $1 in
    Return) echo Enter ;;
    BackSpace) echo Backspace ;;
    ctrl+*) echo "Ctrl+${1#ctrl+}" | tr '[:lower:]' '[:upper:]' | sed 's/^CTRL/Ctrl/' ;;
    *) echo "$1" | tr '[:lower:]' '[:upper:]' ;;
    esac
}

press() {
    local key
    for key in "$@"; do
        note key "$(keycap "$key")"
        xdotool key -- "$key"
        sleep 0.3
    done
}

act() {
    local verb=$1
    shift
    case $verb in
    say) say ;;
    glide) glide "$@" ;;
    click)
        glide "$@"
        sleep 0.25
        xdotool click 1
        ;;
    double-click)
        glide "$@"
        sleep 0.25
        xdotool click --repeat 2 --delay 120 1
        ;;
    type) xdotool type --delay 140 -- "$*" ;;
    key) press "$@" ;;
    wait-window) wait_for window_shown "$*" ;;
    wait-gone) wait_for window_gone "$*" ;;
    mark) note mark "$1" ;;
    copy-into-library) cp -R "$here/$1/." "$app_dir/" ;;
    rest) sleep "$1" ;;
    *) fail "unknown step: $verb $*" ;;
    esac
}

# --- The recording ------------------------------------------------------------------------------------
pulseaudio -n --daemonize=no --exit-idle-time=-1 --disable-shm=yes \
    --load="module-null-sink sink_name=silence" --load=module-native-protocol-unix \
    >"$work/pulse.log" 2>&1 &
pids+=($!)
wait_for sound_server_up

cd "$HOME" # the import dialog opens on the current folder
"$app_dir/varnotel" >"$work/program.log" 2>&1 &
pids=($! "${pids[@]}")
wait_for window_shown "Varnotel 1.0"
sleep 3 # the first paint, its fonts, and the music under way

ffmpeg -nostdin -loglevel info -f x11grab -draw_mouse 1 -framerate 10 -video_size "$capture_size" \
    -i "$DISPLAY+0,0" -codec:v ffv1 -y "$work/screen.mkv" 2>"$work/capture.log" &
capture=$!
pids=("$capture" "${pids[@]}")
wait_for grep -q 'frame=' "$work/capture.log"
sleep 1.5

while IFS= read -r line <&3; do
    [[ -z $line || $line == '#'* ]] && continue
    read -r -a words <<<"$line"
    if [[ ${words[0]} == say ]]; then
        act say
    else
        act "${words[@]}"
    fi
done 3<"$here/walkthrough.txt"

# The last words, and a moment of the window after them.
sleep "$(awk -v a="$(now)" -v b="$spoken_until" 'BEGIN { d = b - a; print (d > 0 ? d : 0) + 1.5 }')"
note end
kill -INT "$capture"
wait "$capture" || true
