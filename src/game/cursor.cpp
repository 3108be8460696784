// The player's controls: new presses, cursor moves and the start of a swap.
#include "game/steps.h"

bool key_pressed_once(Player& player, PlayerInput input, Action action)
{
    const uint8_t bit = action_bit(action);
    if (!is_held(input, action)) {
        player.key_latch = static_cast<uint8_t>(player.key_latch & ~bit);
        return false;
    }
    const bool fresh = (player.key_latch & bit) == 0;
    player.key_latch = static_cast<uint8_t>(player.key_latch | bit);
    return fresh;
}

// Asked in the order left, right, up, down, stopping at the first move made, so an action
// not asked keeps its latch and still counts as new next tick.
void move_cursor(Player& player, PlayerInput input)
{
    if (key_pressed_once(player, input, ACTION_LEFT) && player.cursor_x != 0)
        player.cursor_x--;
    else if (key_pressed_once(player, input, ACTION_RIGHT) && player.cursor_x < last_cursor_x)
        player.cursor_x++;
    else if (key_pressed_once(player, input, ACTION_UP) && player.cursor_y != 0)
        player.cursor_y--;
    else if (key_pressed_once(player, input, ACTION_DOWN) && player.cursor_y < well_rows - 1)
        player.cursor_y++;
}

// Any idle pair may be swapped, empty cells included; anything else is ignored.
void start_swap(Player& player, PlayerInput input)
{
    if (!key_pressed_once(player, input, ACTION_SWAP))
        return;
    Cell& left = player.grid[player.cursor_y][player.cursor_x];
    Cell& right = player.grid[player.cursor_y][player.cursor_x + 1];
    if (left.state != CELL_IDLE || right.state != CELL_IDLE)
        return;
    // The store holds a group for every pair the well can have, so neither push fails; if
    // one did, the press would be lost and the well left untouched.
    ActionGroup* group = push_group(player, GROUP_SWAP);
    if (!group)
        return;
    if (!push_group_cell(player, *group, player.cursor_y, player.cursor_x)) {
        remove_group(player, player.groups);
        return;
    }
    left.state = CELL_SWAPPING;
    right.state = CELL_SWAPPING;
    player.busy = 1;
}
