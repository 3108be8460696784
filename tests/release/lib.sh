# Checks shared by the release tests: an installed tree's files, its launcher and desktop entry.
# The tests set BUILD_DIR, VERSION, ICON_SIZES, GAMES_DIR, PROGRAM_DIR, DATA_DIR, DATAROOT_DIR,
# DOC_DIR, MAN_DIR, WITH_DATA, WITH_PATCHES (see CMakeLists.txt); each sources this file first.
set -euo pipefail

failures=0
scratch=$(mktemp -d "${TMPDIR:-/tmp}/blockrise-release.XXXXXX")
trap 'rm -rf "$scratch"' EXIT

fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }
# check WHAT COMMAND...: one check, passed when the command succeeds.
check() { local what=$1; shift; if "$@"; then pass "$what"; else fail "$what"; fi; }
not() { ! "$@"; }
skip() { echo "skipped: $*"; exit 77; }
finish() { [ "$failures" -eq 0 ] || { echo "$failures check(s) failed" >&2; exit 1; }; }

# cmake --install into "$prefix".
install_prefix() {
    prefix="$scratch/prefix"
    cmake --install "$BUILD_DIR" --prefix "$prefix" >"$scratch/install.log" \
        || { cat "$scratch/install.log" >&2; fail "cmake --install failed"; finish; }
}

# A virtual display of the test's own, so no other test's keys or windows reach it: sets
# "$display" and kills the server on exit.
start_display() {
    command -v Xvfb >/dev/null || skip "needs Xvfb"
    local n pid=""
    for n in $(seq 150 199); do
        [ -e "/tmp/.X$n-lock" ] && continue
        Xvfb ":$n" -screen 0 640x480x24 -nolisten tcp >/dev/null 2>&1 &
        pid=$!
        sleep 0.5
        if kill -0 "$pid" 2>/dev/null; then display=":$n"; break; fi
        pid=""
    done
    [ -n "$pid" ] || skip "could not start Xvfb"
    trap 'kill '"$pid"' 2>/dev/null; rm -rf "$scratch"' EXIT
}

# A "$home" whose ALSA default device writes raw samples into "$recording": no sound card needed.
record_sound() {
    home="$scratch/home" recording="$scratch/recording.raw"
    mkdir -p "$home"
    printf 'pcm.!default { type file  slave.pcm "null"  file "%s"  format "raw" }\n' "$recording" >"$home/.asoundrc"
}

# The files a player's machine needs, relative to the prefix, sorted.
expected_files() {
    {
        printf '%s\n' "$GAMES_DIR/blockrise" "$PROGRAM_DIR/blockrise" "$DATA_DIR/allegro.cfg" "$DATA_DIR/blockrise.cfg" \
            "$DOC_DIR/copyright" "$DOC_DIR/changelog.gz" "$DATAROOT_DIR/applications/blockrise.desktop" \
            "$DATAROOT_DIR/icons/hicolor/scalable/apps/blockrise.svg" "$MAN_DIR/man6/blockrise.6.gz"
        local size
        for size in $ICON_SIZES; do echo "$DATAROOT_DIR/icons/hicolor/${size}x$size/apps/blockrise.png"; done
        if [ "$WITH_DATA" = 1 ]; then echo "$DATA_DIR/blocks.dat"; fi
        if [ "$WITH_PATCHES" = 1 ]; then echo "$DATA_DIR/patches.dat"; fi
    } | LC_ALL=C sort
}

# check_documents PREFIX: the copyright and changelog Debian wants, as its tools read them.
check_documents() {
    local doc="$1/$DOC_DIR" changelog="$scratch/changelog" f
    gzip -dc "$doc/changelog.gz" >"$changelog" 2>/dev/null || true
    check "the changelog is compressed" gzip -t "$doc/changelog.gz"
    # A stored name or time makes every build of the package differ.
    for f in "$doc/changelog.gz" "$1/$MAN_DIR/man6/blockrise.6.gz"; do
        check "$(basename "$f") holds no file name or time" not sh -c 'file "$1" | grep -q "was \"\|last modified"' _ "$f"
    done
    check "the changelog's latest entry is for version $VERSION" \
        [ "$(dpkg-parsechangelog -l "$changelog" -S Version 2>/dev/null)" = "$VERSION" ]
    # Every installed data file made from others' work needs its own stanza.
    for f in "$1/$DATA_DIR"/*.dat; do
        [ -e "$f" ] || continue
        check "the copyright file covers $(basename "$f")" grep -qxF "Files: */$(basename "$f")" "$doc/copyright"
    done
    check "the copyright file names a licence for every Files stanza" \
        awk '/^Files:/ { files++ } /^Files:/, /^$/ { if (/^License:/) licensed++ } END { exit !(files && files == licensed) }' "$doc/copyright"
}

