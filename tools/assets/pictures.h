// Every picture of the datafile, each painted on a canvas of its final size.
#pragma once

#include "canvas.h"
#include "text.h"

#include <cstdint>

struct Faces {
    Typeface* bold;      // titles, logo letters, fonts
    Typeface* condensed; // numbers that must fit a 32-pixel square
};

// Sizes the game depends on: cells are 32 pixels, the cursor frames a pair of cells.
constexpr int cell = 32;
constexpr int tile_count = 6;
constexpr int cursor_w = 76, cursor_h = 44, cursor_inset = 6;
constexpr int popup_count = 12;
constexpr int screen_w = 640, screen_h = 480;
constexpr int well_w = 192, well_h = 384;

Canvas make_tile_strip();
Canvas make_cursor(bool second_frame);
Canvas make_popup_strip(const Faces& faces);
Canvas make_well_background();
Canvas make_game_background();
Canvas make_logo(const Faces& faces);
Canvas make_title_picture(const Faces& faces);

// "SWAP * MATCH * CHAIN" with coloured diamonds between the words, centred at height `y`.
void draw_motto(Canvas& c, const Faces& faces, int y, int size);

// Small cosmetic randomness with a fixed seed, so every build draws the same pictures.
struct Sprinkle {
    uint32_t state;
    float next(); // 0 <= result < 1
};
