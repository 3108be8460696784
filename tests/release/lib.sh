# Checks shared by the release tests: an installed tree's files, its launcher and desktop entry.
# The tests set BUILD_DIR, GAMES_DIR, PROGRAM_DIR, DATA_DIR, DATAROOT_DIR, DOC_DIR, MAN_DIR, WITH_DATA,
# WITH_PATCHES (see CMakeLists.txt); each sources this file first.
set -euo pipefail

failures=0
scratch=$(mktemp -d "${TMPDIR:-/tmp}/blockrise-release.XXXXXX")
trap 'rm -rf "$scratch"' EXIT

fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }
finish() {
    [ "$failures" -eq 0 ] || { echo "$failures check(s) failed" >&2; exit 1; }
}

# The files a player's machine needs, relative to the prefix, sorted.
expected_files() {
    {
        echo "$GAMES_DIR/blockrise"
        echo "$PROGRAM_DIR/blockrise"
        echo "$DATA_DIR/allegro.cfg"
        if [ "$WITH_DATA" = 1 ]; then echo "$DATA_DIR/blocks.dat"; fi
        if [ "$WITH_PATCHES" = 1 ]; then
            echo "$DATA_DIR/patches.dat"
            if [ -e /usr/share/doc/freepats/copyright ]; then echo "$DOC_DIR/copyright.freepats"; fi
        fi
        echo "$DATAROOT_DIR/applications/blockrise.desktop"
        echo "$DATAROOT_DIR/icons/hicolor/scalable/apps/blockrise.svg"
        echo "$DOC_DIR/install.md"
        echo "$MAN_DIR/man6/blockrise.6.gz"
    } | LC_ALL=C sort
}

# check_tree PREFIX: exactly the expected files, readable by everyone, programs runnable.
check_tree() {
    local prefix=$1 found
    found=$(cd "$prefix" && find . -type f -o -type l | sed 's|^\./||' | LC_ALL=C sort)
    if [ "$found" = "$(expected_files)" ]; then
        pass "installed files are the expected ones"
    else
        fail "installed files differ from the expected ones:"
        diff <(expected_files) <(echo "$found") >&2 || true
    fi
    local private
    private=$(find "$prefix" -type f ! -perm -o=r)
    [ -z "$private" ] && pass "every file is readable by every user" || fail "unreadable by others: $private"
    for p in "$GAMES_DIR/blockrise" "$PROGRAM_DIR/blockrise"; do
        [ -x "$prefix/$p" ] && [ "$(stat -c %A "$prefix/$p" | cut -c10)" = x ] \
            && pass "$p is executable by everyone" || fail "$p is not executable by everyone"
    done
    if file -L "$prefix/$PROGRAM_DIR/blockrise" | grep -q 'ELF.*executable'; then
        pass "the program is a native executable"
        if ldd "$prefix/$PROGRAM_DIR/blockrise" | grep -q 'not found'; then
            fail "the program needs libraries this machine lacks: $(ldd "$prefix/$PROGRAM_DIR/blockrise" | grep 'not found')"
        else
            pass "the program's libraries are all found"
        fi
    else
        fail "the program is not an ELF executable: $(file "$prefix/$PROGRAM_DIR/blockrise")"
    fi
}

# check_manual PREFIX: the manual page is compressed and formats without a warning.
check_manual() {
    local page="$1/$MAN_DIR/man6/blockrise.6.gz"
    if ! gzip -t "$page" 2>/dev/null; then
        fail "the manual page is not a gzip file"
    elif command -v groff >/dev/null; then
        local warnings
        warnings=$(gzip -dc "$page" | groff -man -Tutf8 -ww -z 2>&1)
        [ -z "$warnings" ] && pass "the manual page formats cleanly" || fail "groff: $warnings"
    fi
}

# check_desktop_entry PREFIX REAL_PREFIX: the entry starts the installed command and names the icon.
check_desktop_entry() {
    local prefix=$1 real=$2
    local entry="$prefix/$DATAROOT_DIR/applications/blockrise.desktop"
    [ -f "$entry" ] || { fail "no desktop entry"; return; }
    local exec icon
    exec=$(sed -n 's/^Exec=//p' "$entry")
    icon=$(sed -n 's/^Icon=//p' "$entry")
    [ "$exec" = "$real/$GAMES_DIR/blockrise" ] && pass "desktop entry runs $exec" \
        || fail "desktop entry runs '$exec', not $real/$GAMES_DIR/blockrise"
    [ -x "$prefix/${exec#"$real"/}" ] || fail "the desktop entry's command is not in the tree"
    [ -f "$prefix/$DATAROOT_DIR/icons/hicolor/scalable/apps/$icon.svg" ] && pass "desktop entry's icon '$icon' is installed" \
        || fail "no icon named '$icon'"
    grep -qx 'Type=Application' "$entry" && grep -q '^Name=.' "$entry" \
        || fail "desktop entry lacks Type=Application or a Name"
    if grep -q '@' "$entry"; then fail "desktop entry holds an unreplaced @placeholder@"; fi
    if command -v desktop-file-validate >/dev/null; then
        desktop-file-validate "$entry" && pass "desktop-file-validate accepts the entry" \
            || fail "desktop-file-validate rejects the entry"
    fi
    if command -v xmllint >/dev/null; then
        xmllint --noout "$prefix/$DATAROOT_DIR/icons/hicolor/scalable/apps/$icon.svg" \
            && pass "the icon is well-formed SVG" || fail "the icon is not well-formed XML"
    fi
}

