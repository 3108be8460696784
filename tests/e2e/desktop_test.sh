#!/usr/bin/env bash
# The game on today's desktops, each on an X server of its own: at 2x the picture is the 1x
# picture with every pixel doubled; low_power keeps a game well under a tenth of a core; and
# when its X server dies the program ends at once with a message, never hanging or aborting.
# Usage: desktop_test.sh BLOCKRISE BLOCKS_DAT
set -uo pipefail
export PATH=/usr/bin:/bin:$PATH # ImageMagick's own convert, before any stand-in
program=$1
data=$2
work=$(mktemp -d /tmp/blockrise-desktop-XXXXXX)
servers=()
failures=0
trap 'for pid in "${servers[@]}"; do kill "$pid" 2>/dev/null; done; pkill -f "$work" 2>/dev/null; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# A virtual screen of the given size on a free display number; sets $display.
start_server() {
    for n in $(seq 131 170); do
        [ -e "/tmp/.X$n-lock" ] && continue
        Xvfb ":$n" -screen 0 "$1x24" -nolisten tcp >/dev/null 2>&1 &
        local pid=$!
        sleep 1
        if kill -0 "$pid" 2>/dev/null; then servers+=("$pid"); display=":$n"; server=$pid; return 0; fi
    done
    echo "cannot start Xvfb" >&2
    exit 1
}

# Starts the game in folder $1 on $display with arguments $3...; waits for its window.
start_game() {
    local dir=$work/$1 settings=$2
    shift 2
    mkdir -p "$dir" && cp "$data" "$dir/" && printf '%b' "$settings" >"$dir/blockrise.cfg"
    (cd "$dir" && DISPLAY=$display exec "$program" "$@" >"$dir/out" 2>"$dir/err") &
    game=$!
    for _ in $(seq 50); do
        DISPLAY=$display xdotool search --name Blockrise >/dev/null 2>&1 && break
        sleep 0.2
    done
    sleep 0.5
}

cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }

# 1x and 2x title menus: the 2x one is the 1x one with each pixel repeated.
start_server 640x480
start_game one "" && DISPLAY=$display xdotool key space && sleep 1
DISPLAY=$display import -window root "$work/one.png"
kill "$game"
start_server 1280x960
start_game two "" --scale 2 && DISPLAY=$display xdotool key space && sleep 1
DISPLAY=$display import -window root "$work/two.png"
kill "$game"
convert "$work/one.png" -sample 200% "$work/one-doubled.png"
differing=$(compare -metric AE "$work/one-doubled.png" "$work/two.png" null: 2>&1)
[ "$differing" = "0" ] || fail "the 2x menu differs from the 1x menu doubled in $differing pixels"
grey=$(convert "$work/one.png" -format '%[fx:mean]' info:)
awk -v g="$grey" 'BEGIN { exit !(g > 0.05) }' || fail "the 1x menu is blank"

# A one-player game left to run for three seconds with low_power on.
start_server 640x480
start_game power '[game]\nlow_power = yes\n' && DISPLAY=$display xdotool key space && sleep 0.7
DISPLAY=$display xdotool key 1 && sleep 1
before=$(cpu_ticks "$game") && sleep 3 && after=$(cpu_ticks "$game")
percent=$(( (after - before) * 100 / (3 * $(getconf CLK_TCK)) ))
echo "low_power: ${percent}% of a core during a game"
[ "$percent" -lt 10 ] || fail "low_power used ${percent}% of a core"

# The X server goes away in the middle of that game.
kill "$server"
for _ in $(seq 50); do kill -0 "$game" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$game" 2>/dev/null; then
    fail "still running 5 s after its X server died"
else
    wait "$game"
    status=$?
    [ "$status" -ne 0 ] && [ "$status" -lt 128 ] || fail "ended with status $status (a signal, or success)"
    grep -q "display was lost" "$work/power/err" || fail "no message: $(cat "$work/power/err")"
fi

[ "$failures" -eq 0 ] && echo "desktop: passed"
exit $((failures > 0))
