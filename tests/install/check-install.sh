#!/usr/bin/env bash
# Installs a build as a user would, into a throw-away folder whose path holds a blank, a $ and a %, and
# checks the portable application folder, its .tar.gz and the desktop entry its script writes.
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

# Every entry of a folder, relative, sorted; folders end in /.
tree() { (cd "$1" && find . -mindepth 1 \( -type d -printf '%P/\n' -o -printf '%P\n' \) | LC_ALL=C sort); }
expected_tree=$(printf '%s\n' BGM/ BGM/BGM.mp3 BGM/Tuition.wmv Example/ Homepage/ IF/ Journal/ Notes/ \
    install-desktop-entry.sh varnotel varnotel.png)

app="$work/My Apps \$5 100%/Varnotel"
cmake --install "$build_dir" --prefix "$app" >/dev/null
[[ "$(tree "$app")" == "$expected_tree" ]] || fail "installed folder holds:"$'\n'"$(tree "$app")"
[[ -x "$app/varnotel" && -x "$app/install-desktop-entry.sh" ]] || fail "program or script not executable"
cmp -s "$app/BGM/BGM.mp3" "$source_dir/assets/BGM/BGM.mp3" || fail "BGM.mp3 differs from assets/"
cmp -s "$app/BGM/Tuition.wmv" "$source_dir/assets/BGM/Tuition.wmv" || fail "Tuition.wmv differs from assets/"
cmp -s "$app/varnotel.png" "$source_dir/assets/icon.png" || fail "the icon differs from assets/icon.png"

# The desktop entry, written by the installed script with no argument, for this folder.
data_home="$work/home/.local/share"
HOME="$work/home" XDG_DATA_HOME=$data_home bash "$app/install-desktop-entry.sh" >/dev/null
entry="$data_home/applications/varnotel.desktop"
# Hints and warnings count too: a clean entry draws no remark at all.
remarks=$(desktop-file-validate "$entry" 2>&1) && [[ -z "$remarks" ]] || fail "desktop-file-validate: $remarks"
exec_line="Exec=\"$work/My Apps \\\\\$5 100%%/Varnotel/varnotel\""
grep -Fxq -- "$exec_line" "$entry" || fail "no line $exec_line in:"$'\n'"$(cat "$entry")"
grep -Fxq -- "Path=$app" "$entry" || fail "the entry does not start in $app"
cmp -s "$data_home/icons/hicolor/32x32/apps/varnotel.png" "$app/varnotel.png" || fail "icon not installed"
# The menu's own cache may come beside the entry; nothing else does.
[[ "$(tree "$work/home" | grep -v '/mimeinfo.cache$')" == "$(printf '%s\n' .local/ .local/share/ .local/share/applications/ \
    .local/share/applications/varnotel.desktop .local/share/icons/ .local/share/icons/hicolor/ \
    .local/share/icons/hicolor/32x32/ .local/share/icons/hicolor/32x32/apps/ \
    .local/share/icons/hicolor/32x32/apps/varnotel.png)" ]] || fail "the script wrote:"$'\n'"$(tree "$work/home")"

# The package: the same folder under one top-level folder.
cpack --config "$build_dir/CPackConfig.cmake" -B "$work/package" >/dev/null
tarballs=("$work"/package/varnotel-*.tar.gz)
mkdir "$work/unpacked"
tar -xzf "${tarballs[0]}" -C "$work/unpacked"
packed=("$work"/unpacked/*)
[[ ${#packed[@]} == 1 && "$(tree "${packed[0]}")" == "$expected_tree" ]] ||
    fail "the package holds:"$'\n'"$(tree "$work/unpacked")"

if ((failures > 0)); then
    exit 1
fi
echo "install: the folder, its package and the desktop entry are complete"
