# Checks shared by the release tests: an installed tree's files, its launcher and desktop entry.
# The tests set BUILD_DIR, GAMES_DIR, PROGRAM_DIR, DATA_DIR, DATAROOT_DIR, DOC_DIR, MAN_DIR, WITH_DATA,
# WITH_PATCHES (see CMakeLists.txt); each sources this file first.
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

# A "$home" whose ALSA default device writes raw samples into "$recording": no sound card needed.
record_sound() {
    home="$scratch/home" recording="$scratch/recording.raw"
    mkdir -p "$home"
    printf 'pcm.!default { type file  slave.pcm "null"  file "%s"  format "raw" }\n' "$recording" >"$home/.asoundrc"
}

# The files a player's machine needs, relative to the prefix, sorted.
expected_files() {
    {
        printf '%s\n' "$GAMES_DIR/blockrise" "$PROGRAM_DIR/blockrise" "$DATA_DIR/allegro.cfg" "$DOC_DIR/install.md" \
            "$DATAROOT_DIR/applications/blockrise.desktop" "$DATAROOT_DIR/icons/hicolor/scalable/apps/blockrise.svg" \
            "$MAN_DIR/man6/blockrise.6.gz"
        if [ "$WITH_DATA" = 1 ]; then echo "$DATA_DIR/blocks.dat"; fi
        if [ "$WITH_PATCHES" = 1 ]; then
            echo "$DATA_DIR/patches.dat"
            if [ -e /usr/share/doc/freepats/copyright ]; then echo "$DOC_DIR/copyright.freepats"; fi
        fi
    } | LC_ALL=C sort
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
    cat >"$1/$PROGRAM_DIR/blockrise" <<'STUB'
#!/bin/sh
{ echo "cwd=$(pwd)"; echo "allegro=${ALLEGRO:-}"; for a in "$@"; do echo "arg=$a"; done; } >"$STUB_LOG"
STUB
    launch "$command" HOME="$home" -- one "two words" || fail "launcher failed"
    check "the game runs in ~/.local/share/blockrise with ALLEGRO there and its arguments" \
        [ "$(cat "$stub_log" 2>/dev/null)" = "$(printf 'cwd=%s\nallegro=%s\narg=one\narg=two words' "$dir" "$dir")" ]
    check_player_folder "$dir" "$data"
    check "a new player gets the installed settings" cmp -s "$dir/allegro.cfg" "$data/allegro.cfg"

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
}
