#!/usr/bin/env bash
# cmake --install into a scratch prefix: the file list, the desktop entry and the launcher; and
# what the build hands pat2dat to cut freepats down to the instruments of the game's tunes.
. "$(dirname "$0")/lib.sh"
install_prefix
check_installed "$prefix" "$prefix"
if [ "$WITH_PATCHES" = 1 ]; then
    # pat2dat names each instrument the tunes call for that the patch set lacks: a silent part.
    check "patches.dat holds every instrument the tunes use" [ "$(grep -c "can't find" "$BUILD_DIR/tools/patches/work/pat2dat.log")" = 0 ]
    patches=$(dirname "$0")/patches
    must "$PREPARE_PATCHES" "$BUILD_DIR/blocks.dat" "$patches/timidity.cfg" "$work"
    check "TiMidity's index is renumbered the way the library reads it" diff "$patches/gus.cfg" "$work/default.cfg"
    for tune in STARFIELD_MUSIC_MID:starfield GAME_MUSIC_MID:game; do
        dat -e -o "$work/dat-${tune#*:}.mid" "$BUILD_DIR/blocks.dat" "${tune%%:*}" >/dev/null
        check "${tune#*:}.mid is the tune as the library's dat tool writes it" cmp "$work/dat-${tune#*:}.mid" "$work/${tune#*:}.mid"
    done
fi
finish