# check_no_build_advice PREFIX: nothing installed sends a player to the source tree's commands.
check_no_build_advice() {
    local found
    # Command forms only: a build folder's name may well contain "cmake" and end up in debug paths.
    found=$(grep -raloE '\./run\b|xvfb-run|cmake --|scripts/setup\.sh' "$1" | sort -u || true)
    check "no installed file speaks of the source tree's commands${found:+ (found: $(echo $found))}" [ -z "$found" ]
}

# check_installed PREFIX REAL_PREFIX: files, manual page, desktop entry and launcher of a tree
# that will be found at REAL_PREFIX.
check_installed() {
    local prefix=$1 real=$2 program="$1/$PROGRAM_DIR/blockrise" found p
    found=$(cd "$prefix" && find . -type f -o -type l | sed 's|^\./||' | LC_ALL=C sort)
    check "installed files are the expected ones" [ "$found" = "$(expected_files)" ]
    diff <(expected_files) <(echo "$found") >&2 || true
    check "every file is readable by every user" [ -z "$(find "$prefix" -type f ! -perm -o=r)" ]
    for p in "$GAMES_DIR/blockrise" "$PROGRAM_DIR/blockrise"; do
        check "$p is executable by everyone" [ "$(stat -L -c %A "$prefix/$p" 2>/dev/null | cut -c10)" = x ]
    done
    check "the program is a native executable" sh -c 'file -L "$1" | grep -q "ELF.*executable"' _ "$program"
    check "the program's libraries are all found" not sh -c 'ldd "$1" | grep >&2 "not found"' _ "$program"

    local page="$prefix/$MAN_DIR/man6/blockrise.6.gz"
    check "the manual page is compressed" gzip -t "$page"
    if command -v groff >/dev/null; then
        check "the manual page formats cleanly" [ -z "$(gzip -dc "$page" | groff -man -Tutf8 -ww -z 2>&1 | tee /dev/stderr)" ]
    fi

    local size png
    for size in $ICON_SIZES; do
        png="$prefix/$DATAROOT_DIR/icons/hicolor/${size}x$size/apps/blockrise.png"
        check "the ${size}x$size icon is a PNG of that size" sh -c 'file -b "$1" | grep -q "^PNG image data, $2 x $2,"' _ "$png" "$size"
    done
    check_documents "$prefix"
    check_no_build_advice "$prefix"

    local entry="$prefix/$DATAROOT_DIR/applications/blockrise.desktop" exec icon svg
    exec=$(sed -n 's/^Exec=//p' "$entry" || true)
    icon=$(sed -n 's/^Icon=//p' "$entry" || true)
    svg="$prefix/$DATAROOT_DIR/icons/hicolor/scalable/apps/$icon.svg"
    check "desktop entry runs $real/$GAMES_DIR/blockrise (it runs '$exec')" [ "$exec" = "$real/$GAMES_DIR/blockrise" ]
    check "the desktop entry's command is in the tree" [ -x "$prefix/${exec#"$real"/}" ]
    check "desktop entry's icon '$icon' is installed" [ -f "$svg" ]
    check "desktop entry is of Type=Application" grep -qx 'Type=Application' "$entry"
    check "desktop entry has a Name" grep -q '^Name=.' "$entry"
    check "desktop entry holds no unreplaced @placeholder@" not grep -q '@' "$entry"
    # Its value is compared with the running game's window in window_test.sh.
    check "desktop entry names the window's class" grep -q '^StartupWMClass=.' "$entry"
    if command -v desktop-file-validate >/dev/null; then
        check "desktop-file-validate accepts the entry" desktop-file-validate "$entry"
    fi
    if command -v xmllint >/dev/null; then check "the icon is well-formed SVG" xmllint --noout "$svg"; fi
    check_launcher "$prefix"
}

# launch COMMAND [VAR=value...] -- [args...]: runs the command in a clean environment; the
# program it starts records how it was started in "$stub_log".
stub_log="$scratch/stub.log"
launch() {
    local command=$1 vars=()
    shift
    while [ "$1" != -- ]; do vars+=("$1"); shift; done
    shift
    rm -f "$stub_log"
    env -i PATH="$PATH" STUB_LOG="$stub_log" "${vars[@]}" "$command" "$@"
}
ran_in() { [ "$(sed -n 's/^cwd=//p' "$stub_log" 2>/dev/null)" = "$1" ]; }

# check_player_folder DIR DATA: links to the installed data and an allegro.cfg of its own.
check_player_folder() {
    local dir=$1 data=$2 f
    for f in blocks.dat patches.dat; do
        if [ -e "$data/$f" ]; then
            check "$f in the player's folder links to the installed one" \
                [ -L "$dir/$f" -a "$(readlink -f "$dir/$f")" = "$(readlink -f "$data/$f")" ]
        fi
    done
    check "the player's folder has an editable allegro.cfg" [ -f "$dir/allegro.cfg" -a ! -L "$dir/allegro.cfg" ]
}

