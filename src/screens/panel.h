// The framed, half-transparent box around the wells and the clock.
#pragma once

#include <allegro.h>
#include <cstdint>

// Darkens x..x+w-1, y..y+h-1 by half inside a 4-pixel frame (black, white, white, black
// from the inside out, all half-transparent). Leaves the library in the translucent
// drawing mode at level 128: later primitives blend, which the game relies on.
void draw_panel(BITMAP* bitmap, int16_t x, int16_t y, int16_t w, int16_t h);
