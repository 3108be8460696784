// Recognising the game's screens in a captured frame, by the texts and colours each one draws.
#pragma once

#include "harness/frame.h"

constexpr Rgb color_highlight_seen{255, 255, 192};
constexpr Rgb color_white_seen{255, 255, 255};
constexpr Rgb color_name_seen{0, 192, 0};

// The title menu's three lines of the built-in 8x8 font.
constexpr int menu_x = 60;
constexpr int menu_line_y[3] = {350, 366, 382};
constexpr int menu_line_chars = 19;
constexpr int builtin_font_size = 8;

// Bands of the high-score screens: captions' tops and the band the typed name lives in.
constexpr Rect table_caption_band{0, 16, 640, 30};
constexpr Rect entry_caption_band{0, 100, 640, 30};
constexpr Rect name_band{0, 250, 640, 50};
constexpr Rect table_rows_band{0, 95, 640, 320};

// The clock's box in the middle of the game screen.
constexpr Rect clock_band{290, 130, 60, 25};

// Enough ink to tell a drawn text from stray pixels of a picture.
constexpr int text_ink_min = 30;
constexpr int name_ink_min = 4;

// Which menu line is drawn in the highlight colour while the other two are white: 1-3, or 0.
int menu_selection(const Frame& frame);
bool menu_shown(const Frame& frame);
bool name_entry_shown(const Frame& frame);
bool table_shown(const Frame& frame);
// A game on screen (running, or its game-over overlay): the clock in white, no other screen.
bool game_shown(const Frame& frame);
// Ink of the name being typed on the name-entry screen.
int name_ink(const Frame& frame);
