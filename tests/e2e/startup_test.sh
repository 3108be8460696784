#!/usr/bin/env bash
# Start-up refusals: without a display or a usable blocks.dat the program exits with a failure
# status (never a crash) and a message naming what is missing; the command line's answers.
. "$(dirname "$0")/lib.sh"
start_x
refuses() { # NAME WORD [env's options]: the run in NAME refuses with WORD in its message
    local name=$1 word=$2
    shift 2
    launch "$name" "$@"
    wait_end 30 && (($(status) > 0 && $(status) < 128)) && grep -q "$word" "$dir/err" || { describe >&2; false; }
}
check "no display" refuses no-display display -u DISPLAY
prepare missing && rm "$dir/run/blocks.dat"
check "no blocks.dat" refuses missing blocks.dat
# Bytes that look random but are the same every run.
prepare garbage && gzip -9nc "$BLOCKS_DAT" | head -c 4096 >"$dir/run/blocks.dat"
check "a blocks.dat of random bytes" refuses garbage blocks.dat
prepare truncated && head -c $(($(stat -c %s "$BLOCKS_DAT") / 3)) "$BLOCKS_DAT" >"$dir/run/blocks.dat"
check "a truncated blocks.dat" refuses truncated blocks.dat
launch options -- --help
check "--help: the usage on standard output, status 0" eval 'exited_with 0 && grep -q -- "--replay FILE" "$dir/out"'
launch options -- --scale
check "--scale without its number: status 2 and a message" eval 'exited_with 2 && grep -q "blockrise: " "$dir/err"'
launch options -- --bogus
check "an unknown option: status 2, named" eval 'exited_with 2 && grep -q "unknown option --bogus" "$dir/err"'
finish
