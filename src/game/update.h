// One tick of play for every player.
#pragma once

// Runs cursor, swap, rise, falling, matching, scoring, actions and end of tick
// for each player in turn. True if any player topped out during this call.
bool update_players();

// True only on the first call that finds key `code` held after it was seen released.
bool key_pressed_once(int code);
