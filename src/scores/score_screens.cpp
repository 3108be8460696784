// Drawing the name-entry and table screens over whatever the screen shows.
#include "scores/score_screens.h"

#include <cstdio>

#include "app/assets.h"
#include "app/colors.h"
#include "game/player.h"
#include "scores/name_edit.h"
#include "scores/overlay.h"
#include "scores/score_layout.h"
#include "scores/table.h"

namespace {

constexpr int key_code_mask = 0xff; // readkey's low byte is the character code
constexpr int label_size = 16;

void wait_for_retrace()
{
    vsync();
}

// Keys pressed before the screen was ready are not meant for it.
int read_fresh_key()
{
    clear_keybuf();
    return readkey();
}

const KeySource keyboard = {wait_for_retrace, read_fresh_key};

} // namespace

void draw_shadow_text(BITMAP* bitmap, FONT* f, int16_t x, int16_t y, int color, const char* text)
{
    int half = text_length(f, text) / 2;
    // textout, not textprintf: a "%" in a name from the file is just a character.
    textout_ex(bitmap, f, text, x - half + shadow_offset, y + shadow_offset, color_black, -1);
    textout_ex(bitmap, f, text, x - half, y, color, -1);
}

void enter_high_score_on(BITMAP* target, const KeySource& keys, const char* name, int32_t score)
{
    char typed[score_field_size];
    copy_field(typed, name);
    int rank = high_score_rank(score);
    if (rank < 0)
        return;
    Overlay overlay;
    if (!overlay.made())
        return;
    overlay.take(target);
    draw_shadow_text(overlay.dimmed, asset_font(Asset::large_font), center_x, new_high_score_y,
                     color_highlight, new_high_score_text);
    draw_shadow_text(overlay.dimmed, asset_font(Asset::normal_font), center_x, enter_name_y,
                     color_white, enter_name_text);
    overlay.show(target);
    int green = makecol(typed_name_r, typed_name_g, typed_name_b);
    bool confirmed = false;
    while (!confirmed) {
        keys.wait_frame();
        blit(overlay.dimmed, target, 0, typed_name_y, 0, typed_name_y, screen_width, name_band_height);
        draw_shadow_text(target, asset_font(Asset::normal_font), center_x, typed_name_y, green, typed);
        confirmed = edit_name(typed, keys.read_key() & key_code_mask);
    }
    overlay.restore(target);
    insert_high_score(rank, typed, score);
}

void enter_high_scores_on(BITMAP* target, const KeySource& keys)
{
    // One at a time: Player 1's entry is in the table before Player 2's rank is asked.
    for (int p = 0; p < player_count; p++) {
        char label[label_size];
        std::snprintf(label, sizeof label, "Player %i", p + 1);
        enter_high_score_on(target, keys, label, players[p].score);
    }
}

void show_high_scores_on(BITMAP* target, const KeySource& keys)
{
    Overlay overlay;
    if (!overlay.made())
        return;
    overlay.take(target);
    draw_shadow_text(overlay.dimmed, asset_font(Asset::large_font), center_x, high_scores_title_y,
                     color_highlight, high_scores_title);
    FONT* f = asset_font(Asset::normal_font);
    for (int i = 0; i < high_score_count; i++) {
        int16_t y = static_cast<int16_t>(table_first_row_y + table_row_step * i);
        draw_shadow_text(overlay.dimmed, f, table_name_x, y, color_white, high_score_table.name_texts[i]);
        draw_shadow_text(overlay.dimmed, f, table_score_x, y, color_white, high_score_table.score_texts[i]);
    }
    overlay.show(target);
    keys.read_key(); // any key will do
    overlay.restore(target);
}

void enter_high_scores()
{
    enter_high_scores_on(screen, keyboard);
}

void enter_high_score(const char* name, int32_t score)
{
    enter_high_score_on(screen, keyboard, name, score);
}

void show_high_scores()
{
    show_high_scores_on(screen, keyboard);
}
