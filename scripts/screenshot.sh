#!/usr/bin/env bash
# Starts a program on the current X display, waits for its main window, saves a picture of that window
# and stops the program again.  Usage: screenshot.sh PROGRAM OUTPUT.png
set -euo pipefail

program=$1
output=$2
: "${DISPLAY:?screenshot.sh needs an X display}"

log=$(mktemp)
trap 'rm -f "$log"' EXIT
"$program" >"$log" 2>&1 &
pid=$!

stop_program() {
    if kill -0 "$pid" 2>/dev/null; then
        kill "$pid"
        wait "$pid" 2>/dev/null || true
    fi
}

# The main window's caption begins with the product name.
window=""
for _ in $(seq 1 300); do
    if ! kill -0 "$pid" 2>/dev/null; then
        echo "screenshot: $program ended before its window appeared:" >&2
        cat "$log" >&2
        exit 1
    fi
    window=$(xwininfo -root -tree 2>/dev/null | awk '/"Varnotel 1\.0/ { print $1; exit }')
    if [[ -n "$window" ]] && xwininfo -id "$window" 2>/dev/null | grep -q 'Map State: IsViewable'; then
        break
    fi
    window=""
    sleep 0.1
done
if [[ -z "$window" ]]; then
    echo "screenshot: no Varnotel window appeared within 30 seconds:" >&2
    cat "$log" >&2
    stop_program
    exit 1
fi

# Give the first paint (and the fonts it loads) a moment to reach the screen.
sleep 2
mkdir -p "$(dirname "$output")"
import -window "$window" "$output"
stop_program
