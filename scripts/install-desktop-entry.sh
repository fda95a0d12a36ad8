#!/usr/bin/env bash
# Puts Varnotel into the desktop's application menu for the current user, or takes it out again: a
# desktop entry that starts the program of one application folder, its icon at every size, and the
# description software centres show. Run it again after moving the folder.
#
#   bash install-desktop-entry.sh [APP_DIR]     put Varnotel into the menu
#   bash install-desktop-entry.sh --uninstall   take out what the line above put in
#
# APP_DIR defaults to the folder this script lies in when that holds the program (the installed copy),
# else to the repository's app/ folder that scripts/run.sh lays out. The entry and the icons are handed to
# the desktop's own tools (xdg-desktop-menu and xdg-icon-resource of xdg-utils), which put them below
# XDG_DATA_HOME (~/.local/share when unset) and update the caches they keep; the description goes to
# XDG_DATA_HOME/metainfo.
set -euo pipefail

readonly entry_name=varnotel.desktop icon_name=varnotel
readonly metainfo_name=io.github.varnotel.Varnotel.metainfo.xml
readonly sizes=(16 24 32 48 64 128 256)

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
data_home=${XDG_DATA_HOME:-$HOME/.local/share}

fail() {
    echo "install-desktop-entry: $*" >&2
    exit 1
}

command -v xdg-desktop-menu >/dev/null && command -v xdg-icon-resource >/dev/null ||
    fail "xdg-desktop-menu and xdg-icon-resource are missing; install xdg-utils (sudo apt-get install xdg-utils)"
# xdg-utils' scripts split the folders they write into at blanks.
[[ "$data_home$HOME" != *[[:space:]]* ]] ||
    fail "the desktop's tools cannot write into a folder whose path holds a blank: $data_home"

uninstall() {
    xdg-desktop-menu uninstall --mode user "$entry_name"
    local size
    for size in "${sizes[@]}"; do
        xdg-icon-resource uninstall --noupdate --mode user --context apps --size "$size" "$icon_name"
    done
    xdg-icon-resource forceupdate --mode user
    rm -f "$data_home/metainfo/$metainfo_name"
    echo "install-desktop-entry: Varnotel is no longer in the application menu"
}

if [[ ${1:-} == --uninstall ]]; then
    uninstall
    exit 0
fi

if (($# > 0)); then
    app_dir=$1
elif [[ -x "$here/varnotel" ]]; then
    app_dir=$here
else
    app_dir="$here/../app"
fi
[[ -x "$app_dir/varnotel" && -f "$app_dir/icons/hicolor/256x256/apps/$icon_name.png" ]] ||
    fail "no installed Varnotel (varnotel and its icons/) in $app_dir"
app_dir=$(cd "$app_dir" && pwd)
[[ "$app_dir" != *[[:cntrl:]]* ]] ||
    fail "the folder's path holds a control character; a desktop entry cannot name it"

# A value of the string type: backslashes doubled.
string_value() {
    local text=${1//\\/\\\\}
    printf '%s' "$text"
}

# The program as the one word of Exec: in double quotes with ", `, $ and \ escaped, then escaped again as
# a string value; a % would start a field code, so it is doubled.
exec_value() {
    local text=$1
    text=${text//\\/\\\\}
    text=${text//\"/\\\"}
    text=${text//\`/\\\`}
    text=${text//\$/\\\$}
    text=$(string_value "\"$text\"")
    printf '%s' "${text//%/%%}"
}

# The entry is written into a folder of its own whose path holds no blank, for xdg-desktop-menu to copy.
staging=$(mktemp -d)
trap 'rm -rf "$staging"' EXIT
[[ "$staging" != *[[:space:]]* ]] || fail "the temporary folder's path holds a blank: $staging"
cat >"$staging/$entry_name" <<EOF
[Desktop Entry]
Type=Application
Name=Varnotel
GenericName=Journal Catalogue
GenericName[zh_CN]=期刊目录
Comment=Your catalogue of academic journals: impact factors, homepages, notes and example articles
Comment[zh_CN]=个人学术期刊目录：影响因子、期刊链接、备注和期刊例文
Exec=$(exec_value "$app_dir/varnotel")
Path=$(string_value "$app_dir")
Icon=$icon_name
Terminal=false
Categories=Office;
Keywords=journal;impact factor;paper;catalogue;期刊;影响因子;
StartupWMClass=Varnotel
EOF

for size in "${sizes[@]}"; do
    xdg-icon-resource install --noupdate --novendor --mode user --context apps --size "$size" \
        "$app_dir/icons/hicolor/${size}x${size}/apps/$icon_name.png" "$icon_name"
done
xdg-icon-resource forceupdate --mode user
xdg-desktop-menu install --novendor --mode user "$staging/$entry_name"
if [[ -f "$app_dir/metainfo/$metainfo_name" ]]; then
    install -D -m 644 "$app_dir/metainfo/$metainfo_name" "$data_home/metainfo/$metainfo_name"
fi
echo "install-desktop-entry: Varnotel is in the application menu; it starts $app_dir/varnotel"
