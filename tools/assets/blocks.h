// The look of a block, shared by the tile strip, the logo and the title picture.
#pragma once

#include "canvas.h"

constexpr int block_colours = 5;

// Block colour n (1-5): red, green, blue, yellow, purple.
Rgb block_colour(int n);

// A bevelled block of colour n with its top-left at (x, y); with `symbol`,
// the colour's own mark (heart, diamond, ring, triangle, star) sits in the middle.
void draw_block(Canvas& c, float x, float y, float size, int n, bool symbol);