# check_launcher PREFIX: the command makes each player's folder and starts the game in it.
check_launcher() {
    local command="$1/$GAMES_DIR/blockrise" data="$1/$DATA_DIR" home="$scratch/a home" home2="$scratch/home2"
    local dir="$scratch/a home/.local/share/blockrise" xdg="$scratch/xdg data"
    mkdir -p "$home" "$home2" "$scratch/bin"
    # The launcher refuses to start without the data; a build that makes none gets a stand-in.
    if [ "$WITH_DATA" != 1 ]; then : >"$data/blocks.dat"; fi
    cat >"$1/$PROGRAM_DIR/blockrise" <<'STUB'
#!/bin/sh
{ echo "cwd=$(pwd)"; echo "allegro=${ALLEGRO:-}"; for a in "$@"; do echo "arg=$a"; done; } >"$STUB_LOG"
STUB
    launch "$command" HOME="$home" -- one "two words" || fail "launcher failed"
    check "the game runs in ~/.local/share/blockrise with ALLEGRO there and its arguments" \
        [ "$(cat "$stub_log" 2>/dev/null)" = "$(printf 'cwd=%s\nallegro=%s\narg=one\narg=two words' "$dir" "$dir")" ]
    check_player_folder "$dir" "$data"
    check "a new player gets the installed settings" cmp -s "$dir/allegro.cfg" "$data/allegro.cfg"
    check "a new player gets the commented game settings" cmp -s "$dir/blockrise.cfg" "$data/blockrise.cfg"

    # A second start keeps scores and settings, and mends a link to an older install that is gone.
    echo "a player's scores" >"$dir/scores"
    echo "gfx_card = XWIN" >>"$dir/allegro.cfg"
    ln -sfn /nonexistent/old-install/blocks.dat "$dir/blocks.dat"
    launch "$command" HOME="$home" -- || fail "second start failed"
    check "scores survive a restart" [ "$(cat "$dir/scores")" = "a player's scores" ]
    check "the player's allegro.cfg is kept" grep -q XWIN "$dir/allegro.cfg"
    if [ "$WITH_DATA" = 1 ]; then check_player_folder "$dir" "$data"; fi

    launch "$command" HOME="$home2" XDG_DATA_HOME="$xdg" -- || fail "launcher failed with XDG_DATA_HOME"
    check "XDG_DATA_HOME chooses the folder" ran_in "$xdg/blockrise"
    check "XDG_DATA_HOME leaves HOME alone" not [ -e "$home2/.local/share/blockrise" ]
    launch "$command" HOME="$home2" XDG_DATA_HOME=relative/dir -- || fail "launcher failed"
    check "a relative XDG_DATA_HOME is ignored" ran_in "$home2/.local/share/blockrise"

    : >"$scratch/plain file"
    if launch "$command" HOME="$home2" XDG_DATA_HOME="$scratch/plain file" -- 2>"$scratch/err"; then
        fail "launcher succeeded without a folder for the scores"
    fi
    check "no folder for the scores: no game" not [ -e "$stub_log" ]
    check "no folder for the scores: a message" grep -q 'blockrise: cannot' "$scratch/err"

    # Started through a link elsewhere, as a local bin folder might hold it.
    ln -sf "$command" "$scratch/bin/blockrise"
    launch "$scratch/bin/blockrise" HOME="$home" -- || fail "fails through a symbolic link"
    check "works when started through a symbolic link" ran_in "$dir"

    if launch "$command" -- 2>"$scratch/err"; then fail "launcher succeeded with neither HOME nor XDG_DATA_HOME"; fi
    check "no HOME: no game" not [ -e "$stub_log" ]
    check "no HOME: the message says so in the launcher's words" grep -qx 'blockrise: neither HOME nor .*' "$scratch/err"

    check_missing_data "$1"
}

# check_missing_data PREFIX: a tree that lost its data refuses to start and says where it looked.
check_missing_data() {
    local command="$1/$GAMES_DIR/blockrise" data="$1/$DATA_DIR" kept="$scratch/blocks.dat.kept"
    if [ -e "$data/blocks.dat" ]; then mv "$data/blocks.dat" "$kept"; fi
    if launch "$command" HOME="$scratch/home3" -- 2>"$scratch/err"; then fail "launcher succeeded without blocks.dat"; fi
    check "no blocks.dat installed: no game" not [ -e "$stub_log" ]
    check "no blocks.dat installed: the message names it and asks for a reinstall" \
        grep -q "^blockrise: .*$data/blocks.dat.*reinstall" "$scratch/err"
    if [ -e "$kept" ]; then mv "$kept" "$data/blocks.dat"; fi
}
