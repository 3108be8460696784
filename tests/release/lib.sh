# Checks of an installed tree shared by the release tests, on top of the end-to-end library.
# CMakeLists.txt sets BUILD_DIR, VERSION, ICON_SIZES, GAMES_DIR, PROGRAM_DIR, DATA_DIR,
# DATAROOT_DIR, DOC_DIR, MAN_DIR, WITH_DATA and WITH_PATCHES.
. "$(dirname "${BASH_SOURCE[0]}")/../e2e/lib.sh"
not() { ! "$@"; }
like() { [[ $1 == $2 ]]; }

install_prefix() {
    prefix=$work/prefix
    cmake --install "$BUILD_DIR" --prefix "$prefix" >"$work/install.log" || { cat "$work/install.log" >&2; fail "cmake --install"; finish; }
}

# The files a player's machine needs, relative to the prefix, sorted.
expected_files() {
    local size
    {
        printf '%s\n' "$GAMES_DIR/blockrise" "$PROGRAM_DIR/blockrise" "$DATA_DIR/allegro.cfg" "$DATA_DIR/blockrise.cfg" \
            "$DOC_DIR/copyright" "$DOC_DIR/changelog.gz" "$DATAROOT_DIR/applications/blockrise.desktop" \
            "$DATAROOT_DIR/icons/hicolor/scalable/apps/blockrise.svg" "$MAN_DIR/man6/blockrise.6.gz"
        for size in $ICON_SIZES; do echo "$DATAROOT_DIR/icons/hicolor/${size}x$size/apps/blockrise.png"; done
        [ "$WITH_DATA" = 1 ] && echo "$DATA_DIR/blocks.dat"
        [ "$WITH_PATCHES" = 1 ] && echo "$DATA_DIR/patches.dat"
    } | LC_ALL=C sort
}

# check_installed TREE REAL_PREFIX: a tree that will be found at REAL_PREFIX.
check_installed() {
    local tree=$1 real=$2 program="$1/$PROGRAM_DIR/blockrise" doc="$1/$DOC_DIR" size f
    check "installed files are the expected ones" diff <(expected_files) <(cd "$tree" && find . -type f -o -type l | sed 's|^\./||' | LC_ALL=C sort)
    check "every file is readable by everyone" [ -z "$(find "$tree" -type f ! -perm -o=r)" ]
    check "the launcher and the program are executable by everyone" \
        [ "$(stat -L -c %A "$tree/$GAMES_DIR/blockrise" "$program" | cut -c10 | tr -d '\n')" = xx ]
    check "the program is a native executable whose libraries are all found" sh -c \
        'file -L "$1" | grep -q "ELF.*executable" && ! ldd "$1" | grep >&2 "not found"' _ "$program"
    check "the manual page formats cleanly" [ -z "$(gzip -dc "$tree/$MAN_DIR/man6/blockrise.6.gz" | groff -man -Tutf8 -ww -z 2>&1 | tee /dev/stderr)" ]
    for size in $ICON_SIZES; do
        check "the ${size}x$size icon is a PNG of that size" sh -c 'file -b "$1" | grep -q "^PNG image data, $2 x $2,"' _ \
            "$tree/$DATAROOT_DIR/icons/hicolor/${size}x$size/apps/blockrise.png" "$size"
    done
    # A stored name or time makes every build of the package differ.
    for f in "$doc/changelog.gz" "$tree/$MAN_DIR/man6/blockrise.6.gz"; do
        check "$(basename "$f") is compressed with no file name or time" sh -c 'gzip -t "$1" && ! file "$1" | grep -q "was \"\|last modified"' _ "$f"
    done
    check "the changelog's latest entry is for version $VERSION" \
        [ "$(gzip -dc "$doc/changelog.gz" | dpkg-parsechangelog -l - -S Version 2>/dev/null)" = "$VERSION" ]
    for f in "$tree/$DATA_DIR"/*.dat; do
        [ -e "$f" ] && check "the copyright file covers $(basename "$f")" grep -qxF "Files: */$(basename "$f")" "$doc/copyright"
    done
    check "the copyright file names a licence for every Files stanza" awk '/^Files:/ { files++ }
        /^Files:/, /^$/ { if (/^License:/) licensed++ } END { exit !(files && files == licensed) }' "$doc/copyright"
    # Command forms only: a build folder's name may well contain "cmake" and end up in debug paths.
    check "no installed file speaks of the source tree's commands" not grep -raloE '\./run\b|xvfb-run|cmake --|scripts/setup\.sh' "$tree"
    local entry="$tree/$DATAROOT_DIR/applications/blockrise.desktop"
    check "the desktop entry runs $real/$GAMES_DIR/blockrise, which is in the tree" \
        [ "$(sed -n 's/^Exec=//p' "$entry")" = "$real/$GAMES_DIR/blockrise" -a -x "$tree/$GAMES_DIR/blockrise" ]
    check "the desktop entry's icon is the installed SVG, well-formed" \
        xmllint --noout "$tree/$DATAROOT_DIR/icons/hicolor/scalable/apps/$(sed -n 's/^Icon=//p' "$entry").svg"
    # StartupWMClass is compared with the running game's window in game_test.sh.
    check "the desktop entry is valid, with a Name and a StartupWMClass, every @placeholder@ replaced" sh -c \
        'desktop-file-validate "$1" && grep -qx Type=Application "$1" && grep -q "^Name=." "$1" && grep -q "^StartupWMClass=." "$1" && ! grep -q @ "$1"' _ "$entry"
    check_launcher "$tree"
}

