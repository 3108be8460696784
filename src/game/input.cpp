// The player's keys: new presses, cursor moves and the start of a swap.
#include "game/update.h"

#include <cstdlib>

#include "game/steps.h"

bool key_pressed_once(int code)
{
    if (!key[code]) {
        key_latch[code] = 0;
        return false;
    }
    const bool fresh = key_latch[code] == 0;
    key_latch[code] = 1;
    return fresh;
}

// Keys are asked in the order left, right, up, down and asking stops at the first
// move made, so a key not asked keeps its latch and still counts as new next tick.
void move_cursor(Player& player)
{
    if (key_pressed_once(player.keys[KEY_ROLE_LEFT]) && player.cursor_x != 0)
        player.cursor_x--;
    else if (key_pressed_once(player.keys[KEY_ROLE_RIGHT]) && player.cursor_x < last_cursor_x)
        player.cursor_x++;
    else if (key_pressed_once(player.keys[KEY_ROLE_UP]) && player.cursor_y != 0)
        player.cursor_y--;
    else if (key_pressed_once(player.keys[KEY_ROLE_DOWN]) && player.cursor_y < well_rows - 1)
        player.cursor_y++;
}

// Any idle pair may be swapped, empty cells included; anything else is ignored.
void start_swap(Player& player)
{
    if (!key_pressed_once(player.keys[KEY_ROLE_SWAP]))
        return;
    Cell& left = player.grid[player.cursor_y][player.cursor_x];
    Cell& right = player.grid[player.cursor_y][player.cursor_x + 1];
    if (left.state != CELL_IDLE || right.state != CELL_IDLE)
        return;
    ActionGroup* group = push_group(player.groups, GROUP_SWAP);
    if (!group)
        return; // no memory: the press is lost, the well untouched
    if (!push_group_cell(group, player.cursor_y, player.cursor_x)) {
        player.groups = group->next;
        std::free(group);
        return;
    }
    left.state = CELL_SWAPPING;
    right.state = CELL_SWAPPING;
    player.busy = 1;
}
