#!/usr/bin/env bash
# Music and sounds on a machine without a sound card: ALSA writes into a file, and a probe
# standing in for the installed program plays both tunes and a sample through the launcher.
. "$(dirname "$0")/lib.sh"

[ -n "${DISPLAY:-}" ] || skip "the library needs an X display (./test provides one)"
[ "$WITH_PATCHES" = 1 ] || skip "this build makes no patches.dat"
install_prefix
cp "$SOUND_PROBE" "$prefix/$PROGRAM_DIR/blockrise"
record_sound
# ALSA complains on stderr about the missing card; only the probe's verdict matters.
if env -i PATH="$PATH" HOME="$home" DISPLAY="$DISPLAY" timeout 40 \
        "$prefix/$GAMES_DIR/blockrise" "$recording" 2>"$scratch/stderr"; then
    pass "both tunes and the sample were heard"
else
    grep -v '^ALSA lib' "$scratch/stderr" >&2 || true
    fail "the probe did not hear what it played"
fi
finish
