#!/usr/bin/env bash
# Makes assets/BGM/Tuition.wmv (or the file named as the first argument), the user's-manual video: the
# real program, built and installed into a throw-away application folder with the demo catalogue, is
# filmed on a virtual screen while xdotool works it through the walkthrough of scripts/manual (add a
# journal, edit its fields, import and open articles, search, rename, delete, refresh). Every step is
# narrated by espeak-ng, Chinese first, then English, and captioned in both languages in a band below the
# window's picture, where no caption covers a control; a key pressed is shown there as a keycap. The
# background music plays quietly underneath. The person's home folder is /home/researcher (a private
# mount, seen only by the filmed program), the program installed in /home/researcher/Varnotel. The
# result is Windows Media (WMV 8 video, WMA 2 audio, ASF), the main window's 992x678 with the band
# below it: 992x754. GStreamer players play it with gstreamer1.0-plugins-ugly and gstreamer1.0-libav.
#
# The video is committed; run this only to change it. It takes a few minutes, and root or unprivileged
# user namespaces (for the private /home). Besides what scripts/setup.sh installs, it needs (none of
# them is needed to build or test the program):
#   apt-get install -y --no-install-recommends ffmpeg espeak-ng espeak-ng-data sox xdotool pulseaudio
#
# While it films, a stand-in for xdg-open (scripts/manual/xdg-open) plays the desktop's editor, viewer
# and browser, so the video shows what a person would do there.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
target=${1:-"$repo/assets/BGM/Tuition.wmv"}
manual="$repo/scripts/manual"
build_dir="$repo/build-release"

readonly width=992 height=678 # the main window
readonly fps=8                # a screen recording; wmv2 pays for every frame, even a still one
readonly band_height=76 # the captions' band below the window
readonly band_colour=0x1b2733
readonly title="Varnotel 用户手册 User's Manual"
# Mandarin that reads Chinese characters as pinyin; espeak-ng's plain cmn voice speaks the pinyin of its
# dictionary as English letters and numbers.
readonly chinese_voice=cmn-latn-pinyin
readonly english_voice=en-us

for tool in cmake ninja xvfb-run xdotool xwininfo convert display ffmpeg ffprobe espeak-ng sox soxi \
    pulseaudio pactl unshare; do
    command -v "$tool" >/dev/null || {
        echo "make-manual: $tool is missing; see the packages at the top of this script" >&2
        exit 1
    }
done

work=$(mktemp -d /tmp/varnotel-manual.XXXXXX)
# Kept when something fails, to see what was filmed and logged.
trap 'status=$?; if ((status == 0)); then rm -rf "$work"; else echo "make-manual: failed; see $work" >&2; fi' EXIT
# The person's home folder as the film shows it, and where it really lies while the film is made.
readonly shown_home=/home/researcher
home="$work/home/researcher"
app_dir="$home/Varnotel"

# --- The program, installed as a person installs it, with the demo catalogue -------------------------
install_program() {
    bash "$repo/scripts/setup.sh"
    cmake -S "$repo" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DVARNOTEL_BUILD_TESTS=OFF -DVARNOTEL_BUILD_BENCHMARKS=OFF >/dev/null
    ninja -C "$build_dir" -j2 varnotel
    cmake --install "$build_dir" --prefix "$app_dir" >/dev/null
    cp -R "$repo/demo/." "$app_dir/"
}

# The person's home folder, with the two files that will be imported; the stand-in for xdg-open.
prepare_desktop() {
    mkdir -p "$home/Documents" "$home/Downloads" "$work/bin" "$work/steps"
    cp "$manual/downloads/"* "$home/Downloads/"
    install -m 755 "$manual/xdg-open" "$work/bin/xdg-open"
}

