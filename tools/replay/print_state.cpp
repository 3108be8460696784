// Formatting a player's state for the replay output.
#include "print_state.h"

#include <cstdio>

std::string player_line(int tick, int number, const Player& p)
{
    const int groups = count_groups(p);
    char head[160];
    std::snprintf(head, sizeof head, "%d %d %d %d %d %d %d %d %d %d %d %d ", tick, number,
                  static_cast<int>(p.score), p.chain, p.cursor_x, p.cursor_y, p.rise,
                  p.rise_delay, p.rise_countdown, p.busy, p.topped_out, groups);
    std::string line = head;
    for (int row = 0; row < grid_rows; row++)
        for (int col = 0; col < well_cols; col++) {
            const Cell& c = p.grid[row][col];
            // The timer means something only while a block hovers.
            const int timer = c.state == CELL_HOVERING ? c.timer : 0;
            char cell[40];
            std::snprintf(cell, sizeof cell, "%s%d.%d.%d.%d.%d", row + col ? "," : "", c.color,
                          c.state, c.fall_offset, c.slide_offset, timer);
            line += cell;
        }
    return line;
}
