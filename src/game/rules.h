// The numbers the rules of play depend on.
#pragma once

#include <cstdint>

constexpr int well_cols = 6;
constexpr int well_rows = 12;                // rows 0 (top) to 11 (bottom)
constexpr int preview_row = well_rows;       // the row below the well, next to rise in
constexpr int grid_rows = well_rows + 1;
constexpr int cell_size = 32;                // pixels: offsets and the rise count in them
constexpr int color_count = 5;               // block colours 1-5; 0 is empty
constexpr int max_players = 2;

constexpr int first_filled_row = 6;          // a new game fills rows 6-12
constexpr int start_cursor_x = 2;
constexpr int start_cursor_y = 5;
constexpr int last_cursor_x = well_cols - 2; // the cursor covers two cells
constexpr int start_rise = 10;
constexpr int start_rise_delay = 60;
constexpr int min_rise_delay = 5;
constexpr int points_per_rise_delay_step = 10; // rise_delay = 60 - score / 10

constexpr int swap_group_timer = 1;
constexpr int clear_group_timer = 120;
constexpr int group_timer_step = 2;
constexpr int swap_slide_step = 8;           // pixels per tick
constexpr int swap_slide_done = 30;          // offset at which a swap completes
constexpr int hover_ticks = 15;              // a hover set to 15 lasts 16 ticks
constexpr int fall_step = 16;                // pixels per tick
constexpr int fall_row_done = 31;
constexpr int base_match_points = 10;
constexpr int raise_row_bonus = 1;
constexpr int min_line = 3;                  // blocks of one colour that make a line
constexpr int max_chain = INT8_MAX;          // chain stops counting here

constexpr int32_t game_ticks = 7200;         // two minutes of the 60 Hz clock
constexpr int32_t warning_ticks = 900;       // 15 seconds left: a warning sounds
constexpr int32_t last_moment_ticks = 30;    // half a second left: the last-moment sound
