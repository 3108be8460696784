// Keeps one player's Shift or Control from pressing the other player's too.
#pragma once

#include <cstdint>

// The library's X11 keyboard driver presses the left Shift (Control) whenever the right
// one goes down, and releases both together. In a two-player game that would make player
// 2's swap or raise also player 1's. A left key that goes down within a tick of its right
// twin is taken as that echo and released again in `keys`; a left key pressed on its own,
// or while the right one is already held, counts as usual.
// Call once per pass of the game loop with the current tick.
void hide_modifier_echo(volatile char* keys, uint32_t now);

// Forgets what was seen, for a new game.
void reset_modifier_echo();
