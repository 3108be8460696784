#!/usr/bin/env bash
# Two real programs on X servers of their own, one hosting and one joining over 127.0.0.1, keys
# typed into each with xdotool: when the game ends both screens show the same wells, scores,
# clock and words; each player names their score in their own table and quits cleanly; and
# the two replays are one game, which verifies.
# Usage: two_screens_test.sh BLOCKRISE BLOCKS_DAT BLOCKRISE_REPLAY
set -uo pipefail
export PATH=/usr/bin:/bin:$PATH # ImageMagick's own convert, before any stand-in
program=$1 data=$2 replay_tool=$3
command -v Xvfb >/dev/null || { echo "no Xvfb to give each player a screen"; exit 77; }
work=$(mktemp -d /tmp/blockrise-net-XXXXXX)
declare -A display game
trap 'kill $(jobs -p) 2>/dev/null; wait; [ -n "${keep:-}" ] || rm -rf "$work"' EXIT
fail() { echo "FAIL: $*; kept $work" >&2; keep=1; exit 1; }

n=140
for m in host guest; do # a screen and a folder of its own for each
    while [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 640x480x24 -nolisten tcp >/dev/null 2>&1 &
    display[$m]=:$((n++))
    mkdir "$work/$m" && cp "$data" "$work/$m/" && printf '[game]\nlow_power = yes\n' >"$work/$m/blockrise.cfg"
done
launch() { (cd "$work/$1" && HOME=$PWD DISPLAY=${display[$1]} exec "$program" "${@:2}" >out 2>err) & game[$1]=$!; }
keys() { DISPLAY=${display[$1]} xdotool "${@:2}"; }
shot() { DISPLAY=${display[$1]} import -window root "$work/$1.png" && convert "$work/$1.png" -crop 528x440+56+0 +repage "$work/$1.ppm"; }
ink() { # pixels near colour $3 inside geometry $2 of machine $1's last screenshot
    convert "$work/$1.png" -crop "$2" +repage -fuzz 6% -fill black +opaque "$3" -fill white -opaque "$3" -format '%[fx:round(mean*w*h)]' info:
}
playing() { [ "$(ink "$1" 40x20+56+6 white)" -ge 10 ]; } # player 1's score
naming() { [ "$(ink "$1" 640x30+0+100 '#ffffc0')" -ge 30 ] && [ "$(ink "$1" 640x30+0+16 '#ffffc0')" -lt 4 ]; }
named() { ! naming "$1"; }
ended() { ! kill -0 "${game[$1]}" 2>/dev/null; }
rested() { # unchanged since the last screenshot, with a word in each well
    cp "$work/$1.ppm" "$work/$1-before.ppm" && shot "$1" && cmp -s "$work/$1.ppm" "$work/$1-before.ppm" &&
        [ "$(ink "$1" 192x40+64+220 white)" -ge 40 ] && [ "$(ink "$1" 192x40+384+220 white)" -ge 40 ]
}
# Waits for screen $2 on machine $1, tapping key $3 (if any) now and then: a screen forgets keys.
until_shown() {
    for i in $(seq 100); do
        [ -n "${3:-}" ] && [ $((i % 4)) = 1 ] && keys "$1" key "$3"
        sleep 0.3
        { ended "$1" || shot "$1"; } && "$2" "$1" && return
    done
    fail "$1 never showed $2: $(cat "$work/$1/err")"
}

while port=$((20000 + RANDOM % 40000)); grep -qi ":$(printf %04X $port) " /proc/net/udp /proc/net/udp6; do :; done
launch host --host "$port"
for _ in $(seq 50); do grep -q "port $port" "$work/host/out" && break; sleep 0.2; done
launch guest --join "127.0.0.1:$port"
until_shown host playing
until_shown guest playing

# The guest raises a little and scores; the host raises until its stack tops out. Then both
# screens come to rest on the game-over overlay, and show the same.
for m in host guest; do keys $m keydown Control_R; done
sleep 1.2
keys guest keyup Control_R
still=no
for _ in $(seq 200); do rested host && rested guest && rested host && rested guest && still=yes && break; done
keys host keyup Control_R
[ $still = yes ] || fail "the screens never came to rest on the overlay"
[ "$(compare -metric AE "$work/host.ppm" "$work/guest.ppm" null: 2>&1)" = 0 ] || fail "the two screens differ"

# Each replaces the offered name with their own, confirms it, and leaves by way of the table,
# the menu and the farewell.
for m in host guest; do
    until_shown $m naming
    sleep 0.5
    keys $m key --delay 150 BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace $(sed 's/./& /g' <<<$m)
    until_shown $m named Return
    until_shown $m ended Escape
    wait "${game[$m]}" || fail "$m ended with status $?: $(cat "$work/$m/err")"
    "$replay_tool" --file "$work/$m/replays/last.replay" --verify || fail "$m's replay does not verify"
done
replay=$work/host/replays/last.replay
diff <(grep -v '^date ' "$replay") <(grep -v '^date ' "$work/guest/replays/last.replay") || fail "the machines recorded different games"
grep -qE '^player 1 [0-9]+ topped-out$' "$replay" || fail "the host did not top out"
scores=($(awk '$1 == "player" { print $3 }' "$replay"))
grep -qzP "(^|\n)host\n${scores[0]}\n" "$work/host/scores" && grep -qzP "(^|\n)guest\n${scores[1]}\n" "$work/guest/scores" ||
    fail "a table lacks its own player's score ${scores[*]}"
echo "two screens: passed"
