// Drawing a player's well: blocks at their moving positions, fading clears, the rising
// preview row and the blinking cursor.
#include "screens/well_view.h"

#include "app/clock.h"
#include "screens/layout.h"

namespace {

void draw_resting_and_moving_blocks(const Player& player)
{
    set_trans_blender(0, 0, 0, block_level);
    for (int row = 0; row < well_rows; row++)
        for (int col = 0; col < well_cols; col++) {
            const Cell& cell = player.grid[row][col];
            if (cell.color == 0 || cell.state == CELL_CLEARING)
                continue;
            draw_trans_sprite(player.view, tile_images[cell.color],
                              cell_size * col + cell.slide_offset,
                              cell_size * row + cell.fall_offset - player.rise);
        }
}

// A clear fades as its group's timer runs down.
void draw_clearing_blocks(const Player& player)
{
    for (const ActionGroup* group = player.groups; group; group = group->next) {
        if (group->kind != GROUP_CLEAR)
            continue;
        set_trans_blender(0, 0, 0, group->timer + clear_level_base);
        for (const GroupCell* gc = group->cells; gc; gc = gc->next) {
            const Cell& cell = player.grid[gc->row][gc->col];
            draw_trans_sprite(player.view, tile_images[cell.color], cell_size * gc->col,
                              cell_size * gc->row - player.rise);
        }
    }
}

// Only the top `rise` pixels of the preview row fall inside the view.
void draw_preview_row(const Player& player)
{
    set_trans_blender(0, 0, 0, preview_level);
    for (int col = 0; col < well_cols; col++)
        draw_trans_sprite(player.view, tile_images[player.grid[preview_row][col].color],
                          cell_size * col, well_height - player.rise);
}

void draw_cursor(const Player& player)
{
    const int frame = (tick_count.load(std::memory_order_relaxed) >> cursor_blink_shift) & 1;
    draw_sprite(player.view, player.cursor_images[frame],
                cell_size * player.cursor_x - cursor_margin,
                cell_size * player.cursor_y - player.rise - cursor_margin);
}

} // namespace

void draw_well(const Player& player)
{
    blit(player.background, player.view, 0, 0, 0, 0, well_width, well_height);
    draw_resting_and_moving_blocks(player);
    draw_clearing_blocks(player);
    draw_preview_row(player);
    draw_cursor(player);
}

void draw_wells()
{
    for (int i = player_count - 1; i >= 0; i--)
        draw_well(players[i]);
}
