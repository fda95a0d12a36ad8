#!/usr/bin/env bash
# Installs a build as a user would, into a throw-away folder whose path holds a blank, a $ and a %, and
# checks the portable application folder, its .tar.gz, and the menu entry that its script puts in and
# takes out again in a throw-away home.
#   check-install.sh BUILD_DIR SOURCE_DIR
set -euo pipefail

build_dir=$1
source_dir=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

readonly sizes=(16 24 32 48 64 128 256)
readonly metainfo=io.github.varnotel.Varnotel.metainfo.xml

# Every entry of a folder, relative, sorted; folders end in /.
tree() { (cd "$1" && find . -mindepth 1 \( -type d -printf '%P/\n' -o -printf '%P\n' \) | LC_ALL=C sort); }
icon_files() {
    local size
    for size in "${sizes[@]}"; do
        printf '%s\n' "$1/hicolor/${size}x${size}/" "$1/hicolor/${size}x${size}/apps/" \
            "$1/hicolor/${size}x${size}/apps/varnotel.png"
    done
}
expected_tree=$({
    printf '%s\n' BGM/ BGM/BGM.mp3 BGM/Tuition.wmv Example/ Homepage/ IF/ Journal/ LICENSE Notes/ README.md \
        icons/ icons/hicolor/ icons/hicolor/scalable/ icons/hicolor/scalable/apps/ \
        icons/hicolor/scalable/apps/varnotel.svg install-desktop-entry.sh metainfo/ "metainfo/$metainfo" varnotel
    icon_files icons
} | LC_ALL=C sort)

# The folder: every file as in the sources, every picture of the size its folder names.
app="$work/My Apps \$5 100%/Varnotel"
cmake --install "$build_dir" --prefix "$app" >/dev/null
[[ "$(tree "$app")" == "$expected_tree" ]] || fail "installed folder holds:"$'\n'"$(tree "$app")"
[[ -x "$app/varnotel" && -x "$app/install-desktop-entry.sh" ]] || fail "program or script not executable"
for pair in BGM/BGM.mp3=assets/BGM/BGM.mp3 BGM/Tuition.wmv=assets/BGM/Tuition.wmv README.md=README.md \
    LICENSE=LICENSE icons/hicolor/scalable/apps/varnotel.svg=assets/icons/varnotel.svg \
    "metainfo/$metainfo=dist/$metainfo"; do
    cmp -s "$app/${pair%%=*}" "$source_dir/${pair#*=}" || fail "${pair%%=*} differs from ${pair#*=}"
done
for size in "${sizes[@]}"; do
    png="icons/hicolor/${size}x${size}/apps/varnotel.png"
    cmp -s "$app/$png" "$source_dir/assets/$png" || fail "$png differs from assets/"
    # A PNG's width and height, 4 bytes each, follow its 16-byte signature and chunk header.
    [[ "$(od -An -tx1 -j16 -N8 "$app/$png" | tr -d ' \n')" == "$(printf '%08x%08x' "$size" "$size")" ]] ||
        fail "$png is not $size by $size pixels"
done

# The menu entry, put in by the installed script with no argument, for this folder. The desktop's tools
# keep caches and markers of their own beside what they install; those are the only other files.
home="$work/home"
data_home="$home/.local/share"
entry_script() { env -u XDG_CONFIG_HOME HOME="$home" XDG_DATA_HOME="$data_home" bash "$app/install-desktop-entry.sh" "$@"; }
files_besides_the_tools_own() {
    (cd "$home" && find . -mindepth 1 ! -type d -printf '%P\n') |
        grep -vE '(^|/)(mimeinfo\.cache|icon-theme\.cache|xdg-desktop-menu-dummy\.menu)$|^\.gnome/apps/|^\.icons$' |
        LC_ALL=C sort || true
}
entry_script >/dev/null
entry="$data_home/applications/varnotel.desktop"
# Hints and warnings count too: a clean entry draws no remark at all.
remarks=$(desktop-file-validate "$entry" 2>&1) && [[ -z "$remarks" ]] || fail "desktop-file-validate: $remarks"
exec_line="Exec=\"$work/My Apps \\\\\$5 100%%/Varnotel/varnotel\""
grep -Fxq -- "$exec_line" "$entry" || fail "no line $exec_line in:"$'\n'"$(cat "$entry")"
grep -Fxq -- "Path=$app" "$entry" || fail "the entry does not start in $app"
grep -Fxq -- "Icon=varnotel" "$entry" || fail "the entry names another icon"
for size in "${sizes[@]}"; do
    png="icons/hicolor/${size}x${size}/apps/varnotel.png"
    cmp -s "$data_home/$png" "$app/$png" || fail "the $size-pixel icon is not in the theme"
done
cmp -s "$data_home/metainfo/$metainfo" "$app/metainfo/$metainfo" || fail "the metainfo is not in $data_home/metainfo"
[[ "$(files_besides_the_tools_own)" == "$({
    printf '%s\n' .local/share/applications/varnotel.desktop ".local/share/metainfo/$metainfo"
    icon_files .local/share/icons | grep 'png$'
} | LC_ALL=C sort)" ]] || fail "the script wrote:"$'\n'"$(tree "$home")"

entry_script --uninstall >/dev/null
[[ -z "$(files_besides_the_tools_own)" && -z "$(find "$home" -iname '*varnotel*' -print -quit)" ]] ||
    fail "the uninstall left:"$'\n'"$(tree "$home")"

# The package: the same folder as Varnotel/.
cpack --config "$build_dir/CPackConfig.cmake" -B "$work/package" >/dev/null
tarballs=("$work"/package/varnotel-*-linux-*.tar.gz)
mkdir "$work/unpacked"
tar -xzf "${tarballs[0]}" -C "$work/unpacked"
[[ "$(cd "$work/unpacked" && echo *)" == Varnotel && "$(tree "$work/unpacked/Varnotel")" == "$expected_tree" ]] ||
    fail "the package holds:"$'\n'"$(tree "$work/unpacked")"

if ((failures > 0)); then
    exit 1
fi
echo "install: the folder, its package and the menu entry are complete, and the entry comes out again"
