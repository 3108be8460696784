# The real program on an X server of the test's own: keys typed with xdotool, frames taken with
# ImageMagick's import and told apart by how many pixels of a few bands are near the game's
# colours, so that a slow machine only makes a test wait longer. Each test script sources this.
# CMakeLists.txt sets BLOCKRISE, REPLAY_TOOL, BLOCKS_DAT, PATCHES_DAT, ALLEGRO_CFG, SANITIZED.
set -uo pipefail
shopt -s extglob
export PATH=/usr/bin:/bin:$PATH # ImageMagick's own convert, before any stand-in
: "${SANITIZED:=0}"
work=$(mktemp -d "${TMPDIR:-/tmp}/blockrise-test.XXXXXX")
frame=$work/frame.ppm failures=0 servers=() dir=""
cleanup() {
    [ -s "$dir/pid" ] && kill -9 "$(cat "$dir/pid")" 2>/dev/null
    for pid in "${servers[@]}"; do kill "$pid" 2>/dev/null; done
    if ((failures)); then import -window root "$work/failure.png" 2>/dev/null; echo "kept: $work"; else rm -rf "$work"; fi
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
check() { local what=$1; shift; if "$@"; then echo "ok: $what"; else fail "$what"; fi; }
skip() { echo "skipped: $*"; exit 77; }
finish() { ((failures == 0)) || { echo "$failures check(s) failed" >&2; exit 1; }; }
# A step that cannot go on ends the test.
must() { "$@" || { fail "$*"; finish; }; }

# start_x [WxH]: an X server on a display number it picks itself; sets DISPLAY and $server.
start_x() {
    command -v Xvfb >/dev/null || skip "needs Xvfb"
    Xvfb -displayfd 3 -screen 0 "${1:-640x480}x24" -nolisten tcp 3>"$work/display" 2>/dev/null &
    server=$! servers+=("$server")
    for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
    [ -s "$work/display" ] || skip "could not start Xvfb"
    export DISPLAY=:$(cat "$work/display")
}

# A home whose ALSA default device writes raw samples into $1/sound.raw: no sound card needed.
record_sound() {
    printf 'pcm.!default { type file  slave.pcm "null"  file "%s/sound.raw"  format "raw" }\n' "$1" >"$1/.asoundrc"
}

# prepare NAME: a folder $work/NAME that is the run's home, with run/ its working directory.
prepare() { dir=$work/$1; mkdir -p "$dir/run" && cp "$BLOCKS_DAT" "$dir/run/"; }
# launch NAME [env's options and VAR=value...] [-- ARGS]: the program in NAME's folder
# (prepared unless it is already). The sanitized build plays its sound too and exits 86 on a report.
launch() {
    [ -n "$dir" ] && ! ended && kill -9 "$pid" && wait_end # a run a failed check left going
    [ -d "$work/$1" ] && dir=$work/$1 || prepare "$1"
    shift
    local vars=() args=()
    while (($#)) && [ "$1" != -- ]; do vars+=("$1"); shift; done
    (($#)) && shift && args=("$@")
    if [ "${SANITIZED:-0}" = 1 ]; then
        record_sound "$dir" && cp "$ALLEGRO_CFG" "$PATCHES_DAT" "$dir/run/"
        vars+=(ALLEGRO="$dir/run" ASAN_OPTIONS=detect_leaks=1:halt_on_error=1:exitcode=86:fast_unwind_on_malloc=0
            LSAN_OPTIONS=suppressions=$(dirname "${BASH_SOURCE[0]}")/lsan.supp:print_suppressions=0
            UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1)
    fi
    rm -f "$dir/pid" "$dir/status"
    (cd "$dir/run" && { env "${vars[@]}" HOME="$dir" "$BLOCKRISE" "${args[@]}" >"$dir/out" 2>"$dir/err" &
        echo $! >"$dir/pid"; wait $!; echo $? >"$dir/status"; }) &
    until [ -s "$dir/pid" ]; do sleep 0.05; done
    pid=$(cat "$dir/pid")
}
ended() { [ -s "$dir/status" ]; }
status() { cat "$dir/status" 2>/dev/null || echo running; }
describe() { echo "status $(status); stderr: $(grep -v '^ALSA lib' "$dir/err")"; }
wait_end() { local i; for ((i = 0; i < ${1:-10} * 10; i++)); do ended && return 0; sleep 0.1; done; return 1; }
# exited_with STATUS [SECONDS]: the program ends within the time with that status.
exited_with() { wait_end "${2:-5}" && [ "$(status)" = "$1" ] || { describe >&2; false; }; }

grab() { import -window root "$frame" 2>/dev/null; }
# ink COLOUR AREA...: for each area (WxH+X+Y) of the last frame, the pixels near COLOUR.
ink() {
    local colour=$1 a=() g
    shift
    for g; do a+=("$frame[$g]"); done
    convert "${a[@]}" -fill black -fuzz 6% +opaque "$colour" -fill white -opaque "$colour" \
        -format '%[fx:round(mean*w*h)] ' info:
}
highlight='rgb(255,255,192)' typed_name='rgb(0,192,0)' name_band=640x50+0+250
# What the last frame shows: menu1..3 (the line lit while the others are white), entry,
# table, game (the clock in white and none of the others) or other.
screen() {
    local lines='152x8+60+350 152x8+60+366 152x8+60+382' lit white i on=0 off=0 line=0
    read -ra lit <<<"$(ink "$highlight" $lines 640x30+0+16 640x30+0+100)"
    read -ra white <<<"$(ink white $lines 60x25+290+130)"
    for i in 0 1 2; do
        if ((white[i] >= 30)); then off=$((off + 1)); elif ((lit[i] >= 30)); then on=$((on + 1)) line=$((i + 1)); fi
    done
    if ((on == 1 && off == 2)); then echo "menu$line"
    elif ((lit[3] >= 30 && lit[4] < 4)); then echo table
    elif ((lit[4] >= 30 && lit[3] < 4)); then echo entry
    elif ((white[3] >= 30)); then echo game
    else echo other; fi
}
# wait_for PATTERN [SECONDS] [TEST]: until a frame's screen matches (and TEST succeeds);
# fails at once when the program ends.
wait_for() {
    local deadline=$((SECONDS + ${2:-20})) seen=""
    while :; do
        ended && { echo "the program ended waiting for $1: $(describe)" >&2; return 1; }
        grab && seen=$(screen) && [[ $seen == $1 ]] && ${3:-true} && return 0
        ((SECONDS < deadline)) || { echo "no $1 after ${2:-20} s (seen: $seen)" >&2; return 1; }
        sleep 0.1
    done
}
# tap_until KEY PATTERN: the key again every 3 s until the screen matches; a key can be lost
# to a buffer that a screen empties as it opens.
tap_until() {
    for _ in 1 2 3 4 5 6; do
        sleep 0.15
        xdotool key "$1"
        wait_for "$2" 3 2>/dev/null && return 0
        ended && break
    done
    echo "key $1 never led to $2: $(describe)" >&2
    return 1
}
hold() { xdotool keydown "$1" sleep "$2" keyup "$1"; }

leave_starfield() {
    for _ in $(seq 300); do xdotool search --name '^Blockrise$' >/dev/null 2>&1 && break; ended && break; sleep 0.1; done
    sleep 0.5
    tap_until space 'menu?'
}
start_game() { wait_for 'menu?' && tap_until "$1" game; }
# The entry empties the key buffer before it waits for each key, so a key goes in only once
# the last one is drawn: type_in xdotool-ARGS... waits until the name band changes or the
# entry goes away (wait_for's $seen is what the frame shows).
no_name() { (($(ink "$typed_name" $name_band) == 0)); }
named() { ! no_name; }
band_changed() { [[ $seen != entry || $(compare -metric AE "$frame[$name_band]" "$work/band.ppm" null: 2>&1) != 0 ]]; }
type_in() {
    grab && convert "$frame[$name_band]" "$work/band.ppm"
    sleep 0.05
    xdotool "$@"
    wait_for '*' 5 band_changed
}
# enter_name NAME: over the offered "Player N", once it is drawn, unless NAME is empty; a
# NAME of the form "Player X" takes only the last letter's keys. Then Enter.
enter_name() {
    local i
    wait_for entry 30 named || return 1
    if [[ $1 == "Player "? ]]; then
        type_in key BackSpace && type_in type "${1: -1}" || return 1
    elif [ -n "$1" ]; then
        for i in $(seq 24); do no_name && break; type_in key BackSpace || return 1; done
        for ((i = 0; i < ${#1}; i++)); do type_in type "${1:i:1}" || return 1; done
    fi
    type_in key Return
}
leave_table() { wait_for table && tap_until space 'menu?'; }
# play_game PLAYERS NAME...: a few moves and swaps, Escape, a name for each player, the table.
play_game() {
    local players=$1 k=(Left Up Right Shift_R) key
    shift
    ((players == 2)) && k=(a w d Shift_L)
    start_game "$players" || return 1
    for key in "${k[0]}" "${k[3]}" "${k[1]}" "${k[3]}" "${k[2]}" "${k[3]}"; do hold "$key" 0.08; sleep 0.08; done
    hold Escape 0.3
    for name; do enter_name "$name" || return 1; done
    leave_table
}
# Escape in the menu, then a key on the farewell starfield until the program exits.
quit() {
    wait_for 'menu?' && tap_until Escape '!(menu?)' || return 1
    for _ in $(seq 12); do
        sleep 0.5
        xdotool key space
        wait_end 3 && break
    done
    [ "$(status)" = 0 ] || { echo "no clean exit: $(describe)" >&2; return 1; }
}

# The scores file: names, values, and whether it holds ten entries ranked by value.
names() { awk 'NR % 2' "$dir/run/scores"; }
ranked() {
    awk 'NR % 2 == 0 { if (NR > 2 && $0 + 0 > last) bad = 1; last = $0 + 0 }
         END { exit bad || NR != 20 }' "$dir/run/scores"
}
