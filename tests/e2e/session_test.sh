#!/usr/bin/env bash
# Whole sessions at the keyboard: the menu, games of one and two players, name entries, the
# table, the farewell; a hand-edited scores file; the close button and SIGTERM; memory across
# games. In the sanitized build every run plays its sound too, and a leak or a bad access
# anywhere in a session makes it exit with status 86.
. "$(dirname "$0")/lib.sh"
data=$(dirname "$0")/data
start_x

# What a window manager's close button does: WM_DELETE_WINDOW to each window that takes it.
close_windows() {
    python3 -c 'from Xlib import display, protocol, X
d = display.Display(); delete = d.intern_atom("WM_DELETE_WINDOW"); sent = 0
for w in d.screen().root.query_tree().children:
    if delete in (w.get_wm_protocols() or []):
        w.send_event(protocol.event.ClientMessage(window=w, client_type=d.intern_atom("WM_PROTOCOLS"), data=(32, [delete, X.CurrentTime, 0, 0, 0])))
        sent += 1
d.flush(); exit(sent == 0)'
}
# Table row N's white text, whatever lies behind it.
row() { convert "$frame[640x24+0+$((95 + 32 * $1))]" -fill black -fuzz 6% +opaque white "$work/row$1.png"; }
differ() { compare -metric AE "$work/row$1.png" "$work/row$2.png" null: 2>&1; }
# in_rank NAME,...: names in the order entered are all there, a later one above an earlier of
# the same score (the last of equal names counts).
in_rank() {
    awk -v order="$1" 'BEGIN { n = split(order, want, ",") }
        NR % 2 { name = $0; next } { for (i = 1; i <= n; i++) if (want[i] == name) { at[i] = NR; score[i] = $0 + 0 } }
        END { for (i = 1; i <= n; i++) { if (!(i in at)) { print want[i] " is missing"; bad = 1 }
                for (j = i + 1; j <= n; j++) if ((i in at) && (j in at) && score[i] == score[j] && at[j] > at[i]) {
                    print want[j] " stands below the earlier " want[i]; bad = 1 } }
              exit bad }' "$dir/run/scores" >&2
}
peak_kb() { awk '/^VmHWM/ { print $2 }' "/proc/$pid/status"; }

launch fresh
must leave_starfield
check "the menu opens on its second line" [ "$(screen)" = menu2 ]
xdotool key Down
check "Down moves to the third line" wait_for menu3 5
xdotool key Down
check "Down from the last line wraps to the first" wait_for menu1 5
check "Escape, then a key on the farewell: status 0" quit
# Without a sound card the sound library's own complaints stay out of the terminal.
check "stderr holds at most the program's own line about sound" \
    eval '! grep -qv "^blockrise: no sound device: playing silently$" "$dir/err"'
check "quitting at once writes the default table: ten named entries of 0" awk '
    NR % 2 ? $0 == "" : $0 != "0" { bad = 1 } END { exit bad || NR != 20 }' "$dir/run/scores"

prepare odd && cp "$data/odd.scores" "$dir/run/scores"
launch odd
must leave_starfield
check "a scores file of stray bytes, left alone, is not rewritten" quit
check "... and stays byte for byte" cmp "$data/odd.scores" "$dir/run/scores"
launch odd
must leave_starfield
must start_game 1
hold Escape 0.3
must enter_name Gus
must leave_table
check "the close button in the menu is taken" close_windows
check "the close button ends the program with status 0" exited_with 0
check "Gus's 0 stands above the first entry worth 0 or less, the rest as read" \
    cmp "$data/odd-after-gus.scores" "$dir/run/scores"

launch long
must leave_starfield
must start_game 1
hold Escape 0.3
must enter_name ""
must wait_for table
row 0 && row 1 && row 2
check "the entry just made is in the table's first row" [ "$(ink white 640x24+0+95)" -gt 30 -a "$(differ 0 1)" != 0 ]
check "equal default entries are drawn alike" [ "$(differ 1 2)" = 0 ]
must leave_table
must play_game 2 "Player B" "Player C"
two=$(peak_kb)
must play_game 1 "Player D"
must play_game 2 "Player E" "Player F"
four=$(peak_kb)
echo "peak resident size: ${two} KB after two games, ${four} KB after four"
# Three screen-sized images leaked a game would add about 1.8 MB; the sanitizer's own
# bookkeeping grows with every allocation.
[ "$SANITIZED" = 1 ] || check "two more games take under 1 MB more memory" [ $((four - two)) -le 1024 ]
must start_game 2
kill -TERM "$pid"
check "SIGTERM in a game ends the program with status 0" exited_with 0
check "the table is ranked" ranked
check "the names are saved in rank" in_rank "Player 1,Player B,Player C,Player D,Player E,Player F"
check "the game SIGTERM ended keeps both offered names" \
    [ "$(names | grep -cx 'Player 1')" = 2 -a "$(names | grep -cx 'Player 2')" = 1 ]

# Ctrl+C and a closed terminal end the program as the player would, wherever it is.
launch signals
must leave_starfield
kill -INT "$pid"
check "SIGINT in the menu ends the program with status 0" exited_with 0
launch signals
must leave_starfield
must start_game 1
kill -INT "$pid"
check "SIGINT in a game: status 0, the game's offered name saved" eval 'exited_with 0 && names | grep -qx "Player 1"'
launch signals
must leave_starfield
must start_game 1
hold Escape 0.3
must wait_for entry 30 named
must type_in type Q
kill -HUP "$pid"
check "SIGHUP in the name entry: status 0, the name as typed so far saved" eval 'exited_with 0 && names | grep -qx "Player 1Q"'
finish