# check_launcher TREE: the command makes each player's folder and starts the game in it; the
# program's stand-in prints its folder, ALLEGRO and its arguments.
check_launcher() {
    local command="$1/$GAMES_DIR/blockrise" data="$1/$DATA_DIR" home="$work/a home" f
    local dir="$work/a home/.local/share/blockrise"
    [ "$WITH_DATA" = 1 ] || : >"$data/blocks.dat" # the launcher refuses to start without it
    printf '#!/bin/sh\nprintf "%%s|" "$(pwd)" "$ALLEGRO" "$@"\n' >"$1/$PROGRAM_DIR/blockrise"
    start() { env -i PATH="$PATH" "$@" "$command" one "two words" 2>&1; }
    check "the game runs in ~/.local/share/blockrise with ALLEGRO there and its arguments" \
        [ "$(start HOME="$home")" = "$dir|$dir|one|two words|" ]
    player_folder() {
        for f in blocks.dat patches.dat; do
            [ -e "$data/$f" ] && check "$f in the player's folder links to the installed one" [ "$(readlink -e "$dir/$f")" = "$(readlink -e "$data/$f")" ]
        done
    }
    player_folder
    check "a new player gets copies of the settings" sh -c '! test -L "$1/allegro.cfg" &&
        cmp "$1/allegro.cfg" "$2/allegro.cfg" && cmp "$1/blockrise.cfg" "$2/blockrise.cfg"' _ "$dir" "$data"
    # A second start keeps scores and settings, and mends a link to an older install that is gone.
    echo "a player's scores" >"$dir/scores" && echo "gfx_card = XWIN" >>"$dir/allegro.cfg"
    ln -sfn /nonexistent/old-install/blocks.dat "$dir/blocks.dat"
    start HOME="$home" >/dev/null
    check "a restart keeps the scores and the player's allegro.cfg" \
        sh -c '[ "$(cat "$1/scores")" = "a player'\''s scores" ] && grep -q XWIN "$1/allegro.cfg"' _ "$dir"
    [ "$WITH_DATA" = 1 ] && player_folder
    ln -sf "$command" "$work/blockrise"
    check "it works started through a symbolic link" [ "$(env -i PATH="$PATH" HOME="$home" "$work/blockrise")" = "$dir|$dir|" ]
    : >"$work/plain file"
    check "XDG_DATA_HOME chooses the folder and leaves HOME alone" [ "$(start HOME="$work/h2" XDG_DATA_HOME="$work/xdg")" = \
        "$work/xdg/blockrise|$work/xdg/blockrise|one|two words|" -a ! -e "$work/h2/.local" ]
    check "a relative XDG_DATA_HOME is ignored" [ "$(start HOME="$work/h2" XDG_DATA_HOME=relative/dir | cut -d'|' -f1)" = "$work/h2/.local/share/blockrise" ]
    # The game's stand-in prints "|", which no message holds.
    check "no folder for the scores: a message and no game" like "$(start XDG_DATA_HOME="$work/plain file")" 'blockrise: cannot+([!|])'
    check "no HOME: a message in the launcher's words and no game" like "$(start)" 'blockrise: neither HOME nor+([!|])' 
    mv "$data/blocks.dat" "$work/blocks.dat.kept"
    check "no blocks.dat installed: a message naming it and asking for a reinstall, and no game" \
        like "$(start HOME="$home")" "blockrise: *$data/blocks.dat*reinstall+([!|])"
    mv "$work/blocks.dat.kept" "$data/blocks.dat"
}
