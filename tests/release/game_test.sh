#!/usr/bin/env bash
# The installed game from start to exit on a virtual display of its own: starfield with its
# music, title menu, quit, farewell starfield; then the scores file in the player's folder.
. "$(dirname "$0")/lib.sh"

[ -n "${SEND_KEY:-}" ] || skip "built without the XTest library"
[ "$WITH_DATA" = 1 ] && [ "$WITH_PATCHES" = 1 ] || skip "no blocks.dat or patches.dat"
start_display

install_prefix
record_sound
mkdir -p "$scratch/cwd"
(cd "$scratch/cwd" && exec env -i PATH="$PATH" HOME="$home" DISPLAY="$display" timeout 30 \
    "$prefix/$GAMES_DIR/blockrise" 2>"$scratch/stderr") &
game=$!
key() { sleep "$1"; DISPLAY="$display" "$SEND_KEY" "$2"; }
# The recording starts when the starfield's music does: the game is up and drawing.
for _ in $(seq 100); do
    [ -s "$recording" ] && break
    sleep 0.1
done
key 2.0 space   # leave the starfield
key 1.5 Escape  # quit from the title menu
key 1.5 space   # leave the farewell starfield
status=0
wait "$game" || status=$?
check "the game ran from start to exit (status $status)" [ "$status" -eq 0 ]
[ "$status" -eq 0 ] || grep -v '^ALSA lib' "$scratch/stderr" >&2 || true
check "the scores file was written in the player's folder" [ -s "$home/.local/share/blockrise/scores" ]
check "nothing was written where the command was started" [ -z "$(ls -A "$scratch/cwd")" ]
# The library's default mixer format, which the sound probe reports: 16-bit stereo, 44100 Hz.
check "the starfield music plays from the start" "$AUDIO_JUDGE" "$recording" 16 2 44100 throughout 2
finish
