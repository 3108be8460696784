// Pending swaps and clears: their timers, the slide of a swap, the end of a clear.
#include "game/steps.h"

namespace {

// True when the clear is over: its cells are emptied.
bool finish_clear(Player& player, const ActionGroup& group)
{
    for (const GroupCell* c = group.cells; c; c = c->next) {
        Cell& cell = player.grid[c->row][c->col];
        cell.color = 0;
        cell.state = CELL_IDLE;
    }
    return true;
}

// Slides the pair 8 pixels towards each other's place; true once they have changed places.
bool slide_swap(Player& player, ActionGroup& group)
{
    if (!group.cells)
        return true;
    Cell& left = player.grid[group.cells->row][group.cells->col];
    Cell& right = player.grid[group.cells->row][group.cells->col + 1];
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

// Newest group first; a finished group is unlinked and freed.
void advance_actions(Player& player)
{
    ActionGroup** link = &player.groups;
    while (ActionGroup* group = *link) {
        group->timer = static_cast<int8_t>(group->timer - group_timer_step);
        bool done = false;
        if (group->timer <= 0)
            done = group->kind == GROUP_CLEAR ? finish_clear(player, *group)
                                              : slide_swap(player, *group);
        if (!done) {
            link = &group->next;
            continue;
        }
        *link = group->next;
        group->next = nullptr;
        free_groups(group);
    }
}

void end_tick(Player& player)
{
    if (!player.groups)
        player.busy = 0;
    if (player.topped_out)
        player.score = 0;
}
