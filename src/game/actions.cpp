// Pending swaps and clears: their timers, the slide of a swap, the end of a clear.
#include "game/steps.h"

namespace {

// True when the clear is over: its cells are emptied.
bool finish_clear(Player& player, const ActionGroup& group)
{
    for (int8_t c = group.cells; c != no_link; c = cell_at(player, c).next) {
        Cell& cell = player.grid[cell_at(player, c).row][cell_at(player, c).col];
        cell.color = 0;
        cell.state = CELL_IDLE;
    }
    return true;
}

// Slides the pair 8 pixels towards each other's place; true once they have changed places.
bool slide_swap(Player& player, ActionGroup& group)
{
    if (group.cells == no_link)
        return true;
    const GroupCell& at = cell_at(player, group.cells);
    Cell& left = player.grid[at.row][at.col];
    Cell& right = player.grid[at.row][at.col + 1];
    left.slide_offset = static_cast<int8_t>(left.slide_offset + swap_slide_step);
    right.slide_offset = static_cast<int8_t>(right.slide_offset - swap_slide_step);
    group.timer = swap_group_timer;
    if (left.slide_offset < swap_slide_done)
        return false;
    const int8_t color = left.color;
    left.color = right.color;
    right.color = color;
    left.state = right.state = CELL_IDLE;
    left.slide_offset = right.slide_offset = 0;
    return true;
}

} // namespace

// Newest group first; a finished group is unlinked and its slots freed.
void advance_actions(Player& player)
{
    int8_t* link = &player.groups;
    while (*link != no_link) {
        ActionGroup& group = group_at(player, *link);
        group.timer = static_cast<int8_t>(group.timer - group_timer_step);
        bool done = false;
        if (group.timer <= 0)
            done = group.kind == GROUP_CLEAR ? finish_clear(player, group) : slide_swap(player, group);
        if (done)
            remove_group(player, *link);
        else
            link = &group.next;
    }
}

void end_tick(Player& player)
{
    if (player.groups == no_link)
        player.busy = 0;
    if (player.topped_out)
        player.score = 0;
}
