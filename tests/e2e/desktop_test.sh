#!/usr/bin/env bash
# The game on today's desktops, each on an X server of its own: at 2x the picture is the 1x
# picture with every pixel doubled; low_power keeps a game well under a tenth of a core; and
# when its X server dies the program ends at once with a message, never hanging or aborting.
. "$(dirname "$0")/lib.sh"

start_x 640x480
launch one
must leave_starfield
cp "$frame" "$work/one.ppm"
kill "$pid"
check "the 1x menu is not blank" awk -v g="$(convert "$work/one.ppm" -format '%[fx:mean]' info:)" 'BEGIN { exit !(g > 0.05) }'
convert "$work/one.ppm" -sample 200% "$work/doubled.ppm"
doubled() { [ "$(compare -metric AE "$frame" "$work/doubled.ppm" null: 2>&1)" = 0 ]; }

start_x 1280x960
launch two -- --scale 2
for _ in $(seq 30); do xdotool key space; wait_for '*' 2 doubled 2>/dev/null && break; done
check "the 2x menu is the 1x menu with every pixel doubled" doubled
kill "$pid"

start_x 640x480
prepare power && printf '[game]\nlow_power = yes\n' >"$dir/run/blockrise.cfg"
launch power
must leave_starfield
must start_game 1
ticks() { awk '{ print $14 + $15 }' "/proc/$pid/stat"; }
before=$(ticks) && sleep 3 && after=$(ticks)
percent=$(((after - before) * 100 / (3 * $(getconf CLK_TCK))))
check "low_power uses under 10% of a core in a game (${percent}%)" [ "$percent" -lt 10 ]

kill "$server"
check "its X server gone, the program exits with status 1" exited_with 1
check "... and says the display was lost" grep -q "display was lost" "$dir/err"
finish