# run_launcher PREFIX LOG [VAR=value...] -- [args...]: runs the installed command in a clean
# environment; the program it starts is the recording stub put in by use_stub_program.
run_launcher() {
    local prefix=$1 log=$2
    shift 2
    local vars=()
    while [ "$1" != -- ]; do vars+=("$1"); shift; done
    shift
    rm -f "$log"
    env -i PATH="$PATH" STUB_LOG="$log" "${vars[@]}" "$prefix/$GAMES_DIR/blockrise" "$@"
}

use_stub_program() {
    cat >"$1/$PROGRAM_DIR/blockrise" <<'STUB'
#!/bin/sh
{ echo "cwd=$(pwd)"; echo "allegro=${ALLEGRO:-}"; for a in "$@"; do echo "arg=$a"; done; } >"$STUB_LOG"
STUB
}

# check_player_folder DIR DATA: the folder holds links to the installed data and its own settings.
check_player_folder() {
    local dir=$1 data=$2 f
    for f in blocks.dat patches.dat; do
        [ -e "$data/$f" ] || continue
        if [ -L "$dir/$f" ] && [ "$(readlink -f "$dir/$f")" = "$(readlink -f "$data/$f")" ]; then
            pass "$f in the player's folder links to the installed one"
        else
            fail "$dir/$f does not link to $data/$f"
        fi
    done
    if [ ! -f "$dir/allegro.cfg" ] || [ -L "$dir/allegro.cfg" ]; then fail "no editable allegro.cfg in $dir"; fi
}

# check_launcher PREFIX: the command makes each player's folder and starts the game in it.
check_launcher() {
    local prefix=$1 data="$1/$DATA_DIR" log="$scratch/stub.log"
    use_stub_program "$prefix"

    local home="$scratch/a home" dir="$scratch/a home/.local/share/blockrise"
    mkdir -p "$home"
    run_launcher "$prefix" "$log" HOME="$home" -- one "two words" || fail "launcher failed"
    if [ "$(cat "$log" 2>/dev/null)" = "$(printf 'cwd=%s\nallegro=%s\narg=one\narg=two words' "$dir" "$dir")" ]; then
        pass "the game runs in ~/.local/share/blockrise with ALLEGRO there and its arguments"
    else
        fail "the game ran as: $(cat "$log" 2>/dev/null || echo never)"
    fi
    check_player_folder "$dir" "$data"
    cmp -s "$dir/allegro.cfg" "$data/allegro.cfg" && pass "a new player gets the installed settings" \
        || fail "the new allegro.cfg differs from the installed one"

    # A second start keeps the player's scores and settings and mends a link left by an
    # older install that is gone.
    echo "a player's scores" >"$dir/scores"
    echo "gfx_card = XWIN" >>"$dir/allegro.cfg"
    ln -sfn /nonexistent/old-install/blocks.dat "$dir/blocks.dat"
    run_launcher "$prefix" "$log" HOME="$home" -- || fail "second start failed"
    [ "$(cat "$dir/scores")" = "a player's scores" ] && pass "scores survive a restart" || fail "scores changed"
    grep -q XWIN "$dir/allegro.cfg" && pass "the player's allegro.cfg is kept" || fail "allegro.cfg overwritten"
    if [ "$WITH_DATA" = 1 ]; then check_player_folder "$dir" "$data"; fi

    local xdg="$scratch/xdg data" home2="$scratch/home2"
    mkdir -p "$home2"
    run_launcher "$prefix" "$log" HOME="$home2" XDG_DATA_HOME="$xdg" -- || fail "launcher failed with XDG_DATA_HOME"
    if grep -qx "cwd=$xdg/blockrise" "$log" && [ ! -e "$home2/.local/share/blockrise" ]; then
        pass "XDG_DATA_HOME chooses the folder"
    else
        fail "XDG_DATA_HOME not honoured: $(cat "$log" 2>/dev/null)"
    fi
    run_launcher "$prefix" "$log" HOME="$home2" XDG_DATA_HOME=relative/dir -- || fail "launcher failed"
    grep -qx "cwd=$home2/.local/share/blockrise" "$log" && pass "a relative XDG_DATA_HOME is ignored" \
        || fail "relative XDG_DATA_HOME used: $(cat "$log" 2>/dev/null)"

    # A folder that cannot be made stops the launcher before the game starts.
    : >"$scratch/plain file"
    if run_launcher "$prefix" "$log" HOME="$home2" XDG_DATA_HOME="$scratch/plain file" -- 2>"$scratch/err"; then
        fail "launcher succeeded without a folder for the scores"
    else
        [ ! -e "$log" ] && grep -q 'blockrise: cannot' "$scratch/err" \
            && pass "no folder for the scores: a message and no game" \
            || fail "no folder: game started or no message ($(cat "$scratch/err"))"
    fi

    # Started through a link elsewhere, as a local bin folder might hold it.
    mkdir -p "$scratch/bin"
    ln -sf "$prefix/$GAMES_DIR/blockrise" "$scratch/bin/blockrise"
    rm -f "$log"
    env -i PATH="$PATH" STUB_LOG="$log" HOME="$home" "$scratch/bin/blockrise" \
        && grep -qx "cwd=$dir" "$log" && pass "works when started through a symbolic link" \
        || fail "fails through a symbolic link"
}
