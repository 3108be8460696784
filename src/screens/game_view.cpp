// Drawing a game: wells, scores and clock, popups, panels and the game-over overlay.
#include "screens/game_view.h"

#include <cstdio>

#include "app/assets.h"
#include "app/clock.h"
#include "app/colors.h"
#include "app/shadow_text.h"
#include "screens/translucent.h"

namespace {

constexpr int tile_work_width = 640;
constexpr int long_chain_image = 1;
constexpr int ticks_per_minute = 60 * ticks_per_second;
constexpr int score_text_size = 16; // "-2147483648" and its terminator fit

void stretch_whole(BITMAP* picture, BITMAP* target)
{
    stretch_blit(picture, target, 0, 0, picture->w, picture->h, 0, 0, target->w, target->h);
}

// The work image is cleared to colour 0, not the mask colour, so mask-coloured pixels of
// the strip become colour 0 in the tiles.
bool make_tiles(GameView& view)
{
    const Bitmap work(create_bitmap(tile_work_width, cell_size));
    if (!work)
        return false;
    clear_to_color(work.get(), 0);
    draw_sprite(work.get(), asset_bitmap(Asset::tile_strip), 0, 0);
    for (int k = 0; k < tile_count; k++) {
        view.tiles[k].reset(create_bitmap(cell_size, cell_size));
        if (!view.tiles[k])
            return false;
        clear_bitmap(view.tiles[k].get());
        blit(work.get(), view.tiles[k].get(), cell_size * k, 0, 0, 0, cell_size, cell_size);
    }
    return true;
}

bool make_well(GameView& view, int index)
{
    WellView& well = view.wells[index];
    well.background.reset(create_bitmap(well_width, well_height));
    well.x = well_left_edges[index];
    well.y = well_top;
    well.view.reset(create_sub_bitmap(view.frame_buffer, well.x, well.y, well_width, well_height));
    if (!well.background || !well.view)
        return false;
    stretch_whole(asset_bitmap(Asset::well_background), well.background.get());
    return true;
}

// Blocks three-quarters opaque, shifted up by the rise, sideways while swapping and down
// while falling; clearing blocks are drawn with their group.
void draw_blocks(const GameView& view, const WellView& well, const Player& player)
{
    for (int row = 0; row < well_rows; row++)
        for (int col = 0; col < well_cols; col++) {
            const Cell& cell = player.grid[row][col];
            if (cell.color == 0 || cell.state == CELL_CLEARING)
                continue;
            draw_translucent(well.view.get(), view.tiles[cell.color].get(), cell_size * col + cell.slide_offset,
                             cell_size * row + cell.fall_offset - player.rise, block_level);
        }
}

// A clear fades as its group's timer runs down.
void draw_clearing_blocks(const GameView& view, const WellView& well, const Player& player)
{
    for (int8_t g = player.groups; g != no_link; g = group_at(player, g).next) {
        const ActionGroup& group = group_at(player, g);
        if (group.kind != GROUP_CLEAR)
            continue;
        for (int8_t c = group.cells; c != no_link; c = cell_at(player, c).next) {
            const GroupCell& at = cell_at(player, c);
            draw_translucent(well.view.get(), view.tiles[player.grid[at.row][at.col].color].get(),
                             cell_size * at.col, cell_size * at.row - player.rise,
                             group.timer + clear_level_base);
        }
    }
}

// Only the top `rise` pixels of the preview row fall inside the view.
void draw_preview_row(const GameView& view, const WellView& well, const Player& player)
{
    for (int col = 0; col < well_cols; col++)
        draw_translucent(well.view.get(), view.tiles[player.grid[preview_row][col].color].get(),
                         cell_size * col, well_height - player.rise, preview_level);
}

void draw_cursor(const GameView& view, const WellView& well, const Player& player, uint32_t clock)
{
    const int frame = (clock >> cursor_blink_shift) & 1;
    draw_sprite(well.view.get(), view.cursor_images[frame], cell_size * player.cursor_x - cursor_margin,
                cell_size * player.cursor_y - player.rise - cursor_margin);
}

void restore_patch(const GameView& view, int x, int y, int w, int h)
{
    blit(view.game_background, view.frame_buffer, x, y, x, y, w, h);
}

void draw_scores(const GameView& view, const GameState& game, FONT* text_font)
{
    char text[score_text_size];
    restore_patch(view, left_score_x, score_patch_y, score_patch_width, score_patch_height);
    std::snprintf(text, sizeof text, score_format, static_cast<int>(game.players[0].score));
    textout_ex(view.frame_buffer, text_font, text, left_score_x, score_text_y, color_white, -1);
    if (game.player_count < 2)
        return;
    restore_patch(view, right_score_patch_x, score_patch_y, score_patch_width, score_patch_height);
    std::snprintf(text, sizeof text, score_format, static_cast<int>(game.players[1].score));
    textout_ex(view.frame_buffer, text_font, text, right_score_end_x - text_length(text_font, text),
               score_text_y, color_white, -1);
}

void draw_clock(const GameView& view, const GameState& game, FONT* text_font)
{
    char text[clock_text_size];
    format_clock(game.time_left, text);
    restore_patch(view, clock_patch_x, clock_patch_y, clock_patch_width, clock_patch_height);
    textout_ex(view.frame_buffer, text_font, text, screen_centre_x - text_length(text_font, text) / 2,
               clock_text_y, color_white, -1);
}

// The word centred on the well's middle, over its shadow. Each well is its own sub-bitmap,
// so the two wells' words never overlap whichever is written first.
void write_outcome(const WellView& well, const char* text)
{
    FONT* big = asset_font(Asset::large_font);
    draw_shadow_text(well.view.get(), big, well_centre_x, static_cast<int16_t>(well_centre_y - text_height(big) / 2),
                     color_white, text);
}

} // namespace

