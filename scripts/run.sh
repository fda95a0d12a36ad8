#!/usr/bin/env bash
# Builds Varnotel, lays out a portable application folder, seeds a demo catalogue into it when it holds
# no library yet, and starts the program. Without a display the window is shown on a virtual one
# (Xvfb), photographed, and the screenshot's path is printed.
#
#   VARNOTEL_APP_DIR   the application folder (default: <repo>/app)
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
app_dir=${VARNOTEL_APP_DIR:-$repo/app}
build_dir="$repo/build-release"

bash "$repo/scripts/setup.sh"

cmake -S "$repo" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DVARNOTEL_BUILD_TESTS=OFF -DVARNOTEL_BUILD_BENCHMARKS=OFF
ninja -C "$build_dir" -j2 varnotel
cmake --install "$build_dir" --prefix "$app_dir"
app_dir=$(cd "$app_dir" && pwd)

# A library is there as soon as Journal holds anything; then the demo stays out, and even when it goes
# in, no file that is already there is replaced.
if [[ -z "$(find "$app_dir/Journal" -mindepth 1 -print -quit)" ]]; then
    cp -R --no-clobber "$repo/demo/." "$app_dir/"
    echo "run: seeded the demo catalogue into $app_dir"
else
    echo "run: $app_dir already holds a library; left it as it is"
fi

if [[ -n "${DISPLAY:-}" ]]; then
    exec "$app_dir/varnotel"
fi

screenshot="$build_dir/screenshot.png"
xvfb-run --auto-servernum --server-args='-screen 0 1280x800x24 -nolisten tcp' \
    bash "$repo/scripts/screenshot.sh" "$app_dir/varnotel" "$screenshot"
echo "$screenshot"