# --- Narration: every "say" line of the walkthrough, spoken and written down ------------------------
narrate() {
    local step=0 line text chinese english id
    while IFS= read -r line; do
        [[ $line == 'say '* ]] || continue
        step=$((step + 1))
        id="$work/steps/$(printf '%03d' "$step")"
        text=${line#say }
        chinese=${text%% | *}
        english=${text#* | }
        printf '%s' "$chinese" >"$id.zh"
        printf '%s' "$english" >"$id.en"
        espeak-ng -v "$chinese_voice" -s 190 -w "$id.zh.wav" "$chinese"
        espeak-ng -v "$english_voice" -s 175 -w "$id.en.wav" "$english"
        sox "$id.zh.wav" -p pad 0 0.5 | sox - "$id.en.wav" "$id.wav" gain -n -1
        soxi -D "$id.wav" >"$id.dur"
    done <"$manual/walkthrough.txt"
    echo "make-manual: $step narrated steps, $(cat "$work"/steps/*.dur | awk '{ s += $1 } END { printf "%.0f", s }') s of speech"
}

# In a mount namespace of its own, an empty /home gets the person's home folder, so the import dialog
# and every path on screen show /home/researcher; nothing outside the namespace sees it.
film() {
    local as_root=()
    ((EUID == 0)) || as_root=(--map-root-user)
    unshare "${as_root[@]}" --mount bash -c '
        set -e
        mount -t tmpfs -o mode=755 home /home
        mkdir "$1"
        mount --bind "$2" "$1"
        exec xvfb-run --auto-servernum --server-args="-screen 0 1280x800x24 -nolisten tcp" \
            bash "$3/record.sh" "$1" "$4"' film "$shown_home" "$home" "$manual" "$work"
}

# --- Putting it together ------------------------------------------------------------------------------
# The timeline's moments as seconds into the film: "seconds event argument" per line.
moments() {
    local start
    start=$(grep -m1 -oE 'start: [0-9.]+' "$work/capture.log" | cut -d' ' -f2)
    awk -v s="$start" '{ printf "%.3f %s %s\n", $1 - s, $2, $3 }' "$work/timeline"
}

# between(t,a,b)+... over the spans that open with one mark and close with the other.
spans() {
    awk -v opening="$1" -v closing="$2" '
        $2 == "mark" && $3 == opening { from = $1 }
        $2 == "mark" && $3 == closing { printf "%sbetween(t,%s,%s)", (n++ ? "+" : ""), from, $1 }
        END { if (!n) printf "0" }' "$work/moments"
}

# The narration on one track: each step's speech where its step began.
narration_track() {
    local end=0 at id parts=()
    while read -r at _ id; do
        sox -n -r 22050 -c 1 "$work/gap-$id.wav" trim 0 "$(awk -v a="$at" -v e="$end" 'BEGIN { print a - e }')"
        parts+=("$work/gap-$id.wav" "$work/steps/$id.wav")
        end=$(awk -v a="$at" -v d="$(cat "$work/steps/$id.dur")" 'BEGIN { print a + d }')
    done < <(awk '$2 == "say"' "$work/moments")
    sox "${parts[@]}" "$work/narration.wav"
}

# The music as the program played it: looped from the start, silent while it was paused, well below
# the voice.
music_track() {
    local total=$1 pauses
    ffmpeg -loglevel error -y -stream_loop -1 -i "$repo/assets/BGM/BGM.mp3" -t "$(awk -v t="$total" 'BEGIN { print t + 30 }')" \
        -ac 1 -ar 22050 "$work/music-long.wav"
    pauses=$(awk '$2 == "mark" && $3 == "music-paused" { from = $1 }
                  $2 == "mark" && $3 == "music-playing" { printf "%.3f@%.3f ", $1 - from, from }' "$work/moments")
    # shellcheck disable=SC2086 # one pad argument per pause
    sox "$work/music-long.wav" "$work/music.wav" ${pauses:+pad $pauses} trim 0 "$total" gain -20
}

# Two drawtext filters per step, in the band: the caption from the step's start to the next one's; the
# video's title before the first step.
caption_filters() {
    local total=$1 first
    first=$(awk '$2 == "say" { print $1; exit }' "$work/moments")
    printf '%s' "$title" >"$work/title.txt"
    printf ",drawtext=font='Noto Sans CJK SC':textfile=%s:expansion=none:fontsize=24:fontcolor=white:x=(w-text_w)/2:y=%d:enable='between(t,0,%s)'" \
        "$work/title.txt" $((height + 24)) "$first"
    awk '$2 == "say" { print $1, $3 }' "$work/moments" |
        awk -v total="$total" '{ at[NR] = $1; id[NR] = $2 } END {
            for (i = 1; i <= NR; i++) print at[i], (i < NR ? at[i + 1] : total), id[i] }' |
        while read -r from to id; do
            local when="enable='between(t,$from,$to)'" text="$work/steps/$id"
            printf ",drawtext=font='Noto Sans CJK SC':textfile=%s:expansion=none:fontsize=22:fontcolor=white:x=(w-text_w)/2:y=%d:%s" \
                "$text.zh" $((height + 9)) "$when"
            printf ",drawtext=font='Noto Sans CJK SC':textfile=%s:expansion=none:fontsize=18:fontcolor=#ffe9a8:x=(w-text_w)/2:y=%d:%s" \
                "$text.en" $((height + 42)) "$when"
        done
}

# A keycap at the band's right end for every key pressed, until the next key or 1.5 seconds later.
keycap_filters() {
    local left=$((width - 128)) top=$((height + 20)) when
    awk '$2 == "key" { print $1, $3 }' "$work/moments" |
        awk '{ at[NR] = $1; cap[NR] = $2 } END {
            for (i = 1; i <= NR; i++) {
                to = at[i] + 1.5
                if (i < NR && at[i + 1] < to) to = at[i + 1]
                print at[i], to, cap[i] } }' |
        while read -r from to cap; do
            when="enable='between(t,$from,$to)'"
            printf ',drawbox=x=%d:y=%d:w=112:h=36:color=#f4f4f4:t=fill:%s' "$left" "$top" "$when"
            printf ',drawbox=x=%d:y=%d:w=112:h=36:color=#8a96a3:t=2:%s' "$left" "$top" "$when"
            printf ",drawtext=font='Noto Sans CJK SC':text=%s:expansion=none:fontsize=18:fontcolor=#1b2733:x=%d+(112-text_w)/2:y=%d:%s" \
                "$cap" "$left" $((top + 8)) "$when"
        done
}

assemble() {
    moments >"$work/moments"
    local total dialog
    total=$(awk '$2 == "end" { print $1 }' "$work/moments")
    dialog=$(spans import-dialog-open import-dialog-closed)
    narration_track
    music_track "$total"
    # The main window as it is; while the import dialog is open, the whole dialog, scaled to fit.
    {
        printf '[0:v]split[grab][whole];'
        printf '[grab]crop=%d:%d:0:0[window];' "$width" "$height"
        printf '[whole]scale=-2:%d:flags=lanczos,pad=%d:%d:(ow-iw)/2:0:color=#c8cdd2[dialog];' \
            "$height" "$width" "$height"
        printf "[window][dialog]overlay=0:0:enable='%s'" "$dialog"
        printf ',pad=%d:%d:0:0:color=%s' "$width" $((height + band_height)) "$band_colour"
        caption_filters "$total"
        keycap_filters
        printf ',fps=%d,format=yuv420p[v];' "$fps"
        printf '[1:a]apad,asplit[voice][key];'
        printf '[2:a][key]sidechaincompress=threshold=0.02:ratio=6:attack=40:release=700[bed];'
        printf '[voice][bed]amix=inputs=2:duration=first:normalize=0,aresample=44100[a]'
    } >"$work/graph.txt"
    mkdir -p "$(dirname "$target")"
    ffmpeg -loglevel error -y -i "$work/screen.mkv" -i "$work/narration.wav" -i "$work/music.wav" \
        -filter_complex_script "$work/graph.txt" -map '[v]' -map '[a]' -t "$total" \
        -codec:v wmv2 -q:v 5 -g $((fps * 20)) -codec:a wmav2 -b:a 48k -ac 1 \
        -metadata title="$title" -metadata author="The Varnotel developers" \
        -metadata copyright="GPL-3.0-or-later" -f asf "$work/manual.wmv"
    mv "$work/manual.wmv" "$target"
}

install_program
prepare_desktop
narrate
film
assemble
ffprobe -v error -show_entries format=format_name,duration,size:stream=codec_name,width,height,sample_rate \
    -of default=noprint_wrappers=1 "$target"
