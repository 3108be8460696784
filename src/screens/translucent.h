// Translucent sprites as the library blends them, done in one pass for 16-bit bitmaps.
#pragma once

#include <allegro.h>

// The same pixels as set_trans_blender(0, 0, 0, level) and draw_trans_sprite(dst, sprite, x, y).
// The library calls its blender through a pointer for every pixel; most of a frame's time
// went there. Other depths, and bitmaps that are not in memory, go through the library.
// Leaves the blender set to `level`, as the library's calls would.
void draw_translucent(BITMAP* dst, BITMAP* sprite, int x, int y, int level);
