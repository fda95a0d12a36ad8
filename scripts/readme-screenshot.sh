#!/usr/bin/env bash
# Takes the README's picture: the installed program on a fresh demo catalogue under Xvfb, with a silent
# sound server so that the music plays, Nature clicked in the journal list, and the clock running in a
# Chinese-language session, as most of its users have.
#   bash scripts/readme-screenshot.sh [OUTPUT.png]     (default: docs/screenshot.png)
# Besides what scripts/setup.sh installs it needs: apt-get install -y xdotool pulseaudio
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
output=$(realpath -m "${1:-$repo/docs/screenshot.png}")

if [[ -z "${DISPLAY:-}" ]]; then
    exec xvfb-run --auto-servernum --server-args='-screen 0 1280x800x24 -nolisten tcp' \
        bash "${BASH_SOURCE[0]}" "$output"
fi

build_dir="$repo/build-release"
for tool in xdotool pulseaudio pactl import; do
    command -v "$tool" >/dev/null || { echo "readme-screenshot: $tool is missing" >&2; exit 1; }
done
work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

cmake -S "$repo" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DVARNOTEL_BUILD_TESTS=OFF -DVARNOTEL_BUILD_BENCHMARKS=OFF >/dev/null
ninja -C "$build_dir" -j2 varnotel >/dev/null
cmake --install "$build_dir" --prefix "$work/app" >/dev/null
cp -R "$repo/demo/." "$work/app/"

export HOME="$work" XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
pulseaudio -n --daemonize=no --exit-idle-time=-1 --disable-shm=yes \
    --load="module-null-sink sink_name=silence" --load=module-native-protocol-unix \
    >"$work/pulse.log" 2>&1 &
pids+=($!)
for _ in $(seq 50); do pactl info >/dev/null 2>&1 && break || sleep 0.1; done

LANG=zh_CN.UTF-8 "$work/app/varnotel" >"$work/program.log" 2>&1 &
pids=($! "${pids[@]}")
window=""
for _ in $(seq 300); do
    window=$(xdotool search --onlyvisible --name '^Varnotel 1\.0' 2>/dev/null | head -n 1) && break
    sleep 0.1
done
[[ -n "$window" ]] || { cat "$work/program.log" >&2; exit 1; }

sleep 2
# Nature is the second row of the journal list, whose first row sits at (12, 162) in the window.
xdotool mousemove --window "$window" 60 180 click 1
sleep 5 # the clock ticks and the music is a few seconds in
xdotool mousemove --window "$window" 900 20
import -window "$window" "$output"
echo "$output"
