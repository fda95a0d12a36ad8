#!/usr/bin/env bash
# Puts Varnotel into the desktop's application menu for the current user: a desktop entry that starts
# the program of one application folder, and its icon. Run it again after moving the folder.
#
#   bash install-desktop-entry.sh [APP_DIR]
#
# APP_DIR defaults to the folder this script lies in when that holds the program (the installed copy),
# else to the repository's app/ folder that scripts/run.sh lays out. Writes only below XDG_DATA_HOME
# (~/.local/share when unset): applications/varnotel.desktop and icons/hicolor/32x32/apps/varnotel.png.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
if (($# > 0)); then
    app_dir=$1
elif [[ -x "$here/varnotel" ]]; then
    app_dir=$here
else
    app_dir="$here/../app"
fi
if [[ ! -x "$app_dir/varnotel" || ! -f "$app_dir/varnotel.png" ]]; then
    echo "install-desktop-entry: no installed Varnotel (varnotel and varnotel.png) in $app_dir" >&2
    exit 1
fi
app_dir=$(cd "$app_dir" && pwd)
if [[ "$app_dir" == *[[:cntrl:]]* ]]; then
    echo "install-desktop-entry: the folder's path holds a control character; a desktop entry cannot name it" >&2
    exit 1
fi

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

data_home=${XDG_DATA_HOME:-$HOME/.local/share}
entry_dir="$data_home/applications"
icon_dir="$data_home/icons/hicolor/32x32/apps"
mkdir -p "$entry_dir" "$icon_dir"
install -m 644 "$app_dir/varnotel.png" "$icon_dir/varnotel.png"

# Written beside its place and moved in, so the menu never reads half an entry.
entry="$entry_dir/varnotel.desktop"
cat >"$entry.new" <<EOF
[Desktop Entry]
Type=Application
Name=Varnotel
GenericName=Journal Catalogue
GenericName[zh_CN]=期刊目录
Comment=Your catalogue of academic journals: impact factors, homepages, notes and example articles
Comment[zh_CN]=个人学术期刊目录：影响因子、期刊链接、备注和期刊例文
Exec=$(exec_value "$app_dir/varnotel")
Path=$(string_value "$app_dir")
Icon=varnotel
Terminal=false
Categories=Office;
Keywords=journal;impact factor;paper;catalogue;期刊;影响因子;
StartupWMClass=Varnotel
EOF
mv -f "$entry.new" "$entry"

# Desktops that keep caches of the menu and the icons learn of the new entry at once.
if command -v update-desktop-database >/dev/null; then
    update-desktop-database -q "$entry_dir" || true
fi
if command -v gtk-update-icon-cache >/dev/null && [[ -f "$data_home/icons/hicolor/index.theme" ]]; then
    gtk-update-icon-cache -q "$data_home/icons/hicolor" || true
fi
echo "install-desktop-entry: Varnotel is in the application menu; it starts $app_dir/varnotel"