void make_popup_images(PopupImages& popups)
{
    BITMAP* strip = asset_bitmap(Asset::popup_strip);
    for (int i = 0; i < popup_image_count; i++) {
        popups.images[i].reset(create_bitmap(cell_size, cell_size));
        if (popups.images[i])
            blit(strip, popups.images[i].get(), cell_size * i, 0, 0, 0, cell_size, cell_size);
    }
}

int popup_image_index(int8_t chain)
{
    const int k = chain - 1;
    if (k > popup_image_count - 1)
        return long_chain_image;
    return k < 0 ? 0 : k;
}

bool make_game_view(GameView& view, int count, BITMAP* frame_buffer, BITMAP* game_background,
                    const PopupImages& popups)
{
    view.frame_buffer = frame_buffer;
    view.game_background = game_background;
    view.popups = &popups;
    view.cursor_images[0] = asset_bitmap(Asset::cursor_a);
    view.cursor_images[1] = asset_bitmap(Asset::cursor_b);
    view.well_count = count;
    if (!make_tiles(view))
        return false;
    for (int i = 0; i < count; i++)
        if (!make_well(view, i))
            return false;
    if (count == 2)
        draw_sprite_h_flip(view.wells[0].background.get(), view.wells[1].background.get(), 0, 0);
    return true;
}

void draw_well(const GameView& view, const WellView& well, const Player& player, uint32_t clock)
{
    blit(well.background.get(), well.view.get(), 0, 0, 0, 0, well_width, well_height);
    draw_blocks(view, well, player);
    draw_clearing_blocks(view, well, player);
    draw_preview_row(view, well, player);
    draw_cursor(view, well, player, clock);
}

void draw_hud(const GameView& view, const GameState& game)
{
    FONT* text_font = asset_font(Asset::normal_font);
    draw_scores(view, game, text_font);
    draw_clock(view, game, text_font);
}

// Newest first, so older popups lie on top; one not wholly below its well's top edge
// stays alive but unseen.
void draw_popups(const GameView& view, const GameState& game)
{
    for (int i = 0; i < game.popups.count; i++) {
        const Popup& popup = game.popups.items[i];
        const WellView& well = view.wells[popup.player];
        const int y = popup.row * cell_size + well.y - cell_size - popup_height(popup);
        BITMAP* image = view.popups->images[popup_image_index(popup.chain)].get();
        if (y > well.y && image)
            draw_sprite(view.frame_buffer, image, popup.col * cell_size + well.x, y);
    }
}

void draw_game(const GameView& view, const GameState& game, uint32_t clock)
{
    for (int i = view.well_count - 1; i >= 0; i--)
        draw_well(view, view.wells[i], game.players[i], clock);
    draw_hud(view, game);
    draw_popups(view, game);
}

void draw_game_over(const GameView& view, const GameState& game)
{
    set_trans_blender(0, 0, 0, game_over_level);
    drawing_mode(DRAW_MODE_TRANS, nullptr, 0, 0);
    for (int i = 0; i < view.well_count; i++)
        rectfill(view.wells[i].view.get(), 0, 0, well_width, well_height, color_black);
    if (view.well_count == 2) {
        const int32_t one = game.players[0].score, two = game.players[1].score;
        write_outcome(view.wells[0], one == two ? tie_text : one > two ? win_text : lose_text);
        write_outcome(view.wells[1], one == two ? tie_text : two > one ? win_text : lose_text);
    }
    // Back to the library's default text background, for any later caller of the old
    // text calls (the game's own calls pass their background explicitly).
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    text_mode(0);
#pragma GCC diagnostic pop
}

void draw_panel(BITMAP* bitmap, int16_t x, int16_t y, int16_t w, int16_t h)
{
    const int x2 = x + w - 1;
    const int y2 = y + h - 1;
    set_trans_blender(0, 0, 0, panel_level);
    drawing_mode(DRAW_MODE_TRANS, nullptr, 0, 0);
    rectfill(bitmap, x + panel_border, y + panel_border, x2 - panel_border, y2 - panel_border, color_black);
    // Outlines from the inside out, one pixel further out each.
    const int frame_colors[panel_border] = {color_black, color_white, color_white, color_black};
    for (int i = 0; i < panel_border; i++) {
        const int inset = panel_border - 1 - i;
        rect(bitmap, x + inset, y + inset, x2 - inset, y2 - inset, frame_colors[i]);
    }
}

void format_clock(int32_t ticks, char (&text)[clock_text_size])
{
    const int32_t minutes = ticks / ticks_per_minute;
    const int32_t seconds = (ticks - ticks_per_minute * minutes) / ticks_per_second;
    std::snprintf(text, clock_text_size, clock_format, static_cast<int>(minutes), static_cast<int>(seconds));
}
