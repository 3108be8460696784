#!/usr/bin/env bash
# A real game's replay: kept in replays/, verified by the headless tool, and played back by the
# program to the very frame the game ended on.
. "$(dirname "$0")/lib.sh"
start_x
# The game-over overlay holds its picture still for three seconds; a game never does.
still() { cp "$frame" "$work/still.ppm" && sleep 0.5 && grab && [ "$(compare -metric AE "$frame" "$work/still.ppm" null: 2>&1)" = 0 ]; }

launch game
must leave_starfield
must start_game 1
for key in Down Shift_R Left Shift_R Down Right Shift_R; do hold $key 0.08; sleep 0.08; done
hold Control_R 0.9 # raising scores a point a row
hold Escape 0.3
must wait_for game 20 still
cp "$frame" "$work/last.ppm"
must enter_name Replayed
must leave_table
must quit
score=$(sed -n 2p "$dir/run/scores")
check "the game is first in the table" [ "$(sed -n 1p "$dir/run/scores")" = Replayed ]
check "the tool verifies the replay's score" [ "$("$REPLAY_TOOL" --file "$dir/run/replays/last.replay" --verify 2>&1)" = "verified: $score" ]
check "the replay index names the entry" grep -qP "\t$score\tReplayed$" "$dir/run/replays/index"

prepare watch && cp "$work/game/run/replays/last.replay" "$dir/run/game.replay"
launch watch -- --replay game.replay
must wait_for game 60 still
for area in 192x384+64+48 100x24+64+14 60x25+290+130; do # the well, the score, the clock
    check "the played-back last frame equals the game's at $area" \
        [ "$(compare -metric AE "$frame[$area]" "$work/last.ppm[$area]" null: 2>&1)" = 0 ]
done
check "the playback ends with status 0" exited_with 0 10
finish
