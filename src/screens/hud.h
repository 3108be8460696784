// The scores and the clock above and between the wells.
#pragma once

#include <allegro.h>
#include <cstdint>

// Restores each status text's patch from `game_background`, then writes player 1's score
// from x 64, player 2's (two players) ending at x 576, and the clock centred on x 320.
void draw_hud(BITMAP* frame_buffer, BITMAP* game_background);

// The clock's text for `ticks` left: "m:ss" (7200 reads "2:00", 3599 "0:59").
// `text` must hold at least clock_text_size characters.
constexpr int clock_text_size = 24;
void format_clock(int32_t ticks, char* text);
