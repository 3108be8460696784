// Blocks that lost their support: they hover for a moment, then fall two ticks a row.
#include "game/steps.h"

namespace {

void start_hover(Cell& cell)
{
    cell.state = CELL_HOVERING;
    cell.timer = hover_ticks;
}

// A hover set to 15 lasts 16 ticks: the block falls on the tick its timer is found at 0.
void hover(Cell& cell)
{
    if (cell.timer-- == 0)
        cell.state = CELL_FALLING;
}

bool empty_and_idle(const Cell& cell)
{
    return cell.color == 0 && cell.state == CELL_IDLE;
}

void land(Cell& cell)
{
    cell.state = CELL_IDLE;
    cell.fall_offset = 0;
}

// Half a row per tick; on a whole row the block moves into the cell below.
void fall(Player& player, int row, int col)
{
    Cell& cell = player.grid[row][col];
    cell.fall_offset = static_cast<int8_t>(cell.fall_offset + fall_step);
    if (cell.fall_offset < fall_row_done)
        return;
    Cell& below = player.grid[row + 1][col];
    // A block swapped in under a falling block, or a swap still sliding there, stops
    // the fall early: the block lands where it is rather than crush what lies below.
    if (below.color != 0 || (below.state != CELL_IDLE && below.state != CELL_RESERVED)) {
        land(cell);
        return;
    }
    below.state = CELL_IDLE;
    if (row + 2 < grid_rows) {
        Cell& two_below = player.grid[row + 2][col];
        if (empty_and_idle(two_below)) {
            below.state = CELL_FALLING;
            two_below.state = CELL_RESERVED;
        } else if (two_below.state == CELL_FALLING) {
            below.state = CELL_FALLING;
        }
    }
    below.color = cell.color;
    cell.color = 0;
    land(cell);
}

// An idle block starts to hover over a gap, or with the block it rests on.
void settle(Player& player, int row, int col)
{
    Cell& cell = player.grid[row][col];
    Cell& below = player.grid[row + 1][col];
    if (empty_and_idle(below)) {
        start_hover(cell);
        below.state = CELL_RESERVED;
    } else if (below.state == CELL_HOVERING || below.state == CELL_FALLING) {
        start_hover(cell);
    }
}

} // namespace

// Bottom-up in each column, so a block moves at most one row per tick.
void fall_blocks(Player& player)
{
    for (int col = 0; col < well_cols; col++)
        for (int row = well_rows - 1; row >= 0; row--) {
            Cell& cell = player.grid[row][col];
            if (cell.color == 0)
                continue;
            switch (cell.state) {
            case CELL_HOVERING: hover(cell); break;
            case CELL_FALLING: fall(player, row, col); break;
            case CELL_IDLE: settle(player, row, col); break;
            default: break;
            }
        }
}
