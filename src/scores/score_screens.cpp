// Drawing the name-entry and table screens over whatever the display shows.
#include "scores/score_screens.h"

#include <cstdio>

#include "app/colors.h"
#include "app/shadow_text.h"
#include "scores/name_edit.h"
#include "scores/overlay.h"
#include "scores/score_layout.h"

namespace {

constexpr int key_code_mask = 0xff; // readkey's low byte is the character code
constexpr int label_size = 20; // "Player " and any int

} // namespace

bool enter_high_score(const ScreenIo& io, HighScoreTable& table, const char* name, int32_t score,
                      HighScoreEntry& entered)
{
    char typed[score_field_size];
    copy_field(typed, name);
    const int rank = high_score_rank(table, score);
    if (rank < 0)
        return false;
    Overlay overlay;
    if (!make_overlay(io, overlay))
        return false;
    take_overlay(io, overlay);
    BITMAP* dimmed = overlay.dimmed.get();
    draw_shadow_text(dimmed, asset_font(Asset::large_font), screen_centre_x, new_high_score_y, color_highlight,
                     new_high_score_text);
    draw_shadow_text(dimmed, asset_font(Asset::normal_font), screen_centre_x, enter_name_y, color_white,
                     enter_name_text);
    show_dimmed(io, overlay);
    const int green = makecol(typed_name_r, typed_name_g, typed_name_b);
    bool confirmed = false;
    while (!confirmed) {
        io.wait_for_retrace();
        blit(dimmed, io.display, 0, typed_name_y, 0, typed_name_y, screen_width, name_band_height);
        draw_shadow_text(io.display, asset_font(Asset::normal_font), screen_centre_x, typed_name_y, green, typed);
        const int pressed = io.read_fresh_key();
        // Asked to end, the entry keeps what has been typed, or the label if that is nothing.
        if (pressed == key_quit) {
            if (typed[0] == '\0')
                copy_field(typed, name);
            break;
        }
        confirmed = edit_name(typed, pressed & key_code_mask);
    }
    restore_saved(io, overlay);
    insert_high_score(table, rank, typed, score);
    copy_field(entered.name, table.name_texts[rank]);
    copy_field(entered.score, table.score_texts[rank]);
    return true;
}

int enter_high_scores(const ScreenIo& io, HighScoreTable& table, const int32_t* scores, int count,
                      HighScoreEntry* entered)
{
    int added = 0;
    for (int p = 0; p < count; p++) {
        char label[label_size];
        std::snprintf(label, sizeof label, player_label_format, p + 1);
        if (enter_high_score(io, table, label, scores[p], entered[added]))
            added++;
    }
    return added;
}

void show_high_scores(const ScreenIo& io, const HighScoreTable& table)
{
    Overlay overlay;
    if (!make_overlay(io, overlay))
        return;
    take_overlay(io, overlay);
    BITMAP* dimmed = overlay.dimmed.get();
    draw_shadow_text(dimmed, asset_font(Asset::large_font), screen_centre_x, high_scores_title_y, color_highlight,
                     high_scores_title);
    FONT* f = asset_font(Asset::normal_font);
    for (int i = 0; i < high_score_count; i++) {
        const int16_t y = static_cast<int16_t>(table_first_row_y + table_row_step * i);
        draw_shadow_text(dimmed, f, table_name_x, y, color_white, table.name_texts[i]);
        draw_shadow_text(dimmed, f, table_score_x, y, color_white, table.score_texts[i]);
    }
    show_dimmed(io, overlay);
    io.read_fresh_key(); // any key will do
    restore_saved(io, overlay);
}
