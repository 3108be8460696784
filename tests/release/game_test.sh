#!/usr/bin/env bash
# The installed game from start to exit on a virtual display of its own: starfield with its
# music, title menu, quit, farewell starfield; then the scores file in the player's folder.
. "$(dirname "$0")/lib.sh"

command -v Xvfb >/dev/null || { echo "skipped: needs Xvfb"; exit 77; }
[ -n "${SEND_KEY:-}" ] || { echo "skipped: built without the XTest library"; exit 77; }
[ "$WITH_DATA" = 1 ] && [ "$WITH_PATCHES" = 1 ] || { echo "skipped: no blocks.dat or patches.dat"; exit 77; }

# A display of our own, so no other test's keys reach this game, nor ours theirs.
xvfb_pid=""
for n in $(seq 150 199); do
    [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 640x480x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    sleep 0.5
    if kill -0 "$xvfb_pid" 2>/dev/null; then display=":$n"; break; fi
    xvfb_pid=""
done
[ -n "$xvfb_pid" ] || { echo "skipped: could not start Xvfb"; exit 77; }
trap 'kill "$xvfb_pid" 2>/dev/null; rm -rf "$scratch"' EXIT

prefix="$scratch/prefix"
cmake --install "$BUILD_DIR" --prefix "$prefix" >/dev/null
home="$scratch/home"
recording="$scratch/recording.raw"
mkdir -p "$home" "$scratch/cwd"
printf 'pcm.!default { type file  slave.pcm "null"  file "%s"  format "raw" }\n' "$recording" >"$home/.asoundrc"

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
if [ "$status" -eq 0 ]; then
    pass "the game ran from start to exit"
else
    fail "the game ended with status $status: $(grep -v '^ALSA lib' "$scratch/stderr")"
fi

folder="$home/.local/share/blockrise"
[ -s "$folder/scores" ] && pass "the scores file was written in the player's folder" \
    || fail "no scores file in $folder"
[ -z "$(ls -A "$scratch/cwd")" ] && pass "nothing was written where the command was started" \
    || fail "files left in the starting folder: $(ls -A "$scratch/cwd")"

# The library's default mixer format, which the sound probe reports: 16-bit stereo, 44100 Hz.
judge() { "$AUDIO_JUDGE" "$recording" 16 2 44100 "$@"; }
judge throughout 2 && pass "the starfield music plays from the start" || fail "no starfield music"
finish
