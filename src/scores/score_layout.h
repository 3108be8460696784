// Where the high-score screens put their texts.
#pragma once

#include <cstdint>

#include "app/screen_size.h"

constexpr const char* new_high_score_text = "New High Score!";
constexpr int16_t new_high_score_y = 100;
constexpr const char* enter_name_text = "Enter your Name:";
constexpr int16_t enter_name_y = 200;
constexpr int16_t typed_name_y = 250;
constexpr int name_band_height = 50; // wiped from the dimmed copy before each redraw
constexpr int typed_name_r = 0, typed_name_g = 192, typed_name_b = 0;
constexpr const char* player_label_format = "Player %i";

constexpr const char* high_scores_title = "HIGH SCORES";
constexpr int16_t high_scores_title_y = 16;
constexpr int16_t table_name_x = 220;
constexpr int16_t table_score_x = 420;
constexpr int16_t table_first_row_y = 95;
constexpr int16_t table_row_step = 32;
