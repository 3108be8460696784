#!/usr/bin/env bash
# The installed game from start to exit on an X server of its own, as a player's desktop sees
# it: the window's title, class and icon; the starfield's music, a game's music, the title's
# sound between silences, all recorded through ALSA into a file; the scores in the player's
# folder and nothing where the command was started.
. "$(dirname "$0")/lib.sh"
[ "$WITH_DATA" = 1 ] && [ "$WITH_PATCHES" = 1 ] || skip "this build makes no blocks.dat or patches.dat"
start_x
install_prefix
mkdir -p "$work/player/run" && record_sound "$work/player"
recording=$work/player/sound.raw
BLOCKRISE=$prefix/$GAMES_DIR/blockrise launch player -i PATH="$PATH" DISPLAY="$DISPLAY"

# In full screen the library draws into an override-redirect window no window manager sees;
# the one a desktop knows has a class.
for _ in $(seq 100); do window=$(xdotool search --classname '^blockrise$' | head -1) && [ -n "$window" ] && break; sleep 0.1; done
[ -n "$window" ] || { fail "the game showed no window with a class: $(describe)"; finish; }
props=$(xprop -id "$window" WM_NAME WM_CLASS)
echo "$props"
check "the window's title is Blockrise" grep -qx 'WM_NAME(STRING) = "Blockrise"' <<<"$props"
check "the desktop entry's StartupWMClass is the window's class" grep -qxF "WM_CLASS(STRING) = \"blockrise\", \"$(sed -n \
    's/^StartupWMClass=//p' "$prefix/$DATAROOT_DIR/applications/blockrise.desktop")\"" <<<"$props"
# The library shows an icon of its own when the game sets none, or sets it too late: the
# window's icon pixmap (black where its mask leaves pixels out) must be the installed SVG's
# picture on black. No X tool reads a pixmap back, so python3-xlib does.
python3 -c 'import sys; from Xlib import display, X
pixmap = display.Display().create_resource_object("window", int(sys.argv[1])).get_wm_hints().icon_pixmap
g = pixmap.get_geometry()
sys.stdout.buffer.write(b"P6 %d %d 255\n" % (g.width, g.height) + bytes(
    b for x in zip(*[iter(pixmap.get_image(0, 0, g.width, g.height, X.ZPixmap, 0xffffffff).data)] * 4) for b in x[2::-1]))' \
    "$window" >"$work/icon.ppm"
size=$(identify -format %wx%h "$work/icon.ppm")
rsvg-convert -w "${size%x*}" -h "${size#*x}" -b black -o "$work/svg.png" "$prefix/$DATAROOT_DIR/icons/hicolor/scalable/apps/blockrise.svg"
error=$(compare -metric RMSE "$work/svg.png" "$work/icon.ppm" null: 2>&1 | sed -n 's/.*(\(.*\)).*/\1/p')
check "the window's $size icon is the installed icon's picture (RMS difference ${error:-unknown})" awk -v e="${error:-1}" 'BEGIN { exit !(e < 0.05) }'

# Where the recording stands now: the ALSA file device keeps writing as the mixer runs.
mark() { stat -c %s "$recording" 2>/dev/null || echo 0; }
for _ in $(seq 100); do (($(mark) > 0)) && break; sleep 0.1; done
must leave_starfield
starfield_end=$(mark)
must start_game 1
game_start=$(mark) && sleep 1.5 && game_end=$(mark)
hold Escape 0.3
must enter_name ""
must wait_for table
sleep 1
table_start=$(mark) && sleep 1 && table_end=$(mark)
must leave_table
sleep 1.5
title_end=$(mark)
check "the installed game runs from start to exit" quit
check "the scores are in the player's folder" [ -s "$work/player/.local/share/blockrise/scores" ]
check "nothing is written where the command was started" [ -z "$(ls -A "$work/player/run")" ]

# level FROM TO: the peak and the quietest fifth of a second, in dB, between two marks of the
# recording: 16-bit unsigned stereo at 44100 Hz, the library's mixer format here.
level() {
    sox -t raw -e unsigned -b 16 -c 2 -r 44100 "$recording" -n trim "$(($1 / 4))s" "=$(($2 / 4))s" stats -w 0.2 2>&1 |
        awk '/^Pk lev dB/ { peak = $4 } /^RMS Tr dB/ { low = $4 } END { print peak, low }' | sed 's/-inf/-999/g'
}
sounds() { read -r peak low <<<"$(level "$1" "$2")" && echo "$3: peak $peak dB, quietest $low dB" && awk -v p="$peak" -v l="$low" "BEGIN { exit !($4) }"; }
check "the starfield's music plays throughout" sounds 0 "$starfield_end" starfield 'l > -60'
check "a game's music plays throughout" sounds "$game_start" "$game_end" game 'l > -60'
check "the table is silent" sounds "$table_start" "$table_end" table 'p < -90'
check "the title's sound plays back in the menu" sounds "$table_end" "$title_end" title 'p > -60'
finish
