// The overlay that ends a game: every well darkened, and in a two-player game
// "WIN!"/"LOSE" or "TIE!" written into the wells.
#pragma once

// Draws into the players' views only. Leaves the library in the translucent drawing
// mode at level 192 and text background 0; later screens inherit that.
void draw_game_over();
