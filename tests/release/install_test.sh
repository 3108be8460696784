#!/usr/bin/env bash
# cmake --install into a scratch prefix: the file list, the desktop entry and the launcher.
. "$(dirname "$0")/lib.sh"

prefix="$scratch/prefix"
cmake --install "$BUILD_DIR" --prefix "$prefix" >"$scratch/install.log" \
    || { cat "$scratch/install.log" >&2; fail "cmake --install failed"; finish; }
check_tree "$prefix"
check_manual "$prefix"
check_desktop_entry "$prefix" "$prefix"
check_launcher "$prefix"

# pat2dat names every instrument the tunes call for that the patch set lacks; each is a
# part of the music that stays silent.
if [ "$WITH_PATCHES" = 1 ]; then
    log="$BUILD_DIR/tools/patches/work/pat2dat.log"
    if [ ! -f "$log" ]; then
        fail "no pat2dat log at $log"
    elif grep -q "can't find" "$log"; then
        fail "patches.dat lacks instruments the tunes use: $(grep "can't find" "$log" | tr '\n' ';')"
    else
        pass "patches.dat holds every instrument the tunes use"
    fi
fi
finish
