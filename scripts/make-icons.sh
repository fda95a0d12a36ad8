#!/usr/bin/env bash
# Makes the icon's pictures from its one drawing, assets/icons/varnotel.svg: a PNG at each size the
# desktop's menus, docks and file managers ask for, in the folder layout of the hicolor icon theme
# (assets/icons/hicolor/<size>x<size>/apps/varnotel.png). The pictures are committed; run this only after
# changing the drawing. The window's own icon, assets/icon.png, is a link to the 256-pixel picture.
#
# Besides what scripts/setup.sh installs it needs rsvg-convert:
#   apt-get install -y --no-install-recommends librsvg2-bin
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
icons="$repo/assets/icons"
readonly sizes=(16 24 32 48 64 128 256)

command -v rsvg-convert >/dev/null || {
    echo "make-icons: rsvg-convert is missing; see the package at the top of this script" >&2
    exit 1
}

for size in "${sizes[@]}"; do
    folder="$icons/hicolor/${size}x${size}/apps"
    mkdir -p "$folder"
    rsvg-convert --width "$size" --height "$size" --format png "$icons/varnotel.svg" -o "$folder/varnotel.png.new"
    mv "$folder/varnotel.png.new" "$folder/varnotel.png"
done
echo "make-icons: ${sizes[*]} pixels in $icons/hicolor"
