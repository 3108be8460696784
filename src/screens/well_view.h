// Drawing a player's well: blocks at their moving positions, fading clears, the rising
// preview row and the blinking cursor.
#pragma once

#include "game/player.h"

// Every player's well, the last player first.
void draw_wells();
// One well into the player's view, over a fresh copy of its background.
void draw_well(const Player& player);
