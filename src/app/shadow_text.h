// Text with a black shadow two pixels down and right, the game's one style of caption.
#pragma once

#include <allegro.h>
#include <cstdint>

constexpr int shadow_offset = 2;

// Draws `text` verbatim, centred on x with its top at y, over its shadow. Sets no text mode:
// the background is always left as it is.
void draw_shadow_text(BITMAP* bitmap, FONT* f, int16_t x, int16_t y, int color, const char* text);
