// The rising stack: pixel steps on a timer or while raise is held, and the new row.
#include <cstring>

#include "game/steps.h"

namespace {

int8_t preview_color(const Player& player, int col, GameRandom& random)
{
    const Cell* row = player.grid[preview_row];
    for (;;) {
        const int8_t c = static_cast<int8_t>(next_random(random) % color_count + 1);
        if (col < 2 || row[col - 1].color != c || row[col - 2].color != c)
            return c;
    }
}

// Moves every row up one, draws a new preview row; true if a block reached row 0.
bool shift_stack(Player& player, bool raising, GameRandom& random)
{
    if (raising)
        add_points(player.score, raise_row_bonus);
    std::memmove(player.grid[0], player.grid[1], sizeof(Cell) * well_cols * well_rows);
    for (int col = 0; col < well_cols; col++) {
        Cell& cell = player.grid[preview_row][col];
        cell = Cell{};
        cell.color = preview_color(player, col, random);
    }
    player.rise = 0;
    // The cursor follows its blocks up, but never out of the well.
    if (player.cursor_y > 0)
        player.cursor_y--;
    for (const Cell& cell : player.grid[0])
        if (cell.color != 0) {
            player.topped_out = 1;
            return true;
        }
    return false;
}

} // namespace

int16_t rise_delay_for(int32_t score)
{
    // Worked out at full width: a big score must not wrap round in the 16-bit field.
    const int32_t delay = start_rise_delay - score / points_per_rise_delay_step;
    if (delay < min_rise_delay)
        return min_rise_delay;
    if (delay > start_rise_delay)
        return start_rise_delay;
    return static_cast<int16_t>(delay);
}

// The countdown is frozen while busy; a rise step comes when it is found at 0, or on
// every tick raise is held.
bool rise_stack(Player& player, PlayerInput input, GameRandom& random)
{
    if (player.busy || player.rise_delay == 0)
        return false;
    const uint8_t count = player.rise_countdown;
    player.rise_countdown = static_cast<uint8_t>(count - 1);
    const bool raising = is_held(input, ACTION_RAISE);
    if (count != 0 && !raising)
        return false;
    bool topped_out = false;
    player.chain = 0;
    if (++player.rise >= cell_size)
        topped_out = shift_stack(player, raising, random);
    player.rise_delay = rise_delay_for(player.score);
    player.rise_countdown = static_cast<uint8_t>(player.rise_delay);
    return topped_out;
}
