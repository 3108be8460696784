#!/usr/bin/env bash
# cmake --install into a scratch prefix: the file list, the desktop entry and the launcher.
. "$(dirname "$0")/lib.sh"

install_prefix
check_installed "$prefix" "$prefix"
# pat2dat names each instrument the tunes call for that the patch set lacks: a silent part.
if [ "$WITH_PATCHES" = 1 ]; then
    log="$BUILD_DIR/tools/patches/work/pat2dat.log"
    check "there is a pat2dat log at $log" [ -f "$log" ]
    check "patches.dat holds every instrument the tunes use" not grep "can't find" "$log"
fi
finish
