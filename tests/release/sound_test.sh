#!/usr/bin/env bash
# Music and sounds on a machine without a sound card: ALSA writes into a file, and a probe
# standing in for the installed program plays both tunes and a sample through the launcher.
. "$(dirname "$0")/lib.sh"

[ -n "${DISPLAY:-}" ] || { echo "skipped: the library needs an X display (./test provides one)"; exit 77; }
[ "$WITH_PATCHES" = 1 ] || { echo "skipped: this build makes no patches.dat"; exit 77; }

prefix="$scratch/prefix"
cmake --install "$BUILD_DIR" --prefix "$prefix" >/dev/null
cp "$SOUND_PROBE" "$prefix/$PROGRAM_DIR/blockrise"

home="$scratch/home"
recording="$scratch/recording.raw"
mkdir -p "$home"
printf 'pcm.!default { type file  slave.pcm "null"  file "%s"  format "raw" }\n' "$recording" >"$home/.asoundrc"

# ALSA complains on stderr about the missing card; only the probe's verdict matters.
if env -i PATH="$PATH" HOME="$home" DISPLAY="$DISPLAY" timeout 40 \
        "$prefix/$GAMES_DIR/blockrise" "$recording" 2>"$scratch/stderr"; then
    pass "both tunes and the sample were heard"
else
    grep -v '^ALSA lib' "$scratch/stderr" >&2 || true
    fail "the probe did not hear what it played"
fi
finish
