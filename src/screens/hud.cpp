// The scores and the clock above and between the wells.
#include "screens/hud.h"

#include <cstdio>

#include "app/assets.h"
#include "app/clock.h"
#include "app/colors.h"
#include "game/player.h"
#include "screens/layout.h"

namespace {

constexpr int ticks_per_minute = 60 * ticks_per_second;
constexpr int score_text_size = 16; // "-2147483648" and its terminator fit

void restore_patch(BITMAP* frame_buffer, BITMAP* game_background, int x, int y, int w, int h)
{
    blit(game_background, frame_buffer, x, y, x, y, w, h);
}

void draw_scores(BITMAP* frame_buffer, BITMAP* game_background, FONT* text_font)
{
    char text[score_text_size];
    restore_patch(frame_buffer, game_background, left_score_x, score_patch_y,
                  score_patch_width, score_patch_height);
    std::snprintf(text, sizeof text, score_format, players[0].score);
    textout_ex(frame_buffer, text_font, text, left_score_x, score_text_y, color_white, -1);

    if (player_count < 2)
        return;
    restore_patch(frame_buffer, game_background, right_score_patch_x, score_patch_y,
                  score_patch_width, score_patch_height);
    std::snprintf(text, sizeof text, score_format, players[1].score);
    textout_ex(frame_buffer, text_font, text, right_score_end_x - text_length(text_font, text),
               score_text_y, color_white, -1);
}

void draw_clock(BITMAP* frame_buffer, BITMAP* game_background, FONT* text_font)
{
    char text[clock_text_size];
    format_clock(time_left, text);
    restore_patch(frame_buffer, game_background, clock_patch_x, clock_patch_y,
                  clock_patch_width, clock_patch_height);
    textout_ex(frame_buffer, text_font, text, clock_centre_x - text_length(text_font, text) / 2,
               clock_text_y, color_white, -1);
}

} // namespace

void format_clock(int32_t ticks, char* text)
{
    const int32_t minutes = ticks / ticks_per_minute;
    const int32_t seconds = (ticks - ticks_per_minute * minutes) / ticks_per_second;
    std::snprintf(text, clock_text_size, clock_format, static_cast<int>(minutes),
                  static_cast<int>(seconds));
}

void draw_hud(BITMAP* frame_buffer, BITMAP* game_background)
{
    FONT* text_font = asset_font(Asset::normal_font);
    draw_scores(frame_buffer, game_background, text_font);
    draw_clock(frame_buffer, game_background, text_font);
}
