// The opening and farewell screen: grey stars bursting from the middle behind the logo.
#pragma once

#include <allegro.h>

#include "app/screen_io.h"

struct Star {
    float x, y;       // pixels, 0 at the left and top
    float dx, dy;     // pixels per frame
    float brightness; // 0 black .. 1 white
};

constexpr int star_count = 250;
constexpr float first_brightness = 0.0f;   // the stars made when the screen starts
constexpr float renewed_brightness = 0.15f; // a star started again from the middle

// Puts a star somewhere in the 20x20 square near the middle with a random speed of up to
// 2 pixels a frame each way, drawing four numbers from rand().
void start_star(Star& star, float brightness);
// A star's step in one frame: moves and brightens it, and starts it again once it has
// left the screen or passed full white.
void move_star(Star& star);
// The grey level (0-255) a star is drawn with.
int star_grey(const Star& star);

// Composes one frame: clear, every star moved and plotted in order, the logo over them.
// The logo's pixels of the mask colour let the stars through; `logo_runs`, when there is one,
// is the same logo as an RLE sprite, which skips those pixels instead of testing each.
void draw_starfield_frame(BITMAP* frame, Star (&stars)[star_count], BITMAP* logo, RLE_SPRITE* logo_runs);

// Shows the starfield with its music until a key is waiting; the key stays in the buffer.
void run_starfield(const ScreenIo& io);
