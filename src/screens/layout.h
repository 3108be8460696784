// Where a game's screens put things: positions, sizes, blender levels and texts.
#pragma once

#include <cstdint>

#include "app/screen_size.h"
#include "game/rules.h"

constexpr int well_width = well_cols * cell_size;   // 192
constexpr int well_height = well_rows * cell_size;  // 384

// Wells and the panels framing them (a panel's frame is 4 pixels wide).
constexpr int16_t left_well_x = 64;
constexpr int16_t right_well_x = 384;
constexpr int16_t well_top = 48;
constexpr int16_t well_left_edges[max_players] = {left_well_x, right_well_x};
constexpr int panel_border = 4;
constexpr int well_panel_width = well_width + 2 * panel_border;
constexpr int well_panel_height = well_height + 2 * panel_border;

// The clock's panel and text.
constexpr int clock_panel_x = 280;
constexpr int clock_panel_y = 124;
constexpr int clock_panel_width = 80;
constexpr int clock_panel_height = 40;
constexpr int clock_patch_x = 290;
constexpr int clock_patch_y = 130;
constexpr int clock_patch_width = 60;
constexpr int clock_patch_height = 25;
constexpr int clock_text_y = 130;
constexpr const char* clock_format = "%i:%02i";

// Scores: player 1's starts at x 64, player 2's ends at x 576; the patch behind each is
// restored from the background before the text is drawn, starting 2 rows below the text.
constexpr int score_text_y = 12;
constexpr int score_patch_y = 14;
constexpr int score_patch_width = 100;
constexpr int score_patch_height = 24;
constexpr int left_score_x = left_well_x;
constexpr int right_score_end_x = right_well_x + well_width;
constexpr int right_score_patch_x = right_score_end_x - score_patch_width;
constexpr const char* score_format = "%i";

// Blender levels (0 transparent .. 255 opaque).
constexpr int panel_level = 128;       // panels halve what lies under them
constexpr int block_level = 192;       // blocks three-quarters opaque
constexpr int preview_level = 224;     // the rising preview row
constexpr int clear_level_base = 48;   // a clearing block's level is its group's timer + 48
constexpr int game_over_level = 192;   // darkening of the wells when a game ends

// The cursor picture's corner lies this far left of and above its left cell; its two
// frames swap every 16 ticks, on bit 4 of the clock.
constexpr int cursor_margin = 6;
constexpr int cursor_blink_shift = 4;

// Game-over words, centred on the well's middle.
constexpr int well_centre_x = well_width / 2;
constexpr int well_centre_y = well_height / 2;
constexpr const char* win_text = "WIN!";
constexpr const char* lose_text = "LOSE";
constexpr const char* tie_text = "TIE!";
constexpr const char* paused_text = "PAUSED";
constexpr int game_over_pause_ms = 3000;

// The game background: a scan-line on every even row.
constexpr int scan_line_step = 2;

// Title menu: three lines in the library's own font.
constexpr int menu_x = 60;
constexpr int menu_first_y = 350;
constexpr int menu_line_step = 16;
constexpr int menu_line_count = 3;
constexpr const char* menu_texts[menu_line_count] = {
    "[1] One Player Game",
    "[2] Two Player Game",
    "[ESC] Exit the Game",
};
constexpr int8_t menu_start_selection = 2;

// The match sound is panned to its player's side and played an octave up.
constexpr int match_pan_step = 255;
constexpr int match_pitch = 2000;
