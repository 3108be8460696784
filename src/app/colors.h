// The three colours every screen shares, made once the screen mode is known.
#pragma once

extern int color_white;
extern int color_black;
extern int color_highlight;

// Needs the colour depth of the screen mode (or of the test's memory bitmaps).
void make_colors();
