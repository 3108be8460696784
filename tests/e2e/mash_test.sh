#!/usr/bin/env bash
# A seeded stream of both players' keys, one to three held at once, into a two-player game for
# a little over a minute; then the game ends cleanly and the scores file is whole.
# BLOCKRISE_MASH_SEED picks another stream.
. "$(dirname "$0")/lib.sh"
seed=${BLOCKRISE_MASH_SEED:-20261206}
RANDOM=$seed
echo "seed $seed"
# Raising the stack is rare, so that a game usually lasts the whole minute.
moving=(w s a d Shift_L Up Down Left Right Shift_R) rare=(Control_L Control_R v b)
start_x
launch mash
must leave_starfield
must start_game 2

end=$((SECONDS + 62)) seen=game
while ((SECONDS < end)) && [ "$seen" = game ]; do
    chain=()
    for _ in $(seq 10); do
        keys=()
        for ((n = RANDOM % 3; n >= 0; n--)); do
            ((RANDOM % 40)) && keys+=("${moving[RANDOM % 10]}") || keys+=("${rare[RANDOM % 4]}")
        done
        chain+=(keydown "${keys[@]}" sleep "0.$((RANDOM % 110 + 10))" keyup "${keys[@]}" sleep "0.$((RANDOM % 60))")
    done
    xdotool "${chain[@]}"
    ended && { fail "the program ended in the game: $(describe)"; finish; }
    grab && seen=$(screen)
done
[ "$seen" = game ] && hold Escape 0.3
# Every score enters a fresh table; mashed letters may already be in a name, so whatever is
# there is confirmed.
must enter_name ""
must wait_for '@(entry|table)'
[ "$(screen)" = entry ] && must enter_name ""
must leave_table
check "the session ends cleanly" quit
check "the table is ranked" ranked
check "every name is 1 to 18 bytes, every score a whole number" env LC_ALL=C awk '
    NR % 2 ? length($0) < 1 || length($0) > 18 : !/^-?[0-9]+$/ { bad = 1 } END { exit bad }' "$dir/run/scores"
finish
